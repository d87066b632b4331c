// The display page (FWDisplay) and the counters page (FWCounterAB): data
// through the controls and back, what the fitted instrument offers, the
// electrical limits derived from g_Scala, the counters' check and the
// display scales published on Next.
#include "CComboBox.h"
#include "COptionButton.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "FWCounterAB.h"
#include "FWDisplay.h"
#include "MsgBox.h"
#include "StringTable.h"
#include "WizardTestSupport.h"

#include "../model/ModelTestSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using pagetest::BoxRecorder;
using pagetest::Child;

class DisplayCounterPages : public paramtest::FreshScales {};

// ---- display page -----------------------------------------------------------

std::unique_ptr<CDisplay> DisplayObject(std::int16_t model, std::int16_t slotA, std::int16_t digit, std::int16_t color,
                                        std::int16_t password)
{
    auto d = std::make_unique<CDisplay>();
    d->SetModelloStrumento(model);
    d->SetSlotA(slotA);
    d->SetDisplayDigit(digit);
    d->SetDisplayColor(color);
    d->SetPassword(password);
    return d;
}

std::unique_ptr<CDisplay> DisplayBack(FWDisplay &page)
{
    auto out = std::make_unique<CDisplay>();
    page.GetData(*out);
    return out;
}

struct DisplayCase {
    const char *what;
    std::int16_t model, slotA;
    bool digitOffered, colorOffered;
};

TEST_F(DisplayCounterPages, DisplayOffersWhatTheInstrumentHasAndKeepsTheRest)
{
    const std::vector<DisplayCase> cases = {
        {"model 0, low signal", 0, 0, true, false},
        {"model 0, temperature", 0, 3, true, false},
        {"model 0, frequency", 0, 4, false, false},
        {"model 0, MVZ", 0, 6, false, false},
        {"model 1", 1, 0, false, true},
        {"model 3", 3, 4, false, false},
    };
    for (const DisplayCase &c : cases) {
        SCOPED_TRACE(c.what);
        // Every value differs from a group's first button, so a group that
        // lost its value would show.
        const auto in = DisplayObject(c.model, c.slotA, 1, 2, 1234);
        FWDisplay page;
        page.SetData(*in);
        page.Show(0);
        EXPECT_EQ(Child<COptionButton>(page, "m_DisplayDigit").EnabledGroup(), c.digitOffered);
        EXPECT_EQ(Child<COptionButton>(page, "m_DisplayColor").EnabledGroup(), c.colorOffered);
        EXPECT_EQ(Child<QLineEdit>(page, "txtPassword").text(), QStringLiteral("1234"));
        PageScript::Press(page, "cmdNext");
        ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
        const auto out = DisplayBack(page);
        EXPECT_EQ(out->DisplayDigit(), 1);
        EXPECT_EQ(out->DisplayColor(), 2);
        EXPECT_EQ(out->Password(), 1234);
        EXPECT_EQ(out->ModelloStrumento(), c.model);
    }
}

TEST_F(DisplayCounterPages, DisplayStoresTheChoicesAndThePasswordWithinItsRange)
{
    const auto in = DisplayObject(1, 0, 0, 0, 9500);
    FWDisplay page;
    page.SetData(*in);
    page.Show(0);
    EXPECT_EQ(Child<CTextDigitSpin>(page, "m_Password").Value(), 9000);
    Child<QRadioButton>(page, "optDisplayColor1").click();
    PageScript::Press(page, "cmdBack"); // Back stores the page too
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonBack);
    auto out = DisplayBack(page);
    EXPECT_EQ(out->Password(), 9000);
    EXPECT_EQ(out->DisplayColor(), 1);

    // Shown again: what was stored comes back; 0 is a valid password.
    page.Show(0);
    EXPECT_TRUE(Child<QRadioButton>(page, "optDisplayColor1").isChecked());
    Child<CTextDigitSpin>(page, "m_Password").SetValue(0);
    PageScript::Press(page, "cmdNext");
    out = DisplayBack(page);
    EXPECT_EQ(out->Password(), 0);

    // Cancel stores nothing.
    page.Show(0);
    Child<CTextDigitSpin>(page, "m_Password").SetValue(4444);
    PageScript::Press(page, "cmdCancel");
    EXPECT_EQ(page.ButtonRet(), FWizardPage::kButtonCancel);
    EXPECT_EQ(DisplayBack(page)->Password(), 0);
}

// ---- counters page ------------------------------------------------------------

struct CounterValues {
    std::int32_t electricDigitalPoint, minElectric, maxElectric;
    std::int32_t measureA, weightA, pointA;
    std::int32_t measureB, weightB, pointB;
};

