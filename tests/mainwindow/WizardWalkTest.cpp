// Walks of the configuration wizard in Modify (and New) over the real
// pages: whatever the user edits on the way, every page stores what its
// controls hold when it is left by Next, Back or End, and what the later
// pages offer (limits, choices, which pages are shown) follows what the
// earlier pages showed. A walk with no edit over values that all fit stores
// every column as it was.
#include "ConfigurationWizard.h"

#include "CAlarm.h"
#include "CAnalogOut.h"
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
#include "ModuleCodes.h"
#include "MsgBox.h"
#include "ParameterCodes.h"

#include "../comm/MemMapTestSupport.h"
#include "../model/CollectionTestSupport.h"
#include "../model/ModelDatabase.h"
#include "../wizard/WizardTestSupport.h"

#include <QComboBox>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
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

// Sets the curve's points evenly from the low to the high ends given.
void SetCurveAcross(CLinearize &curve, int n, std::int32_t inLow, std::int32_t inHigh, std::int32_t outLow,
                    std::int32_t outHigh)
{
    curve.SetNumSpezzate(static_cast<std::int16_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto at = [&](std::int32_t low, std::int32_t high) {
            return static_cast<std::int32_t>(low + (static_cast<std::int64_t>(high) - low) * i / (n - 1));
        };
        curve.SetCoordinateIn(static_cast<std::int16_t>(i), at(inLow, inHigh));
        curve.SetCoordinateOut(static_cast<std::int16_t>(i), at(outLow, outHigh));
    }
}

struct AlarmValues {
    std::int32_t low, high, setPoint, hysteresis;
    std::int16_t channel = 0;
};

void SetAlarms(CCollDatiSetup &c, int count, const AlarmValues &v)
{
    for (int n = 1; n <= count; ++n) {
        c.Alarm(n).SetMinAlarmScale(v.low);
        c.Alarm(n).SetMaxAlarmScale(v.high);
        c.Alarm(n).SetAlarmSetPoint(v.setPoint);
        c.Alarm(n).SetIsteresi(v.hysteresis);
        c.Alarm(n).SetChannel(v.channel);
    }
}

// The model and modules, then the values `set` gives; the electrical range
// of channel A is the module's range (0 to 50 000 counts on the frequency
// layout), unless `set` changes it after.
void Arrange(CCollDatiSetup &c, const Modules &m, const std::function<void(CCollDatiSetup &)> &set)
{
    c.SetCodificaModuli(colltest::Coding(m));
    c.ModInstr().SetSlotC(m.c);
    c.ModInstr().SetSlotD(m.d);
    c.ModInstr().SetNomeProgramma(QStringLiteral("Giro"));
    SetElectricRanges(c);
    if (ModuleCodes::IsFrequencyModule(m.a))
        memmaptest::SetElectric(c.InOutScale(), 0x10000, 0, 50000);
    set(c);
    c.SetCodificaModuli(c.CodificaModuli());
}

// Edits made on a page by the user.
void Click(FWizardPage &page, const char *button)
{
    pagetest::Child<QAbstractButton>(page, button).click();
}
void Choose(FWizardPage &page, const char *combo, int index)
{
    pagetest::Child<QComboBox>(page, combo).setCurrentIndex(index);
}
void SetSpin(FWizardPage &page, const char *spin, std::int32_t value)
{
    pagetest::Spin(page, spin).SetValue(value);
}

// What the controls of a page hold: the page's own copy of its controls into
// its working copy, as leaving it does first.
struct PageControlsReader : FWizardPage {
    static void Read(FWizardPage &page) { (page.*(&PageControlsReader::ControlsToData))(); }
};

// What the user does at one showing of a page: an edit, then a button
// (none: Next, End on the closing page).
struct Showing {
    std::function<void(FWizardPage &)> edit;
    const char *button = nullptr;
};
// For each page key, its showings in turn; later showings only press Next
// (End on the closing page).
using WalkPlan = std::map<QString, std::vector<Showing>>;

struct WalkCase {
    std::string what;
    std::function<void(CCollDatiSetup &)> build;
    WalkPlan plan;
    // Checks of single stored values, on the configuration as stored after
    // End, with the keys of the pages shown in turn.
    std::function<void(const CCollDatiSetup &, const QStringList &)> check;
};

