#include "FWLinearize.h"

#include "CComboBox.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "MsgBox.h"
#include "PageControls.h"
#include "ResourceText.h"
#include "StringTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

constexpr std::int32_t kTitle = 473; // "Definition of linearization points |1..."
constexpr std::int32_t kInputsNotAscending = 798;
// The column headings, over each block of points.
constexpr std::int32_t kTextInput = 471;
constexpr std::int32_t kTextOutput = 472;

constexpr std::int32_t kPointMin = -9999;
constexpr std::int32_t kPointMax = 9999;

// Points per column block of the page (two blocks side by side).
constexpr int kPointsPerBlock = 8;

} // namespace

using namespace pagecontrols;

FWLinearize::FWLinearize(QWidget *parent) : FWizardDataPage<CLinearize>(QStringLiteral("FWLinearize"), 0, parent)
{
    QWidget *body = Body();
    auto *grid = new QGridLayout(body);

    Label1 = NewLabel(body, QStringLiteral("Label1"), 470);
    cmbNumSpezzate = NewCombo(body, QStringLiteral("cmbNumSpezzate"));
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(cmbNumSpezzate, 0, 1);

    Label2 = NewLabel(body, QStringLiteral("Label2"), kTextInput);
    Label4 = NewLabel(body, QStringLiteral("Label4"), kTextOutput);
    Label3 = NewLabel(body, QStringLiteral("Label3"), kTextInput);
    Label5 = NewLabel(body, QStringLiteral("Label5"), kTextOutput);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Label4, 1, 1);
    grid->addWidget(Label3, 1, 2);
    grid->addWidget(Label5, 1, 3);

    for (int i = 0; i < CLinearize::kPoints; ++i) {
        const QString n = QString::number(i);
        txtLinearizeIn[i] =
            NewSpinTextBox(body, QStringLiteral("txtLinearizeIn") + n, UpDownIn[i], QStringLiteral("UpDownIn") + n);
        txtLinearizeOut[i] =
            NewSpinTextBox(body, QStringLiteral("txtLinearizeOut") + n, UpDownOut[i], QStringLiteral("UpDownOut") + n);
        const int row = 2 + i % kPointsPerBlock;
        const int column = 2 * (i / kPointsPerBlock);
        grid->addWidget(txtLinearizeIn[i], row, column);
        grid->addWidget(txtLinearizeOut[i], row, column + 1);
    }

    m_NumSpezzate = NewComboWrapper(this, QStringLiteral("m_NumSpezzate"), cmbNumSpezzate);
    for (std::int16_t n = CLinearize::kFewestPoints; n <= CLinearize::kPoints; ++n)
        m_NumSpezzate->AddText(QString::number(n), n);

    for (int i = 0; i < CLinearize::kPoints; ++i) {
        m_LinearizeIn[i] = NewSpin(this, QStringLiteral("m_LinearizeIn") + QString::number(i), txtLinearizeIn[i],
                                   UpDownIn[i], kPointMin, kPointMax);
    }
    for (int i = 0; i < CLinearize::kPoints; ++i) {
        m_LinearizeOut[i] = NewSpin(this, QStringLiteral("m_LinearizeOut") + QString::number(i), txtLinearizeOut[i],
                                    UpDownOut[i], kPointMin, kPointMax);
    }

    connect(m_NumSpezzate, &CComboBox::Change, this, &FWLinearize::m_NumSpezzate_Change);
}

FWLinearize::~FWLinearize() = default;

void FWLinearize::FormLoad()
{
    // Each load starts from the designed spins: the rules of the showing
    // then narrow them.
    for (auto *spins : {&m_LinearizeIn, &m_LinearizeOut}) {
        for (CTextDigitSpin *spin : *spins) {
            spin->SetMin(kPointMin);
            spin->SetMax(kPointMax);
            spin->SetIncrementoMinimo(1);
            spin->SetEnabled(true);
        }
    }
}

void FWLinearize::PrepareControls()
{
    const CLinearize &data = WorkingCopy();
    QString channel;
    if (ModuleCodes::IsFrequencyModule(data.SlotA()))
        channel = LoadResourceString(data.IsChannelA() ? 491 : 492);
    lblTitle->setText(GetResourceText(kTitle, {channel}));

    SetOutputLimits();
    SetInputLimits();
}

