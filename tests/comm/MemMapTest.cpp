#include "MemMapTestSupport.h"

#include "CGestioneMemMap.h"
#include "DatabaseError.h"
#include "MBytes.h"
#include "MErrors.h"
#include "ModelError.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using memmaptest::Configurations;
using memmaptest::MemMapDatabase;

namespace {

std::int32_t CodingForSlotA(std::int16_t slotA)
{
    return colltest::Coding({static_cast<std::int16_t>(slotA == 6 ? 2 : 1), slotA, 0, 0, 0});
}

} // namespace

TEST(MemMap, NewManagerAndRegisterWindowBySlotA)
{
    CGestioneMemMap fresh;
    EXPECT_EQ(fresh.StartAddMemMap(), 0);
    EXPECT_EQ(fresh.EndAddMemMap(), 0);
    for (std::int16_t i = 0; i < 276; ++i)
        ASSERT_EQ(fresh.MemMap(i), 0) << i;
    for (std::int16_t i = 0; i < 144; ++i)
        ASSERT_EQ(fresh.MemMapAux(i), QStringLiteral("NoSend")) << i;
    fresh.SetIDProgramma(57);
    EXPECT_EQ(fresh.SetupCollection().IDProgramma(), 57);
    EXPECT_EQ(fresh.StartAddMemMap(), 0) << "only the module coding sets the window";

    struct Case {
        std::int16_t slotA;
        std::uint16_t start, end;
    };
    const Case cases[] = {
        {0, 0xE000, 0xE058}, {1, 0xE000, 0xE058}, {2, 0xE000, 0xE058}, {3, 0xE000, 0xE058},
        {4, 0x2000, 0x2113}, {5, 0x2000, 0x2113}, {6, 0xE000, 0xE057},
    };
    CGestioneMemMap m;
    for (const Case &c : cases) {
        m.SetCodificaModuli(CodingForSlotA(c.slotA));
        EXPECT_EQ(m.ModInstr().SlotA(), c.slotA);
        EXPECT_EQ(m.CodificaModuli(), CodingForSlotA(c.slotA));
        EXPECT_EQ(m.StartAddMemMap(), c.start) << "slot A " << c.slotA;
        EXPECT_EQ(m.EndAddMemMap(), c.end) << "slot A " << c.slotA;
    }
    // The setup collection followed the coding (validity update).
    EXPECT_TRUE(m.SetupCollection().ValidData(5)) << "CRangeMVZ applies on slot A 6";
}

TEST(MemMap, IndexesOutsideTheArraysRaiseSubscriptOutOfRange)
{
    CGestioneMemMap m;
    m.SetMemMap(0, -1);
    m.SetMemMap(275, 32767);
    m.SetMemMapAux(0, QStringLiteral("first"));
    m.SetMemMapAux(143, QStringLiteral("last"));
    EXPECT_EQ(m.MemMap(0), -1);
    EXPECT_EQ(m.MemMap(275), 32767);
    EXPECT_EQ(m.MemMapAux(0), QStringLiteral("first"));
    EXPECT_EQ(m.MemMapAux(143), QStringLiteral("last"));

    const auto expectError9 = [](const char *what, const std::function<void()> &call) {
        try {
            call();
            ADD_FAILURE() << what << ": no error";
        } catch (const ProgramError &e) {
            EXPECT_EQ(e.Number(), RunTimeError::SubscriptOutOfRange) << what;
        }
    };
    for (std::int16_t index : {std::int16_t(-1), std::int16_t(276), std::int16_t(-32768), std::int16_t(32767)}) {
        SCOPED_TRACE(index);
        expectError9("MemMap get", [&] { m.MemMap(index); });
        expectError9("MemMap let", [&] { m.SetMemMap(index, 1); });
    }
    for (std::int16_t index : {std::int16_t(-1), std::int16_t(144), std::int16_t(276)}) {
        SCOPED_TRACE(index);
        expectError9("MemMapAux get", [&] { m.MemMapAux(index); });
        expectError9("MemMapAux let", [&] { m.SetMemMapAux(index, QStringLiteral("x")); });
    }
    EXPECT_EQ(m.MemMap(275), 32767) << "a refused write changes nothing";
    EXPECT_EQ(m.MemMapAux(143), QStringLiteral("last"));
}

