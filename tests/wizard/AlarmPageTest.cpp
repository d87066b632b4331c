// The alarm page (FWAlarm): an alarm through the controls and back, the
// limits of the set-point values taken from the display scale of the
// alarm's channel, the ordering of minimum, set point and maximum, and the
// enabling rules of the fitted instrument.
#include "CAlarm.h"
#include "CComboBox.h"
#include "COptionButton.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "FWAlarm.h"
#include "UpDownControl.h"
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
#include <vector>

namespace {

constexpr std::int32_t kSixDigits = 1 << 16; // high word of the six-digit decimal points

using pagetest::Child;
using pagetest::ClickArrow;
using pagetest::ShowAndStore;
using pagetest::Spin;
using pagetest::Text;

struct Context {
    std::int16_t model = 1;
    std::int16_t slotA = 0;
    std::int16_t displayDigit = 0;
    std::int16_t function = 0;
    const char *className = "CAlarm1";
};

// The parameter classes are not copied: tests hold them by pointer.
std::unique_ptr<CAlarm> MakeAlarm(const Context &c)
{
    auto alarm = std::make_unique<CAlarm>();
    alarm->SetClassName(QString::fromLatin1(c.className));
    alarm->SetModelloStrumento(c.model);
    alarm->SetSlotA(c.slotA);
    alarm->SetDisplayDigit(c.displayDigit);
    alarm->SetWPxFunction(c.function);
    return alarm;
}

class AlarmPage : public paramtest::FreshScales {};

} // namespace

TEST_F(AlarmPage, ShowsAndStoresEveryValue)
{
    g_Scala->SetScalaDisplay(1, -1999, 1999); // -199.9 .. 199.9
    auto source = MakeAlarm({1, 0, 0, 0, "CAlarm2"});
    source->SetMinAlarmScale(-500);
    source->SetMaxAlarmScale(1500);
    source->SetAlarmSetPoint(200);
    source->SetIsteresi(35);
    source->SetRitAttivazione(5);
    source->SetRitDisattivazione(250);
    source->SetAlarmType(3);
    source->SetRelayStatus(0);
    source->SetAlarmColor(2);

    FWAlarm page;
    const auto stored = ShowAndStore(page, *source, [](FWizardPage &p) {
        EXPECT_EQ(Child<QLabel>(p, "lblTitle").text(), QStringLiteral("2 alarm parameters setting..."));
        EXPECT_EQ(Child<QGroupBox>(p, "frmAlarmScale").title(), QStringLiteral("Adjustment limits of alarm set-point"));
        EXPECT_EQ(Child<QRadioButton>(p, "optAlarmType3").text(),
                  QStringLiteral("Down alarm with inhibition at power-on"));
        EXPECT_EQ(Text(p, "txtMinAlarmScale"), QStringLiteral("-50.0"));
        EXPECT_EQ(Text(p, "txtMaxAlarmScale"), QStringLiteral("150.0"));
        EXPECT_EQ(Text(p, "txtAlarmSetPoint"), QStringLiteral("20.0"));
        EXPECT_EQ(Text(p, "txtIsteresi"), QStringLiteral("3.5"));
        EXPECT_EQ(Text(p, "txtRitAttivazione"), QStringLiteral("5 s."));
        EXPECT_EQ(Text(p, "txtRitDisattivazione"), QStringLiteral("250 s."));
        EXPECT_TRUE(Child<QRadioButton>(p, "optAlarmType3").isChecked());
        EXPECT_TRUE(Child<QRadioButton>(p, "optRelayStatus0").isChecked());
        EXPECT_TRUE(Child<QRadioButton>(p, "optAlarmColor2").isChecked());
        // The delays keep 0 to 255 seconds whatever the scale.
        EXPECT_EQ(Spin(p, "m_RitAttivazione").Max(), 255);
        EXPECT_EQ(Spin(p, "m_RitDisattivazione").Min(), 0);
    });
    EXPECT_EQ(stored->ClassName(), QStringLiteral("CAlarm2"));
    EXPECT_EQ(stored->Channel(), 0);
    EXPECT_EQ(stored->MinAlarmScale(), -500);
    EXPECT_EQ(stored->MaxAlarmScale(), 1500);
    EXPECT_EQ(stored->AlarmSetPoint(), 200);
    EXPECT_EQ(stored->Isteresi(), 35);
    EXPECT_EQ(stored->RitAttivazione(), 5);
    EXPECT_EQ(stored->RitDisattivazione(), 250);
    EXPECT_EQ(stored->AlarmType(), 3);
    EXPECT_EQ(stored->RelayStatus(), 0);
    EXPECT_EQ(stored->AlarmColor(), 2);
}