void FWLinearize::SetOutputLimits()
{
    const CLinearize &data = WorkingCopy();
    // Channel F has a display line of its own only on model 3.
    CScaleMisuraDisplay &scale =
        (data.ModelloStrumento() == ModelCode::Oxa16 && data.ClassName() == QStringLiteral("CLinearizeB")) ? *g_ScalaB
                                                                                                           : *g_Scala;
    const DigitalPointInfo info = DisplayFormat(scale.DigitalPointScalaDisplay());
    // The outputs run from the lower to the upper end of the displayed
    // range, which lies downward when the display is inverted. Both ends are
    // taken from the one scale the outputs are shown in, so the limits never
    // cross.
    const std::int32_t low = std::min(scale.InizioScalaDisplay(), scale.FineScalaDisplay());
    const std::int32_t high = std::max(scale.InizioScalaDisplay(), scale.FineScalaDisplay());
    const bool step10 = StepsByTen(data.ModelloStrumento(), data.SlotA(), data.DisplayDigit());
    for (CTextDigitSpin *spin : m_LinearizeOut) {
        spin->SetMin(low);
        spin->SetMax(high);
        SetSpinFormat(*spin, info);
        if (step10)
            spin->SetIncrementoMinimo(10);
    }
}

void FWLinearize::SetInputLimits()
{
    const CLinearize &data = WorkingCopy();
    const DigitalPointInfo info = DisplayFormat(data.ElectricDigitalPoint());
    const QString unit = g_Scala->UnitaMisuraScalaElettrica();
    for (CTextDigitSpin *spin : m_LinearizeIn) {
        spin->SetMin(data.MinElectricScale());
        spin->SetMax(data.MaxElectricScale());
        SetSpinFormat(*spin, info);
        spin->SetUnitaMisura(unit);
    }
}

void FWLinearize::DataToControls()
{
    const CLinearize &data = WorkingCopy();
    SelectListItemData(*m_NumSpezzate, data.NumSpezzate());
    m_NumSpezzate_Change();
    // Every point, in use or not: the points beyond the number of points
    // show (disabled) what the configuration holds for them.
    for (std::int16_t i = 0; i < CLinearize::kPoints; ++i) {
        m_LinearizeIn[i]->SetValue(data.CoordinateIn(i));
        m_LinearizeOut[i]->SetValue(data.CoordinateOut(i));
    }
}

void FWLinearize::ControlsToData()
{
    CLinearize &data = WorkingCopy();
    data.SetNumSpezzate(static_cast<std::int16_t>(m_NumSpezzate->ItemData()));
    for (std::int16_t i = 0; i < CLinearize::kPoints; ++i) {
        data.SetCoordinateIn(i, m_LinearizeIn[i]->Value());
        data.SetCoordinateOut(i, m_LinearizeOut[i]->Value());
    }
}

bool FWLinearize::CheckData()
{
    const std::int32_t points = std::min<std::int32_t>(m_NumSpezzate->ItemData(), CLinearize::kPoints);
    for (std::int32_t i = 1; i < points; ++i) {
        // Equal neighbours pass: a flat step of the curve is allowed.
        if (m_LinearizeIn[i - 1]->Value() > m_LinearizeIn[i]->Value()) {
            MsgBox(LoadResourceString(kInputsNotAscending), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(),
                   this);
            return false;
        }
    }
    return true;
}

bool FWLinearize::CheckBeforeClose(std::int32_t button)
{
    return button == kButtonBack || CheckData();
}

void FWLinearize::m_NumSpezzate_Change()
{
    const std::int32_t points = m_NumSpezzate->ItemData();
    if (points < 0)
        return; // no selection yet
    for (int i = 0; i < CLinearize::kPoints; ++i) {
        const bool inUse = i < points;
        m_LinearizeIn[i]->SetEnabled(inUse);
        m_LinearizeOut[i]->SetEnabled(inUse);
        if (!inUse) {
            m_LinearizeIn[i]->SetValue(0);
            m_LinearizeOut[i]->SetValue(0);
        }
    }
}
