#include "CNetworkAddMsgSetup.h"

namespace {
const QString kNetworkAddKey = QStringLiteral("m_NetworkAdd");
const QString kModeConfigKey = QStringLiteral("m_ModeConfig");
const QString kSelNetworkAddKey = QStringLiteral("m_SelNetworkAdd");
const QString kTotalInstrNetworkKey = QStringLiteral("m_TotalInstrNetwork");
} // namespace

CNetworkAddMsgSetup::CNetworkAddMsgSetup() : CSettingsClass(QStringLiteral("CNetworkAddMsgSetup")) {}

void CNetworkAddMsgSetup::CopyProperties(const CNetworkAddMsgSetup &from, CNetworkAddMsgSetup &to)
{
    to.SetNetworkAdd(from.NetworkAdd());
    to.SetModeConfig(from.ModeConfig());
    to.SetSelNetworkAdd(from.SelNetworkAdd());
    to.SetTotalInstrNetwork(from.TotalInstrNetwork());
    to.SetInterfaceType(from.InterfaceType());
}

void CNetworkAddMsgSetup::LoadValues()
{
    // Read into copies first, so a bad value cannot leave the ones before it
    // applied on their own.
    std::int16_t networkAdd = m_NetworkAdd;
    std::int16_t modeConfig = m_ModeConfig;
    std::int16_t selNetworkAdd = m_SelNetworkAdd;
    std::int16_t totalInstrNetwork = m_TotalInstrNetwork;
    LoadMember(*this, kNetworkAddKey, networkAdd, ClassName());
    LoadMember(*this, kModeConfigKey, modeConfig, ClassName());
    LoadMember(*this, kSelNetworkAddKey, selNetworkAdd, ClassName());
    LoadMember(*this, kTotalInstrNetworkKey, totalInstrNetwork, ClassName());
    m_NetworkAdd = networkAdd;
    m_ModeConfig = modeConfig;
    m_SelNetworkAdd = selNetworkAdd;
    m_TotalInstrNetwork = totalInstrNetwork;
}

void CNetworkAddMsgSetup::SaveValues()
{
    SaveMember(*this, kNetworkAddKey, m_NetworkAdd, ClassName());
    SaveMember(*this, kModeConfigKey, m_ModeConfig, ClassName());
    SaveMember(*this, kSelNetworkAddKey, m_SelNetworkAdd, ClassName());
    SaveMember(*this, kTotalInstrNetworkKey, m_TotalInstrNetwork, ClassName());
}