// The display scale of the alarm's channel limits minimum and maximum, the
// hysteresis and the decimal point; stored values outside are stored again
// at the nearest limit.
TEST_F(AlarmPage, ValuesAreLimitedByTheDisplayScaleOfTheAlarmsChannel)
{
    struct Scale {
        std::int32_t dp, start, end;
    };
    struct Given {
        Context context;
        std::int16_t channel;
        Scale a, b;
    };
    struct Expected {
        std::int32_t low, high, hysteresisMax;
        std::int16_t step;
        std::int16_t storedChannel;
        const char *maxText; // the maximum shown
    };
    struct Case {
        const char *name;
        Given given;
        Expected expected;
    };
    const Scale a1999{0, -1999, 1999};
    const Scale b500{kSixDigits | 2, 0, 500000};
    const std::vector<Case> cases = {
        {"model 0, 1999 display: hysteresis capped", {{0, 0, 0, 0}, 0, a1999, b500}, {-1999, 1999, 1999, 1, 0, "1999"}},
        {"model 0, 9990 display: steps of 10", {{0, 0, 1, 0}, 0, {0, 0, 9990}, b500}, {0, 9990, 9990, 10, 0, "9990"}},
        {"falling scale", {{1, 0, 0, 0}, 0, {1, 1000, 0}, b500}, {0, 1000, 1000, 1, 0, "100.0"}},
        {"model 1 caps the hysteresis at 9999",
         {{1, 3, 0, 0}, 0, {0, -9999, 9999}, b500},
         {-9999, 9999, 9999, 1, 0, "9999"}},
        {"model 3, channel F", {{3, 4, 0, 0}, 1, {0, 0, 100}, b500}, {0, 500000, 500000, 1, 1, "5000.00"}},
        {"model 3, channel A", {{3, 4, 0, 0}, 0, {0, 0, 100}, b500}, {0, 100, 100, 1, 0, "100"}},
        {"model 3, F7: channel A only", {{3, 4, 0, 6}, 1, {0, 0, 100}, b500}, {0, 100, 100, 1, 0, "100"}},
        {"model 0, frequency module under F2: channel F",
         {{0, 4, 0, 1}, 0, a1999, {2, -50, 800}},
         {-50, 800, 850, 1, 0, "8.00"}},
        {"model 0, frequency module under F7: channel A",
         {{0, 5, 0, 6}, 0, a1999, {2, -50, 800}},
         {-1999, 1999, 3998, 1, 0, "1999"}},
        // A function left from an earlier frequency configuration does not
        // send the alarms of another input to channel F.
        {"model 1, low-signal input with a leftover function",
         {{1, 0, 0, 3}, 0, a1999, {2, -50, 800}},
         {-1999, 1999, 3998, 1, 0, "1999"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Given &g = c.given;
        const Expected &e = c.expected;
        g_Scala->SetScalaDisplay(g.a.dp, g.a.start, g.a.end);
        g_ScalaB->SetScalaDisplay(g.b.dp, g.b.start, g.b.end);
        auto source = MakeAlarm(g.context);
        source->SetChannel(g.channel);
        source->SetMinAlarmScale(-9999999);
        source->SetMaxAlarmScale(9999999);
        source->SetAlarmSetPoint(9999999);
        source->SetIsteresi(9999999);
        FWAlarm page;
        const auto stored = ShowAndStore(page, *source, [&](FWizardPage &p) {
            for (const char *name : {"m_MinAlarmScale", "m_MaxAlarmScale"}) {
                EXPECT_EQ(Spin(p, name).Min(), e.low) << name;
                EXPECT_EQ(Spin(p, name).Max(), e.high) << name;
            }
            EXPECT_EQ(Spin(p, "m_Isteresi").Max(), e.hysteresisMax);
            for (const char *name : {"m_MinAlarmScale", "m_MaxAlarmScale", "m_AlarmSetPoint", "m_Isteresi"})
                EXPECT_EQ(Spin(p, name).IncrementoMinimo(), e.step) << name;
            EXPECT_EQ(Text(p, "txtMaxAlarmScale"), QString::fromLatin1(e.maxText));
        });
        EXPECT_EQ(stored->Channel(), e.storedChannel);
        EXPECT_EQ(stored->MinAlarmScale(), e.low);
        EXPECT_EQ(stored->MaxAlarmScale(), e.high);
        EXPECT_EQ(stored->AlarmSetPoint(), e.high);
        EXPECT_EQ(stored->Isteresi(), e.hysteresisMax);
    }
}

TEST_F(AlarmPage, MinimumSetPointAndMaximumStayInOrder)
{
    g_Scala->SetScalaDisplay(0, 0, 1000);
    auto source = MakeAlarm({1, 0, 0, 0});
    source->SetMinAlarmScale(100);
    source->SetMaxAlarmScale(300);
    source->SetAlarmSetPoint(200);
    FWAlarm page;
    auto stored = ShowAndStore(page, *source, [](FWizardPage &p) {
        EXPECT_EQ(Spin(p, "m_AlarmSetPoint").Min(), 100);
        EXPECT_EQ(Spin(p, "m_AlarmSetPoint").Max(), 300);
        // The minimum raised above the maximum takes the maximum and the
        // set point with it.
        Spin(p, "m_MinAlarmScale").SetValue(500);
    });
    EXPECT_EQ(stored->MinAlarmScale(), 500);
    EXPECT_EQ(stored->MaxAlarmScale(), 500);
    EXPECT_EQ(stored->AlarmSetPoint(), 500);

    source->SetMinAlarmScale(0);
    source->SetMaxAlarmScale(800);
    source->SetAlarmSetPoint(600);
    stored = ShowAndStore(page, *source, [](FWizardPage &p) {
        // The maximum lowered below the set point takes the set point down;
        // the set point cannot pass the maximum.
        Spin(p, "m_MaxAlarmScale").SetValue(400);
        ClickArrow(p, "UpDown3", true);
    });
    EXPECT_EQ(stored->MaxAlarmScale(), 400);
    // Wrap-around: one step up from the maximum is the minimum.
    EXPECT_EQ(stored->AlarmSetPoint(), 0);
}

TEST_F(AlarmPage, TheFittedInstrumentDecidesWhatCanBeChosen)
{
    struct Given {
        Context context;
        std::int16_t storedType, storedColor;
    };
    struct Expected {
        const char *title;
        bool channelShown, colourEnabled, latchEnabled;
        std::int16_t savedType;
    };
    struct Case {
        const char *name;
        Given given;
        Expected expected;
    };
    const std::vector<Case> cases = {
        {"model 1, third alarm",
         {{1, 0, 0, 0, "CAlarm3"}, 4, 1},
         {"3 alarm parameters setting...", false, true, true, 4}},
        {"model 3", {{3, 4, 0, 0, "CAlarm4"}, 5, 2}, {"4 alarm parameters setting...", true, false, true, 5}},
        // The colour group is disabled; its stored value stays.
        {"model 0", {{0, 0, 0, 0, "CAlarm1"}, 2, 1}, {"1 alarm parameters setting...", false, false, true, 2}},
        // No latch types on model 2 with a frequency module: a stored latch
        // type moves to the first button.
        {"model 2, frequency module",
         {{2, 5, 0, 0, "CAlarm1"}, 4, 0},
         {"1 alarm parameters setting...", false, false, false, 0}},
        {"model 2, low-signal input",
         {{2, 0, 0, 0, "CAlarm2"}, 5, 0},
         {"2 alarm parameters setting...", false, false, true, 5}},
        {"a name without an alarm number", {{1, 0, 0, 0, "CAlarm"}, 1, 0}, {"", false, true, true, 1}},
    };
    g_Scala->SetScalaDisplay(0, 0, 1000);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Given &g = c.given;
        const Expected &e = c.expected;
        auto source = MakeAlarm(g.context);
        source->SetAlarmType(g.storedType);
        source->SetAlarmColor(g.storedColor);
        FWAlarm page;
        const auto stored = ShowAndStore(page, *source, [&](FWizardPage &p) {
            EXPECT_EQ(Child<QLabel>(p, "lblTitle").text(), QString::fromLatin1(e.title));
            auto &channel = Child<QGroupBox>(p, "frmChannel");
            auto &limits = Child<QGroupBox>(p, "frmAlarmScale");
            auto &setup = Child<QGroupBox>(p, "AlarmSetup");
            EXPECT_EQ(channel.isVisible(), e.channelShown);
            // Without the channel frame the limits frame takes its place on
            // the left.
            EXPECT_EQ(limits.geometry().left() == setup.geometry().left(), !e.channelShown);
            EXPECT_EQ(Child<QGroupBox>(p, "AlarmColor").isEnabled(), e.colourEnabled);
            EXPECT_EQ(Child<QRadioButton>(p, "optAlarmType4").isEnabled(), e.latchEnabled);
            EXPECT_EQ(Child<QRadioButton>(p, "optAlarmType5").isEnabled(), e.latchEnabled);
            EXPECT_TRUE(Child<QRadioButton>(p, "optAlarmType3").isEnabled());
        });
        EXPECT_EQ(stored->AlarmType(), e.savedType);
        EXPECT_EQ(stored->AlarmColor(), g.storedColor);
    }
}

// A stored channel is kept on the models without a channel choice, and each
// showing derives limits, step and format from the context of that showing.
TEST_F(AlarmPage, EachShowingStartsFromItsOwnContext)
{
    g_Scala->SetScalaDisplay(0, 0, 9990);
    g_ScalaB->SetScalaDisplay(2, 0, 800);
    auto source = MakeAlarm({0, 0, 1, 0});
    source->SetChannel(1);
    source->SetMaxAlarmScale(5000);
    FWAlarm page;
    auto stored = ShowAndStore(page, *source,
                               [](FWizardPage &p) { EXPECT_EQ(Spin(p, "m_MaxAlarmScale").IncrementoMinimo(), 10); });
    EXPECT_EQ(stored->Channel(), 1);
    EXPECT_EQ(stored->MaxAlarmScale(), 5000);

    // The model page changed to a frequency module under F2 on model 1: the
    // alarm now watches channel F.
    source = MakeAlarm({1, 4, 1, 1});
    source->SetMaxAlarmScale(5000);
    stored = ShowAndStore(page, *source, [](FWizardPage &p) {
        EXPECT_EQ(Spin(p, "m_MaxAlarmScale").IncrementoMinimo(), 1);
        EXPECT_EQ(Spin(p, "m_MaxAlarmScale").Max(), 800);
        EXPECT_EQ(Text(p, "txtMaxAlarmScale"), QStringLiteral("8.00"));
    });
    EXPECT_EQ(stored->MaxAlarmScale(), 800);
}
