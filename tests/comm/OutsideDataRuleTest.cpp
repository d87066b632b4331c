// One rule for setup data from outside, whatever road it comes in by (a
// stored row, an instrument's memory map, an exchange file, the auxiliary
// lines): a value its field can hold is taken as it is, any other is refused
// with a message naming the field and the value (to the user as the field's
// page names it), and nothing is stored. An object that does not apply to
// the configuration's modules never refuses it.
#include "MemMapTestSupport.h"
#include "../model/ParameterTestSupport.h"

#include "CGestioneMemMap.h"
#include "ModelError.h"
#include "FieldLabels.h"
#include "ModuleCodes.h"
#include "ParameterCodes.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "../model/TraceCapture.h"

#include <QFile>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>

using memmaptest::Configurations;
using memmaptest::MemMapDatabase;

namespace {

constexpr std::int32_t kStored = 300;

struct Field {
    const char *table;
    const char *column;
    std::int32_t label;              // the caption its page gives it
    std::size_t word;                // its memory-map word (base layout)
    std::optional<std::size_t> line; // its auxiliary line, where a line can carry any number
    std::int16_t good;               // the edge of what it holds
    std::vector<std::int16_t> bad;
};

const std::vector<Field> &Fields()
{
    static const std::vector<Field> fields{
        {"CDisplay", "m_Password", 510, 0, 0, 9000, {9001, -1, 32767}},
        {"CDisplay", "m_DisplayDigit", 511, 4, std::nullopt, 1, {2, -1}},
        {"CRangeMVAHVA", "m_MeasureType", 434, 2, std::nullopt, 1, {2, 7}},
        {"CRangeMVAHVA", "m_DigitalInFunction", 430, 88, 88, 2, {3, -1}},
        // The four-digit display's decimal points, and the curve's switch.
        {"CInOutScale", "m_MeasureDigitalPoint", 484, 8, std::nullopt, 3, {4, 7, -1}},
        {"CInOutScale", "m_Linearizzazione", 487, 11, std::nullopt, 1, {2, 5, -1}},
    };
    return fields;
}

// The text of an auxiliary line with another value.
QString WithValue(const QString &line, std::int16_t value, const char *column)
{
    const QString prefix = line.left(line.indexOf(QLatin1Char('=')) + 1);
    // The command input's lines carry "C" and the code plus one.
    if (QLatin1String(column) == QLatin1String("m_DigitalInFunction"))
        return prefix + QLatin1Char('C') + QString::number(value + 1);
    return prefix + QString::number(value);
}

class OutsideData : public MemMapDatabase {
protected:
    void SetUp() override
    {
        MemMapDatabase::SetUp();
        Store(Configurations().front(), kStored);
        const auto stored = Load(kStored);
        m_Coding = stored->CodificaModuli();
        stored->GetMemoryMap(m_Map);
        m_Lines = paramtest::NoSendLines();
        stored->GetMemoryMapAux(m_Lines);
    }

    // Reads the map (or the lines) into a collection of this configuration's
    // modules; the refusal, or none when taken.
    template <class Read>
    std::optional<SetupReadError> ReadBack(Read read, CCollDatiSetup &into)
    {
        into.SetCodificaModuli(m_Coding);
        try {
            read(into);
        } catch (const SetupReadError &e) {
            return e;
        }
        return std::nullopt;
    }

    std::optional<SetupReadError> LoadRow()
    {
        try {
            Load(kStored);
        } catch (const SetupReadError &e) {
            return e;
        }
        return std::nullopt;
    }

    // Imports the stored configuration's exchange file with one word changed,
    // under a new id each time; `refused` gets what the user is told of a
    // refused value.
    bool ImportWith(std::size_t word, std::int16_t value, QString *refused = nullptr)
    {
        ++m_Imported;
        const QString file = m_Folder.File(QStringLiteral("rule.OXA"));
        EXPECT_TRUE(CGestioneMemMap().Export(file, kStored));
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(110 + 2 * static_cast<qint64>(word));
        const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
        f.write(bytes, 2);
        f.close();
        CGestioneMemMap memMap;
        const bool imported = memMap.Import(file, m_Imported);
        if (refused)
            *refused = memMap.RefusedDataText();
        return imported;
    }

