#include "PrintLayoutRecord.h"

QStringList PrintLayoutRecordset::FieldNames()
{
    return {QStringLiteral("Key"),       QStringLiteral("Top"),       QStringLiteral("Left"),
            QStringLiteral("Width"),     QStringLiteral("Height"),    QStringLiteral("Tag"),
            QStringLiteral("FontSize"),  QStringLiteral("FontBold"),  QStringLiteral("FontCharSet"),
            QStringLiteral("FontName"),  QStringLiteral("Multiline"), QStringLiteral("Alignment"),
            QStringLiteral("LineWidth"), QStringLiteral("DrawBox"),   QStringLiteral("Text")};
}

PrintLayoutRecord TextBoxLayoutRow(const LayoutTemplateControl &c)
{
    PrintLayoutRecord row;
    row.Height = c.Height;
    row.Tag = 0;
    row.FontSize = c.WhatsThisHelpID;
    row.FontBold = c.FontBold;
    row.FontCharSet = kLayoutFontCharSet;
    row.FontName = QString::fromLatin1(kLayoutFontName);
    row.Multiline = c.MultiLine;
    row.Alignment = c.Alignment;
    return row;
}
