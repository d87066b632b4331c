#pragma once
#include "CAlarm.h"
#include "FWizardPage.h"
#include "PageControls.h"

#include <cstdint>

class CScaleMisuraDisplay;

// The page of one alarm (a working copy of one of "CAlarm1" to "CAlarm4"):
// the adjustment limits of the set point, the set point, the hysteresis,
// the two delays, the alarm type, the relay status, the display colour and,
// on the six-digit model (3), the channel the alarm watches.
//
// The limits, set point and hysteresis are display counts of the alarm's
// channel: at every showing the channel's display scale (g_Scala or
// g_ScalaB, published by the scale and counters pages) gives the limit
// spins their range, the hysteresis its maximum, and all four their decimal
// point; a stored value outside is shown, and stored again, at the nearest
// limit. Minimum <= set point <= maximum is kept while the user edits.
// The check on leaving always passes.
//
// Wrappers (objectName as the member): m_Channel (CComboBox, the list of
// the channel choice m_ChannelChoice), m_MinAlarmScale, m_MaxAlarmScale,
// m_AlarmSetPoint, m_Isteresi, m_RitAttivazione, m_RitDisattivazione
// (CTextDigitSpin), m_AlarmType, m_RelayStatus, m_AlarmColor
// (COptionButton).
class FWAlarm : public FWizardDataPage<CAlarm> {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 563; // "|1 alarm parameters setting..."

    explicit FWAlarm(QWidget *parent = nullptr);
    ~FWAlarm() override;

    // The display scale that limits the alarm values for this context and
    // channel index: on model 3 the channel picks it (0 g_Scala, else
    // g_ScalaB); on the other models channel F (g_ScalaB) is the frequency
    // module's computed value under functions other than F1 and F7, and
    // channel A (g_Scala) otherwise.
    static CScaleMisuraDisplay &AlarmScale(const CAlarm &context, std::int16_t channel);
    // The cap of the hysteresis maximum for the context.
    static std::int32_t HysteresisCap(const CAlarm &context);

protected:
    void FormLoad() override;
    // The title and the enabling rules.
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;

private:
    void ChannelChanged();
    void MinAlarmScaleChanged();
    void MaxAlarmScaleChanged();
    void LimitAlarmRange();

    pagecontrols::ChannelChoice m_ChannelChoice;
    QGroupBox *frmAlarmScale = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *txtMinAlarmScale = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QLineEdit *txtMaxAlarmScale = nullptr;
    UpDownControl *UpDown2 = nullptr;
    QGroupBox *AlarmSetup = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *txtAlarmSetPoint = nullptr;
    UpDownControl *UpDown3 = nullptr;
    QLineEdit *txtIsteresi = nullptr;
    UpDownControl *UpDown4 = nullptr;
    QLineEdit *txtRitAttivazione = nullptr;
    UpDownControl *UpDown5 = nullptr;
    QLineEdit *txtRitDisattivazione = nullptr;
    UpDownControl *UpDown6 = nullptr;
    QGroupBox *AlarmType = nullptr;
    QGroupBox *RelayStatus = nullptr;
    QGroupBox *AlarmColor = nullptr;

    CTextDigitSpin *m_MinAlarmScale = nullptr;
    CTextDigitSpin *m_MaxAlarmScale = nullptr;
    CTextDigitSpin *m_AlarmSetPoint = nullptr;
    CTextDigitSpin *m_Isteresi = nullptr;
    CTextDigitSpin *m_RitAttivazione = nullptr;
    CTextDigitSpin *m_RitDisattivazione = nullptr;
    COptionButton *m_AlarmType = nullptr;
    COptionButton *m_RelayStatus = nullptr;
    COptionButton *m_AlarmColor = nullptr;
};
