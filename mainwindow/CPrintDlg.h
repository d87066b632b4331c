#pragma once
#include "PrinterPlatform.h"

#include <QObject>
#include <QString>
#include <cstdint>

// The program's printer dialog. It keeps its own copy of the dialog's
// choices (page range, copies, flags) and of the printer's device settings
// (printer, paper, orientation), offers them as properties, keeps one
// "application printer" per application name in the per-user settings store
// (section "Application printer": "DeviceName", "PaperSize", "Orientation",
// "PrintToFile" written "True"/"False"), and after a confirmed dialog makes
// the chosen printer, paper size and orientation the program's current
// printer.
//
// Without a printer in the system every operation that needs one emits
// NoPrinterInSystem and does nothing else; the two dialogs then answer
// false.
class CPrintDlg : public QObject {
    Q_OBJECT
public:
    // Device names longer than this are not accepted (the longest printer
    // queue name of the print system).
    static constexpr int kMaxDeviceNameLength = 127;

    // Notes whether the system has a printer, takes over the default
    // printer's settings (nothing is read from or written to the store) and
    // sets the flags PD_NOSELECTION, PD_NOPAGENUMS,
    // PD_USEDEVMODECOPIESANDCOLLATE and PD_HIDEPRINTTOFILE. The application
    // name is the application title.
    explicit CPrintDlg(QObject *parent = nullptr);

    // Stores the name, then LoadApplicationPrinter.
    void SetApplicationName(const QString &name);
    QString ApplicationName() const { return m_ApplicationName; }

    // Set both only when minimum < maximum (from < to).
    void SetMinMaxPage(std::int16_t minimum, std::int16_t maximum);
    void SetFromPageToPage(std::int16_t from, std::int16_t to);
    std::int16_t ToPage() const { return m_Record.nToPage; }
    std::int16_t FromPage() const { return m_Record.nFromPage; }

    void EnableWarningMsg(bool enable);  // clears / sets PD_NOWARNING
    void EnableSelection(bool enable);   // clears / sets PD_NOSELECTION
    void EnablePageNumber(bool enable);  // clears / sets PD_NOPAGENUMS
    void EnablePrintToFile(bool enable); // clears / sets PD_DISABLEPRINTTOFILE
    void HidePrintToFile(bool hide);     // sets / clears PD_HIDEPRINTTOFILE

    void SetPrintToFile(bool v);
    bool PrintToFile() const;
    bool Collate() const;
    std::int16_t Copies() const { return m_Record.nCopies; }

    // 0 all pages, 1 a page range, 2 the selection; any other value selects
    // all pages.
    void SetPrintRange(std::int16_t range);
    std::int16_t PrintRange() const;

    // 2 landscape; any other value stores 1, portrait.
    void SetPageOrientation(std::int16_t orientation);
    std::int16_t PageOrientation() const { return m_DevMode.Orientation == 2 ? 2 : 1; }

    QString DeviceName() const { return m_DevMode.DeviceName; }
    // An empty name or one longer than kMaxDeviceNameLength is ignored. The
    // next dialog opens on the printer named.
    void SetDeviceName(const QString &name);

    // The paper code's name, "User-defined" for 256, "Not recognized" for a
    // code outside 1..41 and 256.
    QString PaperSizeStr() const { return PaperSizeName(m_DevMode.PaperSize); }
    static QString PaperSizeName(std::int32_t paperSize);

    std::int32_t PaperSize() const { return m_DevMode.PaperSize; }
    // Stored as a 16-bit code, unchecked; a standard code also sets the
    // paper's length and width.
    void SetPaperSize(std::int32_t paperSize);
    // Tenths of a millimetre, the page as it is oriented.
    std::int16_t PaperHeight() const;
    std::int16_t PaperWidth() const;

    // Reads the application printer from the store (a missing key takes the
    // current printer's value; "PrintToFile" False) and makes it current.
    void LoadApplicationPrinter();

    // Show the print dialog or the print set-up dialog; true when confirmed,
    // after the choice has been stored as the application printer and made
    // current. Cancel stores and changes nothing.
    bool ShowPrintDlg();
    bool ShowPrintSetupDlg();

    std::uint32_t Flags() const { return m_Record.Flags; }

signals:
    void NoPrinterInSystem();

private:
    bool showDialog(bool setup);
    void setFlag(std::uint32_t flag, bool on);
    void saveApplicationPrinter();
    void makeApplicationPrinterCurrent();

    PrintDlgRecord m_Record;
    PrinterDevMode m_DevMode;
    bool m_NoPrinter = false;
    QString m_ApplicationName;
};
