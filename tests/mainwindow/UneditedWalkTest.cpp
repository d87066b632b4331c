// A Modify that changes nothing (Next on every page the wizard shows, then
// End) stores every column of every object as it was: what every road in
// takes, the pages keep.
#include "ConfigurationWizard.h"

#include "CAlarm.h"
#include "CCollDatiSetup.h"
#include "CGestioneMemMap.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "ModuleCodes.h"
#include "MsgBox.h"
#include "ParameterCodes.h"

#include "../comm/MemMapTestSupport.h"
#include "../model/CollectionTestSupport.h"
#include "../model/ModelDatabase.h"
#include "../wizard/WizardTestSupport.h"

#include <QRadioButton>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace {

using colltest::Modules;

// The key of the page's data object (the second instances share their
// window class: their working copy names them).
QString PageKey(FWizardPage &page)
{
    const QString form = page.objectName();
    const auto named = [&](auto probe) {
        page.GetData(probe);
        return probe.ClassName();
    };
    if (form == QLatin1String("FWInOutScale"))
        return named(CInOutScale());
    if (form == QLatin1String("FWLinearize"))
        return named(CLinearize());
    if (form == QLatin1String("FWAlarm"))
        return named(CAlarm());
    if (form == QLatin1String("FWFinalSetupMessage"))
        return QString();
    return QLatin1Char('C') + form.mid(2);
}

// Every column with a rule at the lowest (or highest) value its rule takes,
// the rules of the objects' context (as the collection pushed it) first; the
// model and modules stay as the case fits them. Each electrical range runs
// from the lowest to the highest value its rule takes, or from 0 to 5 000 000
// where no rule limits it (the scale and counters pages refuse a range that
// is not rising).
void FillAtEdge(CCollDatiSetup &c, bool highest)
{
    struct Filler : ColumnVisitor {
        bool highest = false;
        CParameterClassBase *object = nullptr;
        std::optional<FieldRule> ruleOf(const QString &name) const { return colltest::RuleOfColumn(*object, name); }
        std::optional<std::int32_t> edge(const QString &name) const
        {
            const std::optional<FieldRule> rule = ruleOf(name);
            if (!rule) {
                // The frequency layout's ranges take any value: one the
                // wizard leaves.
                if (name.contains(QLatin1String("MinElectric")))
                    return 0;
                if (name.contains(QLatin1String("MaxElectric")))
                    return 5000000;
                return std::nullopt;
            }
            if (name.contains(QLatin1String("MinElectric")))
                return rule->min;
            if (name.contains(QLatin1String("MaxElectric")))
                return rule->max;
            if (rule->kind != FieldRule::Kind::DigitalPoint)
                return highest ? rule->max : rule->min;
            std::optional<std::int32_t> found;
            for (std::int32_t dp : {0, 1, 2, 3, 0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005}) {
                if (FieldValueFits(*rule, dp) && (!found || highest))
                    found = dp;
            }
            return found;
        }
        void Column(const QString &name, std::int16_t &m) override
        {
            if (const auto v = edge(name))
                m = static_cast<std::int16_t>(*v);
        }
        void Column(const QString &name, std::int32_t &m) override
        {
            if (const auto v = edge(name))
                m = *v;
        }
        void Column(const QString &, QString &) override {}
    } filler;
    filler.highest = highest;
    // Position 1 (the model and modules) stays.
    for (std::int16_t i = 2; i <= CCollDatiSetup::kObjects; ++i) {
        filler.object = &colltest::Object(c, i);
        filler.object->Columns(filler);
        // The rules of the later objects follow the values set so far (a
        // curve's points follow its number of points).
        c.SetCodificaModuli(c.CodificaModuli());
    }
}

// The electrical ranges as the wizard leaves them: the range's on the
// inputs with a range table, 0 to 5 000 000 on the frequency layout (with
// the six-digit display's decimal points on model 3).
void SetElectricRanges(CCollDatiSetup &c)
{
    c.SetCodificaModuli(c.CodificaModuli());
    if (ModuleCodes::IsFrequencyModule(c.ModInstr().SlotA())) {
        const std::int32_t dp = g_Scala->DPScalaElettricaMin();
        memmaptest::SetElectric(c.InOutScale(), dp, 0, 5000000);
        memmaptest::SetElectric(c.InOutScaleB(), dp, 0, 5000000);
        if (c.ModInstr().ModelloStrumento() == ModelCode::Oxa16) {
            c.InOutScale().SetMeasureDigitalPoint(0x10000);
            c.InOutScaleB().SetMeasureDigitalPoint(0x10000);
        }
    } else {
        memmaptest::SetElectric(c.InOutScale(), g_Scala->DPScalaElettricaMin(), g_Scala->InizioScalaElettrica(),
                                g_Scala->FineScalaElettrica());
    }
    c.SetCodificaModuli(c.CodificaModuli());
}

struct WalkCase {
    std::string what;
    std::function<void(CCollDatiSetup &)> build;
};

