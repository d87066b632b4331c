#include "CPrintDlg.h"

#include "SettingsStore.h"

#include <array>

using namespace PrintDlgFlags;

namespace {

const QString kSection = QStringLiteral("Application printer");
const QString kDeviceNameKey = QStringLiteral("DeviceName");
const QString kPaperSizeKey = QStringLiteral("PaperSize");
const QString kOrientationKey = QStringLiteral("Orientation");
const QString kPrintToFileKey = QStringLiteral("PrintToFile");

constexpr std::uint32_t kInitialFlags =
    PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;
constexpr std::int16_t kUserDefinedPaper = 256;

// Names of the paper codes 1..41 (Windows DMPAPER numbering).
const std::array<const char *, 41> kPaperNames{
    "Letter, 8 1/2 x 11 in.",
    "Letter Small, 8 1/2 x 11 in.",
    "Tabloid, 11 x 17 in.",
    "Ledger, 17 x 11 in.",
    "Legal, 8 1/2 x 14 in.",
    "Statement, 5 1/2 x 8 1/2 in.",
    "Executive, 7 1/2 x 10 1/2 in.",
    "A3, 297 x 420 mm",
    "A4, 210 x 297 mm",
    "A4 Small, 210 x 297 mm",
    "A5, 148 x 210 mm",
    "B4, 250 x 354 mm",
    "B5, 182 x 257 mm",
    "Folio, 8 1/2 x 13 in.",
    "Quarto, 215 x 275 mm",
    "10 x 14 in.",
    "11 x 17 in.",
    "Note, 8 1/2 x 11 in.",
    "Envelope #9, 3 7/8 x 8 7/8 in.",
    "Envelope #10, 4 1/8 x 9 1/2 in.",
    "Envelope #11, 4 1/2 x 10 3/8 in.",
    "Envelope #12, 4 1/2 x 11 in.",
    "Envelope #14, 5 x 11 1/2 in.",
    "C size sheet",
    "D size sheet",
    "E size sheet",
    "Envelope DL, 110 x 220 mm",
    "Envelope C3, 324 x 458 mm",
    "Envelope C4, 229 x 324 mm",
    "Envelope C5, 162 x 229 mm",
    "Envelope C6, 114 x 162 mm",
    "Envelope C65, 114 x 229 mm",
    "Envelope B4, 250 x 353 mm",
    "Envelope B5, 176 x 250 mm",
    "Envelope B6, 176 x 125 mm",
    "Envelope, 110 x 230 mm",
    "Envelope Monarch, 3 7/8 x 7 1/2 in.",
    "Envelope, 3 5/8 x 6 1/2 in.",
    "U.S. Standard Fanfold, 14 7/8 x 11 in.",
    "German Standard Fanfold, 8 1/2 x 12 in.",
    "German Legal Fanfold, 8 1/2 x 13 in.",
};

// A stored number: decimal digits with an optional sign, within 16 bits.
// Anything else gives no value, and the caller keeps its default.
std::optional<std::int16_t> storedNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype start = (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (t.size() == start)
        return std::nullopt;
    for (qsizetype i = start; i < t.size(); ++i) {
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok || v < -32768 || v > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

// A stored Boolean: "True"/"False" in any case, or a number (0 False).
std::optional<bool> storedBoolean(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto n = storedNumber(t))
        return *n != 0;
    return std::nullopt;
}

} // namespace

CPrintDlg::CPrintDlg(QObject *parent) : QObject(parent)
{
    PrinterPlatform &printers = Printers();
    m_NoPrinter = printers.PrinterNames().isEmpty();
    m_ApplicationName = QString::fromLatin1(kApplicationTitle);

    if (m_NoPrinter) {
        emit NoPrinterInSystem();
    } else {
        m_Record.Flags |= PD_RETURNDEFAULT;
        PrintDlgRecord query = m_Record;
        if (printers.PrintDlg(query) && query.DevMode) {
            m_Record.DevMode = query.DevMode;
            m_Record.DevNamesDevice = query.DevNamesDevice;
            m_DevMode = *query.DevMode;
        }
    }
    m_Record.Flags = kInitialFlags;
}

void CPrintDlg::SetApplicationName(const QString &name)
{
    m_ApplicationName = name;
    LoadApplicationPrinter();
}

void CPrintDlg::SetMinMaxPage(std::int16_t minimum, std::int16_t maximum)
{
    if (minimum < maximum) {
        m_Record.nMinPage = minimum;
        m_Record.nMaxPage = maximum;
    }
}

void CPrintDlg::SetFromPageToPage(std::int16_t from, std::int16_t to)
{
    if (from < to) {
        m_Record.nFromPage = from;
        m_Record.nToPage = to;
    }
}

void CPrintDlg::setFlag(std::uint32_t flag, bool on)
{
    if (on)
        m_Record.Flags |= flag;
    else
        m_Record.Flags &= ~flag;
}

void CPrintDlg::EnableWarningMsg(bool enable)
{
    setFlag(PD_NOWARNING, !enable);
}
void CPrintDlg::EnableSelection(bool enable)
{
    setFlag(PD_NOSELECTION, !enable);
}
void CPrintDlg::EnablePageNumber(bool enable)
{
    setFlag(PD_NOPAGENUMS, !enable);
}
void CPrintDlg::EnablePrintToFile(bool enable)
{
    setFlag(PD_DISABLEPRINTTOFILE, !enable);
}
void CPrintDlg::HidePrintToFile(bool hide)
{
    setFlag(PD_HIDEPRINTTOFILE, hide);
}
void CPrintDlg::SetPrintToFile(bool v)
{
    setFlag(PD_PRINTTOFILE, v);
}
bool CPrintDlg::PrintToFile() const
{
    return (m_Record.Flags & PD_PRINTTOFILE) != 0;
}
bool CPrintDlg::Collate() const
{
    return (m_Record.Flags & PD_COLLATE) != 0;
}

void CPrintDlg::SetPrintRange(std::int16_t range)
{
    setFlag(PD_SELECTION | PD_PAGENUMS, false);
    if (range == 1)
        setFlag(PD_PAGENUMS, true);
    else if (range == 2)
        setFlag(PD_SELECTION, true);
}

std::int16_t CPrintDlg::PrintRange() const
{
    if ((m_Record.Flags & PD_PAGENUMS) != 0)
        return 1;
    if ((m_Record.Flags & PD_SELECTION) != 0)
        return 2;
    return 0;
}

void CPrintDlg::SetPageOrientation(std::int16_t orientation)
{
    m_DevMode.Orientation = orientation == 2 ? 2 : 1;
}

void CPrintDlg::SetDeviceName(const QString &name)
{
    if (m_NoPrinter) {
        emit NoPrinterInSystem();
        return;
    }
    if (name.isEmpty() || name.size() > kMaxDeviceNameLength)
        return;
    m_DevMode.DeviceName = name;
    if (m_Record.DevNamesDevice)
        m_Record.DevNamesDevice = name;
}

QString CPrintDlg::PaperSizeName(std::int32_t paperSize)
{
    if (paperSize == kUserDefinedPaper)
        return QStringLiteral("User-defined");
    if (paperSize >= 1 && paperSize <= static_cast<std::int32_t>(kPaperNames.size()))
        return QString::fromLatin1(kPaperNames[static_cast<std::size_t>(paperSize - 1)]);
    return QStringLiteral("Not recognized");
}

void CPrintDlg::SetPaperSize(std::int32_t paperSize)
{
    m_DevMode.PaperSize = static_cast<std::int16_t>(paperSize);
    std::int16_t length = 0;
    std::int16_t width = 0;
    if (StandardPaperDimensions(m_DevMode.PaperSize, length, width)) {
        m_DevMode.PaperLength = length;
        m_DevMode.PaperWidth = width;
    }
}

std::int16_t CPrintDlg::PaperHeight() const
{
    return PageOrientation() == 1 ? m_DevMode.PaperLength : m_DevMode.PaperWidth;
}

std::int16_t CPrintDlg::PaperWidth() const
{
    return PageOrientation() == 1 ? m_DevMode.PaperWidth : m_DevMode.PaperLength;
}

void CPrintDlg::LoadApplicationPrinter()
{
    const PrinterDevMode current = Printers().CurrentPrinter();
    SetDeviceName(GetSetting(m_ApplicationName, kSection, kDeviceNameKey, current.DeviceName));

    const QString paper = GetSetting(m_ApplicationName, kSection, kPaperSizeKey, QString::number(current.PaperSize));
    SetPaperSize(storedNumber(paper).value_or(current.PaperSize));

    const QString orientation =
        GetSetting(m_ApplicationName, kSection, kOrientationKey, QString::number(current.Orientation));
    SetPageOrientation(storedNumber(orientation).value_or(current.Orientation));

    const QString toFile = GetSetting(m_ApplicationName, kSection, kPrintToFileKey, QStringLiteral("False"));
    SetPrintToFile(storedBoolean(toFile).value_or(false));

    makeApplicationPrinterCurrent();
}

bool CPrintDlg::ShowPrintDlg()
{
    return showDialog(false);
}
bool CPrintDlg::ShowPrintSetupDlg()
{
    return showDialog(true);
}

bool CPrintDlg::showDialog(bool setup)
{
    if (m_NoPrinter) {
        emit NoPrinterInSystem();
        return false;
    }
    setFlag(PD_RETURNDEFAULT, false);
    if (setup)
        setFlag(PD_PRINTSETUP, true);
    // The dialog opens on the object's printer and paper: always once the
    // object knows a printer, even when the default-printer query found none.
    if (m_Record.DevMode || !m_DevMode.DeviceName.isEmpty())
        m_Record.DevMode = m_DevMode;

    // The dialog works on a copy: a cancelled dialog leaves everything as it was.
    PrintDlgRecord record = m_Record;
    if (!Printers().PrintDlg(record))
        return false;

    m_Record = record;
    if (record.DevMode)
        m_DevMode = *record.DevMode;
    saveApplicationPrinter();
    makeApplicationPrinterCurrent();
    return true;
}

void CPrintDlg::saveApplicationPrinter()
{
    SaveSetting(m_ApplicationName, kSection, kDeviceNameKey, DeviceName());
    SaveSetting(m_ApplicationName, kSection, kPaperSizeKey, QString::number(PaperSize()));
    SaveSetting(m_ApplicationName, kSection, kOrientationKey, QString::number(PageOrientation()));
    SaveSetting(m_ApplicationName, kSection, kPrintToFileKey,
                PrintToFile() ? QStringLiteral("True") : QStringLiteral("False"));
}

void CPrintDlg::makeApplicationPrinterCurrent()
{
    PrinterPlatform &printers = Printers();
    const QString device = DeviceName();
    if (!device.isEmpty() && printers.PrinterNames().contains(device))
        printers.SelectCurrentPrinter(device);
    printers.SetCurrentPaperSize(static_cast<std::int16_t>(PaperSize()));
    printers.SetCurrentOrientation(PageOrientation());
}
