#pragma once
#include "PrintLayoutRecord.h"

// The template of the heading block printed at the top of the report: a
// framed block with the instrument-model and note lines to be filled in by
// hand. Create describes it as layout rows for the report renderer.
class FIntestazioneDoc {
public:
    // Outer size of the heading block in twips: the controls with a margin
    // equal to the left and top margins on every side.
    static constexpr std::int16_t kWidth = 10404;
    static constexpr std::int16_t kHeight = 828;

    // The designed controls in the form's control order: lblRiferimento,
    // txtRiferimento, txtCliente, lblCliente.
    static const std::vector<LayoutTemplateControl> &Controls();

    // Replaces the recordset's rows by the frame row (the whole block, Tag 1,
    // a box, no font) and one row per control in the form's control order
    // (position and font of the control, no box). A control's text is the
    // string-table text of the id in its Tag, or its designed text when the
    // Tag is empty. A control that is not a text box only fails the internal
    // check (a trace line); its row is added all the same.
    static void Create(PrintLayoutRecordset &layout);
};
