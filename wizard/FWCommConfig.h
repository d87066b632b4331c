#pragma once
#include "CComboBox.h"
#include "CCommConfig.h"
#include "COptionButton.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <cstdint>

// The communication page: which serial port (COM1 to COM10, stored as 0 to
// 9) and which kind of connection to the instruments (0 the auxiliary
// RS232 interface, 1 Modbus to one instrument, 2 Modbus to a network), on a
// working copy of CCommConfig.
//
// Action (set by the owner): 0 on the transfer wizards; any other value
// (1 on the live view) disables "Auxiliary RS 232", and a stored interface 0
// then shows, and stores, the first enabled option.
class FWCommConfig : public FWizardDataPage<CCommConfig>, public PageAction {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 335;
    static constexpr std::int32_t kPorts = 10;

    explicit FWCommConfig(QWidget *parent = nullptr);

protected:
    void FormLoad() override;
    void DataToControls() override;
    void ControlsToData() override;
    void ApplyRules() override;

private:
    QGroupBox *ComPort = nullptr;
    QComboBox *cmbComPort = nullptr;
    QGroupBox *InterfaceType = nullptr;
    QRadioButton *optInterfaceType0 = nullptr;
    QRadioButton *optInterfaceType1 = nullptr;
    QRadioButton *optInterfaceType2 = nullptr;

    CComboBox m_ComPort;
    COptionButton m_InterfaceType;
};
