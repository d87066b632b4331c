#pragma once
#include "CSerialComm.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <cstdint>

// The serial module page: the instrument's network address (1 to 255) and
// its baud rate (4800, 9600, 19200, 38400: codes 0 to 3, the button
// positions), on a working copy of CSerialComm. A stored address outside
// 1 to 255 is shown, and stored again, at the nearest limit. The check on
// leaving always passes.
//
// Wrappers (objectName as the member): m_NetworkAdd (CTextDigitSpin),
// m_BaudRate (COptionButton).
class FWSerialComm : public FWizardDataPage<CSerialComm> {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 356; // "Setting the parameters of the serial module..."

    explicit FWSerialComm(QWidget *parent = nullptr);
    ~FWSerialComm() override;

protected:
    void DataToControls() override;
    void ControlsToData() override;

private:
    QGroupBox *frmNetworkAdd = nullptr;
    QLineEdit *txtNetworkAdd = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QGroupBox *BaudRate = nullptr;

    CTextDigitSpin *m_NetworkAdd = nullptr;
    COptionButton *m_BaudRate = nullptr;
};