    std::int32_t m_Imported = kStored;
    std::int32_t m_Coding = 0;
    MemMapWords m_Map{};
    MemMapAuxLines m_Lines{};
};

TEST_F(OutsideData, EveryRoadTakesWhatTheFieldHoldsAndRefusesTheRest)
{
    for (const Field &f : Fields()) {
        const QString table = QString::fromLatin1(f.table);
        const QString column = QString::fromLatin1(f.column);
        std::vector<std::pair<std::int16_t, bool>> values{{f.good, true}};
        for (const std::int16_t v : f.bad)
            values.emplace_back(v, false);
        for (const auto &[value, taken] : values) {
            SCOPED_TRACE(testing::Message() << f.column << " = " << value);
            // The user reads the field as its page names it and the value,
            // never the member name; the trace keeps the check text.
            const QString label = LoadResourceString(f.label).remove(QLatin1Char(':')).trimmed();
            const auto userNamed = [&](const QString &text) {
                EXPECT_TRUE(text.contains(QLatin1Char('"') + label + QLatin1Char('"')) &&
                            text.contains(QString::number(value)) && !text.contains(QLatin1String("m_")))
                    << text.toStdString();
            };
            const auto refused = [&](const std::optional<SetupReadError> &e) {
                ASSERT_EQ(e.has_value(), !taken) << (e ? e->Text().toStdString() : std::string());
                if (!e)
                    return;
                EXPECT_TRUE(e->Text().contains(column) && e->Text().contains(QString::number(value)))
                    << e->Text().toStdString();
                EXPECT_EQ(e->Table(), table);
                userNamed(e->UserText());
            };
            const QVariant original = Column(table, kStored, column);

            // Stored row (the wizard's road and the collection's): refused
            // rows leave the object as it was.
            Exec(QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE IDProgramma = ?").arg(table, column),
                 {QVariant(value), QVariant(kStored)});
            refused(LoadRow());
            if (table == QLatin1String("CDisplay")) {
                CDisplay display;
                const std::int16_t before = display.Password();
                if (taken) {
                    display.LoadDataFromADORS(ExistingRowCriterion(kStored));
                } else {
                    EXPECT_THROW(display.LoadDataFromADORS(ExistingRowCriterion(kStored)), SetupReadError);
                    EXPECT_EQ(display.Password(), before);
                }
            }
            Exec(QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE IDProgramma = ?").arg(table, column),
                 {original, QVariant(kStored)});

            // Instrument map.
            MemMapWords map = m_Map;
            map[f.word] = value;
            CCollDatiSetup fromMap;
            refused(ReadBack([&](CCollDatiSetup &c) { c.SetUserSetup(map); }, fromMap));

            // Exchange file: nothing of the refused file is stored.
            QString importRefused;
            EXPECT_EQ(ImportWith(f.word, value, &importRefused), taken);
            EXPECT_EQ(Column(table, m_Imported, column).isValid(), taken);
            if (taken) {
                EXPECT_EQ(Column(table, m_Imported, column).toInt(), value);
            } else {
                userNamed(importRefused);
            }

            // Auxiliary lines, where a line can carry the value.
            if (f.line) {
                MemMapAuxLines lines = m_Lines;
                lines[*f.line] = WithValue(lines[*f.line], value, f.column);
                CCollDatiSetup fromLines;
                refused(ReadBack([&](CCollDatiSetup &c) { c.SetUserSetupAux(lines); }, fromLines));
            }
        }
    }
}

// Objects that do not apply to their configuration's modules: alarms 3 and 4
// beside one relay, the analogue output without its module, the temperature
// input and channel F on a low-signal input, the serial module's values
// without the module, the counters on F1, channel A's scale on F10. A value
// outside its rule in one of them is traced (not as a failed check) and only
// that field takes its starting value on the stored road, or keeps what it
// held on the map road; every other value of the row is taken, and survives
// the next save over the same id. The configuration loads and goes out
// whole. In an object that applies (alarm 2) the same value refuses it.
TEST_F(OutsideData, AnObjectThatDoesNotApplyNeverRefusesItsConfiguration)
{
    struct Value {
        const char *column;
        std::int32_t value;
    };
    struct Case {
        const char *what;
        colltest::Modules modules;
        std::int16_t function; // the frequency/counter module's F1..F11 as 0..10
        const char *table;
        std::vector<Value> refused; // outside their rules
        Value kept;                 // one of the user's, inside its rule
        bool applies;
        // The map words of the refused values and of the kept one, where
        // the object reads its words while it does not apply.
        std::vector<std::size_t> words;
    };
    const colltest::Modules oneRelay{1, 0, 0, 1, 0};
    const colltest::Modules twoRelays{1, 0, 1, 2, 0};
    const colltest::Modules frequency{1, 4, 0, 0, 0};
    const colltest::Modules counters{3, 4, 0, 0, 0};
    constexpr std::size_t kAlarm3 = 45 + 9 * 2;
    const Case cases[] = {
        {"alarm 3 beside one relay",
         oneRelay,
         0,
         "CAlarm3",
         {{"m_AlarmType", 9}},
         {"m_AlarmSetPoint", 777},
         false,
         {kAlarm3 + 7, kAlarm3 + 2}},
        {"alarm 4, two values refused",
         oneRelay,
         0,
         "CAlarm4",
         {{"m_AlarmType", 9}, {"m_AlarmColor", 7}},
         {"m_Isteresi", 42},
         false,
         {}},
        {"analogue output without its module",
         oneRelay,
         0,
         "CAnalogOut",
         {{"m_TypeSignalOut", 5}},
         {"m_MaxOut", 777},
         false,
         {}},
        {"temperature input on an MVA module",
         oneRelay,
         0,
         "CRangeGKP",
         {{"m_ProbeSelect", 7}},
         {"m_TempCJC", 23},
         false,
         {}},
        {"channel F without a frequency module",
         oneRelay,
         0,
         "CInOutScaleB",
         {{"m_Linearizzazione", 5}},
         {"m_MaxMeasureScale", 777},
         false,
         {}},
        {"serial values without the module",
         oneRelay,
         0,
         "CSerialComm",
         {{"m_BaudRate", 9}},
         {"m_NetworkAdd", 77},
         false,
         {}},
        {"counters on F1",
         frequency,
         0,
         "CCounterAB",
         {{"m_MeasureDigitalPointCounterA", 9}},
         {"m_CounterAPulseWeight", 1234},
         false,
         {}},
        {"channel A's scale on F10",
         counters,
         9,
         "CInOutScale",
         {{"m_MeasureDigitalPoint", 9}},
         {"m_MinMeasureScale", -500},
         false,
         {}},
        {"alarm 2 beside two relays",
         twoRelays,
         0,
         "CAlarm2",
         {{"m_AlarmType", 9}},
         {"m_AlarmSetPoint", 777},
         true,
         {45 + 9 + 7, 45 + 9 + 2}},
    };
    const CCollDatiSetup fresh;
    // The value of a column in a collection (a fresh one holds the starting
    // values), or of every column of the configuration's rows in the tables.
    const auto heldValue = [](const CCollDatiSetup &setup, const QString &table, const QString &column) {
        for (const auto &v : colltest::StoredValues(setup, colltest::Index(setup, table))) {
            if (v.column == table + QLatin1Char('.') + column)
                return v.value.toStdString();
        }
        return std::string();
    };
    const auto storedRows = [&](std::int32_t id) {
        std::map<QString, std::string> values;
        for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
            for (const auto &v : colltest::StoredValues(fresh, i)) {
                const QString table = v.column.section(QLatin1Char('.'), 0, 0);
                values[v.column] = Column(table, id, v.column.section(QLatin1Char('.'), 1)).toString().toStdString();
            }
        }
        return values;
    };
    // Ids of their own, apart from the stored configuration's and the imports'.
    std::int32_t id = 2 * kStored;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString table = QString::fromLatin1(c.table);
        const auto set = [&](const Value &v) {
            Exec(QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE IDProgramma = ?").arg(table, v.column),
                 {QVariant(v.value), QVariant(id)});
        };
        {
            CCollDatiSetup stored;
            stored.RangeWP12().SetWPxFunction(c.function);
            stored.SetCodificaModuli(colltest::Coding(c.modules));
            stored.SetIDProgramma(++id);
            stored.SaveDataInADORS(true);
        }
        set(c.kept);
        for (const Value &v : c.refused)
            set(v);
        QStringList checkTexts;
        for (const Value &v : c.refused)
            checkTexts << QStringLiteral("Valore fuori tabella per %1: %2").arg(v.column).arg(v.value);

