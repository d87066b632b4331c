#include "CCommConfig.h"

namespace {
const QString kComPortKey = QStringLiteral("m_ComPort");
const QString kInterfaceTypeKey = QStringLiteral("m_InterfaceType");
} // namespace

CCommConfig::CCommConfig() : CSettingsClass(QStringLiteral("CCommConfig")) {}

void CCommConfig::CopyProperties(const CCommConfig &from, CCommConfig &to)
{
    to.SetComPort(from.ComPort());
    to.SetInterfaceType(from.InterfaceType());
}

void CCommConfig::LoadValues()
{
    // Read into copies first, so a bad second value cannot leave the first
    // one applied on its own.
    std::int16_t comPort = m_ComPort;
    std::int16_t interfaceType = m_InterfaceType;
    LoadMember(*this, kComPortKey, comPort, ClassName());
    LoadMember(*this, kInterfaceTypeKey, interfaceType, ClassName());
    m_ComPort = comPort;
    m_InterfaceType = interfaceType;
}

void CCommConfig::SaveValues()
{
    SaveMember(*this, kComPortKey, m_ComPort, ClassName());
    SaveMember(*this, kInterfaceTypeKey, m_InterfaceType, ClassName());
}