class WizardWalk : public ModelDatabase {
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

    std::int32_t Store(const std::function<void(CCollDatiSetup &)> &build)
    {
        CCollDatiSetup c;
        build(c);
        const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
        c.SetIDProgramma(id);
        c.SaveDataInADORS(true);
        g_Scala.Reset();
        g_ScalaB.Reset();
        return id;
    }

    // Runs the wizard in `mode` on configuration id along the plan, then
    // compares every stored column with what its page's controls held when
    // the page was last left (a page not shown: what the configuration held
    // before). Answers the keys of the pages shown in turn.
    QStringList Walk(std::int32_t mode, std::int32_t id, const WalkPlan &plan)
    {
        std::unique_ptr<CCollDatiSetup> left;
        if (mode == ConfigurationWizard::kModeModify) {
            EXPECT_NO_THROW(left = Load(id));
        } else {
            left = std::make_unique<CCollDatiSetup>();
        }
        if (!left)
            return {};
        QStringList shown;
        std::map<QString, std::size_t> showings;
        PageScript script;
        std::function<void(FWizardPage &)> step = [&](FWizardPage &page) {
            const QString key = PageKey(page);
            shown << key;
            const std::size_t n = showings[key]++;
            const char *button = key.isEmpty() ? "cmdEnd" : "cmdNext";
            if (const auto it = plan.find(key); it != plan.end() && n < it->second.size()) {
                if (it->second[n].edit)
                    it->second[n].edit(page);
                if (it->second[n].button != nullptr)
                    button = it->second[n].button;
            }
            if (!key.isEmpty()) {
                PageControlsReader::Read(page);
                page.GetData(colltest::Object(*left, colltest::Index(*left, key)));
            }
            if (std::strcmp(button, "cmdEnd") != 0 && shown.size() < 80)
                script.Then(step);
            PageScript::Press(page, button);
        };
        script.Then(step);
        ConfigurationWizard wizard;
        EXPECT_TRUE(wizard.EditNewProgramma(mode, id, left->ModInstr().NomeProgramma()));

        std::unique_ptr<CCollDatiSetup> stored;
        EXPECT_NO_THROW(stored = Load(id));
        if (stored) {
            EXPECT_EQ(colltest::Text(colltest::AllDifferences(*left, *stored)), "") << "shown -> stored";
        }
        return shown;
    }

    void RunCases(const std::vector<WalkCase> &cases)
    {
        for (const WalkCase &tc : cases) {
            SCOPED_TRACE(tc.what);
            const std::int32_t id = Store(tc.build);
            const QStringList shown = Walk(ConfigurationWizard::kModeModify, id, tc.plan);
            if (tc.check) {
                std::unique_ptr<CCollDatiSetup> stored;
                ASSERT_NO_THROW(stored = Load(id));
                tc.check(*stored, shown);
            }
            g_Scala.Reset();
            g_ScalaB.Reset();
        }
    }

    MsgBoxHook m_OldHook;
};

void ExpectAlarms(const CCollDatiSetup &c, int count, const AlarmValues &v)
{
    for (int n = 1; n <= count; ++n) {
        SCOPED_TRACE("alarm " + std::to_string(n));
        EXPECT_EQ(c.Alarm(n).MinAlarmScale(), v.low);
        EXPECT_EQ(c.Alarm(n).MaxAlarmScale(), v.high);
        EXPECT_EQ(c.Alarm(n).AlarmSetPoint(), v.setPoint);
        EXPECT_EQ(c.Alarm(n).Isteresi(), v.hysteresis);
        EXPECT_EQ(c.Alarm(n).Channel(), v.channel);
    }
}

void ExpectCurveOutputsWithin(const CLinearize &curve, std::int32_t low, std::int32_t high)
{
    for (std::int16_t i = 0; i < curve.NumSpezzate(); ++i) {
        EXPECT_GE(curve.CoordinateOut(i), low) << "point " << i;
        EXPECT_LE(curve.CoordinateOut(i), high) << "point " << i;
    }
}

// The stored displayed range of channel A on the scale page.
WalkPlan DisplayAOnScalePage(std::int32_t low, std::int32_t high)
{
    return {{QStringLiteral("CInOutScale"), {{[low, high](FWizardPage &p) {
                 SetSpin(p, "m_MinMeasureScale", low);
                 SetSpin(p, "m_MaxMeasureScale", high);
             }}}}};
}

