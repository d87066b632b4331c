#pragma once
#include "CCounterAB.h"
#include "FWizardPage.h"

#include <cstdint>

class CComboBox;
class CTextDigitSpin;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class UpDownControl;

// The counters page of the frequency/counter modules: for counter A
// (channel A) and counter B (channel F) the decimal point of the counter's
// display, the decimal point of its prescaler and the prescaler (the weight
// of one pulse), and on F10 and F11 channel A's electrical input range, of
// a CCounterAB.
//
// The working copy's WPxFunction decides what is shown: the electrical
// frame only on F10 and F11 (the counter frames move up when it is hidden),
// counter B disabled on F8, counter A disabled on F9. The electrical limits
// come from g_Scala's range at every showing. End, Next and Back refuse an
// electrical maximum that is not above the minimum while the electrical
// frame is shown; Next publishes the counters' display scales
// (SetDisplayScale) for the pages that follow.
//
// Wrappers (objectName as the member): m_ElectricDigitalPoint,
// m_MeasureDigitalPointCounterA, m_CounterADigitalPoint,
// m_MeasureDigitalPointCounterB, m_CounterBDigitalPoint (CComboBox),
// m_MinElectricScale, m_MaxElectricScale, m_CounterAPulseWeight,
// m_CounterBPulseWeight (CTextDigitSpin).
class FWCounterAB : public FWizardDataPage<CCounterAB> {
    Q_OBJECT

public:
    explicit FWCounterAB(QWidget *parent = nullptr);
    ~FWCounterAB() override;

protected:
    void FormLoad() override;
    // ShowCounterFrames, DataToControls, buttons.
    void Activate() override;
    void DataToControls() override;
    void ControlsToData() override;
    bool CheckData() override;
    void AfterControlsToData(std::int32_t button) override;

private:
    void ShowCounterFrames();
    void m_ElectricDigitalPoint_Change();
    void m_CounterADigitalPoint_Change();
    void m_CounterBDigitalPoint_Change();

    QGroupBox *frmElettricScale = nullptr;
    QLabel *Label6 = nullptr;
    QComboBox *cmbElettricDigitalPoint = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtMinElectricScale = nullptr;
    UpDownControl *UpDown3 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *txtMaxElectricScale = nullptr;
    UpDownControl *UpDown2 = nullptr;

    QGroupBox *frmCounterAPulseWeight = nullptr;
    QLabel *Label5 = nullptr;
    QComboBox *cmbMeasureDigitalPointCounterA = nullptr;
    QLabel *Label8 = nullptr;
    QComboBox *cmbCounterADigitalPoint = nullptr;
    QLabel *Label7 = nullptr;
    QLineEdit *txtCounterAPulseWeight = nullptr;
    UpDownControl *UpDown5 = nullptr;

    QGroupBox *frmCounterBPulseWeight = nullptr;
    QLabel *Label9 = nullptr;
    QComboBox *cmbMeasureDigitalPointCounterB = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cmbCounterBDigitalPoint = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *txtCounterBPulseWeight = nullptr;
    UpDownControl *UpDown1 = nullptr;

    CComboBox *m_ElectricDigitalPoint = nullptr;
    CTextDigitSpin *m_MinElectricScale = nullptr;
    CTextDigitSpin *m_MaxElectricScale = nullptr;
    CComboBox *m_MeasureDigitalPointCounterA = nullptr;
    CComboBox *m_CounterADigitalPoint = nullptr;
    CTextDigitSpin *m_CounterAPulseWeight = nullptr;
    CComboBox *m_MeasureDigitalPointCounterB = nullptr;
    CComboBox *m_CounterBDigitalPoint = nullptr;
    CTextDigitSpin *m_CounterBPulseWeight = nullptr;
};