std::vector<WalkCase> Cases()
{
    std::vector<WalkCase> cases;
    for (const memmaptest::Configuration &cfg : memmaptest::Configurations())
        cases.push_back({cfg.what, [&cfg](CCollDatiSetup &c) { memmaptest::Build(c, cfg); }});

    // Every page at both edges of every rule: the base layout's inputs, the
    // temperature module, the frequency module on models 0 and 3 (F1 at the
    // lowest edge, F11 and the counters at the highest), the master input
    // with its extra inputs.
    const std::vector<std::pair<const char *, Modules>> modules{
        {"model 1, MVA, QD, Y4/Y5", {1, 0, 1, 3, 0}},         {"model 0, GKP, BN in B, Y2", {0, 3, 3, 2, 0}},
        {"model 1, HVA, QE, BN in C", {1, 2, 2, 4, 0}},       {"model 3, WP1, QD, Y4/Y5", {3, 4, 1, 3, 0}},
        {"model 0, WP2, BN in B, Y1", {0, 5, 3, 1, 0}},       {"model 2, MVZ, extra inputs", {2, 6, 0, 5, 2}},
        {"model 2, MVZ, last extra inputs", {2, 6, 0, 7, 4}},
    };
    for (const auto &[what, m] : modules) {
        for (const bool highest : {false, true}) {
            cases.push_back({std::string(what) + (highest ? ", highest" : ", lowest"), [m, highest](CCollDatiSetup &c) {
                                 c.SetCodificaModuli(colltest::Coding(m));
                                 c.ModInstr().SetSlotC(m.c);
                                 c.ModInstr().SetSlotD(m.d);
                                 FillAtEdge(c, highest);
                             }});
        }
    }

    // Codes a road takes that a page does not offer for the configuration:
    // BN in slot D of model 2, functions F8 and F11 and the counter reset
    // commands off model 3, a channel-A curve switch on model 0 and channel F
    // under F7.
    cases.push_back({"model 2, MVA, BN in slot D", [](CCollDatiSetup &c) {
                         c.SetCodificaModuli(colltest::Coding({2, 0, 0, 1, 1}));
                         c.ModInstr().SetSlotD(1);
                         SetElectricRanges(c);
                     }});
    cases.push_back({"model 1, WP1, F8, reset counters", [](CCollDatiSetup &c) {
                         c.SetCodificaModuli(colltest::Coding({1, 4, 0, 1, 0}));
                         c.RangeWP12().SetWPxFunction(7);
                         c.RangeWP12().SetDigitalInFunction(4);
                         SetElectricRanges(c);
                     }});
    cases.push_back({"model 3, WP1, F7, alarm and output on channel F", [](CCollDatiSetup &c) {
                         c.SetCodificaModuli(colltest::Coding({3, 4, 3, 1, 0}));
                         c.RangeWP12().SetWPxFunction(6);
                         c.Alarm(1).SetChannel(1);
                         c.AnalogOut().SetChannel(1);
                         SetElectricRanges(c);
                     }});
    cases.push_back({"model 0, MVA, curve switched on", [](CCollDatiSetup &c) {
                         c.SetCodificaModuli(colltest::Coding({0, 0, 0, 1, 0}));
                         c.InOutScale().SetLinearizzazione(1);
                         SetElectricRanges(c);
                     }});
    return cases;
}

class UneditedWalk : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        g_Scala.Reset();
        g_ScalaB.Reset();
        m_OldHook = SetMsgBoxHook([](const MsgBoxRequest &r) {
            ADD_FAILURE() << "box: " << r.text.toStdString();
            return MsgBoxResult::OK;
        });
    }
    void TearDown() override
    {
        SetMsgBoxHook(m_OldHook);
        g_Scala.Reset();
        g_ScalaB.Reset();
        ModelDatabase::TearDown();
    }

    static std::unique_ptr<CCollDatiSetup> Load(std::int32_t id)
    {
        auto c = std::make_unique<CCollDatiSetup>();
        c->SetIDProgramma(id);
        c->LoadDataFromADORS();
        return c;
    }

    // Modify of the stored configuration id, Next on every page the wizard
    // shows for it and End on the closing page; every column compared.
    void WalkUnchanged(std::int32_t id)
    {
        std::unique_ptr<CCollDatiSetup> before;
        ASSERT_NO_THROW(before = Load(id));
        ConfigurationWizard::PageContext context;
        context.ModelloStrumento = before->ModInstr().ModelloStrumento();
        context.SlotA = before->ModInstr().SlotA();
        context.SlotB = before->ModInstr().SlotB();
        context.SlotC = before->ModInstr().SlotC();
        context.SlotD = before->ModInstr().SlotD();
        context.WPxFunction = before->RangeWP12().WPxFunction();
        context.LinearizzazioneA = before->InOutScale().Linearizzazione();
        context.LinearizzazioneB = before->InOutScaleB().Linearizzazione();

        PageScript script;
        for (const QString &key : ConfigurationWizard::PageKeys()) {
            if (!ConfigurationWizard::PageApplies(key, context))
                continue;
            script.Then([key](FWizardPage &page) {
                EXPECT_EQ(PageKey(page).toStdString(), key.toStdString());
                PageScript::Press(page, key.isEmpty() ? "cmdEnd" : "cmdNext");
            });
        }
        ConfigurationWizard wizard;
        EXPECT_TRUE(wizard.EditNewProgramma(ConfigurationWizard::kModeModify, id, before->ModInstr().NomeProgramma()));

        std::unique_ptr<CCollDatiSetup> after;
        ASSERT_NO_THROW(after = Load(id));
        EXPECT_EQ(colltest::Text(colltest::AllDifferences(*before, *after)), "");
    }

    MsgBoxHook m_OldHook;
};

