#include "CSettingsClass.h"

#include "CTraceCode.h"

CSettingsClassBase::CSettingsClassBase(const QString &className) : m_ClassName(className)
{
    g_Trace.BugMessage(QStringLiteral("Class_Initialize() ") + m_ClassName);
}

void CSettingsClassBase::LoadData(const QString &fileName)
{
    m_Base.LoadData(fileName);
    LoadValues();
}

void CSettingsClassBase::SaveData(const QString &fileName)
{
    m_Base.SaveData(fileName);
    SaveValues();
}

void CSettingsClassBase::SaveVariable(const QString &name, const QVariant &value, const QString &)
{
    m_Base.SaveVariable(name, value, ClassName());
}

void CSettingsClassBase::LoadVariable(const QString &name, QVariant &value, const QString &)
{
    m_Base.LoadVariable(name, value, ClassName());
}
