#include "CAlarm.h"
#include "CCollDatiSetup.h"
#include "CCounterAB.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
#include "CollectionTestSupport.h"
#include "DatabaseError.h"
#include "MErrors.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ParameterTestSupport.h"

#include <gtest/gtest.h>

using colltest::Coding;
using colltest::Modules;
using colltest::ValidPositions;

namespace {

const char *const kNames[] = {"CModInstr",  "CRangeWP12",      "CRangeMVAHVA", "CRangeGKP",    "CRangeMVZ",
                              "CDisplay",   "CInOutScale",     "CLinearize",   "CInOutScaleB", "CLinearizeB",
                              "CCounterAB", "CAlarm1",         "CAlarm2",      "CAlarm3",      "CAlarm4",
                              "CAnalogOut", "CFiltroDigitale", "CSerialComm"};

class CollDatiSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_Scala.Reset();
        g_ScalaB.Reset();
    }
};

} // namespace

TEST_F(CollDatiSetup, NewCollection)
{
    CCollDatiSetup coll;
    ASSERT_EQ(coll.SetupObjects().Count(), 18);
    for (std::int16_t i = 1; i <= 18; ++i) {
        const QString name = QString::fromLatin1(kNames[i - 1]);
        EXPECT_EQ(coll.SetupObjects().Item(i).ClassName(), name);
        EXPECT_EQ(coll.SetupObjects().Key(i), name);
        EXPECT_EQ(&coll.SetupObjects().Item(name), &coll.SetupObjects().Item(i));
        EXPECT_FALSE(coll.ValidData(i)) << i;
    }
    EXPECT_EQ(&coll.SetupObjects().Item(QStringLiteral("CModInstr")), &coll.ModInstr());
    EXPECT_EQ(coll.IDProgramma(), 0);

    for (std::int16_t outside : {std::int16_t(0), std::int16_t(19), std::int16_t(-1)}) {
        try {
            coll.ValidData(outside);
            ADD_FAILURE() << "ValidData(" << outside << ") accepted";
        } catch (const ProgramError &e) {
            EXPECT_EQ(e.Number(), RunTimeError::SubscriptOutOfRange);
        }
    }
    EXPECT_THROW(coll.SetupObjects().Item(std::int16_t(19)), ProgramError);
    EXPECT_THROW(coll.SetupObjects().Item(QStringLiteral("CAlarm")), ProgramError);
}