// A stored configuration goes out as an instrument would receive it (words
// of the register window, or the lines as the instrument answers them: from
// index 0 in arrival order) and comes back into configuration 2, which then
// holds every stored value of the first under the name "Actual instrument
// setting".
TEST_F(MemMapDatabase, StoredConfigurationThroughTheMapIntoConfiguration2)
{
    const auto &configs = Configurations();
    for (std::size_t k = 0; k < configs.size(); ++k) {
        for (const bool aux : {false, true}) {
            SCOPED_TRACE(std::string(configs[k].what) + (aux ? " (auxiliary lines)" : " (memory map)"));
            const std::int32_t id = 40 + static_cast<std::int32_t>(k);
            if (!aux)
                Store(configs[k], id);
            const std::int32_t coding = colltest::Coding(configs[k].modules);
            g_Scala.Reset();
            g_ScalaB.Reset();

            TraceCapture traced;
            CGestioneMemMap out;
            out.SetIDProgramma(id);
            out.SetCodificaModuli(coding);
            CGestioneMemMap in;
            in.SetCodificaModuli(coding);
            in.SetIDProgramma(2);
            if (!aux) {
                ASSERT_TRUE(out.ConvertUserSetupToMemoryMap());
                for (std::int16_t i = 0; i < 276; ++i)
                    in.SetMemMap(i, out.MemMap(i));
            } else {
                ASSERT_TRUE(out.ConvertUserSetupToMemoryMapAux());
                std::int16_t next = 0;
                for (std::int16_t i = 0; i < 144; ++i) {
                    if (out.MemMapAux(i) != QLatin1String("NoSend"))
                        in.SetMemMapAux(next++, out.MemMapAux(i));
                }
                ASSERT_GT(next, 5);
            }
            g_Scala.Reset();
            g_ScalaB.Reset();
            ASSERT_TRUE(aux ? in.ConvertMemoryMapAuxToUserSetup() : in.ConvertMemoryMapToUserSetup());

            const auto stored = Load(id);
            const auto read = Load(2);
            EXPECT_EQ(memmaptest::DifferencesButName(*stored, *read), "");
            EXPECT_EQ(read->ModInstr().NomeProgramma(), QStringLiteral("Actual instrument setting"));
            EXPECT_EQ(stored->ModInstr().NomeProgramma(), configs[k].name) << "the stored one is untouched";

            // The trace: the conversion's lines, then the dump of the map.
            const QStringList lines = traced.Lines();
            const QString hexCoding = QString::number(coding, 16).toUpper();
            const QStringList expected =
                aux ? QStringList{QStringLiteral("Inizio ConvertUserSetupToMemoryMapAux()"),
                                  QStringLiteral(
                                      "Conversione delle impostazioni utente nella codifica interna dello strumento."),
                                  QStringLiteral("Fine ConvertUserSetupToMemoryMapAux()"),
                                  QStringLiteral("Dump della codifica interna della configurazione utente"),
                                  QStringLiteral("Instrument map memory dump:"),
                                  QStringLiteral("Codifica moduli=") + hexCoding,
                                  QStringLiteral("Cmd=") + out.MemMapAux(0)}
                    : QStringList{QStringLiteral("Inizio ConvertUserSetupToMemoryMap()"),
                                  QStringLiteral(
                                      "Conversione delle impostazioni utente nella codifica interna dello strumento."),
                                  QStringLiteral("Fine ConvertUserSetupToMemoryMap()"),
                                  QStringLiteral("Dump della codifica interna della configurazione utente"),
                                  QStringLiteral("Instrument map memory dump:"),
                                  QStringLiteral("Codifica moduli=") + hexCoding};
            EXPECT_TRUE(memmaptest::InOrder(lines, expected));
            if (aux) {
                EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Cmd="))).size(), 138) << "lines 0 to 137";
                continue;
            }
            const QStringList adds = lines.filter(QRegularExpression(QStringLiteral("^Add ")));
            const std::int16_t slotA = configs[k].modules.a;
            if (slotA == 4 || slotA == 5) {
                // Two dumps (out, then in), each of 138 32-bit values.
                ASSERT_EQ(adds.size(), 2 * 138);
                const std::int32_t v = MakeLong(out.MemMap(2), out.MemMap(3));
                EXPECT_EQ(adds.at(1), QStringLiteral("Add 2002=0x") +
                                          QString::number(static_cast<std::uint32_t>(v), 16).toUpper() +
                                          QStringLiteral(" (") + QString::number(v) + QLatin1Char(')'));
                EXPECT_FALSE(adds.filter(QStringLiteral("=0xFFFF3CB0 (-50000)")).isEmpty())
                    << "a negative Long shows as eight digits";
            } else {
                ASSERT_EQ(adds.size(), 2 * (89 + (slotA == 3 ? 1 : 0)));
                EXPECT_EQ(adds.at(0), QStringLiteral("Add E000=0x") +
                                          QString::number(static_cast<std::uint16_t>(out.MemMap(0)), 16).toUpper() +
                                          QStringLiteral(" (") + QString::number(out.MemMap(0)) + QLatin1Char(')'));
                if (slotA == 3)
                    EXPECT_EQ(adds.at(89), QStringLiteral("Add E06C=0x17 (23)")) << "the manual cold junction";
                else
                    EXPECT_FALSE(adds.filter(QStringLiteral("=0xFC18 (-1000)")).isEmpty())
                        << "a negative word shows as four digits";
            }
        }
    }
}

TEST_F(MemMapDatabase, MapThatDoesNotConvertSavesNothing)
{
    const auto &cfg = Configurations().front();
    Store(cfg, 40);
    const auto before = Load(2);

    CGestioneMemMap in;
    in.SetCodificaModuli(colltest::Coding(cfg.modules));
    in.SetIDProgramma(2);
    for (std::int16_t i = 0; i < 276; ++i)
        in.SetMemMap(i, 0x7FFF);
    EXPECT_THROW(in.ConvertMemoryMapToUserSetup(), SetupReadError);
    EXPECT_EQ(colltest::Text(colltest::AllDifferences(*before, *Load(2))), "");

    // A configuration that is not stored: the database error reaches the
    // caller and the map stays as it was.
    CGestioneMemMap out;
    out.SetIDProgramma(999);
    out.SetMemMap(7, 77);
    EXPECT_THROW(out.ConvertUserSetupToMemoryMap(), DatabaseError);
    EXPECT_EQ(out.MemMap(7), 77);
}
