#include "FWRangeMVZ.h"

#include "CComboBox.h"
#include "COptionButton.h"
#include "ModuleCodes.h"
#include "PageControls.h"
#include "ResourceText.h"
#include "StringTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

constexpr std::int32_t kSlotCText = 388;
constexpr std::int32_t kSlotDText = 384;
constexpr std::int32_t kFirstModuleText = 666;
constexpr std::int32_t kFirstRangeText = 672; // 672 + 2k, 673 + 2k
// The three extra-input module kinds: slot C codes 5..7, slot D codes 2..4.
constexpr std::int16_t kFirstSlotCInputs = SlotCCode::MvzExtraFirst;
constexpr std::int16_t kFirstSlotDInputs = SlotDCode::MvzExtraFirst;
constexpr std::int16_t kModuleKinds = 3;

// The module kind 0..2 of a slot code, or -1 when the slot holds no extra
// inputs (also for a code beyond the three kinds, which has no texts).
std::int32_t ModuleKind(std::int16_t code, std::int16_t firstCode)
{
    const std::int32_t k = code - firstCode;
    return k >= 0 && k < kModuleKinds ? k : -1;
}
constexpr std::int32_t kInputLabel[3] = {669, 670, 671};

} // namespace

FWRangeMVZ::FWRangeMVZ(QWidget *parent) : FWizardRangePage<CRangeMVZ>(QStringLiteral("FWRangeMVZ"), kTitle, parent)
{
    QWidget *body = Body();
    frmRangeMasterMVZ = NewFrame(body, QStringLiteral("frmRangeMasterMVZ"), 661);
    frmRangeMasterMVZ->setTitle(QStringLiteral("Campo di misura MVZ"));
    m_RangeMasterMVZ = new COptionButton(this);
    const auto master =
        FillOptionGroup(*m_RangeMasterMVZ, frmRangeMasterMVZ, QStringLiteral("optRangeMasterMVZ"), {662, 663, 664});
    master[0]->setText(QStringLiteral("+-20 mA DC"));
    master[1]->setText(QStringLiteral("+-200 mV DC"));
    master[2]->setText(QStringLiteral("+-30 V DC"));

    // Slot D's labels are numbered from the bottom: Label6 is input 1.
    const struct {
        Section &section;
        const char *frame;
        const char *labels[3];
        const char *combos[3];
    } sections[] = {
        {m_SlotC, "frmRangeSlotC", {"Label1", "Label2", "Label3"}, {"cmbInput1C", "cmbInput2C", "cmbInput3C"}},
        {m_SlotD, "frmRangeSlotD", {"Label6", "Label5", "Label4"}, {"cmbInput1D", "cmbInput2D", "cmbInput3D"}},
    };
    for (const auto &s : sections) {
        s.section.frame = NewFrame(body, QString::fromLatin1(s.frame), 0);
        auto *grid = new QGridLayout(s.section.frame);
        for (int i = 0; i < 3; ++i) {
            QLabel *label = NewLabel(s.section.frame, QString::fromLatin1(s.labels[i]), kInputLabel[i]);
            label->setText(QStringLiteral("Ingresso %1:").arg(i + 1));
            QComboBox *combo = NewCombo(s.section.frame, QString::fromLatin1(s.combos[i]));
            s.section.labels[i] = label;
            s.section.combos[i] = combo;
            s.section.inputs[i] = NewComboWrapper(this, combo);
            grid->addWidget(label, i, 0);
            grid->addWidget(combo, i, 1);
        }
    }

    auto *sectionsRow = new QHBoxLayout;
    sectionsRow->addWidget(m_SlotC.frame);
    sectionsRow->addWidget(m_SlotD.frame);
    auto *layout = new QVBoxLayout(body);
    layout->addWidget(frmRangeMasterMVZ);
    layout->addLayout(sectionsRow);
}

void FWRangeMVZ::FillSection(Section &section, std::int32_t moduleId, std::int32_t slotTextId, std::int32_t k)
{
    section.frame->setTitle(
        GetResourceText(665, {LoadResourceString(moduleId), LoadResourceString(slotTextId)})); // "module (slot)"
    for (CComboBox *input : section.inputs)
        input->ClearAllItem();
    for (const std::int32_t id : {kFirstRangeText + 2 * k, kFirstRangeText + 1 + 2 * k}) {
        const QString text = LoadResourceString(id);
        for (CComboBox *input : section.inputs)
            input->AddText(text);
    }
}

void FWRangeMVZ::EnableSection(Section &section, bool enabled)
{
    section.frame->setEnabled(enabled);
    for (QLabel *label : section.labels)
        label->setEnabled(enabled);
    for (CComboBox *input : section.inputs)
        input->SetEnabled(enabled);
}

void FWRangeMVZ::FormLoad()
{
    // The load shows the first module kind in both sections; activation
    // fills a section again for the module fitted.
    FillSection(m_SlotC, kFirstModuleText, kSlotCText, 0);
    FillSection(m_SlotD, kFirstModuleText, kSlotDText, 0);
}

void FWRangeMVZ::PrepareControls()
{
    const CRangeMVZ &data = WorkingCopy();
    const std::int32_t kindC = ModuleKind(data.SlotC(), kFirstSlotCInputs);
    EnableSection(m_SlotC, kindC >= 0);
    if (kindC >= 0)
        FillSection(m_SlotC, kFirstModuleText + kindC, kSlotCText, kindC);
    const std::int32_t kindD = ModuleKind(data.SlotD(), kFirstSlotDInputs);
    EnableSection(m_SlotD, kindD >= 0);
    if (kindD >= 0)
        FillSection(m_SlotD, kFirstModuleText + kindD, kSlotDText, kindD);
}

void FWRangeMVZ::DataToControls()
{
    const CRangeMVZ &data = WorkingCopy();
    SelectOption(*m_RangeMasterMVZ, data.RangeMasterMVZ());
    SelectListPosition(*m_SlotC.inputs[0], data.Input1C());
    SelectListPosition(*m_SlotC.inputs[1], data.Input2C());
    SelectListPosition(*m_SlotC.inputs[2], data.Input3C());
    SelectListPosition(*m_SlotD.inputs[0], data.Input1D());
    SelectListPosition(*m_SlotD.inputs[1], data.Input2D());
    SelectListPosition(*m_SlotD.inputs[2], data.Input3D());
}

void FWRangeMVZ::ControlsToData()
{
    CRangeMVZ &data = WorkingCopy();
    data.SetRangeMasterMVZ(m_RangeMasterMVZ->Value());
    data.SetInput1C(m_SlotC.inputs[0]->Value());
    data.SetInput2C(m_SlotC.inputs[1]->Value());
    data.SetInput3C(m_SlotC.inputs[2]->Value());
    data.SetInput1D(m_SlotD.inputs[0]->Value());
    data.SetInput2D(m_SlotD.inputs[1]->Value());
    data.SetInput3D(m_SlotD.inputs[2]->Value());
}
