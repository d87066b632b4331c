#include "FWAnalogOut.h"

#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "PageControls.h"
#include "ScaleTables.h"
#include "UpDownControl.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

const QString kPercent = QStringLiteral("%");

// The percentages are tenths: the one-decimal record of the four-digit
// table gives the factor 0.1 and the format "##0.0".
const DigitalPointInfo &percentFormat()
{
    return g_DigitalPoint4[1];
}

void resetPercentSpin(CTextDigitSpin &spin)
{
    ResetSpin(spin, CAnalogOut::kOutMin, CAnalogOut::kOutMax, 1, percentFormat().Factor, percentFormat().NumberFormat,
              kPercent);
}

} // namespace

FWAnalogOut::FWAnalogOut(QWidget *parent)
    : FWizardDataPage<CAnalogOut>(QStringLiteral("FWAnalogOut"), kTitle, parent),
      m_ChannelChoice(Body(), this, QStringLiteral("m_ChannelCombo"))
{
    QWidget *body = Body();

    OutputRange = NewFrame(body, "OutputRange", 520);
    Label4 = NewLabel(OutputRange, "Label4", 521);
    txtMaxOut = NewSpinTextBox(OutputRange, "txtMaxOut", UpDown1, "UpDown1");
    Label5 = NewLabel(OutputRange, "Label5", 522);
    txtMinOut = NewSpinTextBox(OutputRange, "txtMinOut", UpDown2, "UpDown2");
    LayOutRows(OutputRange, {{Label4, txtMaxOut}, {Label5, txtMinOut}});

    TypeSignalOut = NewFrame(body, "TypeSignalOut", 523);

    auto *topRow = new QHBoxLayout;
    topRow->addWidget(m_ChannelChoice.Frame());
    topRow->addWidget(OutputRange, 1);
    auto *layout = new QVBoxLayout(body);
    layout->addLayout(topRow);
    layout->addWidget(TypeSignalOut);
    layout->addStretch(1);

    m_MaxOut = NewSpin(this, "m_MaxOut", txtMaxOut, UpDown1, CAnalogOut::kOutMin, CAnalogOut::kOutMax);
    m_MinOut = NewSpin(this, "m_MinOut", txtMinOut, UpDown2, CAnalogOut::kOutMin, CAnalogOut::kOutMax);
    resetPercentSpin(*m_MaxOut);
    resetPercentSpin(*m_MinOut);

    m_TypeSignalOut = NewOptionGroup(this, "m_TypeSignalOut");
    FillOptionGroup(*m_TypeSignalOut, TypeSignalOut, "optTypeSignalOut", {524, 525});
}

FWAnalogOut::~FWAnalogOut() = default;

void FWAnalogOut::FormLoad()
{
    m_ChannelChoice.Fill();
    resetPercentSpin(*m_MaxOut);
    resetPercentSpin(*m_MinOut);
}

void FWAnalogOut::PrepareControls()
{
    const CAnalogOut &data = WorkingCopy();
    m_ChannelChoice.ApplyRules(data.ModelloStrumento(), data.WPxFunction());
}

void FWAnalogOut::DataToControls()
{
    const CAnalogOut &data = WorkingCopy();
    m_ChannelChoice.Show(data.Channel());
    m_MaxOut->SetValue(data.MaxOut());
    m_MinOut->SetValue(data.MinOut());
    const std::int16_t type = data.TypeSignalOut();
    // A code other than 0 is current, as the lines and the report take it.
    m_TypeSignalOut->SetValue(type == 0 ? 0 : 1);
}

void FWAnalogOut::ControlsToData()
{
    CAnalogOut &data = WorkingCopy();
    data.SetChannel(m_ChannelChoice.Chosen());
    data.SetMaxOut(m_MaxOut->ValueInt());
    data.SetMinOut(m_MinOut->ValueInt());
    data.SetTypeSignalOut(m_TypeSignalOut->Value());
}
