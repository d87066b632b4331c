#include "FWDisplay.h"

#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "PageControls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>

namespace {

constexpr std::int32_t kTitle = 518; // "Password, choice of basic colour ..."

} // namespace

using namespace pagecontrols;

FWDisplay::FWDisplay(QWidget *parent) : FWizardDataPage<CDisplay>(QStringLiteral("FWDisplay"), kTitle, parent)
{
    Password = NewFrame(Body(), QStringLiteral("Password"), 510);
    txtPassword = NewSpinTextBox(Password, QStringLiteral("txtPassword"), UpDown1, QStringLiteral("UpDown1"));
    auto *passwordRow = new QHBoxLayout(Password);
    passwordRow->addWidget(txtPassword);
    passwordRow->addStretch(1);

    // The groups' buttons carry no item data: a group's value is the
    // position of its selected button.
    DisplayDigit = NewFrame(Body(), QStringLiteral("DisplayDigit"), 511);
    m_DisplayDigit = NewOptionGroup(this, QStringLiteral("m_DisplayDigit"));
    FillOptionGroup(*m_DisplayDigit, DisplayDigit, QStringLiteral("optDisplayDigit"), {512, 513});

    DisplayColor = NewFrame(Body(), QStringLiteral("DisplayColor"), 514);
    m_DisplayColor = NewOptionGroup(this, QStringLiteral("m_DisplayColor"));
    FillOptionGroup(*m_DisplayColor, DisplayColor, QStringLiteral("optDisplayColor"), {515, 516, 517});

    auto *layout = new QGridLayout(Body());
    layout->addWidget(Password, 0, 0, 1, 2);
    layout->addWidget(DisplayDigit, 1, 0);
    layout->addWidget(DisplayColor, 1, 1);

    m_Password = NewSpin(this, QStringLiteral("m_Password"), txtPassword, UpDown1, CDisplay::kPasswordMin,
                         CDisplay::kPasswordMax);
}

FWDisplay::~FWDisplay() = default;

void FWDisplay::FormLoad()
{
    m_DisplayDigit->ActivateGroup(true);
    m_DisplayColor->ActivateGroup(true);
}

void FWDisplay::PrepareControls()
{
    const CDisplay &data = WorkingCopy();
    m_DisplayDigit->ActivateGroup(ModuleCodes::OffersDisplayChoice(data.ModelloStrumento(), data.SlotA()));
    m_DisplayColor->ActivateGroup(data.ModelloStrumento() == ModelCode::Oxa14);
}

void FWDisplay::DataToControls()
{
    const CDisplay &data = WorkingCopy();
    // A disabled group still takes the stored value (its frame is disabled,
    // so the member is switched on) and hands it back unchanged; a code
    // without a button shows, and stores, the first choice.
    SelectOption(*m_DisplayDigit, data.DisplayDigit());
    SelectOption(*m_DisplayColor, data.DisplayColor());
    m_Password->SetValue(data.Password());
}

void FWDisplay::ControlsToData()
{
    CDisplay &data = WorkingCopy();
    data.SetDisplayDigit(m_DisplayDigit->Value());
    data.SetDisplayColor(m_DisplayColor->Value());
    data.SetPassword(m_Password->ValueInt());
}