// Model 1 with a low-signal input, four alarms and a curve of 16 points over
// the whole display.
void Model1Wide(CCollDatiSetup &c)
{
    Arrange(c, {1, 0, 1, 3, 0}, [](CCollDatiSetup &c) {
        c.RangeMVAHVA().SetRange(3);
        memmaptest::SetScale(c.InOutScale(), 0, -9999, 9999, 1);
        SetCurveAcross(c.Linearize(), 16, c.InOutScale().MinElectricScale(), c.InOutScale().MaxElectricScale(), -9999,
                       9999);
        SetAlarms(c, 4, {-5000, 8000, 7000, 3000});
        c.FiltroDigitale().SetCampo(5000);
    });
}

// Model 3 with the frequency module on F1: both channels, four alarms on
// channel A, a curve on channel A.
void Model3Frequency(CCollDatiSetup &c)
{
    Arrange(c, {3, 4, 3, 3, 0}, [](CCollDatiSetup &c) {
        c.RangeWP12().SetWPxFunction(0);
        c.RangeWP12().SetImpGiroA(1);
        memmaptest::SetScale(c.InOutScale(), 0x10000, -500000, 500000, 1);
        SetCurveAcross(c.Linearize(), 16, 0, 50000, -999999, 999999);
        memmaptest::SetElectric(c.InOutScaleB(), 0x10000, 0, 50000);
        memmaptest::SetScale(c.InOutScaleB(), 0x10000, -500000, 500000, 0);
        SetAlarms(c, 4, {-500000, 500000, 400000, 100000, 1});
        c.Alarm(1).SetChannel(0);
        c.Alarm(2).SetChannel(0);
        c.AnalogOut().SetChannel(1);
        memmaptest::SetElectric(c.InOutScaleB(), 0x10000, 0, 50000);
        c.CounterAB().SetElectricDigitalPoint(0x10000);
        c.CounterAB().SetMaxElectricScale(1000);
        c.CounterAB().SetMeasureDigitalPointCounterA(0x10000);
        c.CounterAB().SetCounterADigitalPoint(0x10000);
        c.CounterAB().SetMeasureDigitalPointCounterB(0x10000);
        c.CounterAB().SetCounterBDigitalPoint(0x10000);
        c.CounterAB().SetCounterAPulseWeight(1);
        c.CounterAB().SetCounterBPulseWeight(1);
    });
}