// Which groups apply, from the module coding, the function of the
// frequency/counter module and the two linearisation switches.
TEST_F(CollDatiSetup, ValidDataByModulesFunctionAndLinearization)
{
    struct Case {
        const char *what;
        Modules modules;
        std::int16_t function; // WPxFunction, 0..10 = F1..F11
        std::int16_t linA, linF;
        std::vector<int> valid;
    };
    const Case cases[] = {
        {"model 1 MVA, QD, Y2, curve off", {1, 0, 1, 2, 0}, 0, 0, 0, {1, 3, 6, 7, 12, 13, 17, 18}},
        {"model 1 MVA, QD, Y2, curve on", {1, 0, 1, 2, 0}, 0, 1, 0, {1, 3, 6, 7, 8, 12, 13, 17, 18}},
        {"model 1 HVA, QE, Y1", {1, 2, 2, 1, 0}, 0, 1, 0, {1, 3, 6, 7, 8, 12, 17, 18}},
        {"model 1 GKP: no curve", {1, 3, 2, 1, 0}, 0, 1, 0, {1, 4, 6, 7, 12, 17, 18}},
        {"model 1 MVA, BN in B, Y4/Y5", {1, 0, 3, 3, 0}, 0, 0, 0, {1, 3, 6, 7, 12, 13, 14, 15, 16, 17}},
        {"model 1 MVA, BN in C: no alarm", {1, 0, 0, 4, 0}, 0, 0, 0, {1, 3, 6, 7, 16, 17}},
        {"model 2 MVA: no display", {2, 0, 0, 0, 0}, 0, 0, 0, {1, 3, 7, 17}},
        {"model 2 MVZ with extra inputs", {2, 6, 0, 5, 3}, 0, 1, 0, {1, 5, 7, 8, 17}},
        {"model 1 WP1 F1", {1, 4, 0, 2, 0}, 0, 1, 1, {1, 2, 6, 7, 8, 12, 13, 17}},
        {"model 1 WP1 F4: channel F", {1, 4, 0, 0, 0}, 3, 0, 0, {1, 2, 6, 7, 9, 17}},
        {"model 1 WP1 F8: no counters off model 3", {1, 4, 0, 0, 0}, 7, 0, 0, {1, 2, 6, 7, 17}},
        {"model 0 WP1 F10", {0, 4, 0, 0, 0}, 9, 0, 0, {1, 2, 6, 17}},
        {"model 3 WP1 F10, curve off", {3, 4, 0, 0, 0}, 9, 0, 0, {1, 2, 6, 11, 17}},
        {"model 3 WP1 F10, curve on", {3, 4, 0, 0, 0}, 9, 1, 0, {1, 2, 6, 8, 11, 17}},
        {"model 3 WP1 F11, curve on", {3, 4, 0, 0, 0}, 10, 1, 0, {1, 2, 6, 11, 17}},
        {"model 3 WP2 F1, channel F curve off", {3, 5, 0, 0, 0}, 0, 0, 0, {1, 2, 6, 7, 9, 17}},
        {"model 3 WP2 F1, channel F curve on", {3, 5, 0, 0, 0}, 0, 0, 1, {1, 2, 6, 7, 9, 10, 17}},
        {"model 3 WP2 F8", {3, 5, 1, 0, 0}, 7, 0, 0, {1, 2, 6, 7, 11, 17, 18}},
        // Values left over from an earlier frequency configuration: on a
        // base-layout module neither the counters nor channel F apply.
        {"model 3 MVA, leftover F1 with channel F curve", {3, 0, 0, 0, 0}, 0, 0, 1, {1, 3, 6, 7, 17}},
        {"model 3 MVA, leftover F10", {3, 0, 0, 0, 0}, 9, 0, 0, {1, 3, 6, 7, 17}},
    };
    for (const Case &c : cases) {
        CCollDatiSetup coll;
        coll.RangeWP12().SetWPxFunction(c.function);
        coll.RangeWP12().SetImpGiroA(60);
        coll.InOutScale().SetLinearizzazione(c.linA);
        coll.InOutScaleB().SetLinearizzazione(c.linF);
        coll.SetCodificaModuli(Coding(c.modules));
        EXPECT_EQ(ValidPositions(coll), c.valid) << c.what;
    }
}

// The validity update pushes the owners' current values, then runs the scale
// operations in collection order.
TEST_F(CollDatiSetup, ContextValuesAndScales)
{
    CCollDatiSetup coll;
    coll.RangeMVAHVA().SetMeasureType(1);
    coll.Display().SetDisplayDigit(1);
    coll.RangeGKP().SetProbeSelect(1);
    coll.RangeGKP().SetRange(2);
    coll.InOutScale().SetElectricDigitalPoint(1);
    coll.InOutScale().SetMinElectricScale(-100);
    coll.InOutScale().SetMaxElectricScale(1500);
    coll.InOutScale().SetMeasureDigitalPoint(2);
    coll.InOutScale().SetMinMeasureScale(10);
    coll.InOutScale().SetMaxMeasureScale(990);
    coll.SetCodificaModuli(Coding({1, 3, 0, 3, 0}));

    EXPECT_EQ(g_Scala->Limiti(), paramtest::RangeOf(1, 3, 2, 1));
    EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), 2);
    EXPECT_EQ(g_Scala->InizioScalaDisplay(), 10);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), 990);
    EXPECT_EQ(coll.InOutScale().MeasureType(), 1);
    EXPECT_EQ(coll.InOutScale().DisplayDigit(), 1);
    EXPECT_EQ(coll.InOutScale().SlotA(), 3);
    EXPECT_EQ(coll.Linearize().ElectricDigitalPoint(), 1);
    EXPECT_EQ(coll.Linearize().MinElectricScale(), -100);
    EXPECT_EQ(coll.Linearize().MaxElectricScale(), 1500);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(coll.Alarm(n).DisplayDigit(), 1);
        EXPECT_EQ(coll.Alarm(n).ModelloStrumento(), 1);
        EXPECT_EQ(coll.Alarm(n).SlotA(), 3);
    }
    EXPECT_EQ(coll.FiltroDigitale().DisplayDigit(), 1);

    // A function left over from a counter configuration does not replace
    // channel A's display scale on the temperature module.
    coll.RangeWP12().SetWPxFunction(9);
    coll.CounterAB().SetMeasureDigitalPointCounterA(0x10003);
    coll.SetCodificaModuli(coll.CodificaModuli());
    EXPECT_EQ(g_Scala->InizioScalaDisplay(), 10);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), 990);
    EXPECT_EQ(coll.Alarm(1).WPxFunction(), 9);

    // On the counter module F10 the counters win over channel A's scale.
    coll.RangeWP12().SetImpGiroA(60);
    coll.CounterAB().SetMeasureDigitalPointCounterB(0x10001);
    coll.InOutScaleB().SetMeasureDigitalPoint(0x10002);
    coll.SetCodificaModuli(Coding({3, 4, 0, 0, 0}));
    EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), 0x10003);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), CCounterAB::kCounterDisplayEnd);
    EXPECT_EQ(g_ScalaB->DigitalPointScalaDisplay(), 0x10001);
    EXPECT_EQ(coll.CounterAB().WPxFunction(), 9);

    // An item renamed to none of the 18 names keeps its flag.
    ASSERT_FALSE(coll.ValidData(18));
    coll.SetupObjects().Item(std::int16_t(18)).SetClassName(QStringLiteral("CSerialCommX"));
    coll.SetCodificaModuli(Coding({3, 4, 1, 0, 0}));
    EXPECT_FALSE(coll.ValidData(18));
}