        // What the next save is to store: the rows as they are, but for the
        // refused values, which take their starting values.
        std::map<QString, std::string> expected = storedRows(id);
        for (const Value &v : c.refused) {
            const QString column = QString::fromLatin1(v.column);
            expected[table + QLatin1Char('.') + column] = heldValue(fresh, table, column);
        }

        TraceCapture trace;
        std::unique_ptr<CCollDatiSetup> loaded;
        std::optional<SetupReadError> error;
        try {
            loaded = Load(id);
        } catch (const SetupReadError &e) {
            error = e;
        }
        ASSERT_EQ(error.has_value(), c.applies);
        if (c.applies) {
            EXPECT_EQ(error->Table(), table);
            EXPECT_TRUE(trace.Lines().contains(QStringLiteral("g_Trace.BugAssert fallito: ") + checkTexts.front()));
        } else {
            for (const QString &checkText : checkTexts) {
                EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Valore ignorato per ") + table +
                                                   QStringLiteral(" (non applicabile): ") + checkText))
                    << trace.Lines().join('\n').toStdString();
            }
            EXPECT_FALSE(trace.Lines().join('\n').contains(QStringLiteral("g_Trace.BugAssert fallito")));
            EXPECT_EQ(heldValue(*loaded, table, QString::fromLatin1(c.kept.column)), std::to_string(c.kept.value));
            loaded->SaveDataInADORS(false);
            for (const auto &[column, value] : storedRows(id))
                EXPECT_EQ(value, expected.at(column)) << column.toStdString();
            const QString file = m_Folder.File(QStringLiteral("ignored.OXA"));
            EXPECT_TRUE(CGestioneMemMap().Export(file, id));
            EXPECT_TRUE(CGestioneMemMap().Import(file, ++m_Imported));
        }

        if (c.words.empty())
            continue;
        // The map holds the same values: a refused word costs only its field.
        MemMapWords map{};
        {
            CCollDatiSetup source;
            source.SetCodificaModuli(colltest::Coding(c.modules));
            source.GetMemoryMap(map);
        }
        for (std::size_t k = 0; k < c.refused.size(); ++k)
            map[c.words[k]] = static_cast<std::int16_t>(c.refused[k].value);
        map[c.words.back()] = static_cast<std::int16_t>(c.kept.value);
        CCollDatiSetup fromMap;
        fromMap.SetCodificaModuli(colltest::Coding(c.modules));
        TraceCapture mapTrace;
        std::optional<SetupReadError> mapError;
        try {
            fromMap.SetUserSetup(map);
        } catch (const SetupReadError &e) {
            mapError = e;
        }
        EXPECT_EQ(mapError.has_value(), c.applies);
        if (c.applies)
            continue;
        for (const Value &v : c.refused) {
            const QString column = QString::fromLatin1(v.column);
            EXPECT_EQ(heldValue(fromMap, table, column), heldValue(fresh, table, column));
        }
        EXPECT_EQ(heldValue(fromMap, table, QString::fromLatin1(c.kept.column)), std::to_string(c.kept.value));
        for (const QString &checkText : checkTexts) {
            EXPECT_TRUE(mapTrace.Lines().contains(QStringLiteral("Lettura ignorata per ") + table +
                                                  QStringLiteral(" (non applicabile): ") + checkText));
        }
        EXPECT_FALSE(mapTrace.Lines().join('\n').contains(QStringLiteral("g_Trace.BugAssert fallito")));
    }
}

