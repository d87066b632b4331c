#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeMVZ.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "FWRangeGKP.h"
#include "FWRangeMVAHVA.h"
#include "FWRangeMVZ.h"
#include "FWRangeWP12.h"
#include "WizardTestSupport.h"

#include "../model/ModelTestSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The electrical range a scale object holds.
struct Limits {
    std::int32_t start, end, dpMin, dpMax;
    QString unit;
    bool operator==(const Limits &) const = default;
};

Limits LimitsOf(CScaleMisuraDisplay &scale)
{
    return {scale.InizioScalaElettrica(), scale.FineScalaElettrica(), scale.DPScalaElettricaMin(),
            scale.DPScalaElettricaMax(), scale.UnitaMisuraScalaElettrica()};
}

Limits ExpectedLimits(std::int32_t model, std::int32_t slotA, std::int32_t range, std::int32_t probe)
{
    CScaleMisuraDisplay scale;
    scale.SetLimitiScalaElettrica(model, slotA, range, probe);
    return LimitsOf(scale);
}

Limits UntouchedLimits()
{
    CScaleMisuraDisplay scale;
    return LimitsOf(scale);
}

// One range page shown without waiting, as the wizard driver fills it; the
// scale objects start fresh for every test.
template <class Page, class Data>
using RangePage = pagetest::ShownPage<Page, Data, paramtest::FreshScales>;

// ---- low/high-signal page --------------------------------------------------

struct MvaHva {
    std::int16_t model, slotA, range, measureType, integrationTime, intTime, digitalIn;
};

std::unique_ptr<CRangeMVAHVA> MakeMvaHva(const MvaHva &v)
{
    auto r = std::make_unique<CRangeMVAHVA>();
    r->SetModelloStrumento(v.model);
    r->SetSlotA(v.slotA);
    r->SetRange(v.range);
    r->SetMeasureType(v.measureType);
    r->SetIntegrationTime(v.integrationTime);
    r->SetIntTime(v.intTime);
    r->SetDigitalInFunction(v.digitalIn);
    return r;
}

void ExpectMvaHva(const CRangeMVAHVA &r, const MvaHva &v)
{
    EXPECT_EQ(r.ModelloStrumento(), v.model);
    EXPECT_EQ(r.SlotA(), v.slotA);
    EXPECT_EQ(r.Range(), v.range);
    EXPECT_EQ(r.MeasureType(), v.measureType);
    EXPECT_EQ(r.IntegrationTime(), v.integrationTime);
    EXPECT_EQ(r.IntTime(), v.intTime);
    EXPECT_EQ(r.DigitalInFunction(), v.digitalIn);
}

using MvaHvaPage = RangePage<FWRangeMVAHVA, CRangeMVAHVA>;

