#include "PrinterPlatform.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

using namespace PrintDlgFlags;

namespace {

std::int16_t tenthsOfMillimetre(qreal millimetres)
{
    return static_cast<std::int16_t>(std::clamp<long>(std::lround(millimetres * 10.0), 0, 32767));
}

// A Windows paper code names a standard size of QPageSize (Custom for none).
QPageSize::PageSizeId standardSize(std::int16_t paperSize)
{
    if (paperSize <= 0)
        return QPageSize::Custom;
    return QPageSize::id(static_cast<int>(paperSize));
}

PrinterDevMode devModeOf(const QPrinter &printer)
{
    PrinterDevMode mode;
    mode.DeviceName = printer.printerName();
    const QPageLayout layout = printer.pageLayout();
    mode.Orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    const QPageSize size = layout.pageSize();
    mode.PaperSize = static_cast<std::int16_t>(std::clamp(size.windowsId(), 0, 32767));
    const QSizeF mm = size.size(QPageSize::Millimeter);
    mode.PaperWidth = tenthsOfMillimetre(std::min(mm.width(), mm.height()));
    mode.PaperLength = tenthsOfMillimetre(std::max(mm.width(), mm.height()));
    return mode;
}

bool setPaperSize(QPrinter &printer, std::int16_t paperSize)
{
    const QPageSize::PageSizeId id = standardSize(paperSize);
    if (id == QPageSize::Custom)
        return false;
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        const QList<QPageSize> supported = QPrinterInfo(printer).supportedPageSizes();
        const bool known =
            std::any_of(supported.begin(), supported.end(), [id](const QPageSize &s) { return s.id() == id; });
        if (!supported.isEmpty() && !known)
            return false;
    }
    return printer.setPageSize(QPageSize(id));
}

bool setOrientation(QPrinter &printer, std::int16_t orientation)
{
    return printer.setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

class SystemPrinters : public PrinterPlatform {
public:
    QStringList PrinterNames() override { return QPrinterInfo::availablePrinterNames(); }

    bool PrintDlg(PrintDlgRecord &record) override
    {
        if ((record.Flags & PD_RETURNDEFAULT) != 0) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull())
                return false;
            const QPrinter printer(info, QPrinter::HighResolution);
            record.DevMode = devModeOf(printer);
            record.DevNamesDevice = info.printerName();
            return true;
        }
        return showDialog(record);
    }

    PrinterDevMode CurrentPrinter() override { return devModeOf(ProgramPrinter()); }
    void SelectCurrentPrinter(const QString &name) override { ProgramPrinter().setPrinterName(name); }
    bool SetCurrentPaperSize(std::int16_t paperSize) override { return setPaperSize(ProgramPrinter(), paperSize); }
    bool SetCurrentOrientation(std::int16_t orientation) override
    {
        return setOrientation(ProgramPrinter(), orientation);
    }

