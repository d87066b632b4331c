#include "CCommConfig.h"

#include "CTraceCode.h"

namespace {
const QString kComPortKey = QStringLiteral("m_ComPort");
const QString kInterfaceTypeKey = QStringLiteral("m_InterfaceType");
} // namespace

CCommConfig::CCommConfig()
{
    g_Trace.BugMessage(QStringLiteral("Class_Initialize() ") + ClassName());
}

void CCommConfig::GetData(ICopyClass &obj) const
{
    auto *other = dynamic_cast<CCommConfig *>(&obj);
    if (other == nullptr || !VerifySameClass(obj, *this))
        return;
    other->SetComPort(ComPort());
    other->SetInterfaceType(InterfaceType());
}

void CCommConfig::SetData(const ICopyClass &obj)
{
    const auto *other = dynamic_cast<const CCommConfig *>(&obj);
    if (other == nullptr || !VerifySameClass(obj, *this))
        return;
    SetComPort(other->ComPort());
    SetInterfaceType(other->InterfaceType());
}

void CCommConfig::LoadData(const QString &fileName)
{
    m_Base.LoadData(fileName);
    // Read into copies first, so a bad second value cannot leave the first
    // one applied on its own.
    std::int16_t comPort = m_ComPort;
    std::int16_t interfaceType = m_InterfaceType;
    LoadMember(*this, kComPortKey, comPort, ClassName());
    LoadMember(*this, kInterfaceTypeKey, interfaceType, ClassName());
    m_ComPort = comPort;
    m_InterfaceType = interfaceType;
}

void CCommConfig::SaveData(const QString &fileName)
{
    m_Base.SaveData(fileName);
    SaveMember(*this, kComPortKey, m_ComPort, ClassName());
    SaveMember(*this, kInterfaceTypeKey, m_InterfaceType, ClassName());
}

void CCommConfig::SaveVariable(const QString &name, const QVariant &value, const QString &)
{
    m_Base.SaveVariable(name, value, ClassName());
}

void CCommConfig::LoadVariable(const QString &name, QVariant &value, const QString &)
{
    m_Base.LoadVariable(name, value, ClassName());
}
