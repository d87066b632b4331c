#pragma once
#include "CAnalogOut.h"
#include "FWizardPage.h"
#include "PageControls.h"

#include <cstdint>

// The analogue output page (BN module): the output at the two ends of the
// scale, in tenths of a percent of the signal interval (0.0 to 100.0 %),
// the signal type (voltage 0-10 V, current 0-20 mA) and, on model 3, the
// channel the output follows. It edits a working copy of CAnalogOut.
//
// The channel frame is shown only on model 3 and is disabled under the
// rotation-direction function F7 (WPxFunction 6), when channel A is shown
// and stored. A hidden channel is still loaded and stored unchanged. A
// minimum above the maximum is accepted; a stored value outside 0 to 1000
// is shown, and stored again, at the nearest limit.
//
// Wrappers (objectName as the member): m_ChannelCombo (CComboBox, the list
// of the channel choice m_ChannelChoice), m_MaxOut, m_MinOut
// (CTextDigitSpin), m_TypeSignalOut (COptionButton).
class FWAnalogOut : public FWizardDataPage<CAnalogOut> {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 526; // "Parameter setting of analogue output signal..."

    explicit FWAnalogOut(QWidget *parent = nullptr);
    ~FWAnalogOut() override;

protected:
    void FormLoad() override;
    // The channel frame's rules.
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;

private:
    pagecontrols::ChannelChoice m_ChannelChoice;
    QGroupBox *OutputRange = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *txtMaxOut = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QLineEdit *txtMinOut = nullptr;
    UpDownControl *UpDown2 = nullptr;
    QGroupBox *TypeSignalOut = nullptr;

    CTextDigitSpin *m_MaxOut = nullptr;
    CTextDigitSpin *m_MinOut = nullptr;
    COptionButton *m_TypeSignalOut = nullptr;
};