// ---------------------------------------------------------------------------
// Database

namespace {

class CollDatiSetupDatabase : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        g_Scala.Reset();
        g_ScalaB.Reset();
    }

    // A whole configuration with a value of its own in every column; the
    // model, modules and range are real ones so the validity update runs.
    static void Configure(CCollDatiSetup &coll, int base)
    {
        // The modules first, so that the values follow what their context
        // lets the objects hold.
        coll.SetCodificaModuli(colltest::Coding({1, 0, 1, 2, 0}));
        colltest::FillEveryColumn(coll, base);
        coll.InOutScale().SetLinearizzazione(1);
        CModInstr &mod = coll.ModInstr();
        mod.SetModelloStrumento(1);
        mod.SetSlotA(0);
        mod.SetSlotB(1);
        mod.SetSlotC(static_cast<std::int16_t>((base / 100) % 2 == 1 ? 2 : 3));
        mod.SetSlotD(0);
        coll.RangeMVAHVA().SetRange(static_cast<std::int16_t>(base % 6));
    }

    std::map<QString, std::int32_t> RowCounts()
    {
        std::map<QString, std::int32_t> counts;
        for (const char *name : kNames) {
            if (g_Connection.HasTable(QString::fromLatin1(name)))
                counts[QString::fromLatin1(name)] = RowCount(QString::fromLatin1(name));
        }
        return counts;
    }

    // The stored values of the configuration's rows, as a collection that
    // loaded them would hold them.
    QStringList DatabaseValues(const CCollDatiSetup &layout, std::int32_t id)
    {
        QStringList values;
        for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
            const QString table = layout.SetupObjects().Item(i).ClassName();
            if (!g_Connection.HasTable(table))
                continue;
            for (const auto &v : colltest::StoredValues(layout, i)) {
                const QString column = v.column.mid(table.size() + 1);
                const QVariant value = Column(table, id, column);
                values << v.column + '=' + (value.isValid() ? value.toString() : QStringLiteral("<no row>"));
            }
        }
        return values;
    }

    static QStringList Values(const CCollDatiSetup &coll)
    {
        QStringList values;
        for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
            if (!g_Connection.HasTable(coll.SetupObjects().Item(i).ClassName()))
                continue;
            for (const auto &v : colltest::StoredValues(coll, i))
                values << v.column + '=' + QString(v.value).remove('"');
        }
        return values;
    }
};

} // namespace

