#pragma once
#include "CRangeMVAHVA.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <cstdint>

// The page of the low-signal (slot A 0 MVA, 1 MVB/MVC) or high-signal
// (slot A 2 HVA) measuring module: the range (one group of six per module
// family; only the group of the fitted module is enabled, and Range goes
// through it), TRMS or DC measure, automatic or manual integration time
// with the manual time in tenths of a millisecond (100.0 to 999.9 ms), and
// the function of the external-command input. The owner sets the working
// copy's ModelloStrumento and SlotA before the page is shown.
//
// Next publishes the range's electrical limits on g_Scala
// (SetElettricScale) for the scale page that follows; End and Back do not.
class FWRangeMVAHVA : public FWizardRangePage<CRangeMVAHVA> {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitleLowSignal = 442;
    static constexpr std::int32_t kTitleHighSignal = 443;

    explicit FWRangeMVAHVA(QWidget *parent = nullptr);

protected:
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;

private:
    void IntegrationTimeChange();
    // The range group of the fitted module.
    COptionButton &RangeInUse();

    QGroupBox *RangeMVAMVB = nullptr;
    QGroupBox *RangeHVA = nullptr;
    QGroupBox *MeasureType = nullptr;
    QGroupBox *IntegrationTime = nullptr;
    QGroupBox *DigitalInFunction = nullptr;
    QLineEdit *txtIntTime = nullptr;
    UpDownControl *UpDown1 = nullptr;

    COptionButton *m_RangeMVAMVB = nullptr;
    COptionButton *m_RangeHVA = nullptr;
    COptionButton *m_MeasureType = nullptr;
    COptionButton *m_IntegrationTime = nullptr;
    COptionButton *m_DigitalInFunction = nullptr;
    CTextDigitSpin *m_IntTime = nullptr;
};
