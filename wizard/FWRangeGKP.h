#pragma once
#include "CRangeGKP.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <cstdint>

// The page of the temperature module GKP (slot A 3): the probe
// (thermocouple, RTD, resistance), the range within that probe's group of
// six, the cold-junction compensation (automatic, or manual with a
// temperature of 0 to 50 °C; only for a thermocouple) and the function of the
// external-command input. Each probe has its own range group: only the
// selected probe's group is enabled, every group shows the stored Range and
// Range is taken from the selected probe's group.
//
// Next publishes the range's electrical limits on g_Scala
// (SetElettricScale); End and Back do not.
class FWRangeGKP : public FWizardRangePage<CRangeGKP> {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 416;

    explicit FWRangeGKP(QWidget *parent = nullptr);

protected:
    void FormLoad() override;
    void DataToControls() override;
    void ControlsToData() override;

private:
    void ProbeSelectChange();
    void CJCChange();

    QGroupBox *ProbeSelect = nullptr;
    QGroupBox *CJC = nullptr;
    QGroupBox *RangeTC = nullptr;
    QGroupBox *RangeRTD = nullptr;
    QGroupBox *RangeRES = nullptr;
    QGroupBox *DigitalFunzione = nullptr;
    QLineEdit *txtTempCJC = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QComboBox *cmbFunzione = nullptr;

    COptionButton *m_ProbeSelect = nullptr;
    COptionButton *m_CJC = nullptr;
    CTextDigitSpin *m_TempCJC = nullptr;
    COptionButton *m_RangeTC = nullptr;
    COptionButton *m_RangeRTD = nullptr;
    COptionButton *m_RangeRES = nullptr;
    CComboBox *m_DigitalInFunction = nullptr;
};
