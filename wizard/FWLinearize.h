#pragma once
#include "CLinearize.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <array>
#include <cstdint>

// The linearisation page of one display channel: the number of points of
// the curve of a CLinearize and, for each of the 16 points, its input value
// (electrical scale) and its output value (displayed scale).
//
// Limits at every showing: the inputs run over the working copy's electrical
// range (MinElectricScale..MaxElectricScale, its ElectricDigitalPoint, the
// unit of g_Scala); the outputs over the displayed range that the scale
// page's Next published (g_ScalaB for channel F on model 3, else g_Scala),
// from its lower to its upper end also when the display runs downward.
// Points beyond the number of points are disabled; they keep and store
// their values until the number of points is changed on the page, which
// zeroes the points that drop out.
//
// Wrappers (objectName as the member): m_NumSpezzate (CComboBox),
// m_LinearizeIn0..15 and m_LinearizeOut0..15 (CTextDigitSpin).
class FWLinearize : public FWizardDataPage<CLinearize> {
    Q_OBJECT

public:
    explicit FWLinearize(QWidget *parent = nullptr);
    ~FWLinearize() override;

protected:
    void FormLoad() override;
    // Title, output limits, input limits.
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;
    bool CheckData() override;
    // Back stores the page without the check.
    bool CheckBeforeClose(std::int32_t button) override;

private:
    void SetOutputLimits();
    void SetInputLimits();
    void m_NumSpezzate_Change();

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QComboBox *cmbNumSpezzate = nullptr;
    std::array<QLineEdit *, CLinearize::kPoints> txtLinearizeIn{};
    std::array<UpDownControl *, CLinearize::kPoints> UpDownIn{};
    std::array<QLineEdit *, CLinearize::kPoints> txtLinearizeOut{};
    std::array<UpDownControl *, CLinearize::kPoints> UpDownOut{};

    CComboBox *m_NumSpezzate = nullptr;
    std::array<CTextDigitSpin *, CLinearize::kPoints> m_LinearizeIn{};
    std::array<CTextDigitSpin *, CLinearize::kPoints> m_LinearizeOut{};
};
