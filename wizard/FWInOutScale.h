#pragma once
#include "CInOutScale.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <cstdint>

// The scale page of one display channel: the electrical input range
// (decimal point, minimum, maximum), the displayed range (decimal point,
// minimum, maximum) and the linearisation switch of a CInOutScale.
//
// The working copy's ClassName says the channel ("CInOutScale" channel A,
// any other name channel F); its context values (SlotA, ModelloStrumento,
// MeasureType, DisplayDigit, WPxFunction) and the electrical range of
// g_Scala/g_ScalaB give the choices and the spin limits at every showing,
// so a stored value outside them is shown, and stored again, at the nearest
// limit. Leaving with Next publishes the displayed range (SetDisplayScale)
// for the linearisation, alarm and filter pages that follow.
//
// Wrappers (objectName as the member, reachable with findChild):
// m_ElectricDigitalPoint, m_MeasureDigitalPoint (CComboBox),
// m_MinElectricScale, m_MaxElectricScale, m_MinMeasureScale,
// m_MaxMeasureScale (CTextDigitSpin), m_Linearizzazione (COptionButton).
class FWInOutScale : public FWizardScalePage<CInOutScale> {
    Q_OBJECT

public:
    explicit FWInOutScale(QWidget *parent = nullptr);
    ~FWInOutScale() override;

    // Appends to combo one item per decimal-point value from `from` to `to`
    // (both included): the sample text of its format record, the value as
    // item data.
    static void AddDigitalPointItems(CComboBox &combo, std::int32_t from, std::int32_t to);

    // The highest electrical count a frequency/counter range offers with a
    // decimal point of the given factor: fineScalaElettrica (thousandths of
    // the unit) x 0.001 / factor, truncated toward zero, and `limit` when it
    // is larger (or does not fit a Long).
    static std::int32_t FrequencyRangeTop(std::int32_t fineScalaElettrica, float factor, std::int32_t limit);

protected:
    void FormLoad() override;
    // Title, enabling, displayed-range limits.
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;
    bool CheckData() override;
    // Back stores the page without the check.
    bool CheckBeforeClose(std::int32_t button) override;

private:
    bool isChannelA();
    void EnableScaleControls();
    void SetMeasureScaleLimits();
    void m_ElectricDigitalPoint_Change();
    void m_MeasureDigitalPoint_Change();

    QGroupBox *frmElettricScale = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label6 = nullptr;
    QComboBox *cmbElettricDigitalPoint = nullptr;
    QLineEdit *txtMinElectricScale = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QLineEdit *txtMaxElectricScale = nullptr;
    UpDownControl *UpDown2 = nullptr;
    QGroupBox *frmMeasureScale = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QComboBox *cmbMeasureDigitalPoint = nullptr;
    QLineEdit *txtMinMeasureScale = nullptr;
    UpDownControl *UpDown3 = nullptr;
    QLineEdit *txtMaxMeasureScale = nullptr;
    UpDownControl *UpDown4 = nullptr;
    QGroupBox *Linearizzazione = nullptr;
    QRadioButton *optLinearizzazione0 = nullptr;
    QRadioButton *optLinearizzazione1 = nullptr;

    CComboBox *m_ElectricDigitalPoint = nullptr;
    CTextDigitSpin *m_MinElectricScale = nullptr;
    CTextDigitSpin *m_MaxElectricScale = nullptr;
    CComboBox *m_MeasureDigitalPoint = nullptr;
    CTextDigitSpin *m_MinMeasureScale = nullptr;
    CTextDigitSpin *m_MaxMeasureScale = nullptr;
    COptionButton *m_Linearizzazione = nullptr;
};
