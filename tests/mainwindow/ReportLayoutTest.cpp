// The layout rows of the report's page heading and table styles.
#include "FGriglia.h"
#include "FIntestazioneDoc.h"
#include "PrintLayoutRecord.h"
#include "StringTable.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QString kFont = QStringLiteral("Times New Roman");

TEST(ReportLayout, TableLayoutHasTheFiveStylesOfItsTemplate)
{
    PrintLayoutRecordset layout;
    FGriglia::Create(layout);
    FGriglia::Create(layout); // a second description replaces the first
    ASSERT_EQ(layout.Count(), 5u);

    struct Expected {
        const char *key;
        std::int16_t height;
        std::int16_t fontSize;
        bool bold;
        const char *textStart;
    };
    const std::vector<Expected> expected{
        {"CaptionTableStyle", 336, 10, true, "Titolo tabella"}, {"Col1TitleStyle", 336, 8, true, "Titolo colonna"},
        {"Col2TitleStyle", 336, 8, true, "Titolo colonna"},     {"Col1DataStyle", 432, 8, false, "Dato colonna"},
        {"Col2DataStyle", 432, 8, false, "Dato colonna"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const PrintLayoutRecord &row = layout.Rows()[i];
        const Expected &e = expected[i];
        SCOPED_TRACE(e.key);
        EXPECT_EQ(row.Key, QString::fromLatin1(e.key));
        EXPECT_EQ(row.Top, 0);
        EXPECT_EQ(row.Left, 0);
        EXPECT_EQ(row.Width, 0);
        EXPECT_EQ(row.Height, e.height);
        EXPECT_EQ(row.Tag, 0);
        EXPECT_EQ(row.FontSize, e.fontSize);
        EXPECT_EQ(row.FontBold, e.bold);
        EXPECT_EQ(row.FontCharSet, 1);
        EXPECT_EQ(row.FontName, kFont);
        EXPECT_TRUE(row.Multiline.has_value());
        EXPECT_TRUE(row.Alignment.has_value());
        EXPECT_EQ(row.LineWidth, 1);
        EXPECT_EQ(row.DrawBox, 15);
        EXPECT_TRUE(row.Text.startsWith(QString::fromLatin1(e.textStart)));
    }
    // The two columns share their styles.
    auto withoutKey = [](PrintLayoutRecord r) {
        r.Key.clear();
        return r;
    };
    EXPECT_EQ(withoutKey(layout.Rows()[1]), withoutKey(layout.Rows()[2]));
    EXPECT_EQ(withoutKey(layout.Rows()[3]), withoutKey(layout.Rows()[4]));
}

TEST(ReportLayout, StyleLineWidthComesFromTheTemplateTag)
{
    const std::vector<std::pair<const char *, std::int16_t>> cases{{"", 1},    {"0", 1},  {"1", 1},   {"3", 3},
                                                                   {" 2 ", 2}, {"-2", 1}, {"abc", 1}, {"99999", 1}};
    LayoutTemplateControl c = FGriglia::Controls().front();
    for (const auto &[tag, width] : cases) {
        SCOPED_TRACE(tag);
        c.Tag = QString::fromLatin1(tag);
        EXPECT_EQ(FGriglia::StyleRow(QStringLiteral("S"), c).LineWidth, width);
    }
}

TEST(ReportLayout, HeadingLayoutIsItsFrameAndOneRowPerControl)
{
    PrintLayoutRecordset layout;
    FIntestazioneDoc::Create(layout);
    FIntestazioneDoc::Create(layout);
    ASSERT_EQ(layout.Count(), 5u);

    PrintLayoutRecord frame;
    frame.Width = FIntestazioneDoc::kWidth;
    frame.Height = FIntestazioneDoc::kHeight;
    frame.Tag = 1;
    frame.LineWidth = 1;
    frame.DrawBox = 15;
    EXPECT_EQ(layout.Rows()[0], frame);

    struct Expected {
        std::int16_t left, top, width, height;
        bool bold;
        QString text; // empty: a blank line of underscores
    };
    const std::vector<Expected> expected{
        {156, 432, 888, 276, true, LoadResourceString(681)},
        {996, 432, 9252, 276, false, QString()},
        {2616, 120, 7632, 276, false, QString()},
        {156, 120, 2508, 276, true, LoadResourceString(680)},
    };
    EXPECT_EQ(expected[0].text, QStringLiteral("Note:"));
    EXPECT_EQ(expected[3].text, QStringLiteral("Instrument model:"));
    const QRegularExpression blank(QStringLiteral("^_{20,}$"));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const PrintLayoutRecord &row = layout.Rows()[i + 1];
        const Expected &e = expected[i];
        EXPECT_TRUE(row.Key.isEmpty());
        EXPECT_EQ(row.Left, e.left);
        EXPECT_EQ(row.Top, e.top);
        EXPECT_EQ(row.Width, e.width);
        EXPECT_EQ(row.Height, e.height);
        EXPECT_EQ(row.Tag, 0);
        EXPECT_EQ(row.FontSize, 10);
        EXPECT_EQ(row.FontBold, e.bold);
        EXPECT_EQ(row.FontCharSet, 1);
        EXPECT_EQ(row.FontName, kFont);
        EXPECT_EQ(row.LineWidth, 1);
        EXPECT_EQ(row.DrawBox, 0);
        if (e.text.isEmpty())
            EXPECT_TRUE(blank.match(row.Text).hasMatch()) << row.Text.toStdString();
        else
            EXPECT_EQ(row.Text, e.text);
        // Every element lies inside the frame.
        EXPECT_LE(row.Left + row.Width, frame.Width);
        EXPECT_LE(row.Top + row.Height, frame.Height);
    }
}

} // namespace