// Walks in which an edit on an earlier page narrows or changes what a later
// page can show.
std::vector<WalkCase> EditedWalks()
{
    std::vector<WalkCase> cases;
    cases.push_back({"model 1, MVA: display -9999..9999 narrowed to 0..1000", Model1Wide, DisplayAOnScalePage(0, 1000),
                     [](const CCollDatiSetup &c, const QStringList &) {
                         ExpectAlarms(c, 4, {0, 1000, 1000, 1000});
                         ExpectCurveOutputsWithin(c.Linearize(), 0, 1000);
                         EXPECT_EQ(c.FiltroDigitale().Campo(), 1000);
                     }});
    cases.push_back({"model 0, MVA: display -1999..1999 narrowed to 0..500",
                     [](CCollDatiSetup &c) {
                         Arrange(c, {0, 0, 0, 2, 0}, [](CCollDatiSetup &c) {
                             memmaptest::SetScale(c.InOutScale(), 0, -1999, 1999, 0);
                             SetAlarms(c, 2, {-1500, 1800, 1700, 1000});
                         });
                     },
                     DisplayAOnScalePage(0, 500),
                     [](const CCollDatiSetup &c, const QStringList &) {
                         ExpectAlarms(c, 2, {0, 500, 500, 500});
                     }});
    cases.push_back({"model 3, WP1: channel A display narrowed to 0..1000", Model3Frequency,
                     DisplayAOnScalePage(0, 1000), [](const CCollDatiSetup &c, const QStringList &) {
                         ExpectAlarms(c, 2, {0, 1000, 1000, 1000});
                         ExpectCurveOutputsWithin(c.Linearize(), 0, 1000);
                     }});
    cases.push_back({"model 0, MVA: display choice 9990 -> 1999",
                     [](CCollDatiSetup &c) {
                         Arrange(c, {0, 0, 0, 1, 0}, [](CCollDatiSetup &c) {
                             c.Display().SetDisplayDigit(1);
                             memmaptest::SetScale(c.InOutScale(), 0, -9990, 9990, 0);
                             SetAlarms(c, 1, {-9990, 9990, 5000, 9990});
                             c.FiltroDigitale().SetCampo(9000);
                         });
                     },
                     {{QStringLiteral("CDisplay"), {{[](FWizardPage &p) { Click(p, "optDisplayDigit0"); }}}}},
                     [](const CCollDatiSetup &c, const QStringList &) {
                         EXPECT_EQ(c.Display().DisplayDigit(), 0);
                         EXPECT_EQ(c.InOutScale().MinMeasureScale(), -1999);
                         EXPECT_EQ(c.InOutScale().MaxMeasureScale(), 1999);
                         ExpectAlarms(c, 1, {-1999, 1999, 1999, 1999});
                         EXPECT_EQ(c.FiltroDigitale().Campo(), 1999);
                     }});
    cases.push_back({"model 1 -> model 0, MVA with a curve",
                     [](CCollDatiSetup &c) {
                         Arrange(c, {1, 0, 0, 1, 0}, [](CCollDatiSetup &c) {
                             memmaptest::SetScale(c.InOutScale(), 0, -5000, 5000, 1);
                             SetCurveAcross(c.Linearize(), 5, c.InOutScale().MinElectricScale(),
                                            c.InOutScale().MaxElectricScale(), -5000, 5000);
                             SetAlarms(c, 1, {-5000, 5000, 4000, 100});
                         });
                     },
                     {{QStringLiteral("CModInstr"), {{[](FWizardPage &p) { Click(p, "optModStrumento0"); }}}}},
                     [](const CCollDatiSetup &c, const QStringList &shown) {
                         EXPECT_EQ(c.ModInstr().ModelloStrumento(), 0);
                         EXPECT_EQ(c.InOutScale().MinMeasureScale(), -1999);
                         EXPECT_EQ(c.InOutScale().MaxMeasureScale(), 1999);
                         EXPECT_EQ(c.InOutScale().Linearizzazione(), 0);
                         EXPECT_FALSE(shown.contains(QStringLiteral("CLinearize"))) << shown.join(' ').toStdString();
                         ExpectAlarms(c, 1, {-1999, 1999, 1999, 100});
                     }});
    cases.push_back({"model 1, MVA: measure type DC -> TRMS",
                     [](CCollDatiSetup &c) {
                         Arrange(c, {1, 0, 0, 1, 0}, [](CCollDatiSetup &c) {
                             c.RangeMVAHVA().SetMeasureType(1);
                             c.SetCodificaModuli(c.CodificaModuli());
                             memmaptest::SetElectric(c.InOutScale(), g_Scala->DPScalaElettricaMin(),
                                                     -g_Scala->FineScalaElettrica(), g_Scala->FineScalaElettrica());
                         });
                     },
                     {{QStringLiteral("CRangeMVAHVA"), {{[](FWizardPage &p) { Click(p, "optMeasureType0"); }}}}},
                     [](const CCollDatiSetup &c, const QStringList &) {
                         EXPECT_EQ(c.RangeMVAHVA().MeasureType(), 0);
                         EXPECT_GE(c.InOutScale().MinElectricScale(), 0);
                     }});
    cases.push_back(
        {"model 3, WP1: pulses of input A 1 -> 9999",
         Model3Frequency,
         {{QStringLiteral("CRangeWP12"), {{[](FWizardPage &p) { pagetest::ClickArrow(p, "UpDown1", false); }}}}},
         [](const CCollDatiSetup &c, const QStringList &) {
             EXPECT_EQ(c.RangeWP12().ImpGiroA(), 9999);
             EXPECT_LT(c.InOutScale().MaxElectricScale(), 50000);
         }});
    cases.push_back({"model 3, WP1: F1 -> F7 with alarms and output on channel F",
                     Model3Frequency,
                     {{QStringLiteral("CRangeWP12"), {{[](FWizardPage &p) { Choose(p, "cmbWPxFunction", 6); }}}}},
                     [](const CCollDatiSetup &c, const QStringList &) {
                         EXPECT_EQ(c.RangeWP12().WPxFunction(), 6);
                         for (int n = 1; n <= 4; ++n)
                             EXPECT_EQ(c.Alarm(n).Channel(), 0) << n;
                         EXPECT_EQ(c.AnalogOut().Channel(), 0);
                     }});
    cases.push_back({"model 3, WP1: F1 -> F10 counters",
                     Model3Frequency,
                     {{QStringLiteral("CRangeWP12"), {{[](FWizardPage &p) { Choose(p, "cmbWPxFunction", 9); }}}}},
                     [](const CCollDatiSetup &c, const QStringList &shown) {
                         EXPECT_EQ(c.RangeWP12().WPxFunction(), 9);
                         EXPECT_TRUE(shown.contains(QStringLiteral("CCounterAB")));
                         EXPECT_FALSE(shown.contains(QStringLiteral("CInOutScale")));
                     }});
    const auto pointShown = std::make_shared<std::int32_t>(-1);
    cases.push_back({"model 1, MVA: range 2 V -> 200 uA, another electrical decimal point",
                     [](CCollDatiSetup &c) {
                         Arrange(c, {1, 0, 0, 1, 0}, [](CCollDatiSetup &c) {
                             c.RangeMVAHVA().SetRange(4);
                             c.SetCodificaModuli(c.CodificaModuli());
                             SetElectricRanges(c);
                         });
                     },
                     {{QStringLiteral("CRangeMVAHVA"), {{[](FWizardPage &p) { Click(p, "optRangeMVAMVB0"); }}}},
                      {QStringLiteral("CInOutScale"),
                       {{[pointShown](FWizardPage &) { *pointShown = g_Scala->DPScalaElettricaMin(); }}}}},
                     [pointShown](const CCollDatiSetup &c, const QStringList &) {
                         EXPECT_EQ(c.RangeMVAHVA().Range(), 0);
                         EXPECT_EQ(c.InOutScale().ElectricDigitalPoint(), *pointShown);
                     }});
    // Back from the first alarm page to the curve page and on again: each
    // page stores, on Back as on Next, what it shows.
    cases.push_back({"model 1, MVA: display narrowed, then Back from the alarms", Model1Wide,
                     [] {
                         WalkPlan plan = DisplayAOnScalePage(0, 1000);
                         plan[QStringLiteral("CAlarm1")] = {{nullptr, "cmdBack"}};
                         plan[QStringLiteral("CLinearize")] = {{}, {nullptr, "cmdBack"}};
                         return plan;
                     }(),
                     [](const CCollDatiSetup &c, const QStringList &shown) {
                         EXPECT_EQ(shown.count(QStringLiteral("CInOutScale")), 2);
                         ExpectAlarms(c, 4, {0, 1000, 1000, 1000});
                     }});
    return cases;
}

