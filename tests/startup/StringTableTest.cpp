#include "MErrors.h"
#include "StringTable.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

TEST(StringTable, EscapesAreDecodedAndMissingIdRaises)
{
    EXPECT_EQ(LoadResourceString(301), QStringLiteral("Pelvaro"));
    EXPECT_EQ(LoadResourceString(231),
              QStringLiteral("System file |1 not found !!!\n\rReinstall the program or contact the supplier."));
    try {
        LoadResourceString(-12345);
        FAIL() << "no error raised";
    } catch (const ProgramError &e) {
        EXPECT_EQ(e.Number(), 326);
        EXPECT_TRUE(e.Source().endsWith(QStringLiteral(".VBError")));
    }
}

// Two entries with one id would silently hide one of the texts.
TEST(StringTable, FileHasNoDuplicateOrMalformedIds)
{
    QFile f(testenv::SourceFile(QStringLiteral("resources/strings.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    QSet<int> seen;
    int lineNo = 0;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        ++lineNo;
        const QString line = QString::fromUtf8(raw);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        ASSERT_GT(tab, 0) << "line " << lineNo << " has no id and tab";
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        ASSERT_TRUE(ok) << "line " << lineNo << " id is not a number";
        EXPECT_FALSE(seen.contains(id)) << "id " << id << " appears twice (line " << lineNo << ")";
        seen.insert(id);
    }
}
