#include "CFiltroDigitale.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ModelTestSupport.h"
#include "TraceCapture.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace paramtest;

namespace {

std::unique_ptr<CModInstr> Mod(std::int16_t slotA)
{
    auto mod = std::make_unique<CModInstr>();
    mod->SetSlotA(slotA);
    return mod;
}

std::unique_ptr<CFiltroDigitale> Filter(std::int16_t campo, std::int16_t coeff, std::int16_t slotA = 0)
{
    auto f = std::make_unique<CFiltroDigitale>();
    f->SetCampo(campo);
    f->SetCoeff(coeff);
    f->SetSlotA(slotA);
    return f;
}

class FiltroDigitaleTest : public FreshScales {};

} // namespace

TEST_F(FiltroDigitaleTest, WordsLinesAndReportBySlot)
{
    struct Place {
        std::size_t campoWord, coeffWord, campoLine, coeffLine;
    };
    struct Case {
        std::int16_t slotA;
        std::int32_t displayDigitalPoint; // of g_Scala
        std::int16_t campo;
        const char *lineText, *reportText; // FiL.S value; the report under a comma locale
        std::optional<Place> place;
    };
    const Place base{81, 82, 81, 82}, freq{266, 268, 133, 134};
    const Case cases[] = {
        {4, 2, 125, "12.5", "12,5 %", freq},
        {5, 0, 1000, "100.0", "100,0 %", freq},
        {0, 2, 125, "1.25", "1,25", base},
        {3, 0, -40, "-40", "-40", base},
        {6, 1, 5, "0.5", "0,5", base},
        {2, 0x10005, 5, "0.00005", "0,00005", base},
        {7, 2, 125, nullptr, nullptr, std::nullopt},
        {-1, 2, 125, nullptr, nullptr, std::nullopt},
    };
    DefaultLocale comma(QLocale(QLocale::German, QLocale::Germany));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.slotA);
        g_Scala->SetScalaDisplay(c.displayDigitalPoint, 0, 2000);
        const auto mod = Mod(c.slotA);
        const auto written = Filter(c.campo, 8, c.slotA);
        const auto [map, lines] = MapAndLinesOf(*written, *mod);

        std::map<std::size_t, std::int16_t> words;
        std::map<std::size_t, QString> sent;
        if (c.place) {
            words = {{c.place->campoWord, c.campo}, {c.place->coeffWord, 8}};
            sent = {{c.place->campoLine, QStringLiteral("FiLt>FiL.S=") + QLatin1String(c.lineText)},
                    {c.place->coeffLine, QStringLiteral("FiLt>FiL.C=8")}};
        }
        EXPECT_EQ(SetWords(map), words);
        EXPECT_EQ(SentLines(lines), sent);

        // Read back: the digits without the point are the value.
        const auto fromMap = Filter(-9, -9), fromLines = Filter(-9, -9);
        fromMap->SetUserSetup(*mod, map);
        fromLines->SetUserSetupAux(*mod, lines);
        for (const CFiltroDigitale *read : {fromMap.get(), fromLines.get()}) {
            EXPECT_EQ(read->Campo(), c.place ? c.campo : -9);
            EXPECT_EQ(read->Coeff(), c.place ? 8 : -9);
        }

        if (c.reportText) {
            ReportRecordset report;
            written->SetReport(report);
            const std::vector<Row> expected{{"#SB#Filter operating range (FiL.S)", QLatin1String(c.reportText)},
                                            {"#SB#Filtering coefficient (FiL.C)", "8"}};
            EXPECT_EQ(Rows(report), expected);
        }
    }
}

TEST_F(FiltroDigitaleTest, LinesAreParsedStrictly)
{
    struct Case {
        QStringList given;
        std::optional<std::pair<std::int16_t, std::int16_t>> read;
    };
    const Case cases[] = {
        {{"fILT>fil.c=32", "FiLt>FiL.S=0.005"}, {{5, 32}}},
        {{"FiLt>FiL.S=12.5", "FiLt>FiL.C=0"}, {{125, 0}}},
        {{"FiLt>FiL.S=12,5", "FiLt>FiL.C=8"}, std::nullopt},
        {{"FiLt>FiL.S=12.5", "FiLt>FiL.C=8.0"}, std::nullopt},
        {{"FiLt>FiL.S=4000.0", "FiLt>FiL.C=8"}, std::nullopt},
        {{"FiLt>FiL.S=12.5"}, std::nullopt},
        {{"FiLt>FiL.C=8"}, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.given.join(QStringLiteral(" ")).toStdString());
        auto f = Filter(-9, -9);
        if (c.read) {
            f->SetUserSetupAux(*Mod(4), ReplyLines(c.given));
            EXPECT_EQ(f->Campo(), c.read->first);
            EXPECT_EQ(f->Coeff(), c.read->second);
            continue;
        }
        TraceCapture trace;
        EXPECT_THROW(f->SetUserSetupAux(*Mod(1), ReplyLines(c.given)), SetupReadError);
        EXPECT_EQ(f->Campo(), -9);
        EXPECT_EQ(f->Coeff(), -9);
    }
}

TEST_F(FiltroDigitaleTest, CopyCarriesTheContext)
{
    auto from = Filter(125, 8, 4);
    from->SetModelloStrumento(3);
    from->SetDisplayDigit(2);
    CFiltroDigitale to;
    from->GetData(to);
    EXPECT_EQ(to.Campo(), 125);
    EXPECT_EQ(to.Coeff(), 8);
    EXPECT_EQ(to.SlotA(), 4);
    EXPECT_EQ(to.ModelloStrumento(), 3);
    EXPECT_EQ(to.DisplayDigit(), 2);
}

namespace {
class FiltroDigitaleDb : public ModelDatabase {};
} // namespace

TEST_F(FiltroDigitaleDb, RowSaveAndLoad)
{
    Filter(-32768, 32)->SaveDataInADORS(NewRowCriterion(11));
    CFiltroDigitale loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(11));
    EXPECT_EQ(loaded.Campo(), -32768);
    EXPECT_EQ(loaded.Coeff(), 32);

    loaded.LoadDataFromADORS(ExistingRowCriterion(2));
    EXPECT_EQ(loaded.Campo(), 0);
    EXPECT_EQ(loaded.Coeff(), 0);
}