private:
    static bool showDialog(PrintDlgRecord &record)
    {
        QPrinter printer(QPrinter::HighResolution);
        const QString device = record.DevNamesDevice.value_or(record.DevMode ? record.DevMode->DeviceName : QString());
        if (!device.isEmpty())
            printer.setPrinterName(device);
        if (record.DevMode) {
            setPaperSize(printer, record.DevMode->PaperSize);
            setOrientation(printer, record.DevMode->Orientation);
        }
        const std::uint32_t flags = record.Flags;
        const bool setup = (flags & PD_PRINTSETUP) != 0;
        printer.setCopyCount(std::max<int>(1, record.nCopies));
        printer.setCollateCopies((flags & PD_COLLATE) != 0);
        if ((flags & PD_PAGENUMS) != 0) {
            printer.setPrintRange(QPrinter::PageRange);
            if (record.nFromPage > 0 && record.nToPage >= record.nFromPage)
                printer.setFromTo(record.nFromPage, record.nToPage);
        } else if ((flags & PD_SELECTION) != 0) {
            printer.setPrintRange(QPrinter::Selection);
        }

        QPrintDialog dialog(&printer, QApplication::activeWindow());
        QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintShowPageSize;
        if ((flags & (PD_DISABLEPRINTTOFILE | PD_HIDEPRINTTOFILE)) == 0)
            options |= QAbstractPrintDialog::PrintToFile;
        if (!setup) {
            options |= QAbstractPrintDialog::PrintCollateCopies;
            if ((flags & PD_NOSELECTION) == 0)
                options |= QAbstractPrintDialog::PrintSelection;
            if ((flags & PD_NOPAGENUMS) == 0)
                options |= QAbstractPrintDialog::PrintPageRange;
        }
        dialog.setOptions(options);
        if (record.nMinPage < record.nMaxPage)
            dialog.setMinMax(record.nMinPage, record.nMaxPage);
        if (dialog.exec() != QDialog::Accepted)
            return false;

        record.DevMode = devModeOf(printer);
        record.DevNamesDevice = printer.printerName();
        record.nCopies = static_cast<std::int16_t>(std::clamp(printer.copyCount(), 1, 32767));
        std::uint32_t out = flags & ~(PD_SELECTION | PD_PAGENUMS | PD_COLLATE | PD_PRINTTOFILE);
        if (printer.collateCopies())
            out |= PD_COLLATE;
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
            out |= PD_PRINTTOFILE;
        switch (printer.printRange()) {
        case QPrinter::PageRange:
            out |= PD_PAGENUMS;
            record.nFromPage = static_cast<std::int16_t>(std::clamp(printer.fromPage(), 0, 32767));
            record.nToPage = static_cast<std::int16_t>(std::clamp(printer.toPage(), 0, 32767));
            break;
        case QPrinter::Selection: out |= PD_SELECTION; break;
        default: break;
        }
        record.Flags = out;
        return true;
    }
};

PrinterPlatform *g_Installed = nullptr;

} // namespace

PrinterPlatform &SystemPrinterPlatform()
{
    static SystemPrinters system;
    return system;
}

PrinterPlatform &Printers()
{
    return g_Installed != nullptr ? *g_Installed : SystemPrinterPlatform();
}

PrinterPlatform *SetPrinterPlatform(PrinterPlatform *platform)
{
    PrinterPlatform *old = g_Installed;
    g_Installed = platform;
    return old;
}

QPrinter &ProgramPrinter()
{
    // Lives for the whole run, past the application object (never destroyed).
    static QPrinter *printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

void CopyPrinterSettings(const QPrinter &from, QPrinter &to)
{
    // The output first: choosing a printer resets the paper to its own.
    to.setOutputFormat(from.outputFormat());
    if (from.outputFormat() == QPrinter::NativeFormat) {
        to.setPrinterName(from.printerName());
        to.setPrinterSelectionOption(from.printerSelectionOption());
    } else {
        to.setPdfVersion(from.pdfVersion());
        to.setOutputFileName(from.outputFileName());
    }
    to.setDocName(from.docName());
    to.setCreator(from.creator());
    to.setResolution(from.resolution());
    to.setFullPage(from.fullPage());
    to.setPageLayout(from.pageLayout());
    to.setColorMode(from.colorMode());
    to.setCopyCount(from.copyCount());
    to.setCollateCopies(from.collateCopies());
    to.setPageOrder(from.pageOrder());
    to.setPrintRange(from.printRange());
    to.setPageRanges(from.pageRanges());
    to.setPaperSource(from.paperSource());
    to.setDuplex(from.duplex());
    to.setFontEmbeddingEnabled(from.fontEmbeddingEnabled());
}

bool StandardPaperDimensions(std::int16_t paperSize, std::int16_t &length, std::int16_t &width)
{
    const QPageSize::PageSizeId id = standardSize(paperSize);
    if (id == QPageSize::Custom)
        return false;
    const QSizeF mm = QPageSize::size(id, QPageSize::Millimeter);
    width = tenthsOfMillimetre(std::min(mm.width(), mm.height()));
    length = tenthsOfMillimetre(std::max(mm.width(), mm.height()));
    return true;
}