TEST_F(CollDatiSetupDatabase, SaveLoadAndUpdate)
{
    const auto before = RowCounts();
    CCollDatiSetup saved;
    Configure(saved, 100);
    saved.SetIDProgramma(57);
    saved.SaveDataInADORS(true);
    for (const auto &[table, count] : RowCounts())
        EXPECT_EQ(count, before.at(table) + 1) << table.toStdString();

    CCollDatiSetup loaded;
    loaded.SetIDProgramma(57);
    loaded.LoadDataFromADORS();
    EXPECT_EQ(colltest::Text(colltest::AllDifferences(saved, loaded)), "");
    EXPECT_EQ(ValidPositions(loaded), (std::vector<int>{1, 3, 6, 7, 8, 12, 13, 17, 18}));
    EXPECT_EQ(g_Scala->Limiti(), paramtest::RangeOf(1, 0, 100 % 6, 0));

    // Every value changed, then the rows of 57 updated in place.
    Configure(saved, 200);
    saved.SaveDataInADORS(false);
    EXPECT_EQ(RowCounts(), [&] {
        auto counts = before;
        for (auto &[table, count] : counts)
            ++count;
        return counts;
    }());
    loaded.LoadDataFromADORS();
    EXPECT_EQ(colltest::Text(colltest::AllDifferences(saved, loaded)), "");
    EXPECT_EQ(ValidPositions(loaded), (std::vector<int>{1, 3, 6, 7, 8, 12, 13, 14, 15, 17, 18}));
    EXPECT_EQ(g_Scala->Limiti(), paramtest::RangeOf(1, 0, 200 % 6, 0));
}

// A table that fails in the middle of the 18 (the fourteenth, "CAlarm3"):
// neither a new configuration nor an update leaves any of its rows behind,
// and a load leaves the collection as it was.
TEST_F(CollDatiSetupDatabase, FailureInTheMiddleChangesNothing)
{
    CCollDatiSetup saved;
    Configure(saved, 100);
    saved.SetIDProgramma(57);
    saved.SaveDataInADORS(true);
    ASSERT_EQ(colltest::Text(DatabaseValues(saved, 57)), colltest::Text(Values(saved)));

    Exec(QStringLiteral("DROP TABLE \"CAlarm3\""));
    const QStringList stored = DatabaseValues(saved, 57);
    const auto before = RowCounts();

    CCollDatiSetup changed;
    Configure(changed, 300);
    changed.SetIDProgramma(57);
    EXPECT_THROW(changed.SaveDataInADORS(false), DatabaseError);
    EXPECT_EQ(colltest::Text(DatabaseValues(saved, 57)), colltest::Text(stored));

    changed.SetIDProgramma(58);
    EXPECT_THROW(changed.SaveDataInADORS(true), DatabaseError);
    EXPECT_EQ(RowCounts(), before);
    EXPECT_EQ(g_Connection.TransactionLevel(), 0);

    // The collection that fails to load keeps its values, flags and scales.
    changed.SetCodificaModuli(Coding({1, 2, 0, 1, 0}));
    const QStringList valuesBefore = Values(changed);
    const auto validBefore = ValidPositions(changed);
    const LimitiScalaElettrica scaleBefore = g_Scala->Limiti();
    changed.SetIDProgramma(57);
    EXPECT_THROW(changed.LoadDataFromADORS(), DatabaseError);
    EXPECT_EQ(colltest::Text(Values(changed)), colltest::Text(valuesBefore));
    EXPECT_EQ(ValidPositions(changed), validBefore);
    EXPECT_EQ(g_Scala->Limiti(), scaleBefore);
}

