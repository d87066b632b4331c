#include "CModInstr.h"

#include <gtest/gtest.h>

namespace {

struct Slots {
    std::int16_t model, a, b, c, d;
    bool operator==(const Slots &) const = default;
};

Slots slotsOf(const CModInstr &m)
{
    return {m.ModelloStrumento(), m.SlotA(), m.SlotB(), m.SlotC(), m.SlotD()};
}

void setSlots(CModInstr &m, const Slots &s)
{
    m.SetModelloStrumento(s.model);
    m.SetSlotA(s.a);
    m.SetSlotB(s.b);
    m.SetSlotC(s.c);
    m.SetSlotD(s.d);
}

std::ostream &operator<<(std::ostream &os, const Slots &s)
{
    return os << "model " << s.model << " A" << s.a << " B" << s.b << " C" << s.c << " D" << s.d;
}

} // namespace

TEST(ModInstr, FreshObject)
{
    CModInstr m;
    EXPECT_EQ(m.ClassName(), QStringLiteral("CModInstr"));
    EXPECT_EQ(m.NomeProgramma(), QStringLiteral("Without name"));
    EXPECT_EQ(slotsOf(m), (Slots{1, 0, 0, 0, 0}));
    EXPECT_EQ(m.CodificaModuli(), 0x8000);
}

// Modules that encode to a value and decode back to themselves.
TEST(ModInstr, CodificaModuliRoundTrip)
{
    struct Case {
        Slots fitted;
        std::int32_t coding;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0}, 0x0000},
        {{2, 0, 0, 0, 0}, 0xC000},
        {{3, 3, 1, 2, 0}, 0x4E03},
        {{0, 2, 2, 3, 0}, 0x090F},
        {{1, 4, 0, 1, 0}, 0x9001},
        {{1, 5, 2, 0, 0}, 0x9500},
        {{1, 0, 0, 4, 0}, 0x8010}, // BN in slot C
        {{1, 0, 3, 1, 0}, 0x8011}, // Y1, BN in slot B
        {{2, 0, 0, 0, 1}, 0xC010}, // model 2: BN in slot D
        {{2, 6, 0, 6, 3}, 0xD800 | (1 << 17) | (1 << 20)},
        {{2, 6, 0, 5, 2}, 0xD800 | (1 << 16) | (1 << 19)},
        {{2, 6, 0, 7, 4}, 0xD800 | (1 << 18) | (1 << 21)},
        {{2, 6, 3, 0, 4}, 0xD810 | (1 << 21)}, // slot D taken: BN in slot B
        {{2, 6, 1, 4, 2}, 0xDA10 | (1 << 19)}, // slot B taken too: BN in slot C
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.fitted));
        CModInstr m;
        setSlots(m, c.fitted);
        EXPECT_EQ(m.CodificaModuli(), c.coding);

        CModInstr decoded;
        decoded.SetNomeProgramma(QStringLiteral("Keep"));
        decoded.SetCodificaModuli(c.coding);
        EXPECT_EQ(slotsOf(decoded), c.fitted);
        EXPECT_EQ(decoded.NomeProgramma(), QStringLiteral("Keep"));
    }
}

// Values an instrument may report that do not come from the encoder, and
// slot codes the encoder must keep inside their own bits.
TEST(ModInstr, CodificaModuliEdges)
{
    struct Decode {
        std::int32_t coding;
        Slots fitted;
    };
    const Decode decodes[] = {
        {0x8000 | (1 << 17) | (1 << 20), {1, 0, 0, 0, 0}}, // MVZ bits without MVZ: ignored
        {0x0300, {0, 0, 0, 0, 0}},                         // QD and QE together: none
        {0x0007, {0, 0, 0, 0, 0}},                         // no relay pattern
        {0x8211, {1, 0, 1, 1, 0}},                         // QD, Y1 and BN: the QD stays
        {0x8111, {1, 0, 2, 1, 0}},                         // QE likewise
        {0xC000 | 0x1810 | (1 << 16) | (1 << 19), {2, 6, 3, 5, 2}},
        {static_cast<std::int32_t>(0xFFFFFFFF), {2, 7, 0, 3, 1}},
    };
    for (const Decode &c : decodes) {
        SCOPED_TRACE(c.coding);
        CModInstr m;
        m.SetCodificaModuli(c.coding);
        EXPECT_EQ(slotsOf(m), c.fitted);
    }

    struct Encode {
        Slots fitted;
        std::int32_t coding;
    };
    const Encode encodes[] = {
        {{1, 0, 0, 6, 3}, 0x8000},  // MVZ extras without MVZ: nothing
        {{1, 9, 0, 0, 0}, 0x8400},  // slot A 9 stays in bits 10-12
        {{0, -1, 0, 0, 0}, 0x1C00}, // no sign extension into the model bits
        {{7, 0, 5, 9, 8}, 0x0000},  // codes outside their tables: nothing
    };
    for (const Encode &c : encodes) {
        SCOPED_TRACE(::testing::PrintToString(c.fitted));
        CModInstr m;
        setSlots(m, c.fitted);
        EXPECT_EQ(m.CodificaModuli(), c.coding);
    }
}

TEST(ModInstr, ReportRows)
{
    struct Case {
        Slots fitted;
        std::vector<std::pair<QString, QString>> rows;
    };
    const Case cases[] = {
        {{1, 3, 1, 2, 0},
         {{"#SB#Program name", "Boiler"},
          {"#SB#Instrument type", "OXA 14"},
          {"#SB#Slot A", "GKP"},
          {"#SB#Slot B", "QD"},
          {"#SB#Slot C", "Y2"}}},
        {{2, 6, 3, 6, 4},
         {{"#SB#Program name", "Boiler"},
          {"#SB#Instrument type", "IVR"},
          {"#SB#Slot A", "None"},
          {"#SB#Slot B", "BN"},
          {"#SB#Slot C", "MVZ extra inputs, type 2"},
          {"#SB#Slot D", "MVZ extra inputs, type 3"}}},
        {{2, 0, 0, 4, 1},
         {{"#SB#Program name", "Boiler"},
          {"#SB#Instrument type", "IVR"},
          {"#SB#Slot A", "MVA"},
          {"#SB#Slot B", "None"},
          {"#SB#Slot C", "BN"},
          {"#SB#Slot D", "BN"}}},
        // Codes outside the tables show as numbers, never as a neighbour's text.
        {{9, 8, 4, 5, 0},
         {{"#SB#Program name", "Boiler"},
          {"#SB#Instrument type", "9"},
          {"#SB#Slot A", "8"},
          {"#SB#Slot B", "4"},
          {"#SB#Slot C", "5"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.fitted));
        CModInstr m;
        m.SetNomeProgramma(QStringLiteral("Boiler"));
        setSlots(m, c.fitted);
        ReportRecordset report;
        m.SetReport(report);
        ASSERT_EQ(report.Count(), c.rows.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(report.Rows()[i].nColumn, 2);
            EXPECT_EQ(report.Rows()[i].Column1, c.rows[i].first);
            EXPECT_EQ(report.Rows()[i].Column2, c.rows[i].second);
        }
    }
}
