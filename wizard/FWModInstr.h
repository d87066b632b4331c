#pragma once
#include "CModInstr.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

// The model and modules page, first page of the configuration wizard: the
// configuration's name, the instrument model and the modules of slots A, B
// and C. It edits a working copy of one CModInstr.
//
// Action (set by the owner before the page is shown): 0 shows the name
// field; any other value hides it (the configuration read from an
// instrument keeps its fixed name, which is still written back).
//
// Rules while the user chooses: OXA 16 (model 3) takes only the
// frequency/counter modules in slot A; a BN module fits in slot B or in
// slot C, not both. Leaving the page stores SlotD 0.
//
// Codes without a button here (model 2, slot A 6 MVZ, the MVZ extra inputs
// of slot C 5..7) come only from an instrument or an imported file. Such a
// group shows no choice and the stored code is kept as long as the user
// switches none of its buttons on; the MVZ extra inputs of slots C and D
// are kept only while slot A stays 6.
class FWModInstr : public FWizardDataPage<CModInstr>, public PageAction {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 382;

    explicit FWModInstr(QWidget *parent = nullptr);

protected:
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;
    void ApplyRules() override;

private:
    void ModelloStrumentoChange();
    void SlotBChange();
    void SlotCChange();
    // The codes the page stands for now: the selected button's, or the
    // stored code without a button while the group shows no choice.
    std::int16_t CurrentModel();
    std::int16_t CurrentSlotA();
    std::int16_t CurrentSlotC();

    QLabel *Label1 = nullptr;
    QLineEdit *txtProgramName = nullptr;
    QGroupBox *ModStrumento = nullptr;
    QGroupBox *SlotA = nullptr;
    QGroupBox *SlotB = nullptr;
    QGroupBox *SlotC = nullptr;

    COptionButton *m_ModelloStrumento = nullptr;
    COptionButton *m_SlotA = nullptr;
    COptionButton *m_SlotB = nullptr;
    COptionButton *m_SlotC = nullptr;
    QVector<QRadioButton *> m_ModelButtons;
    QVector<QRadioButton *> m_SlotAButtons;
    QVector<QRadioButton *> m_SlotCButtons;

    std::optional<std::int16_t> m_KeptModel;
    std::optional<std::int16_t> m_KeptSlotA;
    std::optional<std::int16_t> m_KeptSlotC;
};
