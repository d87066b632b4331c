#include "FWModInstr.h"

#include "COptionButton.h"
#include "ModuleCodes.h"
#include "PageControls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

constexpr int kNameLength = 50;

bool HasModelButton(std::int16_t model)
{
    return model == ModelCode::Oxa12 || model == ModelCode::Oxa14 || model == ModelCode::Oxa16;
}

// Slot C's buttons are None, Y1, Y2, Y4/Y5 and BN, in the order of their codes.
bool HasSlotCButton(std::int16_t slotC)
{
    return slotC >= SlotCCode::None && slotC <= SlotCCode::BN;
}

} // namespace

FWModInstr::FWModInstr(QWidget *parent) : FWizardDataPage<CModInstr>(QStringLiteral("FWModInstr"), kTitle, parent)
{
    QWidget *body = Body();
    Label1 = NewLabel(body, QStringLiteral("Label1"), 381);
    txtProgramName = new QLineEdit(body);
    txtProgramName->setObjectName(QStringLiteral("txtProgramName"));
    txtProgramName->setMaxLength(kNameLength);

    ModStrumento = NewFrame(body, QStringLiteral("ModStrumento"), 389);
    SlotA = NewFrame(body, QStringLiteral("SlotA"), 387);
    SlotB = NewFrame(body, QStringLiteral("SlotB"), 376);
    SlotC = NewFrame(body, QStringLiteral("SlotC"), 388);

    m_ModelloStrumento = new COptionButton(this);
    m_ModelButtons = FillOptionGroup(*m_ModelloStrumento, ModStrumento, QStringLiteral("optModStrumento"),
                                     {360, 361, 363}, {ModelCode::Oxa12, ModelCode::Oxa14, ModelCode::Oxa16});
    m_SlotA = new COptionButton(this);
    m_SlotAButtons = FillOptionGroup(
        *m_SlotA, SlotA, QStringLiteral("optSlotA"), {364, 365, 366, 367, 368, 369},
        {SlotACode::MVA, SlotACode::MVBC, SlotACode::HVA, SlotACode::GKP, SlotACode::WP1, SlotACode::WP2});
    m_SlotB = new COptionButton(this);
    FillOptionGroup(*m_SlotB, SlotB, QStringLiteral("optSlotB"), {377, 378, 379, 380});
    m_SlotC = new COptionButton(this);
    m_SlotCButtons = FillOptionGroup(*m_SlotC, SlotC, QStringLiteral("optSlotC"), {370, 371, 372, 373, 374});

    auto *name = new QHBoxLayout;
    name->addWidget(Label1);
    name->addWidget(txtProgramName, 1);
    auto *groups = new QGridLayout;
    groups->addWidget(ModStrumento, 0, 0);
    groups->addWidget(SlotA, 0, 1, 2, 1);
    groups->addWidget(SlotB, 0, 2);
    groups->addWidget(SlotC, 0, 3, 2, 1);
    auto *layout = new QVBoxLayout(body);
    layout->addLayout(name);
    layout->addLayout(groups);

    connect(m_ModelloStrumento, &COptionButton::Change, this, &FWModInstr::ModelloStrumentoChange);
    connect(m_SlotB, &COptionButton::Change, this, &FWModInstr::SlotBChange);
    connect(m_SlotC, &COptionButton::Change, this, &FWModInstr::SlotCChange);
}

void FWModInstr::PrepareControls()
{
    const bool showName = m_Action == 0;
    Label1->setVisible(showName);
    txtProgramName->setVisible(showName);
}

void FWModInstr::DataToControls()
{
    const CModInstr &data = WorkingCopy();
    txtProgramName->setText(data.NomeProgramma());

    // A code without a button leaves its group without a choice; the rules
    // then see the stored code (Current...).
    const std::int16_t model = data.ModelloStrumento();
    m_KeptModel.reset();
    if (HasModelButton(model)) {
        m_ModelloStrumento->SetItemData(model);
    } else {
        m_KeptModel = model;
        ClearChecked(m_ModelButtons);
    }

    const std::int16_t slotA = data.SlotA();
    m_KeptSlotA.reset();
    if (slotA >= 0 && slotA < m_SlotAButtons.size()) {
        m_SlotA->SetItemData(slotA);
    } else {
        m_KeptSlotA = slotA;
        ClearChecked(m_SlotAButtons);
    }

    m_SlotB->SetValue(data.SlotB());

    const std::int16_t slotC = data.SlotC();
    m_KeptSlotC.reset();
    if (HasSlotCButton(slotC)) {
        m_SlotC->SetValue(slotC);
    } else {
        m_KeptSlotC = slotC;
        ClearChecked(m_SlotCButtons);
    }
}

void FWModInstr::ApplyRules()
{
    // The controls live on between showings: a button already on raises no
    // Change when it is selected again, so the rules run here for the values
    // shown.
    ModelloStrumentoChange();
    SlotBChange();
    SlotCChange();
}

void FWModInstr::ControlsToData()
{
    CModInstr &data = WorkingCopy();
    const std::int16_t slotA = CurrentSlotA();
    data.SetNomeProgramma(txtProgramName->text());
    data.SetModelloStrumento(CurrentModel());
    data.SetSlotA(slotA);
    data.SetSlotB(m_SlotB->Value());
    const std::int16_t slotC = CurrentSlotC();
    if (slotA == SlotACode::MVZ) {
        // An MVZ master keeps its extra-input modules of slots C and D.
        data.SetSlotC(slotC);
    } else {
        data.SetSlotC(HasSlotCButton(slotC) ? slotC : SlotCCode::None);
        data.SetSlotD(SlotDCode::None);
    }
}

std::int16_t FWModInstr::CurrentModel()
{
    if (m_KeptModel && !AnyChecked(m_ModelButtons))
        return *m_KeptModel;
    return m_ModelloStrumento->ItemData();
}

std::int16_t FWModInstr::CurrentSlotA()
{
    if (m_KeptSlotA && !AnyChecked(m_SlotAButtons))
        return *m_KeptSlotA;
    return m_SlotA->ItemData();
}

std::int16_t FWModInstr::CurrentSlotC()
{
    if (m_KeptSlotC && !AnyChecked(m_SlotCButtons))
        return *m_KeptSlotC;
    return m_SlotC->Value();
}

void FWModInstr::ModelloStrumentoChange()
{
    // OXA 16 takes only the frequency/counter modules (WP1, WP2) in slot A.
    // The buttons' positions are their codes.
    const bool enable = CurrentModel() != ModelCode::Oxa16;
    for (std::int16_t i = SlotACode::MVA; i <= SlotACode::GKP; ++i)
        m_SlotA->Activate(i, enable);
}

void FWModInstr::SlotBChange()
{
    m_SlotC->Activate(SlotCCode::BN, m_SlotB->Value() != SlotBCode::BN);
}

void FWModInstr::SlotCChange()
{
    m_SlotB->Activate(SlotBCode::BN, CurrentSlotC() != SlotCCode::BN);
}
