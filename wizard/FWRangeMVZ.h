#pragma once
#include "CRangeMVZ.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

#include <array>
#include <cstdint>

// The page of the MVZ master input (slot A 6) and of its extra-input
// modules: one in slot C (codes 5..7) and one in slot D (codes 2..4), three
// inputs each. The master range is a group of three options; each extra
// input is a list of the two ranges of its module kind. A slot's section is
// enabled and filled for its module only when the slot holds extra inputs
// (SlotC 5 or more, SlotD 2 or more, context values the owner sets); the
// values of a disabled section are stored as they are shown.
//
// A stored input range the list has no item for shows, and is stored as,
// the first range.
//
// Next publishes the master range's electrical limits on g_Scala
// (SetElettricScale); End and Back do not.
class FWRangeMVZ : public FWizardRangePage<CRangeMVZ> {
    Q_OBJECT

public:
    static constexpr std::int32_t kTitle = 660;

    explicit FWRangeMVZ(QWidget *parent = nullptr);

protected:
    void FormLoad() override;
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;

private:
    // The frame, labels and lists of one slot's three extra inputs.
    struct Section {
        QGroupBox *frame = nullptr;
        std::array<QLabel *, 3> labels{};
        std::array<QComboBox *, 3> combos{};
        std::array<CComboBox *, 3> inputs{};
    };
    // The frame caption and the two range items of module text moduleId in
    // slot slotTextId, ranges of kind k.
    static void FillSection(Section &section, std::int32_t moduleId, std::int32_t slotTextId, std::int32_t k);
    static void EnableSection(Section &section, bool enabled);

    QGroupBox *frmRangeMasterMVZ = nullptr;
    COptionButton *m_RangeMasterMVZ = nullptr;
    Section m_SlotC; // m_Input1C, m_Input2C, m_Input3C
    Section m_SlotD; // m_Input1D, m_Input2D, m_Input3D
};
