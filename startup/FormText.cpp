#include "FormText.h"

#include "CTraceCode.h"
#include "ControlKinds.h"
#include "StringTable.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QWidget>

#include <cmath>
#include <optional>

QMap<QString, std::int16_t> g_MenuCaptions;
QString g_FontName;
std::int16_t g_FontSize = 0;

namespace {

// ---- number parsing of designed ids --------------------------------------

// A designed id written as a whole number in the 16-bit range ("  12 ").
std::optional<std::int16_t> wholeId(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < -32768 || v > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

// The leading number of a text (blanks first, an optional sign, digits, an
// optional fraction), rounded half to even into the 16-bit range. No leading
// number gives 0; a number out of range gives nothing.
std::optional<std::int16_t> leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype digits = i;
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
        ++i;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
            ++i;
    }
    const QString number = text.mid(start, i - start);
    if (i == digits || number == QLatin1String(".") || number.endsWith(QLatin1String("+.")) ||
        number.endsWith(QLatin1String("-.")))
        return std::int16_t{0};
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok)
        return std::int16_t{0};
    const double r = std::nearbyint(v); // the default rounding mode is half to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

// The string-table text of the id held in a window's or control's Tag.
std::optional<QString> tagText(const QObject *object)
{
    const QVariant tag = ControlTag(object);
    if (!tag.isValid())
        return std::nullopt;
    const auto id = wholeId(tag.toString());
    if (!id || !HasResourceString(*id))
        return std::nullopt;
    return LoadResourceString(*id);
}

} // namespace

// ---- loaders -------------------------------------------------------------

void LoadFormCaptions(QWidget *form)
{
    if (!form)
        return;
    g_Trace.BugMessage(QStringLiteral("Inizio caricamento dei caption dei controlli"));
    if (const auto caption = tagText(form))
        form->setWindowTitle(*caption);
    static const QStringList kinds = {QStringLiteral("Label"), QStringLiteral("Frame"), QStringLiteral("OptionButton"),
                                      QStringLiteral("CheckBox")};
    for (QObject *control : FormControls(form)) {
        if (!kinds.contains(ControlKind(control)))
            continue;
        if (const auto caption = tagText(control))
            SetControlCaption(control, *caption);
    }
    g_Trace.BugMessage(QStringLiteral("Fine caricamento delle risorse"));
}

void LoadFormToolTips(QWidget *form)
{
    if (!form)
        return;
    static const QStringList kinds = {QStringLiteral("TextBox"), QStringLiteral("ComboBox"),
                                      QStringLiteral("ToolBar"), QStringLiteral("Frame"),
                                      QStringLiteral("UpDown"),  QStringLiteral("OptionButton")};
    for (QObject *control : FormControls(form)) {
        if (!kinds.contains(ControlKind(control)))
            continue;
        const auto id = leadingNumber(ControlToolTip(control));
        if (!id || *id == 0 || !HasResourceString(*id))
            continue;
        SetControlToolTip(control, LoadResourceString(*id));
    }
}

void LoadMenuCaptions(QWidget *form)
{
    if (!form)
        return;
    g_Trace.BugMessage(QStringLiteral("Caricamento testi menu"));
    for (QObject *control : FormControls(form)) {
        if (ControlKind(control) != QLatin1String("Menu"))
            continue;
        const QString designed = ControlCaption(control);
        const auto id = wholeId(designed);
        if (!id || !HasResourceString(*id))
            continue; // a separator "-" or any other text keeps its caption
        const QString text = LoadResourceString(*id);
        g_Trace.BugMessage(QStringLiteral("Caricamento dalle risorse del testo del menu ") + designed +
                           QLatin1Char('=') + text);
        SetControlTag(control, *id);
        SetControlCaption(control, text);
        if (!g_MenuCaptions.contains(text))
            g_MenuCaptions.insert(text, static_cast<std::int16_t>(ControlTag(control).toInt()));
    }
}

void SetFormFont(QWidget *form)
{
    if (!form)
        return;
    for (QObject *control : FormControls(form)) {
        if (!control->isWidgetType())
            continue; // menu items keep the menu font
        auto *w = static_cast<QWidget *>(control);
        QFont f = w->font();
        if (!g_FontName.isEmpty())
            f.setFamily(g_FontName);
        if (g_FontSize > 0)
            f.setPointSize(g_FontSize);
        w->setFont(f);
    }
    g_Trace.BugMessage(QStringLiteral("Fine impostazione del font per i controlli del form"));
}

// ---- fonts -----------------------------------------------------------------

bool IsFontAvailable(const QString &family)
{
    // The font database lists the families installed; a family name may carry
    // its foundry ("Arial [Monotype]"). A request for a missing family is
    // quietly served by a substitute, so QFont itself cannot tell.
    for (const QString &f : QFontDatabase::families()) {
        const qsizetype bracket = f.indexOf(QLatin1String(" ["));
        if ((bracket < 0 ? f : f.left(bracket)) == family)
            return true;
    }
    return false;
}

void LoadProgramFont(const std::function<bool(const QString &)> &available, const QString &defaultFamily)
{
    g_Trace.BugMessage(QStringLiteral("Impostazione del font utilizzato nel programma."));
    const auto size = wholeId(LoadResourceString(1336));
    g_FontSize = size.value_or(8);
    const QString miss = QStringLiteral("Impossibile caricare il font ");
    const std::int32_t candidates[] = {1335, 1337, 1338};
    for (std::size_t i = 0; i < std::size(candidates); ++i) {
        g_FontName = LoadResourceString(candidates[i]);
        if (available(g_FontName))
            return;
        if (i + 1 < std::size(candidates)) {
            g_Trace.BugMessage(miss + g_FontName);
        } else {
            g_Trace.BugMessage(miss + g_FontName + QStringLiteral(" Viene mantenuto il font di default dei controlli"));
        }
    }
    g_FontName = defaultFamily;
}

void LoadProgramFont()
{
    const QString defaultFamily =
        qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::font().family() : QString();
    LoadProgramFont(IsFontAvailable, defaultFamily);
}
