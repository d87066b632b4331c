#include "ADOConnection.h"
#include "CModInstr.h"
#include "CSerialComm.h"
#include "CTemplateDatabase.h"
#include "ModelError.h"
#include "ParameterTestSupport.h"
#include "TestEnvironment.h"
#include "TraceCapture.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace paramtest;

namespace {

// Parameter objects are neither copied nor moved: the helper hands them out
// on the heap.
std::unique_ptr<CSerialComm> Serial(std::int16_t networkAdd, std::int16_t baudRate)
{
    auto s = std::make_unique<CSerialComm>();
    s->SetNetworkAdd(networkAdd);
    s->SetBaudRate(baudRate);
    return s;
}

} // namespace

TEST(SerialComm, WordsAndLinesByLayoutRoundTrip)
{
    struct Place {
        std::size_t addWord, bdrWord, addLine, bdrLine;
    };
    struct Case {
        std::int16_t slotA;
        std::int16_t networkAdd, baudRate; // written; a fresh object for 1, 0
        const char *addText, *bdrText;
        std::optional<Place> place;
    };
    const Place base{86, 87, 86, 87}, freq{270, 272, 135, 136};
    const Case cases[] = {
        {0, 1, 0, "1", "4.8", base},      {1, 12, 1, "12", "9.6", base},        {2, 247, 2, "247", "19.2", base},
        {3, 255, 3, "255", "38.4", base}, {6, 0, 1, "0", "9.6", base},          {4, 1, 0, "1", "4.8", freq},
        {5, 99, 3, "99", "38.4", freq},   {7, 5, 2, "5", "19.2", std::nullopt}, {-1, 5, 2, "5", "19.2", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.slotA);
        const ModInstr mod(1, c.slotA);
        const auto [map, lines] = MapAndLinesOf(*Serial(c.networkAdd, c.baudRate), mod);

        // Only the class's own words and lines are touched (271 and 273 never).
        MemMapWords expectedMap{};
        MemMapAuxLines expectedLines = NoSendLines();
        if (c.place) {
            expectedMap[c.place->addWord] = c.networkAdd;
            expectedMap[c.place->bdrWord] = c.baudRate;
            expectedLines[c.place->addLine] = QStringLiteral("S.out>Add=") + QLatin1String(c.addText);
            expectedLines[c.place->bdrLine] = QStringLiteral("S.out>bdr=") + QLatin1String(c.bdrText);
        }
        EXPECT_EQ(map, expectedMap);
        EXPECT_EQ(lines, expectedLines);

        // Reading back: the values come back where there is a layout; with
        // none the reader keeps what it had. GetData hands both on.
        const auto fromMap = Serial(-7, -8), fromLines = Serial(-7, -8), copy = Serial(-9, -9);
        fromMap->SetUserSetup(mod, map);
        fromLines->SetUserSetupAux(mod, lines);
        fromLines->GetData(*copy);
        const std::int16_t add = c.place ? c.networkAdd : -7, bdr = c.place ? c.baudRate : -8;
        for (const CSerialComm *read : {fromMap.get(), fromLines.get(), copy.get()}) {
            EXPECT_EQ(read->NetworkAdd(), add);
            EXPECT_EQ(read->BaudRate(), bdr);
        }
    }
}

TEST(SerialComm, MapValuesAreTakenWithoutRangeTest)
{
    MemMapWords map{};
    map[86] = -3;
    map[87] = 7;
    CSerialComm s;
    s.SetUserSetup(ModInstr(1, 0), map);
    EXPECT_EQ(s.NetworkAdd(), -3);
    EXPECT_EQ(s.BaudRate(), 7);
}

