#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// One row of a report layout recordset: an element of the page heading or a
// style of the report table, as the report renderer draws it. Positions and
// sizes are in twips. A field the row does not set is empty (std::nullopt):
// the heading's frame row sets only its box.
struct PrintLayoutRecord {
    QString Key; // style name in the table layout; empty in the heading layout
    std::int16_t Top = 0;
    std::int16_t Left = 0;
    std::int16_t Width = 0;
    std::int16_t Height = 0;
    std::int32_t Tag = 0;                 // 1 for the heading's frame row, else 0
    std::optional<std::int16_t> FontSize; // points
    std::optional<bool> FontBold;
    std::optional<std::int16_t> FontCharSet;
    std::optional<QString> FontName;
    std::optional<bool> Multiline;
    std::optional<std::int16_t> Alignment; // 0 left, 1 right, 2 centre
    std::int16_t LineWidth = 0;
    std::int16_t DrawBox = 0; // 15: a box around the element
    QString Text;

    bool operator==(const PrintLayoutRecord &) const = default;
};

// The layout recordset the two template forms fill and the report renderer
// reads back, in order.
class PrintLayoutRecordset {
public:
    // The fifteen fields of a row, in order.
    static QStringList FieldNames();

    void Append(const PrintLayoutRecord &row) { m_Rows.push_back(row); }
    const std::vector<PrintLayoutRecord> &Rows() const { return m_Rows; }
    std::size_t Count() const { return m_Rows.size(); }
    void Clear() { m_Rows.clear(); }

private:
    std::vector<PrintLayoutRecord> m_Rows;
};

// A control of a report template form with its designed values. The
// templates are never shown; they only describe the report's look.
struct LayoutTemplateControl {
    QString Name;
    QString Kind;          // control kind, "TextBox" on every template control
    std::int16_t Left = 0; // twips
    std::int16_t Top = 0;
    std::int16_t Width = 0;
    std::int16_t Height = 0;
    QString Text;
    QString Tag;
    std::int16_t WhatsThisHelpID = 0; // holds the print font size
    bool FontBold = false;
    bool MultiLine = false;
    std::int16_t Alignment = 0; // 0 left, 1 right, 2 centre
};

// The font every layout row prints with.
inline constexpr const char *kLayoutFontName = "Times New Roman";
inline constexpr std::int16_t kLayoutFontCharSet = 1;
// The box code of a framed element.
inline constexpr std::int16_t kLayoutDrawBox = 15;

// The layout row of a template text box as far as the two templates lay it
// out alike: the control's height, the layout font in the control's size
// (WhatsThisHelpID) and weight, its wrapping and alignment. No key, no
// position or width, no line, no box, no text, Tag 0.
PrintLayoutRecord TextBoxLayoutRow(const LayoutTemplateControl &c);
