#include "CPrintTable.h"

#include "CTraceCode.h"
#include "FileReplacement.h"
#include "FileWriteErrorText.h"
#include "MsgBox.h"
#include "PrinterPlatform.h"
#include "ResourceText.h"
#include "StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr int kTextPageNumber = 685;
constexpr int kTextPrinting = 686;
constexpr int kTextPrintFailed = 687;
constexpr int kTextPdfTitle = 689;
constexpr int kTextPdfFilter = 690;
constexpr int kTextNotPrinted = 691;
constexpr int kTextHeaderPictureUnreadable = 692;

constexpr qreal kTwipsPerInch = 1440.0;
constexpr qreal kMillimetresPerInch = 25.4;
// Line widths of the layout rows are screen pixels of the template forms.
constexpr qreal kLineUnitsPerInch = 96.0;
// Space inside a table cell, and between the page's blocks, in twips.
constexpr qreal kCellPaddingX = 60.0;
constexpr qreal kCellPaddingY = 30.0;
constexpr qreal kBlockGap = 120.0;
constexpr qreal kFooterFontSize = 8.0;

// Box sides of a layout row's DrawBox code.
constexpr int kBoxLeft = 1;
constexpr int kBoxTop = 2;
constexpr int kBoxRight = 4;
constexpr int kBoxBottom = 8;

CPrintTable::PdfFileChooser &pdfFileChooser()
{
    static CPrintTable::PdfFileChooser chooser;
    return chooser;
}

