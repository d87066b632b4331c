#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class QPrinter;

// The printer services the printer dialog needs of the system: the printer
// collection, the system's print dialog and the program's current printer.
// The system's implementation is built on QPrinterInfo, QPrintDialog and one
// QPrinter for the whole run; tests install their own.

// The device settings of a printer, as the dialog hands them over.
struct PrinterDevMode {
    QString DeviceName;
    std::int16_t Orientation = 1; // 1 portrait, 2 landscape
    std::int16_t PaperSize = 0;   // paper code, Windows DMPAPER numbering (9 is A4, 256 user-defined)
    std::int16_t PaperLength = 0; // portrait length, tenths of a millimetre
    std::int16_t PaperWidth = 0;  // portrait width, tenths of a millimetre

    bool operator==(const PrinterDevMode &) const = default;
};

// Flags of the print-dialog record (the published PD_ values).
namespace PrintDlgFlags {
inline constexpr std::uint32_t PD_SELECTION = 0x1;
inline constexpr std::uint32_t PD_PAGENUMS = 0x2;
inline constexpr std::uint32_t PD_NOSELECTION = 0x4;
inline constexpr std::uint32_t PD_NOPAGENUMS = 0x8;
inline constexpr std::uint32_t PD_COLLATE = 0x10;
inline constexpr std::uint32_t PD_PRINTTOFILE = 0x20;
inline constexpr std::uint32_t PD_PRINTSETUP = 0x40;
inline constexpr std::uint32_t PD_NOWARNING = 0x80;
inline constexpr std::uint32_t PD_RETURNDEFAULT = 0x400;
inline constexpr std::uint32_t PD_USEDEVMODECOPIESANDCOLLATE = 0x40000;
inline constexpr std::uint32_t PD_DISABLEPRINTTOFILE = 0x80000;
inline constexpr std::uint32_t PD_HIDEPRINTTOFILE = 0x100000;
} // namespace PrintDlgFlags

// What goes into the print dialog and comes back from it.
struct PrintDlgRecord {
    std::uint32_t Flags = 0;
    // The device settings the dialog opens on and returns; empty until a
    // dialog (or the default-printer query) has succeeded once.
    std::optional<PrinterDevMode> DevMode;
    // The printer the dialog opens on; empty until the first success.
    std::optional<QString> DevNamesDevice;
    std::int16_t nFromPage = 0;
    std::int16_t nToPage = 0;
    std::int16_t nMinPage = 0;
    std::int16_t nMaxPage = 0;
    std::int16_t nCopies = 1;
};

class PrinterPlatform {
public:
    virtual ~PrinterPlatform() = default;

    // The names of the system's printers, in the system's order.
    virtual QStringList PrinterNames() = 0;
    // With PD_RETURNDEFAULT: fills DevMode and DevNamesDevice from the
    // default printer without showing anything; false when there is none.
    // Otherwise shows the print dialog modally (PD_PRINTSETUP: printer,
    // paper and orientation only), opened on the record's printer and
    // settings; true when confirmed, with the choices written back into the
    // record; false when cancelled, the record unchanged.
    virtual bool PrintDlg(PrintDlgRecord &record) = 0;
    // The program's current printer, which the report prints on.
    virtual PrinterDevMode CurrentPrinter() = 0;
    virtual void SelectCurrentPrinter(const QString &name) = 0;
    // False when the current printer refuses the value; it then keeps its own.
    virtual bool SetCurrentPaperSize(std::int16_t paperSize) = 0;
    virtual bool SetCurrentOrientation(std::int16_t orientation) = 0;
};

// The printer services in use: the system's unless a test installed others.
PrinterPlatform &Printers();
// Installs platform (nullptr: the system's) and returns the previous one
// (nullptr when that was the system's).
PrinterPlatform *SetPrinterPlatform(PrinterPlatform *platform);
// The system's printer services.
PrinterPlatform &SystemPrinterPlatform();

// The program's current printer of the system's printer services, created
// on first use on the default printer (a PDF printer when there is none).
QPrinter &ProgramPrinter();

// Gives `to` every setting of `from` a print reads: the output (printer or
// PDF file), the document's name and creator, the page layout, resolution,
// colour, copies and their order, page range, paper source and duplex. Each
// PDF print is made on a fresh printer set so, as a PDF printer whose write
// once failed writes nothing ever after.
void CopyPrinterSettings(const QPrinter &from, QPrinter &to);

// Portrait length and width, in tenths of a millimetre, of a standard paper
// code; false for a code that names no standard size (0, 256, ...).
bool StandardPaperDimensions(std::int16_t paperSize, std::int16_t &length, std::int16_t &width);