std::unique_ptr<CCounterAB> CounterObject(std::int16_t function, const CounterValues &v)
{
    auto c = std::make_unique<CCounterAB>();
    c->SetWPxFunction(function);
    c->SetElectricDigitalPoint(v.electricDigitalPoint);
    c->SetMinElectricScale(v.minElectric);
    c->SetMaxElectricScale(v.maxElectric);
    c->SetMeasureDigitalPointCounterA(v.measureA);
    c->SetCounterAPulseWeight(v.weightA);
    c->SetCounterADigitalPoint(v.pointA);
    c->SetMeasureDigitalPointCounterB(v.measureB);
    c->SetCounterBPulseWeight(v.weightB);
    c->SetCounterBDigitalPoint(v.pointB);
    return c;
}

CounterValues CounterBack(FWCounterAB &page)
{
    CCounterAB out;
    page.GetData(out);
    return {out.ElectricDigitalPoint(),        out.MinElectricScale(),    out.MaxElectricScale(),
            out.MeasureDigitalPointCounterA(), out.CounterAPulseWeight(), out.CounterADigitalPoint(),
            out.MeasureDigitalPointCounterB(), out.CounterBPulseWeight(), out.CounterBDigitalPoint()};
}

void ExpectValues(const CounterValues &got, const CounterValues &want)
{
    EXPECT_EQ(got.electricDigitalPoint, want.electricDigitalPoint);
    EXPECT_EQ(got.minElectric, want.minElectric);
    EXPECT_EQ(got.maxElectric, want.maxElectric);
    EXPECT_EQ(got.measureA, want.measureA);
    EXPECT_EQ(got.weightA, want.weightA);
    EXPECT_EQ(got.pointA, want.pointA);
    EXPECT_EQ(got.measureB, want.measureB);
    EXPECT_EQ(got.weightB, want.weightB);
    EXPECT_EQ(got.pointB, want.pointB);
}

constexpr std::int16_t kF8 = 7, kF9 = 8, kF10 = 9;

TEST_F(DisplayCounterPages, CountersRoundTripAndNextPublishesBothCounterDisplays)
{
    g_Scala->SetLimitiScalaElettrica(3, 4, 1, 0); // 50 000.000 Hz
    const CounterValues v{0x10000, 100, 40000, 0x10002, 2500, 0x10003, 0x10001, 7, 0x10000};
    const auto in = CounterObject(kF10, v);
    FWCounterAB page;
    page.SetData(*in);
    page.Show(0);
    EXPECT_EQ(Child<QLabel>(page, "lblTitle").text(), LoadResourceString(720));
    EXPECT_EQ(Child<CComboBox>(page, "m_ElectricDigitalPoint").ListCount(), 6);
    EXPECT_EQ(Child<CTextDigitSpin>(page, "m_MaxElectricScale").Max(), 50000);
    EXPECT_EQ(Child<CTextDigitSpin>(page, "m_MaxElectricScale").UnitaMisura(), g_Scala->UnitaMisuraScalaElettrica());
    EXPECT_EQ(Child<QLineEdit>(page, "txtCounterAPulseWeight").text(), QStringLiteral("2.500"));
    EXPECT_EQ(Child<QComboBox>(page, "cmbMeasureDigitalPointCounterA").currentText(), QStringLiteral("1111.11"));

    PageScript::Press(page, "cmdNext");
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
    ExpectValues(CounterBack(page), v);
    EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), 0x10002);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), CCounterAB::kCounterDisplayEnd);
    EXPECT_EQ(g_ScalaB->DigitalPointScalaDisplay(), 0x10001);
    EXPECT_EQ(g_ScalaB->FineScalaDisplay(), CCounterAB::kCounterDisplayEnd);
}

TEST_F(DisplayCounterPages, CountersElectricalLimitFromTheFrequencyRange)
{
    g_Scala->SetLimitiScalaElettrica(3, 4, 25, 0); // 2 000.000 Hz
    struct Case {
        std::int32_t point;
        std::int32_t top;
    };
    // The quotient takes the record's single-precision factor: 0.1f lies
    // just above 0.1, so one decimal gives 19999, not 20000.
    for (const Case &c : std::vector<Case>{{0x10000, 2000}, {0x10001, 19999}, {0x10003, 999999}, {0x10005, 999999}}) {
        SCOPED_TRACE(c.point);
        const auto in = CounterObject(kF10, {c.point, 0, 5000000, 0x10000, 1, 0x10000, 0x10000, 1, 0x10000});
        FWCounterAB page;
        page.SetData(*in);
        page.Show(0);
        EXPECT_EQ(Child<CTextDigitSpin>(page, "m_MinElectricScale").Max(), c.top);
        EXPECT_EQ(Child<CTextDigitSpin>(page, "m_MaxElectricScale").Max(), c.top);
        PageScript::Press(page, "cmdNext");
        ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
        EXPECT_EQ(CounterBack(page).maxElectric, c.top) << "stored again at the limit";
    }
}

