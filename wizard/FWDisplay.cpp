#include "FWDisplay.h"

#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "PageControls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr std::int32_t kTitle = 518; // "Password, choice of basic colour ..."
constexpr std::int32_t kPasswordMin = 0;
constexpr std::int32_t kPasswordMax = 9000;

} // namespace

using namespace pagecontrols;

FWDisplay::FWDisplay(QWidget *parent)
    : FWizardDataPage<CDisplay>(QStringLiteral("FWDisplay"), kTitle, parent)
{
    Password = NewFrame(Body(), QStringLiteral("Password"), 510);
    txtPassword = NewSpinTextBox(Password, QStringLiteral("txtPassword"), UpDown1, QStringLiteral("UpDown1"));
    auto *passwordRow = new QHBoxLayout(Password);
    passwordRow->addWidget(txtPassword);
    passwordRow->addStretch(1);

    DisplayDigit = NewFrame(Body(), QStringLiteral("DisplayDigit"), 511);
    optDisplayDigit0 = NewOption(DisplayDigit, QStringLiteral("optDisplayDigit0"), 512);
    optDisplayDigit1 = NewOption(DisplayDigit, QStringLiteral("optDisplayDigit1"), 513);
    auto *digitColumn = new QVBoxLayout(DisplayDigit);
    digitColumn->addWidget(optDisplayDigit0);
    digitColumn->addWidget(optDisplayDigit1);

    DisplayColor = NewFrame(Body(), QStringLiteral("DisplayColor"), 514);
    optDisplayColor0 = NewOption(DisplayColor, QStringLiteral("optDisplayColor0"), 515);
    optDisplayColor1 = NewOption(DisplayColor, QStringLiteral("optDisplayColor1"), 516);
    optDisplayColor2 = NewOption(DisplayColor, QStringLiteral("optDisplayColor2"), 517);
    auto *colorColumn = new QVBoxLayout(DisplayColor);
    colorColumn->addWidget(optDisplayColor0);
    colorColumn->addWidget(optDisplayColor1);
    colorColumn->addWidget(optDisplayColor2);

    auto *layout = new QGridLayout(Body());
    layout->addWidget(Password, 0, 0, 1, 2);
    layout->addWidget(DisplayDigit, 1, 0);
    layout->addWidget(DisplayColor, 1, 1);

    // Added in the order of their values, without item data: a group's
    // value is the position of its selected button.
    m_DisplayDigit = new COptionButton(this);
    m_DisplayDigit->setObjectName(QStringLiteral("m_DisplayDigit"));
    m_DisplayDigit->Create(DisplayDigit);
    m_DisplayDigit->AddOptionButton(optDisplayDigit0, COptionButton::kNoItemData);
    m_DisplayDigit->AddOptionButton(optDisplayDigit1, COptionButton::kNoItemData);
    m_DisplayColor = new COptionButton(this);
    m_DisplayColor->setObjectName(QStringLiteral("m_DisplayColor"));
    m_DisplayColor->Create(DisplayColor);
    m_DisplayColor->AddOptionButton(optDisplayColor0, COptionButton::kNoItemData);
    m_DisplayColor->AddOptionButton(optDisplayColor1, COptionButton::kNoItemData);
    m_DisplayColor->AddOptionButton(optDisplayColor2, COptionButton::kNoItemData);
    m_Password = new CTextDigitSpin(this);
    m_Password->setObjectName(QStringLiteral("m_Password"));
    m_Password->Create(txtPassword, UpDown1, kPasswordMin, kPasswordMax, 1, true, true);
}

FWDisplay::~FWDisplay() = default;

void FWDisplay::FormLoad()
{
    m_DisplayDigit->ActivateGroup(true);
    m_DisplayColor->ActivateGroup(true);
}

void FWDisplay::Activate()
{
    const CDisplay &data = WorkingCopy();
    m_DisplayDigit->ActivateGroup(data.ModelloStrumento() == ModelCode::Oxa12 && data.SlotA() <= SlotACode::GKP);
    m_DisplayColor->ActivateGroup(data.ModelloStrumento() == ModelCode::Oxa14);
    DataToControls();
    RefreshButtons();
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