TEST(SerialComm, LinesAreFoundAnywhereAndParsedStrictly)
{
    struct Case {
        const char *what;
        QStringList given; // placed from index 0, the rest "NoSend"
        std::optional<std::pair<std::int16_t, std::int16_t>> read;
        const char *failText; // traced after "g_Trace.BugAssert fallito: "
    };
    const Case cases[] = {
        {"any order and case, leading zeros", {"s.OUT>bdr=19.2", "NoSend", "S.out>ADD=0089"}, {{89, 2}}, nullptr},
        {"negative address", {"S.out>Add=-1", "S.out>bdr=4.8"}, {{-1, 0}}, nullptr},
        {"no address line", {"S.out>bdr=9.6"}, std::nullopt, "Non trovato comando S.out>Add="},
        {"no baud-rate line", {"S.out>Add=1"}, std::nullopt, "Non trovato comando S.out>bdr="},
        {"baud rate in baud", {"S.out>Add=1", "S.out>bdr=9600"}, std::nullopt, "Errore valore ConvBaudRate"},
        {"baud rate with a comma", {"S.out>Add=1", "S.out>bdr=9,6"}, std::nullopt, "Errore valore ConvBaudRate"},
        {"baud rate with a trailing blank",
         {"S.out>Add=1", "S.out>bdr=38.4 "},
         std::nullopt,
         "Errore valore ConvBaudRate"},
        {"empty baud rate", {"S.out>Add=1", "S.out>bdr="}, std::nullopt, "Errore valore ConvBaudRate"},
        {"empty address",
         {"S.out>Add=", "S.out>bdr=4.8"},
         std::nullopt,
         "Valore numerico non valido per S.out>Add=: \"\""},
        {"address with a blank",
         {"S.out>Add= 12", "S.out>bdr=4.8"},
         std::nullopt,
         "Valore numerico non valido per S.out>Add=: \" 12\""},
        {"address beyond 16 bits",
         {"S.out>Add=40000", "S.out>bdr=4.8"},
         std::nullopt,
         "Valore numerico non valido per S.out>Add=: \"40000\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const MemMapAuxLines lines = ReplyLines(c.given);
        for (std::int16_t slotA : {0, 5}) {
            TraceCapture trace;
            const auto s = Serial(33, 1);
            const ModInstr mod(1, slotA);
            if (c.read) {
                s->SetUserSetupAux(mod, lines);
                EXPECT_EQ(s->NetworkAdd(), c.read->first);
                EXPECT_EQ(s->BaudRate(), c.read->second);
                continue;
            }
            EXPECT_THROW(s->SetUserSetupAux(mod, lines), SetupReadError);
            const QString traced = QStringLiteral("g_Trace.BugAssert fallito: ") + QLatin1String(c.failText);
            EXPECT_EQ(trace.Lines(), QStringList{traced});
            // Nothing half-read.
            EXPECT_EQ(s->NetworkAdd(), 33);
            EXPECT_EQ(s->BaudRate(), 1);
        }
    }
}

TEST(SerialComm, UnknownBaudRateCodeIsNeverSentEmpty)
{
    for (std::int16_t baud : {-1, 4, 7}) {
        SCOPED_TRACE(baud);
        TraceCapture trace;
        MemMapAuxLines lines = NoSendLines();
        EXPECT_THROW(Serial(1, baud)->GetMemoryMapAux(ModInstr(1, 0), lines), SetupReadError);
        EXPECT_EQ(lines, NoSendLines());
        EXPECT_EQ(trace.Lines(), QStringList{QStringLiteral("g_Trace.BugAssert fallito: Errore valore ConvBaudRate")});
    }
}

TEST(SerialComm, ReportRows)
{
    struct Case {
        std::int16_t networkAdd, baudRate;
        const char *addText, *bdrText;
    };
    const Case cases[] = {
        {1, 0, "1", "4800"},    {247, 1, "247", "9600"}, {0, 2, "0", "19200"},
        {12, 3, "12", "38400"}, {5, 4, "5", "4"},        {5, -1, "5", "-1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.baudRate);
        ReportRecordset report;
        Serial(c.networkAdd, c.baudRate)->SetReport(report);
        ASSERT_EQ(report.Count(), 2u);
        const auto &rows = report.Rows();
        EXPECT_EQ(rows[0].nColumn, 2);
        EXPECT_EQ(rows[0].Column1, QStringLiteral("#SB#Network address (Add)"));
        EXPECT_EQ(rows[0].Column2, QLatin1String(c.addText));
        EXPECT_EQ(rows[1].nColumn, 2);
        EXPECT_EQ(rows[1].Column1, QStringLiteral("#SB#Baud rate (bdr)"));
        EXPECT_EQ(rows[1].Column2, QLatin1String(c.bdrText));
    }
}

TEST(SerialComm, RowOnACopyOfTheTemplate)
{
    testenv::ScopedProgramFolder folder;
    const QString templ = folder.File(QLatin1String(kTemplateFileName));
    const QString program = folder.File(QLatin1String(kProgramDatabaseFileName));
    CreateTemplateDatabase(templ);
    ASSERT_TRUE(QFile::copy(templ, program));
    g_Connection.OpenFile(program);
    struct Close {
        ~Close() { g_Connection.Close(); }
    } close;

    // The instrument row of the template holds the defaults.
    const auto instrument = Serial(-5, -5);
    instrument->LoadDataFromADORS(ExistingRowCriterion(kInstrumentIDProgramma));
    EXPECT_EQ(instrument->NetworkAdd(), 1);
    EXPECT_EQ(instrument->BaudRate(), 0);

    Serial(17, 2)->SaveDataInADORS(NewRowCriterion(5));
    CSerialComm loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(5));
    EXPECT_EQ(loaded.NetworkAdd(), 17);
    EXPECT_EQ(loaded.BaudRate(), 2);

    Serial(255, 3)->SaveDataInADORS(ExistingRowCriterion(5));
    loaded.LoadDataFromADORS(ExistingRowCriterion(5));
    EXPECT_EQ(loaded.NetworkAdd(), 255);
    EXPECT_EQ(loaded.BaudRate(), 3);

    instrument->LoadDataFromADORS(ExistingRowCriterion(kInstrumentIDProgramma));
    EXPECT_EQ(instrument->NetworkAdd(), 1);
    EXPECT_EQ(instrument->BaudRate(), 0);
}
