// One rule for setup data from outside, whatever road it comes in by (a
// stored row, an instrument's memory map, an exchange file, the auxiliary
// lines): a value its field can hold is taken as it is, any other is refused
// with a message naming the field and the value, and nothing is stored.
#include "MemMapTestSupport.h"
#include "../model/ParameterTestSupport.h"

#include "CGestioneMemMap.h"
#include "ModelError.h"
#include "ParameterCodes.h"

#include <QFile>
#include <gtest/gtest.h>

#include <optional>

using memmaptest::Configurations;
using memmaptest::MemMapDatabase;

namespace {

constexpr std::int32_t kStored = 300;

struct Field {
    const char *table;
    const char *column;
    std::size_t word;                // its memory-map word (base layout)
    std::optional<std::size_t> line; // its auxiliary line, where a line can carry any number
    std::int16_t good;               // the edge of what it holds
    std::vector<std::int16_t> bad;
};

const std::vector<Field> &Fields()
{
    static const std::vector<Field> fields{
        {"CDisplay", "m_Password", 0, 0, 9000, {9001, -1, 32767}},
        {"CDisplay", "m_DisplayDigit", 4, std::nullopt, 1, {2, -1}},
        {"CRangeMVAHVA", "m_MeasureType", 2, std::nullopt, 1, {2, 7}},
        {"CRangeMVAHVA", "m_DigitalInFunction", 88, 88, 2, {3, -1}},
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
    // modules; the text of the refusal, or empty when taken.
    template <class Read>
    QString ReadBack(Read read, CCollDatiSetup &into)
    {
        into.SetCodificaModuli(m_Coding);
        try {
            read(into);
        } catch (const SetupReadError &e) {
            return e.Text();
        }
        return QString();
    }

    QString LoadRow()
    {
        try {
            Load(kStored);
        } catch (const SetupReadError &e) {
            return e.Text();
        }
        return QString();
    }

    // Imports the stored configuration's exchange file with one word changed,
    // under a new id each time.
    bool ImportWith(std::size_t word, std::int16_t value)
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
        return CGestioneMemMap().Import(file, m_Imported);
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
            const auto named = [&](const QString &text) {
                EXPECT_TRUE(text.contains(column) && text.contains(QString::number(value))) << text.toStdString();
            };
            const QVariant original = Column(table, kStored, column);

            // Stored row (the wizard's road and the collection's): refused
            // rows leave the object as it was.
            Exec(QStringLiteral("UPDATE \"%1\" SET \"%2\" = ? WHERE IDProgramma = ?").arg(table, column),
                 {QVariant(value), QVariant(kStored)});
            const QString rowError = LoadRow();
            EXPECT_EQ(rowError.isEmpty(), taken) << rowError.toStdString();
            if (!taken)
                named(rowError);
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
            const QString mapError = ReadBack([&](CCollDatiSetup &c) { c.SetUserSetup(map); }, fromMap);
            EXPECT_EQ(mapError.isEmpty(), taken) << mapError.toStdString();
            if (!taken)
                named(mapError);

            // Exchange file: nothing of the refused file is stored.
            EXPECT_EQ(ImportWith(f.word, value), taken);
            EXPECT_EQ(Column(table, m_Imported, column).isValid(), taken);
            if (taken) {
                EXPECT_EQ(Column(table, m_Imported, column).toInt(), value);
            }

            // Auxiliary lines, where a line can carry the value.
            if (f.line) {
                MemMapAuxLines lines = m_Lines;
                lines[*f.line] = WithValue(lines[*f.line], value, f.column);
                CCollDatiSetup fromLines;
                const QString lineError =
                    ReadBack([&](CCollDatiSetup &c) { c.SetUserSetupAux(lines); }, fromLines);
                EXPECT_EQ(lineError.isEmpty(), taken) << lineError.toStdString();
                if (!taken)
                    named(lineError);
            }
        }
    }
}

// Every rule names a stored column of its class, so none is silently unused.
TEST(OutsideDataRules, NameStoredColumns)
{
    CCollDatiSetup setup;
    for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
        CParameterClassBase &object = colltest::Object(setup, i);
        const QStringList columns = object.ColumnNames();
        for (const FieldRule &rule : object.FieldRules())
            EXPECT_TRUE(columns.contains(QLatin1String(rule.column))) << object.ClassName().toStdString() << "."
                                                                         << rule.column;
    }
}

} // namespace