TEST_F(WizardWalk, AnEditOnAnEarlierPageMakesTheLaterPagesStoreWhatTheyShow)
{
    RunCases(EditedWalks());
}

// Walks with no edit over values a page cannot show: the page shows them at
// its nearest limit or as its own choice, and stores that.
std::vector<WalkCase> UneditedWalksOverValuesThePagesCannotShow()
{
    std::vector<WalkCase> cases;
    const auto filterAbove1999 = [](CCollDatiSetup &c) {
        Arrange(c, {0, 0, 0, 1, 0}, [](CCollDatiSetup &c) {
            memmaptest::SetScale(c.InOutScale(), 0, 0, 1999, 0);
            SetAlarms(c, 1, {0, 1999, 1000, 10});
            c.FiltroDigitale().SetCampo(3000);
        });
    };
    const auto filterStored1999 = [](const CCollDatiSetup &c, const QStringList &) {
        EXPECT_EQ(c.FiltroDigitale().Campo(), 1999);
    };
    cases.push_back({"model 0, 1999 display: filter range 3000", filterAbove1999, {}, filterStored1999});
    // Back stores the page as it shows it, as Next does.
    cases.push_back({"model 0, 1999 display: filter range 3000, Back from the filter page",
                     filterAbove1999,
                     {{QStringLiteral("CFiltroDigitale"), {{nullptr, "cmdBack"}}}},
                     filterStored1999});
    for (const std::int16_t probe : {1, 2}) {
        cases.push_back({probe == 1 ? "GKP RTD with manual cold junction" : "GKP resistance with manual cold junction",
                         [probe](CCollDatiSetup &c) {
                             Arrange(c, {1, 3, 0, 0, 0}, [probe](CCollDatiSetup &c) {
                                 c.RangeGKP().SetProbeSelect(probe);
                                 c.RangeGKP().SetCJC(1);
                                 c.RangeGKP().SetTempCJC(23);
                                 c.SetCodificaModuli(c.CodificaModuli());
                                 SetElectricRanges(c);
                                 memmaptest::SetScale(c.InOutScale(), 0, 0, 1000, 0);
                             });
                         },
                         {},
                         [](const CCollDatiSetup &c, const QStringList &) {
                             EXPECT_EQ(c.RangeGKP().CJC(), 0);
                             EXPECT_EQ(c.RangeGKP().TempCJC(), 23);
                         }});
    }
    cases.push_back({"model 3, WP1 F7: alarm and output on channel F",
                     [](CCollDatiSetup &c) {
                         Arrange(c, {3, 4, 3, 1, 0}, [](CCollDatiSetup &c) {
                             c.RangeWP12().SetWPxFunction(6);
                             c.Alarm(1).SetChannel(1);
                             c.AnalogOut().SetChannel(1);
                         });
                     },
                     {},
                     [](const CCollDatiSetup &c, const QStringList &) {
                         EXPECT_EQ(c.Alarm(1).Channel(), 0);
                         EXPECT_EQ(c.AnalogOut().Channel(), 0);
                     }});
    cases.push_back({"model 0, MVA: curve switched on where the page offers none",
                     [](CCollDatiSetup &c) {
                         Arrange(c, {0, 0, 0, 1, 0}, [](CCollDatiSetup &c) {
                             memmaptest::SetScale(c.InOutScale(), 0, -1000, 1000, 1);
                             SetAlarms(c, 1, {-1000, 1000, 0, 10});
                         });
                     },
                     {},
                     [](const CCollDatiSetup &c, const QStringList &shown) {
                         EXPECT_EQ(c.InOutScale().Linearizzazione(), 0);
                         EXPECT_FALSE(shown.contains(QStringLiteral("CLinearize")));
                     }});
    cases.push_back({"model 1, MVA: set point above its alarm scale",
                     [](CCollDatiSetup &c) {
                         Arrange(c, {1, 0, 0, 1, 0}, [](CCollDatiSetup &c) {
                             memmaptest::SetScale(c.InOutScale(), 0, -1000, 1000, 0);
                             SetAlarms(c, 1, {100, 500, 950, 10});
                         });
                     },
                     {},
                     [](const CCollDatiSetup &c, const QStringList &) {
                         ExpectAlarms(c, 1, {100, 500, 500, 10});
                     }});

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
            cases.push_back({std::string(what) + (highest ? ", highest" : ", lowest"),
                             [m, highest](CCollDatiSetup &c) {
                                 c.SetCodificaModuli(colltest::Coding(m));
                                 c.ModInstr().SetSlotC(m.c);
                                 c.ModInstr().SetSlotD(m.d);
                                 FillAtEdge(c, highest);
                             },
                             {},
                             {}});
        }
    }
    // Codes a road takes that a page does not offer for the configuration:
    // BN in slot D of model 2, functions F8 and the counter reset commands
    // off model 3.
    cases.push_back({"model 2, MVA, BN in slot D",
                     [](CCollDatiSetup &c) {
                         c.SetCodificaModuli(colltest::Coding({2, 0, 0, 1, 1}));
                         c.ModInstr().SetSlotD(1);
                         SetElectricRanges(c);
                     },
                     {},
                     {}});
    cases.push_back({"model 1, WP1, F8, reset counters",
                     [](CCollDatiSetup &c) {
                         c.SetCodificaModuli(colltest::Coding({1, 4, 0, 1, 0}));
                         c.RangeWP12().SetWPxFunction(7);
                         c.RangeWP12().SetDigitalInFunction(4);
                         SetElectricRanges(c);
                     },
                     {},
                     [](const CCollDatiSetup &c, const QStringList &) {
                         EXPECT_EQ(c.RangeWP12().WPxFunction(), 0);
                         EXPECT_EQ(c.RangeWP12().DigitalInFunction(), 0);
                     }});
    return cases;
}