// What the configuration's instrument cannot carry is refused on the stored
// road too, though another configuration's field takes it: the six-digit
// decimal points on a four-digit display (named by their sample text), a
// value beyond the base layout's 16-bit word (curve points only while in
// use), an extra input of the master module in a slot beside another input.
TEST_F(OutsideData, TheConfigurationsContextRefusesWhatItsInstrumentCannotCarry)
{
    struct Case {
        const char *table;
        const char *column;
        std::int32_t value;
        const char *userValue;
    };
    const Case cases[] = {
        {"CInOutScale", "m_MeasureDigitalPoint", 0x10002, "1111.11"},
        {"CInOutScale", "m_MaxMeasureScale", 40000, "40000"},
        {"CAlarm1", "m_AlarmSetPoint", -40000, "-40000"},
        {"CLinearize", "m_CoordinateOut04", 32768, "32768"},
        {"CModInstr", "m_SlotC", 6, "6"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.column);
        const QString table = QString::fromLatin1(c.table);
        const QString column = QString::fromLatin1(c.column);
        const QVariant original = Column(table, kStored, column);
        Exec(QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE IDProgramma = ?").arg(table, column),
             {QVariant(c.value), QVariant(kStored)});
        const std::optional<SetupReadError> error = LoadRow();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->Table(), table);
        EXPECT_EQ(error->Field(), column);
        EXPECT_TRUE(error->UserText().contains(QStringLiteral(" ") + QLatin1String(c.userValue) + QStringLiteral(" ")))
            << error->UserText().toStdString();
        EXPECT_FALSE(CGestioneMemMap().Export(m_Folder.File(QStringLiteral("context.OXA")), kStored));
        Exec(QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE IDProgramma = ?").arg(table, column),
             {original, QVariant(kStored)});
    }
    // A point beyond the number in use does not travel: it is taken.
    Exec(QStringLiteral("UPDATE \"CLinearize\" SET \"m_CoordinateOut05\" = 40000 WHERE IDProgramma = ?"),
         {QVariant(kStored)});
    EXPECT_FALSE(LoadRow().has_value());
}

// Every rule names a stored column of its class, so none is silently unused,
// and every field with a rule, or with a rule of its context, has the caption
// a refusal names it by.
TEST(OutsideDataRules, NameStoredColumnsThatHaveTheirCaption)
{
    CCollDatiSetup setup;
    for (const std::int16_t slotA : {SlotACode::MVA, SlotACode::WP1}) {
        setup.SetCodificaModuli(colltest::Coding({3, slotA, 0, 0, 0}));
        setup.Linearize().SetNumSpezzate(16);
        for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
            CParameterClassBase &object = colltest::Object(setup, i);
            const QStringList columns = object.ColumnNames();
            std::vector<FieldRule> rules(object.FieldRules().begin(), object.FieldRules().end());
            for (const FieldRule &rule : object.ContextRules())
                rules.push_back(rule);
            for (const FieldRule &rule : rules) {
                SCOPED_TRACE(object.ClassName().toStdString() + "." + rule.column);
                EXPECT_TRUE(columns.contains(QLatin1String(rule.column)));
                EXPECT_FALSE(FieldUserName(object.ClassName(), QLatin1String(rule.column)).isEmpty());
            }
        }
    }
}

} // namespace
