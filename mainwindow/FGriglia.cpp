#include "FGriglia.h"

namespace {

LayoutTemplateControl control(const char *name, const char *text, std::int16_t fontSize, bool bold, std::int16_t height,
                              bool multiLine, std::int16_t alignment)
{
    LayoutTemplateControl c;
    c.Name = QString::fromLatin1(name);
    c.Kind = QStringLiteral("TextBox");
    c.Height = height;
    c.Text = QString::fromLatin1(text);
    c.Tag = QStringLiteral("1");
    c.WhatsThisHelpID = fontSize;
    c.FontBold = bold;
    c.MultiLine = multiLine;
    c.Alignment = alignment;
    return c;
}

const LayoutTemplateControl &findControl(const char *name)
{
    for (const LayoutTemplateControl &c : FGriglia::Controls()) {
        if (c.Name == QLatin1String(name))
            return c;
    }
    return FGriglia::Controls().front();
}

} // namespace

const std::vector<LayoutTemplateControl> &FGriglia::Controls()
{
    // Width and position come from the report; only height, font, wrapping
    // and alignment of each style are designed here.
    static const std::vector<LayoutTemplateControl> controls{
        control("TableTitle", "Titolo tabella", 10, true, 336, false, 2),
        control("ColTitle", "Titolo colonna", 8, true, 336, false, 0),
        control("ColData", "Dato colonna Dato colonna Dato colonna", 8, false, 432, true, 0),
    };
    return controls;
}

std::int16_t FGriglia::StyleLineWidth(const QString &tag)
{
    bool ok = false;
    const int width = tag.trimmed().toInt(&ok);
    if (!ok || width <= 0 || width > 32767)
        return 1;
    return static_cast<std::int16_t>(width);
}

PrintLayoutRecord FGriglia::StyleRow(const QString &key, const LayoutTemplateControl &c)
{
    // No position and no width: the report places the styles.
    PrintLayoutRecord row = TextBoxLayoutRow(c);
    row.Key = key;
    row.LineWidth = StyleLineWidth(c.Tag);
    row.DrawBox = kLayoutDrawBox;
    row.Text = c.Text;
    return row;
}

void FGriglia::Create(PrintLayoutRecordset &layout)
{
    layout.Clear();
    layout.Append(StyleRow(QStringLiteral("CaptionTableStyle"), findControl("TableTitle")));
    for (int col = 1; col <= 2; ++col)
        layout.Append(StyleRow(QStringLiteral("Col%1TitleStyle").arg(col), findControl("ColTitle")));
    for (int col = 1; col <= 2; ++col)
        layout.Append(StyleRow(QStringLiteral("Col%1DataStyle").arg(col), findControl("ColData")));
}