TEST_F(MvaHvaPage, RangeGoesThroughTheGroupOfTheFittedModule)
{
    struct Case {
        const char *name;
        MvaHva stored;
        QString shownTime;
        MvaHva saved;
    };
    const Case cases[] = {
        {"MVA, manual 250.0 ms", {0, 0, 3, 1, 1, 2500, 2}, "250.0 ms", {0, 0, 3, 1, 1, 2500, 2}},
        {"MVB/MVC, automatic", {1, 1, 5, 0, 0, 1000, 1}, "100.0 ms", {1, 1, 5, 0, 0, 1000, 1}},
        // A time below 1000 is shown and stored at the nearer limit.
        {"HVA, time clamped", {0, 2, 1, 0, 1, 500, 0}, "100.0 ms", {0, 2, 1, 0, 1, 1000, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Open(*MakeMvaHva(c.stored));
        const bool hva = c.stored.slotA == 2;
        EXPECT_EQ(Title(), hva ? QStringLiteral("Parameter settings and use of HVA module...")
                               : QStringLiteral("Parameter settings and use of MVA/MVB/MVC module..."));
        EXPECT_EQ(Find<QGroupBox>(QStringLiteral("RangeHVA"))->isEnabled(), hva);
        EXPECT_EQ(Find<QGroupBox>(QStringLiteral("RangeMVAMVB"))->isEnabled(), !hva);
        EXPECT_EQ(Checked(hva ? "optRangeHVA" : "optRangeMVAMVB", 6), c.stored.range);
        EXPECT_EQ(Checked("optMeasureType", 2), c.stored.measureType);
        EXPECT_EQ(Find<QLineEdit>(QStringLiteral("txtIntTime"))->text(), c.shownTime);
        EXPECT_EQ(Find<QLineEdit>(QStringLiteral("txtIntTime"))->isEnabled(), c.stored.integrationTime == 1);
        ExpectMvaHva(*Leave("cmdBack"), c.saved);
    }
}

TEST_F(MvaHvaPage, AutomaticIntegrationDisablesTheTimeButKeepsIt)
{
    Open(*MakeMvaHva({0, 0, 0, 0, 1, 9999, 0}));
    auto *time = Find<QLineEdit>(QStringLiteral("txtIntTime"));
    // Up from 999.9 ms wraps to 100.0 ms.
    QTest::keyClick(time, Qt::Key_Up);
    EXPECT_EQ(time->text(), QStringLiteral("100.0 ms"));
    QTest::keyClick(time, Qt::Key_Up);
    Option("optIntegrationTime", 0)->click();
    EXPECT_FALSE(time->isEnabled());
    ExpectMvaHva(*Leave("cmdNext"), {0, 0, 0, 0, 0, 1001, 0});
    Open(*MakeMvaHva({0, 0, 0, 0, 0, 1001, 0}));
    Option("optIntegrationTime", 1)->click();
    EXPECT_TRUE(time->isEnabled());
    EXPECT_EQ(time->text(), QStringLiteral("100.1 ms"));
    Leave("cmdCancel");
}

TEST_F(MvaHvaPage, OnlyNextPublishesTheElectricalRange)
{
    const MvaHva v{1, 2, 4, 0, 0, 1000, 0};
    page.SetLastTab(true);
    for (const char *button : {"cmdEnd", "cmdBack"}) {
        Open(*MakeMvaHva(v));
        Leave(button);
        EXPECT_EQ(LimitsOf(*g_Scala), UntouchedLimits()) << button;
    }
    page.SetLastTab(false);
    Open(*MakeMvaHva(v));
    Option("optRangeHVA", 3)->click();
    Leave("cmdNext");
    EXPECT_EQ(LimitsOf(*g_Scala), ExpectedLimits(1, 2, 3, 0));
    EXPECT_NE(LimitsOf(*g_Scala), UntouchedLimits());
}

// ---- temperature page ------------------------------------------------------

struct Gkp {
    std::int16_t probe, range, cjc, tempCjc, digitalIn;
};

std::unique_ptr<CRangeGKP> MakeGkp(const Gkp &v, std::int16_t model = 0)
{
    auto r = std::make_unique<CRangeGKP>();
    r->SetModelloStrumento(model);
    r->SetSlotA(3);
    r->SetProbeSelect(v.probe);
    r->SetRange(v.range);
    r->SetCJC(v.cjc);
    r->SetTempCJC(v.tempCjc);
    r->SetDigitalInFunction(v.digitalIn);
    return r;
}

void ExpectGkp(const CRangeGKP &r, const Gkp &v)
{
    EXPECT_EQ(r.ProbeSelect(), v.probe);
    EXPECT_EQ(r.Range(), v.range);
    EXPECT_EQ(r.CJC(), v.cjc);
    EXPECT_EQ(r.TempCJC(), v.tempCjc);
    EXPECT_EQ(r.DigitalInFunction(), v.digitalIn);
}

using GkpPage = RangePage<FWRangeGKP, CRangeGKP>;

TEST_F(GkpPage, ShowsAndStoresTheProbeRangeAndCompensation)
{
    struct Case {
        const char *name;
        Gkp stored;
        bool cjcEnabled, spinEnabled;
        Gkp saved;
    };
    const Case cases[] = {
        {"thermocouple K, manual 23 °C", {0, 2, 1, 23, 1}, true, true, {0, 2, 1, 23, 1}},
        // Only a thermocouple has a cold junction: manual reads back as
        // automatic, the temperature is kept.
        {"RTD with manual compensation", {1, 5, 1, 40, 2}, false, false, {1, 5, 0, 40, 2}},
        {"resistance, temperature clamped", {2, 3, 0, 80, 0}, false, false, {2, 3, 0, 50, 0}},
        // A function code without an item shows and stores the first.
        {"unknown command function", {0, 0, 0, 0, 7}, true, false, {0, 0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Open(*MakeGkp(c.stored));
        EXPECT_EQ(Title(), QStringLiteral("Parameter setting and use of GKP module..."));
        EXPECT_EQ(Items("cmbFunzione"), (QStringList{"Display hold", "Keypad lock", "Alarm reset with latch"}));
        EXPECT_EQ(Find<QGroupBox>(QStringLiteral("RangeTC"))->isEnabled(), c.stored.probe == 0);
        EXPECT_EQ(Find<QGroupBox>(QStringLiteral("RangeRTD"))->isEnabled(), c.stored.probe == 1);
        EXPECT_EQ(Find<QGroupBox>(QStringLiteral("RangeRES"))->isEnabled(), c.stored.probe == 2);
        EXPECT_EQ(Find<QGroupBox>(QStringLiteral("CJC"))->isEnabled(), c.cjcEnabled);
        EXPECT_EQ(Find<QLineEdit>(QStringLiteral("txtTempCJC"))->isEnabled(), c.spinEnabled);
        for (const char *group : {"optRangeTC", "optRangeRTD", "optRangeRES"})
            EXPECT_EQ(Checked(group, 6), c.stored.range) << group;
        ExpectGkp(*Leave("cmdBack"), c.saved);
    }
}

TEST_F(GkpPage, SwitchingTheProbeSelectsAutomaticAndTakesItsOwnRange)
{
    Open(*MakeGkp({0, 1, 1, 12, 0}));
    auto *temp = Find<QLineEdit>(QStringLiteral("txtTempCJC"));
    EXPECT_EQ(temp->text(), QStringLiteral("12 °C"));
    EXPECT_TRUE(temp->isEnabled());
    Option("optRangeTC", 4)->click();
    Option("optProbeSelect", 1)->click();
    EXPECT_FALSE(Find<QGroupBox>(QStringLiteral("CJC"))->isEnabled());
    EXPECT_EQ(Checked("optCJC", 2), 0);
    EXPECT_FALSE(temp->isEnabled());
    EXPECT_EQ(Checked("optRangeTC", 6), 4); // kept, but not the probe's group
    Option("optRangeRTD", 2)->click();
    Find<QComboBox>(QStringLiteral("cmbFunzione"))->setCurrentIndex(2);
    ExpectGkp(*Leave("cmdNext"), {1, 2, 0, 12, 2});
    EXPECT_EQ(LimitsOf(*g_Scala), ExpectedLimits(0, 3, 2, 1));
}

TEST_F(GkpPage, OnlyNextPublishesTheElectricalRange)
{
    page.SetLastTab(true);
    for (const char *button : {"cmdEnd", "cmdBack"}) {
        Open(*MakeGkp({2, 4, 0, 0, 0}, 1));
        Leave(button);
        EXPECT_EQ(LimitsOf(*g_Scala), UntouchedLimits()) << button;
    }
    page.SetLastTab(false);
    Open(*MakeGkp({2, 4, 0, 0, 0}, 1));
    Leave("cmdNext");
    EXPECT_EQ(LimitsOf(*g_Scala), ExpectedLimits(1, 3, 4, 2));
    EXPECT_NE(LimitsOf(*g_Scala), UntouchedLimits());
}

// ---- frequency/counter page ------------------------------------------------

struct Wp12 {
    std::int16_t function, pulsesA, unitA, pulsesB, unitB, digitalIn;
};

std::unique_ptr<CRangeWP12> MakeWp12(std::int16_t model, const Wp12 &v)
{
    auto r = std::make_unique<CRangeWP12>();
    r->SetModelloStrumento(model);
    r->SetSlotA(4);
    r->SetWPxFunction(v.function);
    r->SetImpGiroA(v.pulsesA);
    r->SetUnitaIngA(v.unitA);
    r->SetImpGiroB(v.pulsesB);
    r->SetUnitaIngB(v.unitB);
    r->SetDigitalInFunction(v.digitalIn);
    return r;
}

void ExpectWp12(const CRangeWP12 &r, const Wp12 &v)
{
    EXPECT_EQ(r.WPxFunction(), v.function);
    EXPECT_EQ(r.ImpGiroA(), v.pulsesA);
    EXPECT_EQ(r.UnitaIngA(), v.unitA);
    EXPECT_EQ(r.ImpGiroB(), v.pulsesB);
    EXPECT_EQ(r.UnitaIngB(), v.unitB);
    EXPECT_EQ(r.DigitalInFunction(), v.digitalIn);
}

using Wp12Page = RangePage<FWRangeWP12, CRangeWP12>;

TEST_F(Wp12Page, FunctionsAndInputBFollowTheModel)
{
    struct Given {
        std::int16_t model;
        Wp12 stored;
    };
    struct Expected {
        int functions;
        QString first, note;
        bool inputB, resetOptions;
        Wp12 saved;
    };
    struct Case {
        const char *name;
        Given given;
        Expected expected;
    };
    const QString note =
        QStringLiteral("Note: Selection of the function to be applied to A and B inputs whose result is displayed");
    const QString note3 = note + QStringLiteral(" in the 2nd row. The first row always displays channel A.");
    const Case cases[] = {
        // One page object for every case: what a showing for another model
        // disabled is enabled again.
        // Input B disabled on model 0 but its values are stored as shown,
        // pulses out of 1..9999 at the nearer limit.
        {"model 0, F1, pulses clamped",
         {0, {0, 0, 5, 12000, 1, 1}},
         {7, "F1=Stepped value of channel A", note, false, false, {0, 1, 5, 9999, 1, 1}}},
        {"model 3, F1: input B editable",
         {3, {0, 60, 2, 1000, 3, 4}},
         {11, "F1=Stepped values of channels A and B", note3, true, true, {0, 60, 2, 1000, 3, 4}}},
        // Codes the model's lists lack (F8..F11, reset options) show and
        // store the first choice.
        {"model 1, F9 and counter reset left from model 3",
         {1, {8, 10, 1, 10, 1, 4}},
         {7, "F1=Stepped value of channel A", note, false, false, {0, 10, 1, 10, 1, 0}}},
        {"model 3, F10 counters",
         {3, {9, 1, 0, 1, 0, 3}},
         {11, "F1=Stepped values of channels A and B", note3, false, true, {9, 1, 0, 1, 0, 3}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Expected &e = c.expected;
        Open(*MakeWp12(c.given.model, c.given.stored));
        EXPECT_EQ(Title(), QStringLiteral("Parameters settings for WP1 or WP2 modules..."));
        const QStringList functions = Items("cmbWPxFunction");
        ASSERT_EQ(functions.size(), e.functions);
        EXPECT_EQ(functions.front(), e.first);
        EXPECT_EQ(functions[1], QStringLiteral("F2=1/A"));
        EXPECT_EQ(Find<QLabel>(QStringLiteral("txtNota"))->text(), e.note);
        EXPECT_EQ(Items("cmbUnitaIngA"), (QStringList{"Hz", "KHz", "rpm", "krpm", "rph", "krph"}));
        for (const char *name : {"frmCounterB", "Label3", "Label4", "txtImpGiroB", "cmbUnitaIngB"})
            EXPECT_EQ(Find<QWidget>(QString::fromLatin1(name))->isEnabled(), e.inputB) << name;
        EXPECT_EQ(Option("optDigitalInFunction", 3)->isEnabled(), e.resetOptions);
        EXPECT_EQ(Option("optDigitalInFunction", 4)->isEnabled(), e.resetOptions);
        ExpectWp12(*Leave("cmdBack"), e.saved);
    }
}

TEST_F(Wp12Page, ChoosingAFunctionSwitchesInputB)
{
    Open(*MakeWp12(3, {0, 1, 0, 1, 0, 0}));
    auto *function = Find<QComboBox>(QStringLiteral("cmbWPxFunction"));
    auto *pulsesB = Find<QLineEdit>(QStringLiteral("txtImpGiroB"));
    EXPECT_TRUE(pulsesB->isEnabled());
    function->setCurrentIndex(1);
    EXPECT_FALSE(pulsesB->isEnabled());
    function->setCurrentIndex(0);
    EXPECT_TRUE(pulsesB->isEnabled());
    QTest::keyClick(pulsesB, Qt::Key_Down); // 1 wraps to 9999
    EXPECT_EQ(pulsesB->text(), QStringLiteral("9999"));
    function->setCurrentIndex(6);
    ExpectWp12(*Leave("cmdNext"), {6, 1, 0, 9999, 0, 0});
}

TEST_F(Wp12Page, NextPublishesBothInputsOnly)
{
    const Wp12 v{2, 60, 2, 30, 3, 0};
    page.SetLastTab(true);
    for (const char *button : {"cmdEnd", "cmdBack"}) {
        Open(*MakeWp12(3, v));
        Leave(button);
        EXPECT_EQ(LimitsOf(*g_Scala), UntouchedLimits()) << button;
        EXPECT_EQ(LimitsOf(*g_ScalaB), UntouchedLimits()) << button;
    }
    page.SetLastTab(false);
    Open(*MakeWp12(3, v));
    Leave("cmdNext");
    EXPECT_EQ(LimitsOf(*g_Scala), ExpectedLimits(3, 4, 60, 2));
    EXPECT_EQ(LimitsOf(*g_ScalaB), ExpectedLimits(3, 4, 30, 3));
    EXPECT_NE(LimitsOf(*g_Scala), LimitsOf(*g_ScalaB));
}

// ---- MVZ page ----------------------------------------------------------------

struct Mvz {
    std::int16_t master, in1C, in2C, in3C, in1D, in2D, in3D;
};

std::unique_ptr<CRangeMVZ> MakeMvz(std::int16_t slotC, std::int16_t slotD, const Mvz &v)
{
    auto r = std::make_unique<CRangeMVZ>();
    r->SetSlotC(slotC);
    r->SetSlotD(slotD);
    r->SetRangeMasterMVZ(v.master);
    r->SetInput1C(v.in1C);
    r->SetInput2C(v.in2C);
    r->SetInput3C(v.in3C);
    r->SetInput1D(v.in1D);
    r->SetInput2D(v.in2D);
    r->SetInput3D(v.in3D);
    return r;
}

void ExpectMvz(const CRangeMVZ &r, const Mvz &v)
{
    EXPECT_EQ(r.RangeMasterMVZ(), v.master);
    EXPECT_EQ(r.Input1C(), v.in1C);
    EXPECT_EQ(r.Input2C(), v.in2C);
    EXPECT_EQ(r.Input3C(), v.in3C);
    EXPECT_EQ(r.Input1D(), v.in1D);
    EXPECT_EQ(r.Input2D(), v.in2D);
    EXPECT_EQ(r.Input3D(), v.in3D);
}

using MvzPage = RangePage<FWRangeMVZ, CRangeMVZ>;

TEST_F(MvzPage, SectionsFollowTheExtraInputModules)
{
    struct Given {
        std::int16_t slotC, slotD;
        Mvz stored;
    };
    struct Section {
        bool enabled;
        QString title;
        QStringList items;
    };
    struct Case {
        const char *name;
        Given given;
        Section sectionC, sectionD;
        Mvz saved;
    };
    const QStringList kind1{"Range 1 (r1)", "Range 2 (r2)"};
    const Case cases[] = {
        // Disabled sections keep their load-time captions and items.
        {"slot D only",
         {0, 3, {1, 1, 0, 1, 1, 0, 1}},
         {false, "MVZ extra inputs, type 1 (Slot C)", kind1},
         {true, "MVZ extra inputs, type 2 (Slot D)", kind1},
         {1, 1, 0, 1, 1, 0, 1}},
        {"slot C type 3",
         {7, 0, {2, 0, 1, 1, 0, 0, 0}},
         {true, "MVZ extra inputs, type 3 (Slot C)", kind1},
         {false, "MVZ extra inputs, type 1 (Slot D)", kind1},
         {2, 0, 1, 1, 0, 0, 0}},
        // An input range without an item shows and stores the first one.
        {"both, an unknown range",
         {5, 4, {0, 2, 1, -1, 1, 1, 1}},
         {true, "MVZ extra inputs, type 1 (Slot C)", kind1},
         {true, "MVZ extra inputs, type 3 (Slot D)", kind1},
         {0, 0, 1, 0, 1, 1, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Open(*MakeMvz(c.given.slotC, c.given.slotD, c.given.stored));
        EXPECT_EQ(Title(), QStringLiteral("Measuring ranges of the MVZ master input"));
        EXPECT_EQ(Option("optRangeMasterMVZ", 1)->text(), QStringLiteral("+-200 mV DC"));
        EXPECT_EQ(Find<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("Input 3:"));
        auto *frameC = Find<QGroupBox>(QStringLiteral("frmRangeSlotC"));
        auto *frameD = Find<QGroupBox>(QStringLiteral("frmRangeSlotD"));
        EXPECT_EQ(frameC->isEnabled(), c.sectionC.enabled);
        EXPECT_EQ(frameD->isEnabled(), c.sectionD.enabled);
        EXPECT_EQ(frameC->title(), c.sectionC.title);
        EXPECT_EQ(frameD->title(), c.sectionD.title);
        for (const char *combo : {"cmbInput1C", "cmbInput2C", "cmbInput3C"})
            EXPECT_EQ(Items(combo), c.sectionC.items) << combo;
        for (const char *combo : {"cmbInput1D", "cmbInput2D", "cmbInput3D"})
            EXPECT_EQ(Items(combo), c.sectionD.items) << combo;
        EXPECT_EQ(Checked("optRangeMasterMVZ", 3), c.given.stored.master);
        ExpectMvz(*Leave("cmdBack"), c.saved);
    }
}

TEST_F(MvzPage, OnlyNextPublishesTheMasterRange)
{
    const Mvz v{0, 0, 0, 0, 0, 0, 0};
    page.SetLastTab(true);
    Open(*MakeMvz(5, 2, v));
    Leave("cmdEnd");
    EXPECT_EQ(LimitsOf(*g_Scala), UntouchedLimits());
    page.SetLastTab(false);
    Open(*MakeMvz(5, 2, v));
    Option("optRangeMasterMVZ", 2)->click();
    Find<QComboBox>(QStringLiteral("cmbInput2D"))->setCurrentIndex(1);
    ExpectMvz(*Leave("cmdNext"), {2, 0, 0, 0, 0, 1, 0});
    EXPECT_EQ(LimitsOf(*g_Scala), ExpectedLimits(2, 6, 2, 0));
    EXPECT_NE(LimitsOf(*g_Scala), UntouchedLimits());
    EXPECT_EQ(LimitsOf(*g_ScalaB), UntouchedLimits());
}

} // namespace