TEST_F(WizardWalk, AWalkWithNoEditStoresValuesThePagesCannotShowAsTheyShowThem)
{
    RunCases(UneditedWalksOverValuesThePagesCannotShow());
}

// Configurations whose values all fit their pages, on the three model
// families: a walk with no edit stores every column as it was.
TEST_F(WizardWalk, AWalkWithNoEditOverValuesThatFitStoresEveryColumnAsItWas)
{
    const auto fitting = [](CCollDatiSetup &c) {
        c.FiltroDigitale().SetCoeff(8);
        c.SetCodificaModuli(c.CodificaModuli());
    };
    const std::vector<std::pair<std::string, std::function<void(CCollDatiSetup &)>>> cases{
        {"model 1, MVA, four alarms, curve of 16 points",
         [&](CCollDatiSetup &c) {
             Model1Wide(c);
             fitting(c);
         }},
        {"model 3, WP1 F1, both channels, curve on channel A",
         [&](CCollDatiSetup &c) {
             Model3Frequency(c);
             SetCurveAcross(c.Linearize(), 16, 0, 50000, -500000, 500000);
             fitting(c);
         }},
        {"model 0, GKP thermocouple with manual cold junction",
         [&](CCollDatiSetup &c) {
             Arrange(c, {0, 3, 1, 2, 0}, [](CCollDatiSetup &c) {
                 c.RangeGKP().SetCJC(1);
                 c.RangeGKP().SetTempCJC(23);
                 c.RangeGKP().SetRange(2);
                 c.SetCodificaModuli(c.CodificaModuli());
                 SetElectricRanges(c);
                 memmaptest::SetScale(c.InOutScale(), 0, -200, 1260, 0);
                 SetAlarms(c, 2, {-200, 1260, 900, 15});
                 c.FiltroDigitale().SetCampo(100);
                 c.SerialComm().SetNetworkAdd(17);
             });
             fitting(c);
         }},
    };
    for (const auto &[what, build] : cases) {
        SCOPED_TRACE(what);
        const std::int32_t id = Store(build);
        std::unique_ptr<CCollDatiSetup> before;
        ASSERT_NO_THROW(before = Load(id));
        Walk(ConfigurationWizard::kModeModify, id, {});
        std::unique_ptr<CCollDatiSetup> after;
        ASSERT_NO_THROW(after = Load(id));
        EXPECT_EQ(colltest::Text(colltest::AllDifferences(*before, *after)), "");
        g_Scala.Reset();
        g_ScalaB.Reset();
    }
}

