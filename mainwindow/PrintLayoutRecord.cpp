#include "PrintLayoutRecord.h"

QStringList PrintLayoutRecordset::FieldNames()
{
    return {QStringLiteral("Key"),      QStringLiteral("Top"),       QStringLiteral("Left"),
            QStringLiteral("Width"),    QStringLiteral("Height"),    QStringLiteral("Tag"),
            QStringLiteral("FontSize"), QStringLiteral("FontBold"),  QStringLiteral("FontCharSet"),
            QStringLiteral("FontName"), QStringLiteral("Multiline"), QStringLiteral("Alignment"),
            QStringLiteral("LineWidth"), QStringLiteral("DrawBox"),  QStringLiteral("Text")};
}