TEST_F(UneditedWalk, StoresEveryColumnAsItWas)
{
    for (const WalkCase &tc : Cases()) {
        SCOPED_TRACE(tc.what);
        CCollDatiSetup c;
        tc.build(c);
        const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
        c.SetIDProgramma(id);
        c.SaveDataInADORS(true);
        g_Scala.Reset();
        g_ScalaB.Reset();
        WalkUnchanged(id);
    }
}

// An imported alarm whose set point lies outside its own adjustment limits
// (both 0): the alarm page shows it and keeps it.
TEST_F(UneditedWalk, KeepsAnImportedSetPointOutsideItsLimits)
{
    CCollDatiSetup c;
    memmaptest::Build(c, memmaptest::Configurations().front());
    c.Alarm(1).SetMinAlarmScale(0);
    c.Alarm(1).SetMaxAlarmScale(0);
    c.Alarm(1).SetAlarmSetPoint(950);
    const std::int32_t exported = ConfigurationWizard::DrawNewIDProgramma();
    c.SetIDProgramma(exported);
    c.SaveDataInADORS(true);
    const QString file = m_Folder.File(QStringLiteral("alarm.OXA"));
    ASSERT_TRUE(CGestioneMemMap().Export(file, exported));
    const std::int32_t imported = ConfigurationWizard::DrawNewIDProgramma();
    ASSERT_TRUE(CGestioneMemMap().Import(file, imported));
    ASSERT_EQ(Column(QStringLiteral("CAlarm1"), imported, QStringLiteral("m_AlarmSetPoint")).toInt(), 950);

    g_Scala.Reset();
    g_ScalaB.Reset();
    WalkUnchanged(imported);
    EXPECT_EQ(Column(QStringLiteral("CAlarm1"), imported, QStringLiteral("m_AlarmSetPoint")).toInt(), 950);
}

// A walk with an edit that changes a later page's limits: the later page
// stores what it shows. Here the input range becomes the smallest, and
// the scale page, left as it shows the stored scale inside the new range,
// stores that, not the stored scale the new range cannot hold.
TEST_F(UneditedWalk, ALaterPageStoresWhatItShowsAfterAnEditChangedItsLimits)
{
    CCollDatiSetup c;
    memmaptest::Build(c, memmaptest::Configurations().front()); // MVA r4
    const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
    c.SetIDProgramma(id);
    c.SaveDataInADORS(true);
    g_Scala.Reset();
    g_ScalaB.Reset();

    ConfigurationWizard::PageContext context;
    context.ModelloStrumento = c.ModInstr().ModelloStrumento();
    context.SlotA = c.ModInstr().SlotA();
    context.SlotB = c.ModInstr().SlotB();
    context.SlotC = c.ModInstr().SlotC();
    context.SlotD = c.ModInstr().SlotD();
    context.LinearizzazioneA = c.InOutScale().Linearizzazione();
    context.LinearizzazioneB = c.InOutScaleB().Linearizzazione();
    PageScript script;
    std::int32_t low = 0;
    std::int32_t high = 0;
    for (const QString &key : ConfigurationWizard::PageKeys()) {
        if (!ConfigurationWizard::PageApplies(key, context))
            continue;
        script.Then([&, key](FWizardPage &page) {
            if (key == QLatin1String("CRangeMVAHVA")) {
                auto *smallest = page.findChild<QRadioButton *>(QStringLiteral("optRangeMVAMVB0"));
                ASSERT_NE(smallest, nullptr);
                smallest->click();
            }
            if (key == QLatin1String("CInOutScale")) {
                low = g_Scala->InizioScalaElettrica();
                high = g_Scala->FineScalaElettrica();
            }
            PageScript::Press(page, key.isEmpty() ? "cmdEnd" : "cmdNext");
        });
    }
    ConfigurationWizard wizard;
    EXPECT_TRUE(wizard.EditNewProgramma(ConfigurationWizard::kModeModify, id, c.ModInstr().NomeProgramma()));

    ASSERT_LT(low, high);
    ASSERT_TRUE(-1000 < low || 1999 > high) << "the new range holds the stored scale";
    for (const char *column : {"m_MinElectricScale", "m_MaxElectricScale"}) {
        const std::int32_t stored = Column(QStringLiteral("CInOutScale"), id, QString::fromLatin1(column)).toInt();
        EXPECT_GE(stored, low) << column;
        EXPECT_LE(stored, high) << column;
    }
}

} // namespace