// A new configuration: the electrical decimal point the range sets (its
// control is disabled) is stored with the range's values.
TEST_F(WizardWalk, ANewConfigurationStoresTheElectricalDecimalPointOfItsRange)
{
    const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
    std::int32_t pointShown = -1;
    std::int32_t maxShown = -1;
    const QStringList shown = Walk(ConfigurationWizard::kModeNew, id,
                                   {{QStringLiteral("CModInstr"), {{[](FWizardPage &p) {
                                         Click(p, "optModStrumento1");
                                         Click(p, "optSlotA3");
                                     }}}},
                                    {QStringLiteral("CRangeGKP"), {{[](FWizardPage &p) {
                                         Click(p, "optProbeSelect1");
                                         Click(p, "optRangeRTD1");
                                     }}}},
                                    {QStringLiteral("CInOutScale"), {{[&](FWizardPage &p) {
                                         // The user gives the range's ends.
                                         pointShown = g_Scala->DPScalaElettricaMin();
                                         maxShown = g_Scala->FineScalaElettrica();
                                         SetSpin(p, "m_MinElectricScale", g_Scala->InizioScalaElettrica());
                                         SetSpin(p, "m_MaxElectricScale", maxShown);
                                     }}}}});
    ASSERT_TRUE(shown.contains(QStringLiteral("CInOutScale")));
    std::unique_ptr<CCollDatiSetup> stored;
    ASSERT_NO_THROW(stored = Load(id));
    EXPECT_EQ(stored->RangeGKP().ProbeSelect(), 1);
    EXPECT_NE(pointShown, 0) << "the range's decimal point";
    EXPECT_EQ(stored->InOutScale().ElectricDigitalPoint(), pointShown);
    EXPECT_EQ(stored->InOutScale().MaxElectricScale(), maxShown);
}

} // namespace
