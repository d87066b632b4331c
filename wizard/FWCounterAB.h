#pragma once
#include "CCounterAB.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <array>
#include <cstdint>

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
// Wrappers, by objectName: m_ElectricDigitalPoint,
// m_MeasureDigitalPointCounterA, m_CounterADigitalPoint,
// m_MeasureDigitalPointCounterB, m_CounterBDigitalPoint (CComboBox),
// m_MinElectricScale, m_MaxElectricScale, m_CounterAPulseWeight,
// m_CounterBPulseWeight (CTextDigitSpin).
class FWCounterAB : public FWizardScalePage<CCounterAB> {
    Q_OBJECT

public:
    explicit FWCounterAB(QWidget *parent = nullptr);
    ~FWCounterAB() override;

protected:
    void FormLoad() override;
    // ShowCounterFrames.
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;
    bool CheckData() override;

private:
    // One counter's frame: the decimal point of the counter's display, the
    // decimal point of its prescaler and the prescaler, each beside its label.
    struct Counter {
        QGroupBox *frame = nullptr;
        std::array<QLabel *, 3> labels{};
        CComboBox *measureDigitalPoint = nullptr;
        CComboBox *digitalPoint = nullptr;
        CTextDigitSpin *pulseWeight = nullptr;
    };
    // The designed names of a counter's controls and wrappers.
    struct CounterNames;

    Counter NewCounter(const CounterNames &names);
    // Enables or disables the frame, its labels and its controls.
    static void EnableCounter(const Counter &counter, bool enabled);
    // The prescaler in the format of its decimal point (none selected: as it is).
    static void ShowPulseWeightFormat(const Counter &counter);

    void ShowCounterFrames();
    void m_ElectricDigitalPoint_Change();

    QGroupBox *frmElettricScale = nullptr;
    CComboBox *m_ElectricDigitalPoint = nullptr;
    CTextDigitSpin *m_MinElectricScale = nullptr;
    CTextDigitSpin *m_MaxElectricScale = nullptr;
    Counter m_CounterA;
    Counter m_CounterB;
};
