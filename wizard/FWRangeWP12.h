#pragma once
#include "CRangeWP12.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <cstdint>

// The page of the frequency/counter modules WP1 and WP2 (slot A 4, 5): the
// function applied to inputs A and B (F1..F11 on model 3, F1..F7 on the
// other models; the list position is the code), the pulses per revolution
// (1..9999) and the engineering unit of each input, and the function of the
// digital input (options 3 and 4, which reset the counters, only on model
// 3). Input B can be edited only on model 3 with F1; its values are stored
// whatever the function.
//
// A stored function or unit that the list has no item for (F8..F11 left
// from a model-3 configuration on another model) shows, and is stored as,
// the first item, so that the page never stores the list's "no selection".
//
// Next publishes the electrical range of input A on g_Scala and of input B
// on g_ScalaB (SetElettricScale); End and Back do not.
class FWRangeWP12 : public FWizardRangePage<CRangeWP12> {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 620;

    explicit FWRangeWP12(QWidget *parent = nullptr);

protected:
    void FormLoad() override;
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;

private:
    void WPxFunctionChange();

    QGroupBox *frmFunction = nullptr;
    QComboBox *cmbWPxFunction = nullptr;
    QLabel *txtNota = nullptr;
    QGroupBox *frmCounterA = nullptr;
    QGroupBox *frmCounterB = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QGroupBox *frmDigitalInFunction = nullptr;

    CComboBox *m_WPxFunction = nullptr;
    CTextDigitSpin *m_ImpGiroA = nullptr;
    CComboBox *m_UnitaIngA = nullptr;
    CTextDigitSpin *m_ImpGiroB = nullptr;
    CComboBox *m_UnitaIngB = nullptr;
    COptionButton *m_DigitalInFunction = nullptr;
};
