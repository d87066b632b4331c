#include "FWFiltroDigitale.h"

#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "PageControls.h"
#include "ScaleTables.h"
#include "UpDownControl.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

using namespace pagecontrols;

namespace {

void resetPercentSpin(CTextDigitSpin &spin)
{
    // Tenths of a percent: the one-decimal record of the four-digit table.
    ResetSpin(spin, 0, FWFiltroDigitale::kCampoPercentMax, 1, g_DigitalPoint4[1].Factor,
              g_DigitalPoint4[1].NumberFormat, QStringLiteral("%"));
}

} // namespace

FWFiltroDigitale::FWFiltroDigitale(QWidget *parent)
    : FWizardDataPage<CFiltroDigitale>(QStringLiteral("FWFiltroDigitale"), kTitle, parent)
{
    QWidget *body = Body();
    DigitalFilter = NewFrame(body, "DigitalFilter", 500);
    Label5 = NewLabel(DigitalFilter, "Label5", 501);
    txtCampo = NewSpinTextBox(DigitalFilter, "txtCampo", UpDown1, "UpDown1");
    Label6 = NewLabel(DigitalFilter, "Label6", 502);
    txtCoeff = NewSpinTextBox(DigitalFilter, "txtCoeff", UpDown2, "UpDown2");
    LayOutRows(DigitalFilter, {{Label5, txtCampo}, {Label6, txtCoeff}});
    auto *layout = new QVBoxLayout(body);
    layout->addWidget(DigitalFilter);
    layout->addStretch(1);

    m_Campo = NewSpin(this, QStringLiteral("m_Campo"), txtCampo, UpDown1, 0, kCampoPercentMax);
    resetPercentSpin(*m_Campo);
    m_Coeff = NewSpin(this, QStringLiteral("m_Coeff"), txtCoeff, UpDown2, kCoeffMin, CFiltroDigitale::kCoeffMax);
}

FWFiltroDigitale::~FWFiltroDigitale() = default;

std::int32_t FWFiltroDigitale::CampoMax(const CFiltroDigitale &context, std::int32_t span)
{
    std::int32_t cap = 9999;
    if (context.ModelloStrumento() == ModelCode::Oxa12)
        cap = context.DisplayDigit() == 1 ? 9990 : 1999;
    return std::min(span, cap);
}

void FWFiltroDigitale::FormLoad()
{
    // Each showing starts from the percentage spin as created: a module
    // changed on the model page since the last showing gets its own limits.
    resetPercentSpin(*m_Campo);
    ResetSpin(*m_Coeff, kCoeffMin, CFiltroDigitale::kCoeffMax);
}

void FWFiltroDigitale::PrepareControls()
{
    const std::int16_t slotA = WorkingCopy().SlotA();
    if (!ModuleCodes::IsFrequencyModule(slotA))
        LimitFilterRange();
}

void FWFiltroDigitale::LimitFilterRange()
{
    const CFiltroDigitale &data = WorkingCopy();
    // Worked out as a Long: a span wider than 16 bits is capped like any
    // other instead of overflowing.
    const std::int32_t span = Span(g_Scala->InizioScalaDisplay(), g_Scala->FineScalaDisplay());
    m_Campo->SetMin(0);
    m_Campo->SetMax(CampoMax(data, span));
    if (data.ModelloStrumento() == ModelCode::Oxa12 && data.DisplayDigit() == 1)
        m_Campo->SetIncrementoMinimo(10);
    SetSpinFormat(*m_Campo, DisplayFormat(g_Scala->DigitalPointScalaDisplay()));
    m_Campo->SetUnitaMisura(QString());
}

void FWFiltroDigitale::DataToControls()
{
    const CFiltroDigitale &data = WorkingCopy();
    m_Campo->SetValue(data.Campo());
    m_Coeff->SetValue(data.Coeff());
}

void FWFiltroDigitale::ControlsToData()
{
    CFiltroDigitale &data = WorkingCopy();
    data.SetCampo(m_Campo->ValueInt());
    data.SetCoeff(m_Coeff->ValueInt());
}