QString choosePdfFile(QWidget *parent, const QString &suggested)
{
    if (pdfFileChooser())
        return pdfFileChooser()(parent, suggested);
    QFileDialog dialog(parent, LoadResourceString(kTextPdfTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(LoadResourceString(kTextPdfFilter));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

// A label with the layout marks of the parameter objects taken off.
struct CellText {
    QString text;
    bool bold = false;
    bool centred = false;
};

CellText parseLabel(const QString &label)
{
    static const QString title = QStringLiteral("#SBAC#");
    static const QString parameter = QStringLiteral("#SB#");
    static const QString plainTitle = QStringLiteral("#SBA");
    if (label.startsWith(title))
        return {label.mid(title.size()), true, true};
    if (label.startsWith(parameter))
        return {label.mid(parameter.size()), true, false};
    if (label.startsWith(plainTitle))
        return {label.mid(plainTitle.size()), true, false};
    return {label, false, false};
}

// Device units of the printer at hand.
struct Units {
    qreal dpi = 1200.0;
    qreal twips(qreal v) const { return v * dpi / kTwipsPerInch; }
    qreal mm(qreal v) const { return v * dpi / kMillimetresPerInch; }
    qreal line(qreal v) const { return std::max<qreal>(1.0, v * dpi / kLineUnitsPerInch); }
};

int horizontalAlignment(std::optional<std::int16_t> alignment)
{
    switch (alignment.value_or(0)) {
    case 1: return Qt::AlignRight;
    case 2: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

QFont layoutFont(const PrintLayoutRecord &row, bool bold)
{
    QFont font(row.FontName.value_or(QString::fromLatin1(kLayoutFontName)));
    const std::int16_t size = row.FontSize.value_or(8);
    font.setPointSizeF(size > 0 ? size : 8);
    font.setBold(bold || row.FontBold.value_or(false));
    return font;
}

// A style row of the table layout, in device units.
struct CellStyle {
    PrintLayoutRecord row;
    qreal minHeight = 0;
    qreal width = 0; // 0: a share of the table's width
};

PrintLayoutRecord defaultStyleRow()
{
    PrintLayoutRecord row;
    row.Height = 336;
    row.FontSize = 8;
    row.FontBold = false;
    row.FontName = QString::fromLatin1(kLayoutFontName);
    row.Multiline = true;
    row.Alignment = 0;
    row.LineWidth = 1;
    row.DrawBox = kLayoutDrawBox;
    return row;
}

CellStyle styleOf(const PrintLayoutRecordset &layout, const QString &key, const Units &u)
{
    PrintLayoutRecord row = defaultStyleRow();
    for (const PrintLayoutRecord &r : layout.Rows()) {
        if (r.Key == key) {
            row = r;
            break;
        }
    }
    CellStyle style;
    style.row = row;
    style.minHeight = u.twips(std::max<std::int16_t>(row.Height, 0));
    style.width = u.twips(std::max<std::int16_t>(row.Width, 0));
    return style;
}

int textFlags(const PrintLayoutRecord &row, bool centred)
{
    int flags = (centred ? int(Qt::AlignHCenter) : horizontalAlignment(row.Alignment)) | Qt::AlignVCenter;
    if (row.Multiline.value_or(false))
        flags |= Qt::TextWordWrap;
    return flags;
}

void drawBox(QPainter &p, const QRectF &r, const PrintLayoutRecord &row, const Units &u)
{
    const int box = row.DrawBox;
    if ((box & (kBoxLeft | kBoxTop | kBoxRight | kBoxBottom)) == 0)
        return;
    QPen pen(Qt::black);
    pen.setWidthF(u.line(std::max<std::int16_t>(row.LineWidth, 1)));
    p.setPen(pen);
    if (box & kBoxLeft)
        p.drawLine(r.topLeft(), r.bottomLeft());
    if (box & kBoxTop)
        p.drawLine(r.topLeft(), r.topRight());
    if (box & kBoxRight)
        p.drawLine(r.topRight(), r.bottomRight());
    if (box & kBoxBottom)
        p.drawLine(r.bottomLeft(), r.bottomRight());
}

struct Cell {
    qreal x = 0;
    qreal width = 0;
    CellText text;
    CellStyle style;
};

struct Line {
    std::vector<Cell> cells;
    qreal height = 0;
};

// The report laid out in pages on one printer.
class ReportLayout {
public:
    ReportLayout(QPrinter &printer, const QRectF &content, const Units &units, const PrintLayoutRecordset &header,
                 const PrintLayoutRecordset &table, const ReportRecordset &report, int columns, int footerLines)
        : m_Printer(printer), m_Content(content), m_Units(units), m_Header(header)
    {
        measureHeading();
        buildLines(table, report, columns);
        paginate(footerLines);
    }

    int PageCount() const { return static_cast<int>(m_Pages.size()); }
    qreal FooterTop() const { return m_FooterTop; }

    void PaintPage(QPainter &p, int page) const
    {
        paintHeading(p);
        qreal y = m_BodyTop;
        for (int index : m_Pages.at(static_cast<std::size_t>(page))) {
            paintLine(p, m_Lines.at(static_cast<std::size_t>(index)), y);
            y += m_Lines.at(static_cast<std::size_t>(index)).height;
        }
    }

private:
    void measureHeading()
    {
        QRectF block;
        for (const PrintLayoutRecord &r : m_Header.Rows())
            block |= QRectF(r.Left, r.Top, std::max<std::int16_t>(r.Width, 0), std::max<std::int16_t>(r.Height, 0));
        const qreal width = m_Units.twips(block.right());
        m_HeadingScale = (width > m_Content.width() && width > 0) ? m_Content.width() / width : 1.0;
        const qreal height = m_Units.twips(block.bottom()) * m_HeadingScale;
        m_BodyTop = m_Content.top() + (height > 0 ? height + m_Units.twips(kBlockGap) : 0.0);
    }

    qreal cellHeight(const Cell &c) const
    {
        const QFont font = layoutFont(c.style.row, c.text.bold);
        const QFontMetricsF fm(font, &m_Printer);
        const qreal padX = m_Units.twips(kCellPaddingX);
        const qreal padY = m_Units.twips(kCellPaddingY);
        const QRectF bounds = fm.boundingRect(QRectF(0, 0, std::max<qreal>(c.width - 2 * padX, 1.0), 1e9),
                                              textFlags(c.style.row, c.text.centred), c.text.text);
        return std::max(c.style.minHeight, bounds.height() + 2 * padY);
    }

    Line spanning(const CellStyle &style, const QString &text) const
    {
        Line line;
        line.cells.push_back({m_Content.left(), m_Content.width(), parseLabel(text), style});
        return line;
    }

    Line columnsLine(const std::vector<CellStyle> &styles, const ReportRowRecord &row) const
    {
        Line line;
        qreal fixed = 0;
        int shared = 0;
        for (const CellStyle &s : styles) {
            fixed += s.width;
            shared += s.width > 0 ? 0 : 1;
        }
        const qreal scale = fixed > m_Content.width() ? m_Content.width() / fixed : 1.0;
        const qreal share = shared > 0 ? std::max<qreal>(m_Content.width() - fixed * scale, 0.0) / shared : 0.0;
        qreal x = m_Content.left();
        for (std::size_t i = 0; i < styles.size(); ++i) {
            const qreal w = styles[i].width > 0 ? styles[i].width * scale : share;
            line.cells.push_back({x, w, parseLabel(i == 0 ? row.Column1 : row.Column2), styles[i]});
            x += w;
        }
        return line;
    }

    void buildLines(const PrintLayoutRecordset &table, const ReportRecordset &report, int columns)
    {
        const CellStyle caption = styleOf(table, QStringLiteral("CaptionTableStyle"), m_Units);
        std::vector<CellStyle> titles;
        std::vector<CellStyle> data;
        for (int c = 1; c <= columns; ++c) {
            titles.push_back(styleOf(table, QStringLiteral("Col%1TitleStyle").arg(c), m_Units));
            data.push_back(styleOf(table, QStringLiteral("Col%1DataStyle").arg(c), m_Units));
        }

        const std::vector<ReportRowRecord> &rows = report.Rows();
        const auto heading =
            std::find_if(rows.begin(), rows.end(), [](const ReportRowRecord &r) { return r.nColumn >= 2; });
        const std::size_t headingIndex = static_cast<std::size_t>(heading - rows.begin());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ReportRowRecord &row = rows[i];
            Line line;
            if (i < headingIndex) {
                line = spanning(caption, row.Column1);
                m_Captions.push_back(static_cast<int>(m_Lines.size()));
            } else if (i == headingIndex) {
                line = columnsLine(titles, row);
                m_Heading = static_cast<int>(m_Lines.size());
            } else if (row.nColumn >= 2) {
                line = columnsLine(data, row);
            } else {
                line = spanning(data.front(), row.Column1);
            }
            for (Cell &c : line.cells)
                line.height = std::max(line.height, cellHeight(c));
            m_Lines.push_back(line);
        }
    }

    void paginate(int footerLines)
    {
        qreal footer = 0;
        if (footerLines > 0) {
            QFont font(QString::fromLatin1(kLayoutFontName));
            font.setPointSizeF(kFooterFontSize);
            footer = QFontMetricsF(font, &m_Printer).lineSpacing() * footerLines + m_Units.twips(kBlockGap);
        }
        m_FooterTop = m_Content.bottom() - footer;
        const qreal room = m_FooterTop - m_BodyTop;

        std::vector<int> page;
        qreal used = 0;
        bool anyData = false;
        const auto add = [&](int index) {
            page.push_back(index);
            used += m_Lines.at(static_cast<std::size_t>(index)).height;
        };
        for (int c : m_Captions)
            add(c);
        if (m_Heading >= 0)
            add(m_Heading);
        for (int i = m_Heading + 1; m_Heading >= 0 && i < static_cast<int>(m_Lines.size()); ++i) {
            const qreal h = m_Lines.at(static_cast<std::size_t>(i)).height;
            // A row never splits; a page holds at least one data row, so a
            // row taller than a page is printed (and cut) rather than lost.
            if (anyData && used + h > room) {
                m_Pages.push_back(page);
                page.clear();
                used = 0;
                anyData = false;
                add(m_Heading);
            }
            add(i);
            anyData = true;
        }
        m_Pages.push_back(page);
    }

    void paintHeading(QPainter &p) const
    {
        p.save();
        p.translate(m_Content.topLeft());
        p.scale(m_HeadingScale, m_HeadingScale);
        for (const PrintLayoutRecord &r : m_Header.Rows()) {
            const QRectF rect(m_Units.twips(r.Left), m_Units.twips(r.Top), m_Units.twips(r.Width),
                              m_Units.twips(r.Height));
            drawBox(p, rect, r, m_Units);
            if (!r.Text.isEmpty()) {
                p.setPen(Qt::black);
                p.setFont(layoutFont(r, false));
                int flags = horizontalAlignment(r.Alignment) | Qt::AlignVCenter;
                if (r.Multiline.value_or(false))
                    flags |= Qt::TextWordWrap;
                p.drawText(rect, flags, r.Text);
            }
        }
        p.restore();
    }

    void paintLine(QPainter &p, const Line &line, qreal y) const
    {
        const qreal padX = m_Units.twips(kCellPaddingX);
        for (const Cell &c : line.cells) {
            const QRectF rect(c.x, y, c.width, line.height);
            drawBox(p, rect, c.style.row, m_Units);
            p.setPen(Qt::black);
            p.setFont(layoutFont(c.style.row, c.text.bold));
            p.drawText(rect.adjusted(padX, 0, -padX, 0), textFlags(c.style.row, c.text.centred), c.text.text);
        }
    }

    QPrinter &m_Printer;
    QRectF m_Content;
    Units m_Units;
    const PrintLayoutRecordset &m_Header;
    qreal m_HeadingScale = 1.0;
    qreal m_BodyTop = 0;
    qreal m_FooterTop = 0;
    std::vector<Line> m_Lines;
    std::vector<int> m_Captions;
    int m_Heading = -1;
    std::vector<std::vector<int>> m_Pages;
};

// A PDF file as the PDF engine ends it: its header first and the end-of-file
// mark last. A write the engine lost (a full disk) leaves the file cut
// short, without the mark.
bool isWholePdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (!file.read(5).startsWith("%PDF-"))
        return false;
    constexpr qint64 kTail = 32;
    if (!file.seek(std::max<qint64>(0, size - kTail)))
        return false;
    return file.read(kTail).trimmed().endsWith("%%EOF");
}

} // namespace

CPrintTable::CPrintTable(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PrintTable"));
    setAutoFillBackground(true);
    m_Status = new QLabel(this);
    m_Status->setObjectName(QStringLiteral("lblStatus"));
    m_Status->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_Status);
    hide();
}

CPrintTable::~CPrintTable() = default;

void CPrintTable::SetPageMargins(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom)
{
    const auto margin = [](std::int16_t mm) { return std::clamp<std::int16_t>(mm, 0, 100); };
    m_MarginLeft = margin(left);
    m_MarginTop = margin(top);
    m_MarginRight = margin(right);
    m_MarginBottom = margin(bottom);
}

void CPrintTable::SetColumnCount(std::int16_t columns)
{
    m_ColumnCount = columns == 1 ? 1 : 2;
}

void CPrintTable::SetLayout(PrintLayoutRecordset &headerLayout, PrintLayoutRecordset &tableLayout)
{
    m_HeaderLayout = headerLayout;
    m_TableLayout = tableLayout;
}

void CPrintTable::SetReport(ReportRecordset &report)
{
    m_Report = report;
}

CPrintTable::PdfFileChooser CPrintTable::SetPdfFileChooser(PdfFileChooser chooser)
{
    PdfFileChooser old = std::move(pdfFileChooser());
    pdfFileChooser() = std::move(chooser);
    return old;
}

void CPrintTable::StartPrint()
{
    if (m_Printing)
        return;
    m_Printing = true;
    m_PrintedPages = 0;
    m_Status->setText(LoadResourceString(kTextPrinting));
    show();
    raise();
    QTimer::singleShot(0, this, &CPrintTable::runPrint);
}

void CPrintTable::runPrint()
{
    QPrinter &printer = m_Printer != nullptr ? *m_Printer : ProgramPrinter();
    g_Trace.BugMessage(QStringLiteral("Inizio stampa report: %1 righe").arg(m_Report.Count()));

    // A PDF printer without a file (no printer in the system) asks for one,
    // for this print only.
    const bool askFile = printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
    bool cancelled = false;
    if (askFile) {
        const QString base = m_ExeName.isEmpty() ? QStringLiteral("report") : QFileInfo(m_ExeName).completeBaseName();
        const QString file = choosePdfFile(window(), QDir::home().filePath(base + QStringLiteral(".pdf")));
        if (file.isEmpty())
            cancelled = true;
        else
            printer.setOutputFileName(file);
    }

    if (cancelled) {
        g_Trace.BugMessage(QStringLiteral("Stampa report annullata"));
    } else {
        QString failure;
        std::optional<FileWriteError> fileFailure;
        const bool printed = printer.outputFormat() == QPrinter::PdfFormat ? printPdf(printer, failure, fileFailure)
                                                                           : printOn(printer, failure);
        if (printed) {
            g_Trace.BugMessage(QStringLiteral("Fine stampa report: %1 pagine").arg(m_PrintedPages));
        } else if (fileFailure) {
            // The PDF file could not be written: told by the kind of its
            // failure, as every file the program writes.
            m_PrintedPages = 0;
            g_Trace.BugMessage(QStringLiteral("Stampa report non riuscita: ") + failure + QStringLiteral(": ") +
                               fileFailure->description);
            MsgBox(FileWriteErrorText(*fileFailure, LoadResourceString(kTextNotPrinted)), MsgBoxStyle::Exclamation,
                   QString(), window());
        } else {
            m_PrintedPages = 0;
            g_Trace.BugMessage(QStringLiteral("Stampa report non riuscita: ") + failure);
            MsgBox(GetResourceText(kTextPrintFailed, {failure}), MsgBoxStyle::Exclamation, QString(), window());
        }
        if (askFile)
            printer.setOutputFileName(QString());
    }

    m_Printing = false;
    emit PrintEnd();
}

bool CPrintTable::printPdf(const QPrinter &printer, QString &failure, std::optional<FileWriteError> &fileFailure)
{
    // The PDF engine writes the file itself and does not tell when a write
    // fails: it writes beside the file, and the file is replaced only by a
    // whole document.
    const QString target = printer.outputFileName();
    failure = target;
    FileReplacement pdf(target);
    FileWriteError error;
    if (!pdf.Open(error)) {
        fileFailure = error;
        return false;
    }
    // A PDF printer whose write once failed (a full disk) writes nothing
    // ever after, though it says it printed: each print is made on a printer
    // of its own with the user's settings, which stay on the user's printer.
    QPrinter pdfPrinter(QPrinter::HighResolution);
    CopyPrinterSettings(printer, pdfPrinter);
    pdfPrinter.setOutputFileName(pdf.TemporaryPath());
    const bool printed = printOn(pdfPrinter, failure);
    failure = target;
    if (!printed)
        return false;
    if (!isWholePdf(pdf.TemporaryPath())) {
        pdf.Incomplete(error);
        fileFailure = error;
        return false;
    }
    if (!pdf.Commit(error)) {
        fileFailure = error;
        return false;
    }
    return true;
}

bool CPrintTable::printOn(QPrinter &printer, QString &failure)
{
    const QString destination =
        printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
    failure = destination;

    printer.setDocName(m_ExeName);
    printer.setCreator(QStringLiteral("%1 %2").arg(m_ExeName).arg(m_Revision));

    QImage picture;
    if (m_PrintHeaderPage) {
        QImageReader reader(m_HeaderPagePath);
        reader.setAutoTransform(true);
        picture = reader.read();
        // The rest of the report is printed all the same; the user learns
        // that its heading page is missing.
        if (picture.isNull()) {
            g_Trace.BugMessage(QStringLiteral("Immagine pagina di intestazione non leggibile: ") + m_HeaderPagePath +
                               QStringLiteral(" (") + reader.errorString() + QLatin1Char(')'));
            MsgBox(GetResourceText(kTextHeaderPictureUnreadable, {QDir::toNativeSeparators(m_HeaderPagePath)}),
                   MsgBoxStyle::Exclamation, QString(), window());
        }
    }

    QPainter painter;
    if (!painter.begin(&printer))
        return false;

    Units units;
    units.dpi = printer.resolution();
    const QPageLayout pageLayout = printer.pageLayout();
    const QRectF full = pageLayout.fullRectPixels(printer.resolution());
    const QRectF paint = pageLayout.paintRectPixels(printer.resolution());
    // The content area in the painter's coordinates (origin at the printable
    // area's corner), within both our margins and the printable area.
    QRectF content = full.adjusted(units.mm(m_MarginLeft), units.mm(m_MarginTop), -units.mm(m_MarginRight),
                                   -units.mm(m_MarginBottom));
    content.translate(-paint.topLeft());
    content &= QRectF(QPointF(0, 0), paint.size());

    int footerLines = 0;
    if (m_PrintNotePiePagina)
        footerLines += 2;
    if (m_PrintPageNumber)
        footerLines += 1;
    const ReportLayout report(printer, content, units, m_HeaderLayout, m_TableLayout, m_Report, m_ColumnCount,
                              footerLines);

    int sheets = 0;
    const auto nextSheet = [&]() {
        if (sheets++ > 0)
            return printer.newPage();
        return true;
    };

    if (!picture.isNull()) {
        nextSheet();
        const QSizeF size = QSizeF(picture.size()).scaled(content.size(), Qt::KeepAspectRatio);
        const QRectF target(content.left() + (content.width() - size.width()) / 2,
                            content.top() + (content.height() - size.height()) / 2, size.width(), size.height());
        painter.drawImage(target, picture);
    }

    QFont footerFont(QString::fromLatin1(kLayoutFontName));
    footerFont.setPointSizeF(kFooterFontSize);
    const qreal footerLine = QFontMetricsF(footerFont, &printer).lineSpacing();
    const int pages = report.PageCount();
    for (int page = 0; page < pages; ++page) {
        if (!nextSheet()) {
            painter.end();
            return false;
        }
        report.PaintPage(painter, page);
        if (footerLines == 0)
            continue;
        painter.setFont(footerFont);
        painter.setPen(Qt::black);
        qreal y = report.FooterTop() + units.twips(kBlockGap);
        QPen rule(Qt::black);
        rule.setWidthF(units.line(1));
        painter.setPen(rule);
        painter.drawLine(QPointF(content.left(), y - units.twips(kBlockGap) / 2),
                         QPointF(content.right(), y - units.twips(kBlockGap) / 2));
        if (m_PrintNotePiePagina) {
            for (const QString &note : {m_NotePiePagina1, m_NotePiePagina2}) {
                painter.drawText(QRectF(content.left(), y, content.width(), footerLine),
                                 Qt::AlignLeft | Qt::AlignVCenter, note);
                y += footerLine;
            }
        }
        if (m_PrintPageNumber) {
            painter.drawText(QRectF(content.left(), y, content.width(), footerLine),
                             Qt::AlignHCenter | Qt::AlignVCenter, GetResourceText(kTextPageNumber, {page + 1, pages}));
        }
    }

    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return false;
    m_PrintedPages = sheets;
    return true;
}
