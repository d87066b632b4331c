#pragma once
#include "PrintLayoutRecord.h"

// The template of the report table's styles: the title row, the column
// headings and the data cells. Create describes it as the five style rows
// the report renderer uses.
class FGriglia {
public:
    // The designed controls: TableTitle, ColTitle, ColData.
    static const std::vector<LayoutTemplateControl> &Controls();

    // Replaces the recordset's rows by the five style rows, in this order:
    // "CaptionTableStyle" (TableTitle), "Col1TitleStyle", "Col2TitleStyle"
    // (ColTitle), "Col1DataStyle", "Col2DataStyle" (ColData).
    static void Create(PrintLayoutRecordset &layout);

    // The style row named key taken from control c: no position, c's height,
    // font, wrapping and alignment, a box, c's text; the line width is c's
    // Tag (1 when the Tag is empty, 0 or not a positive number).
    static PrintLayoutRecord StyleRow(const QString &key, const LayoutTemplateControl &c);
    static std::int16_t StyleLineWidth(const QString &tag);
};
