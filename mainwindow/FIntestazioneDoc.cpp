#include "FIntestazioneDoc.h"

#include "CTraceCode.h"
#include "StringTable.h"

namespace {

LayoutTemplateControl control(const char *name, std::int16_t left, std::int16_t top, std::int16_t width,
                              std::int16_t height, const QString &text, const char *tag, bool bold)
{
    LayoutTemplateControl c;
    c.Name = QString::fromLatin1(name);
    c.Kind = QStringLiteral("TextBox");
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
    c.Text = text;
    c.Tag = QString::fromLatin1(tag);
    c.WhatsThisHelpID = 10;
    c.FontBold = bold;
    c.MultiLine = false;
    c.Alignment = 0;
    return c;
}

// A blank to be filled in by hand, about as long as its box at 10 points.
QString blankLine(int length)
{
    return QString(length, QLatin1Char('_'));
}

QString controlText(const LayoutTemplateControl &c)
{
    if (c.Tag.isEmpty())
        return c.Text;
    bool ok = false;
    const int id = c.Tag.trimmed().toInt(&ok);
    // A Tag that is not an id reads as id 0, which the table lacks: the
    // lookup raises as for any missing id.
    return LoadResourceString(ok ? id : 0);
}

} // namespace

const std::vector<LayoutTemplateControl> &FIntestazioneDoc::Controls()
{
    static const std::vector<LayoutTemplateControl> controls{
        control("lblRiferimento", 156, 432, 888, 276, QStringLiteral("Note:"), "681", true),
        control("txtRiferimento", 996, 432, 9252, 276, blankLine(90), "", false),
        control("txtCliente", 2616, 120, 7632, 276, blankLine(74), "", false),
        control("lblCliente", 156, 120, 2508, 276, QStringLiteral("Instrument model:"), "680", true),
    };
    return controls;
}

void FIntestazioneDoc::Create(PrintLayoutRecordset &layout)
{
    layout.Clear();

    PrintLayoutRecord frame;
    frame.Top = 0;
    frame.Left = 0;
    frame.Width = kWidth;
    frame.Height = kHeight;
    frame.Tag = 1;
    frame.LineWidth = 1;
    frame.DrawBox = kLayoutDrawBox;
    layout.Append(frame);

    for (const LayoutTemplateControl &c : Controls()) {
        g_Trace.BugAssert(c.Kind == QLatin1String("TextBox"));
        PrintLayoutRecord row = TextBoxLayoutRow(c);
        row.Top = c.Top;
        row.Left = c.Left;
        row.Width = c.Width;
        row.LineWidth = 1;
        row.Text = controlText(c);
        layout.Append(row);
    }
}