TEST_F(DisplayCounterPages, CountersFramesFollowTheFunction)
{
    g_Scala->SetLimitiScalaElettrica(3, 4, 1, 0);
    const CounterValues v{0x10000, 500, 500, 0x10000, 1, 0x10000, 0x10000, 1, 0x10000};
    FWCounterAB page;
    const auto f10 = CounterObject(kF10, v);
    page.SetData(*f10);
    page.Show(0);
    QGroupBox &electric = Child<QGroupBox>(page, "frmElettricScale");
    QGroupBox &counterA = Child<QGroupBox>(page, "frmCounterAPulseWeight");
    QGroupBox &counterB = Child<QGroupBox>(page, "frmCounterBPulseWeight");
    EXPECT_TRUE(electric.isVisible());
    const int electricTop = electric.y();
    const int counterATop = counterA.y();
    EXPECT_GT(counterATop, electricTop);
    PageScript::Press(page, "cmdCancel");

    // F8: no electrical range (so no check), counter B disabled; the
    // counter frames move up into the electrical frame's place.
    const auto f8 = CounterObject(kF8, v);
    page.SetData(*f8);
    page.Show(0);
    QCoreApplication::processEvents(); // let the layout take the hidden frame out
    EXPECT_FALSE(electric.isVisible());
    EXPECT_EQ(counterA.y(), electricTop);
    EXPECT_TRUE(counterA.isEnabled());
    EXPECT_FALSE(counterB.isEnabled());
    EXPECT_FALSE(Child<CComboBox>(page, "m_CounterBDigitalPoint").Enabled());
    EXPECT_FALSE(Child<CTextDigitSpin>(page, "m_CounterBPulseWeight").Enabled());
    EXPECT_FALSE(Child<QLabel>(page, "Label2").isEnabled());
    {
        BoxRecorder boxes;
        PageScript::Press(page, "cmdNext");
        EXPECT_TRUE(boxes.texts.empty());
    }
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
    EXPECT_EQ(g_ScalaB->FineScalaDisplay(), CCounterAB::kCounterDisplayEnd) << "F8: counter A on g_ScalaB";

    // F9: counter A disabled, counter B enabled again.
    const auto f9 = CounterObject(kF9, v);
    page.SetData(*f9);
    page.Show(0);
    EXPECT_FALSE(counterA.isEnabled());
    EXPECT_FALSE(Child<CTextDigitSpin>(page, "m_CounterAPulseWeight").Enabled());
    EXPECT_TRUE(counterB.isEnabled());
    EXPECT_TRUE(Child<CTextDigitSpin>(page, "m_CounterBPulseWeight").Enabled());
    PageScript::Press(page, "cmdCancel");
}

TEST_F(DisplayCounterPages, CountersRefuseAnElectricalMaximumNotAboveTheMinimumOnEveryButton)
{
    g_Scala->SetLimitiScalaElettrica(3, 4, 1, 0);
    struct Case {
        const char *button;
        std::int32_t max;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"cmdNext", 500, true},  {"cmdEnd", 500, true},  {"cmdBack", 500, true},
        {"cmdNext", 501, false}, {"cmdEnd", 501, false}, {"cmdBack", 501, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + std::to_string(c.max));
        g_Scala->SetScalaDisplay(3, 3, 3);
        g_ScalaB->SetScalaDisplay(3, 3, 3);
        const auto in = CounterObject(kF10, {0x10000, 500, c.max, 0x10001, 9, 0x10000, 0x10001, 9, 0x10000});
        FWCounterAB page;
        pagetest::ShowToPress(page, *in, c.button);
        BoxRecorder boxes;
        ASSERT_NO_FATAL_FAILURE(pagetest::PressForVerdict(page, c.button, c.refused, 797, boxes));
        if (c.refused)
            page.reject();
        else
            EXPECT_EQ(CounterBack(page).maxElectric, 501);
        // Only a Next that closed the page publishes the counters' displays.
        const bool published = !c.refused && std::string(c.button) == "cmdNext";
        EXPECT_EQ(g_Scala->FineScalaDisplay(), published ? CCounterAB::kCounterDisplayEnd : 3);
        EXPECT_EQ(g_ScalaB->DigitalPointScalaDisplay(), published ? 0x10001 : 3);
    }
}

TEST_F(DisplayCounterPages, CountersDecimalPointsNotAmongTheChoicesStoreTheFirstChoice)
{
    g_Scala->SetLimitiScalaElettrica(3, 4, 1, 0);
    // 0 is a four-digit value: none of the six-digit lists carries it.
    const auto in = CounterObject(kF10, {0, 0, 100, 0, 5, 0, 7, 5, 0x20001});
    FWCounterAB page;
    page.SetData(*in);
    page.Show(0);
    PageScript::Press(page, "cmdBack");
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonBack);
    const CounterValues out = CounterBack(page);
    EXPECT_EQ(out.electricDigitalPoint, 0x10000);
    EXPECT_EQ(out.measureA, 0x10000);
    EXPECT_EQ(out.pointA, 0x10000);
    EXPECT_EQ(out.measureB, 0x10000);
    EXPECT_EQ(out.pointB, 0x10000);
    EXPECT_EQ(out.weightA, 5);
}

} // namespace