// On F10 the counters own channel A's scale, but its curve follows channel
// A's switch: a refused value in that scale's row (it does not apply) takes
// its starting value alone and the switch stays, so the curve still applies;
// a switch outside its rule is not kept.
TEST_F(CollDatiSetupDatabase, F10KeepsTheCurveSwitchWhenChannelAScaleRowIsRefused)
{
    CCollDatiSetup saved;
    saved.RangeWP12().SetWPxFunction(9);
    saved.InOutScale().SetLinearizzazione(1);
    saved.InOutScale().SetMinMeasureScale(-500);
    saved.Linearize().SetNumSpezzate(4);
    saved.SetCodificaModuli(Coding({3, 4, 0, 0, 0}));
    saved.SetIDProgramma(61);
    saved.SaveDataInADORS(true);
    const int kCurveA = 8;
    // A decimal point outside the tables is refused; a six-digit one is a
    // table's and taken as it is (the scale does not apply, so its display
    // is not looked at). The rest of the row is taken either way.
    for (const auto &[digitalPoint, taken] : {std::pair{9, 0}, std::pair{0x10001, 0x10001}}) {
        SCOPED_TRACE(digitalPoint);
        Exec(QStringLiteral("UPDATE \"CInOutScale\" SET \"m_MeasureDigitalPoint\" = ? WHERE IDProgramma = 61"),
             {digitalPoint});
        CCollDatiSetup loaded;
        loaded.SetIDProgramma(61);
        loaded.LoadDataFromADORS();
        EXPECT_EQ(loaded.InOutScale().MeasureDigitalPoint(), taken);
        EXPECT_EQ(loaded.InOutScale().Linearizzazione(), 1);
        EXPECT_TRUE(loaded.ValidData(kCurveA));
        EXPECT_EQ(loaded.InOutScale().MinMeasureScale(), -500);
    }
    Exec(QStringLiteral("UPDATE \"CInOutScale\" SET \"m_Linearizzazione\" = 5 WHERE IDProgramma = 61"));
    CCollDatiSetup loaded;
    loaded.SetIDProgramma(61);
    loaded.LoadDataFromADORS();
    EXPECT_EQ(loaded.InOutScale().Linearizzazione(), 0);
    EXPECT_FALSE(loaded.ValidData(kCurveA));
}

// The same on an instrument's map: on F10 channel A's scale words may hold
// anything (the counters own that scale), and the curve that follows its
// switch word is still read.
TEST_F(CollDatiSetup, F10MapKeepsTheCurveSwitchWhenChannelAScaleDoesNotRead)
{
    const std::int32_t coding = Coding(Modules{3, 4, 0, 0, 0});
    CCollDatiSetup source;
    source.RangeWP12().SetWPxFunction(9);
    source.InOutScale().SetLinearizzazione(1);
    source.Linearize().SetNumSpezzate(4);
    source.Linearize().SetCoordinateOut(3, 777);
    source.SetCodificaModuli(coding);
    MemMapWords map{};
    source.GetMemoryMap(map);
    map[kFreqScaleWordsA.measureDigitalPoint] = 9; // no decimal point of the tables

    CCollDatiSetup read;
    read.SetCodificaModuli(coding);
    read.SetUserSetup(map);
    EXPECT_EQ(read.InOutScale().MeasureDigitalPoint(), 0);
    EXPECT_EQ(read.InOutScale().Linearizzazione(), 1);
    EXPECT_TRUE(read.ValidData(8));
    EXPECT_EQ(read.Linearize().CoordinateOut(3), 777);
}

// Reading an instrument back: the lines of a module that is not fitted are
// not in the reply and must not fail the read, while the lines of a fitted
// module must be there.
TEST_F(CollDatiSetup, ReadBackSkipsOnlyObjectsThatDoNotApply)
{
    MemMapAuxLines reply;
    reply.fill(QStringLiteral("NoSend"));
    {
        // Model 1, MVA, no serial module: write every valid object's lines.
        CCollDatiSetup source;
        source.SetCodificaModuli(Coding(Modules{1, 0, 0, 1, 0}));
        MemMapAuxLines lines;
        lines.fill(QStringLiteral("NoSend"));
        for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i)
            if (source.ValidData(i))
                source.SetupObjects().Item(i).GetMemoryMapAux(source.ModInstr(), lines);
        std::size_t next = 0;
        for (const QString &line : lines)
            if (line != QLatin1String("NoSend"))
                reply[next++] = line;
    }

    CCollDatiSetup withoutSerial;
    withoutSerial.SetCodificaModuli(Coding(Modules{1, 0, 0, 1, 0}));
    withoutSerial.SerialComm().SetNetworkAdd(77);
    EXPECT_NO_THROW(withoutSerial.SetUserSetupAux(reply));
    EXPECT_EQ(withoutSerial.SerialComm().NetworkAdd(), 77) << "an object that does not apply keeps its values";

    CCollDatiSetup withSerial;
    withSerial.SetCodificaModuli(Coding(Modules{1, 0, 1, 1, 0}));
    EXPECT_THROW(withSerial.SetUserSetupAux(reply), SetupReadError);
}
