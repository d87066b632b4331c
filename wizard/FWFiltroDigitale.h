#pragma once
#include "CFiltroDigitale.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <cstdint>

// The digital filter page: the filter's operating range (Campo) and its
// filtering coefficient (Coeff, 1 to 32), on a working copy of
// CFiltroDigitale.
//
// With a frequency/counter module (SlotA 4 or 5) the range is a percentage
// in tenths (0.0 to 100.0 %). With any other input it is a band of the
// displayed scale of channel A (g_Scala, published by the scale page): from
// 0 to the span of that scale, capped by the display (9999 on models 1 to
// 3; on model 0 1999, or 9990 in steps of 10 with the "9990" display), in
// the scale's decimal point and without unit. A stored value outside is
// shown, and stored again, at the nearest limit. The check on leaving
// always passes.
//
// Wrappers (objectName as the member): m_Campo, m_Coeff (CTextDigitSpin).
class FWFiltroDigitale : public FWizardDataPage<CFiltroDigitale> {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 503; // "Digital filter setting..."
    static constexpr std::int32_t kCampoPercentMax = 1000;
    // The rule also takes 0, the class's starting value; the page offers
    // from 1.
    static constexpr std::int32_t kCoeffMin = 1;

    explicit FWFiltroDigitale(QWidget *parent = nullptr);
    ~FWFiltroDigitale() override;

    // The largest operating range (display counts) for a context whose
    // input is not a frequency/counter module, given the span of the
    // displayed scale of channel A.
    static std::int32_t CampoMax(const CFiltroDigitale &context, std::int32_t span);

protected:
    void FormLoad() override;
    // LimitFilterRange.
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;

private:
    void LimitFilterRange();

    QGroupBox *DigitalFilter = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *txtCampo = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QLineEdit *txtCoeff = nullptr;
    UpDownControl *UpDown2 = nullptr;

    CTextDigitSpin *m_Campo = nullptr;
    CTextDigitSpin *m_Coeff = nullptr;
};
