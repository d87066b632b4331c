#pragma once
#include "CNetworkAddMsgSetup.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <cstdint>

// The network page of the connection wizards: one instrument or every
// instrument of the network (ModeConfig), the single instrument's address
// detected or given by hand (SelNetworkAdd) with the address itself
// (NetworkAdd, 1 to 255), and the number of instruments of the network
// (TotalInstrNetwork, 1 to 255), on a working copy of CNetworkAddMsgSetup,
// with three fixed instructions for the user.
//
// The choices follow the working copy's InterfaceType (1 RS232 to one
// instrument, 2 RS485 network; 4 and 5 the same plus 3 on the
// modify-instrument-parameters wizard) and the owner's Action:
//   Action 0 (transfers): the network choice only on RS485; the address
//     group only for a single instrument, automatic detection only on
//     RS232 (otherwise the address is given by hand); the count only for
//     the whole network.
//   Action not 0 (live view): one mode per interface (single on RS232,
//     network on RS485); address group and address only on RS232, the
//     count only on RS485.
// A choice that becomes disabled while selected hands the selection to the
// other button. Every value is stored on leaving, enabled or not. The check
// always passes.
//
// Wrappers (objectName as the member): m_ModeConfig, m_SelNetworkAdd
// (COptionButton), m_NetworkAdd, m_TotalInstrNetwork (CTextDigitSpin).
class FWNetworkAddMsgSetup : public FWizardDataPage<CNetworkAddMsgSetup>, public PageAction {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 591; // "Indication of network address and warning messages"
    static constexpr std::int32_t kAddressMin = 1;
    static constexpr std::int32_t kAddressMax = 255;

    explicit FWNetworkAddMsgSetup(QWidget *parent = nullptr);
    ~FWNetworkAddMsgSetup() override;

protected:
    void FormLoad() override;
    void DataToControls() override;
    void ControlsToData() override;
    // What the interface allows.
    void ApplyRules() override;

private:
    void ModeConfigChanged();
    void SelNetworkAddChanged();

    QGroupBox *frmModeConfig = nullptr;
    QRadioButton *optConfigSingleInstr = nullptr;
    QRadioButton *optConfigNetworkInstr = nullptr;
    QGroupBox *frmSelNetworkAdd = nullptr;
    QRadioButton *optAutomatic = nullptr;
    QRadioButton *optManual = nullptr;
    QLineEdit *txtNetworkAdd = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QGroupBox *frmTotalInstrNetwork = nullptr;
    QLineEdit *txtTotalInstrNetwork = nullptr;
    UpDownControl *UpDown2 = nullptr;
    QGroupBox *frmMessage = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;

    COptionButton *m_ModeConfig = nullptr;
    COptionButton *m_SelNetworkAdd = nullptr;
    CTextDigitSpin *m_NetworkAdd = nullptr;
    CTextDigitSpin *m_TotalInstrNetwork = nullptr;
};
