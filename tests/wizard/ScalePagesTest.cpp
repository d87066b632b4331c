// The scale page (FWInOutScale) and the linearisation page (FWLinearize):
// data through the controls and back, spin limits derived from the context
// values and the scale objects, the checks on Next and the display scale
// published on Next.
#include "CComboBox.h"
#include "COptionButton.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "FWInOutScale.h"
#include "FWLinearize.h"
#include "MsgBox.h"
#include "StringTable.h"
#include "TraceCapture.h"
#include "WizardTestSupport.h"

#include "../model/ModelTestSupport.h"

#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using pagetest::BoxRecorder;
using pagetest::Child;
using pagetest::Spin;

CComboBox &Combo(QObject &page, const char *name)
{
    return Child<CComboBox>(page, name);
}

// Each test starts from fresh scale objects and leaves none behind.
class ScalePages : public paramtest::FreshScales {};

// The data object of a page with the class name and the context values the
// wizard gives it. (Parameter objects are neither copied nor moved: they
// live on the heap.)
template <class Data>
std::unique_ptr<Data> PageObject(const QString &name, std::int16_t model, std::int16_t slotA)
{
    auto d = std::make_unique<Data>();
    d->SetClassName(name);
    d->SetModelloStrumento(model);
    d->SetSlotA(slotA);
    return d;
}

// What the page hands back, into an object of that class name.
template <class Data>
std::unique_ptr<Data> PageBack(FWizardDataPage<Data> &page, const QString &name)
{
    auto out = std::make_unique<Data>();
    out->SetClassName(name);
    page.GetData(*out);
    return out;
}

// ---- scale page -----------------------------------------------------------

constexpr auto ScaleObject = PageObject<CInOutScale>;
constexpr auto ScaleBack = PageBack<CInOutScale>;

// A page shown (without waiting) with obj as its data.
void ShowScale(FWInOutScale &page, const CInOutScale &obj)
{
    page.SetData(obj);
    page.Show(0);
}

TEST_F(ScalePages, ScaleRoundTripStoresEveryValueAndPublishesTheDisplayOnNext)
{
    // Model 1, low-signal module, range 0.0 to 200.0 mV: one decimal point.
    g_Scala->SetLimitiScalaElettrica(1, 0, 3, 0);
    const auto in = ScaleObject(QStringLiteral("CInOutScale"), 1, 0);
    in->SetElectricDigitalPoint(1);
    in->SetMinElectricScale(100);
    in->SetMaxElectricScale(1800);
    in->SetMeasureDigitalPoint(2);
    in->SetMinMeasureScale(-500);
    in->SetMaxMeasureScale(9000);
    in->SetLinearizzazione(1);
    in->SetDisplayDigit(1);

    FWInOutScale page;
    ShowScale(page, *in);
    EXPECT_EQ(Combo(page, "m_ElectricDigitalPoint").ListCount(), 1);
    EXPECT_FALSE(Combo(page, "m_ElectricDigitalPoint").Enabled());
    EXPECT_FALSE(Child<QLabel>(page, "Label6").isEnabled());
    EXPECT_EQ(Child<QComboBox>(page, "cmbMeasureDigitalPoint").currentText(), QStringLiteral("11.11"));
    const QString maxText = Child<QLineEdit>(page, "txtMaxElectricScale").text();
    EXPECT_TRUE(maxText.startsWith(QStringLiteral("180.0 ")) && maxText.endsWith(QStringLiteral("mV")))
        << maxText.toStdString();
    EXPECT_EQ(Child<QLabel>(page, "lblTitle").text(),
              QStringLiteral("Definition of input range and display range ..."));

    PageScript::Press(page, "cmdNext");
    EXPECT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
    EXPECT_FALSE(page.isVisible());

    const auto out = ScaleBack(page, QStringLiteral("CInOutScale"));
    EXPECT_EQ(out->ElectricDigitalPoint(), 1);
    EXPECT_EQ(out->MinElectricScale(), 100);
    EXPECT_EQ(out->MaxElectricScale(), 1800);
    EXPECT_EQ(out->MeasureDigitalPoint(), 2);
    EXPECT_EQ(out->MinMeasureScale(), -500);
    EXPECT_EQ(out->MaxMeasureScale(), 9000);
    EXPECT_EQ(out->Linearizzazione(), 1);
    EXPECT_EQ(out->DisplayDigit(), 1); // context values travel with the copy
    EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), 2);
    EXPECT_EQ(g_Scala->InizioScalaDisplay(), -500);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), 9000);
}

struct ScaleLimitCase {
    const char *what;
    QString name;
    std::int16_t model, slotA, measureType, displayDigit, function;
    std::int32_t electricDigitalPoint;
    std::int32_t electricMin, electricMax;
    std::int32_t measureMin, measureMax, measureStep, measureItems;
};

TEST_F(ScalePages, ScaleLimitsFollowTheContextAndTheScaleObjects)
{
    const QString a = QStringLiteral("CInOutScale");
    const QString f = QStringLiteral("CInOutScaleB");
    const std::vector<ScaleLimitCase> cases = {
        {"low signal, DC: symmetrical", a, 1, 0, 1, 0, 0, 1, -2000, 2000, -9999, 9999, 1, 4},
        {"low signal, TRMS", a, 1, 0, 0, 0, 0, 1, 0, 2000, -9999, 9999, 1, 4},
        {"model 0, 9990 display", a, 0, 0, 0, 1, 0, 1, 0, 1999, -9990, 9990, 10, 4},
        {"model 0, 1999 display", a, 0, 0, 0, 0, 0, 1, 0, 1999, -1999, 1999, 1, 4},
        {"model 3 frequency, factor 1", a, 3, 4, 0, 0, 0, 0x10000, 0, 50000, -999999, 999999, 1, 6},
        {"model 3 frequency, 2 decimals", a, 3, 4, 0, 0, 0, 0x10002, 0, 999999, -999999, 999999, 1, 6},
        {"model 1 frequency capped", a, 1, 4, 0, 0, 0, 0, 0, 9999, -9999, 9999, 1, 4},
        {"channel F on F1: its own input", f, 3, 5, 0, 0, 0, 0x10000, 0, 5000, -999999, 999999, 1, 6},
        {"channel F on F7: channel A's input", f, 3, 5, 0, 0, 6, 0x10000, 0, 50000, -999999, 999999, 1, 6},
    };
    for (const ScaleLimitCase &c : cases) {
        SCOPED_TRACE(c.what);
        g_Scala.Reset();
        g_ScalaB.Reset();
        if (c.slotA == 4 || c.slotA == 5) {
            g_Scala->SetLimitiScalaElettrica(c.model, c.slotA, 1, 0);   // 50 000.000 Hz before the cap
            g_ScalaB->SetLimitiScalaElettrica(c.model, c.slotA, 10, 0); // 5 000.000 Hz
        } else {
            g_Scala->SetLimitiScalaElettrica(c.model, c.slotA, 3, 0);
        }
        const auto in = ScaleObject(c.name, c.model, c.slotA);
        in->SetMeasureType(c.measureType);
        in->SetDisplayDigit(c.displayDigit);
        in->SetWPxFunction(c.function);
        in->SetElectricDigitalPoint(c.electricDigitalPoint);
        // Stored values far outside every limit come back at the limits.
        in->SetMinElectricScale(-2000000);
        in->SetMaxElectricScale(2000000);
        in->SetMinMeasureScale(-2000000);
        in->SetMaxMeasureScale(2000000);

        FWInOutScale page;
        ShowScale(page, *in);
        for (const char *spin : {"m_MinElectricScale", "m_MaxElectricScale"}) {
            EXPECT_EQ(Spin(page, spin).Min(), c.electricMin) << spin;
            EXPECT_EQ(Spin(page, spin).Max(), c.electricMax) << spin;
        }
        for (const char *spin : {"m_MinMeasureScale", "m_MaxMeasureScale"}) {
            EXPECT_EQ(Spin(page, spin).Min(), c.measureMin) << spin;
            EXPECT_EQ(Spin(page, spin).Max(), c.measureMax) << spin;
            EXPECT_EQ(Spin(page, spin).IncrementoMinimo(), c.measureStep) << spin;
        }
        EXPECT_EQ(Combo(page, "m_MeasureDigitalPoint").ListCount(), c.measureItems);

        PageScript::Press(page, "cmdNext");
        ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
        const auto out = ScaleBack(page, c.name);
        EXPECT_EQ(out->MinElectricScale(), c.electricMin);
        EXPECT_EQ(out->MaxElectricScale(), c.electricMax);
        EXPECT_EQ(out->MinMeasureScale(), c.measureMin);
        EXPECT_EQ(out->MaxMeasureScale(), c.measureMax);
    }
}

TEST_F(ScalePages, ScaleChannelFTitleAndFrequencyUnit)
{
    g_Scala->SetLimitiScalaElettrica(3, 4, 1, 0);
    g_ScalaB->SetLimitiScalaElettrica(3, 4, 10, 2); // rpm
    const auto in = ScaleObject(QStringLiteral("CInOutScaleB"), 3, 4);
    in->SetElectricDigitalPoint(0x10000);
    in->SetMaxElectricScale(1000);
    FWInOutScale page;
    ShowScale(page, *in);
    EXPECT_EQ(Child<QLabel>(page, "lblTitle").text(),
              QStringLiteral("Definition of input range and display range channel F..."));
    EXPECT_EQ(Spin(page, "m_MaxElectricScale").UnitaMisura(), g_ScalaB->UnitaMisuraScalaElettrica());
    EXPECT_EQ(Combo(page, "m_ElectricDigitalPoint").ListCount(), 6);
    EXPECT_TRUE(Combo(page, "m_ElectricDigitalPoint").Enabled());
}

struct LinearizationCase {
    const char *what;
    QString name;
    std::int16_t model, slotA, function;
    bool offered;
};

TEST_F(ScalePages, ScaleLinearizationOfferedOnlyWhereTheInputHasACurve)
{
    const QString a = QStringLiteral("CInOutScale");
    const QString f = QStringLiteral("CInOutScaleB");
    const std::vector<LinearizationCase> cases = {
        {"low signal, model 1", a, 1, 0, 0, true}, {"MVZ, model 2", a, 2, 6, 0, true},
        {"temperature", a, 1, 3, 0, false},        {"model 0, low signal", a, 0, 0, 0, false},
        {"frequency F9", a, 3, 4, 8, true},        {"frequency F10", a, 3, 4, 9, false},
        {"channel F, F1", f, 3, 4, 0, true},       {"channel F, F4", f, 3, 4, 3, false},
        {"channel F, F7", f, 3, 4, 6, true},
    };
    for (const LinearizationCase &c : cases) {
        SCOPED_TRACE(c.what);
        g_Scala.Reset();
        g_ScalaB.Reset();
        g_Scala->SetLimitiScalaElettrica(c.model, c.slotA, c.slotA == 4 ? 1 : 0, 0);
        if (c.slotA == 4)
            g_ScalaB->SetLimitiScalaElettrica(c.model, c.slotA, 10, 0);
        const auto in = ScaleObject(c.name, c.model, c.slotA);
        in->SetWPxFunction(c.function);
        in->SetLinearizzazione(1);
        in->SetMaxElectricScale(100);
        FWInOutScale page;
        ShowScale(page, *in);
        EXPECT_EQ(Child<COptionButton>(page, "m_Linearizzazione").EnabledGroup(), c.offered);
        PageScript::Press(page, "cmdNext");
        ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
        EXPECT_EQ(ScaleBack(page, c.name)->Linearizzazione(), c.offered ? 1 : 0);
    }
}

TEST_F(ScalePages, ScaleRefusesAnElectricalMaximumNotAboveTheMinimum)
{
    g_Scala->SetLimitiScalaElettrica(1, 0, 3, 0);
    struct Case {
        const char *what;
        std::int32_t min, max;
        const char *button;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"equal on Next", 500, 500, "cmdNext", true},
        {"below on Next", 600, 500, "cmdNext", true},
        {"one count above", 499, 500, "cmdNext", false},
        {"equal on End", 500, 500, "cmdEnd", true},
        {"equal on Back: no check", 500, 500, "cmdBack", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        g_Scala->SetScalaDisplay(0, 1, 2);
        const auto in = ScaleObject(QStringLiteral("CInOutScale"), 1, 0);
        in->SetElectricDigitalPoint(1);
        in->SetMinElectricScale(c.min);
        in->SetMaxElectricScale(c.max);
        in->SetMinMeasureScale(300);
        in->SetMaxMeasureScale(-300); // a downward display is accepted
        FWInOutScale page;
        pagetest::ShowToPress(page, *in, c.button);
        Spin(page, "m_MinMeasureScale").SetValue(123);
        BoxRecorder boxes;
        ASSERT_NO_FATAL_FAILURE(pagetest::PressForVerdict(page, c.button, c.refused, 797, boxes));
        if (c.refused) {
            EXPECT_EQ(boxes.styles[0] & MsgBoxStyle::Critical, MsgBoxStyle::Critical);
            EXPECT_EQ(page.ButtonRet(), FWizardPage::kButtonCancel);
            EXPECT_EQ(ScaleBack(page, QStringLiteral("CInOutScale"))->MinMeasureScale(), 300) << "nothing stored";
            page.reject();
        } else {
            const auto out = ScaleBack(page, QStringLiteral("CInOutScale"));
            EXPECT_EQ(out->MinElectricScale(), c.min);
            EXPECT_EQ(out->MinMeasureScale(), 123);
        }
        // Only a Next that passes publishes the displayed range.
        const bool published = !c.refused && std::string(c.button) == "cmdNext";
        EXPECT_EQ(g_Scala->FineScalaDisplay(), published ? -300 : 2);
    }
}

TEST_F(ScalePages, ScaleChannelFWithoutItsOwnInputSkipsTheElectricalCheck)
{
    g_Scala->SetLimitiScalaElettrica(3, 4, 1, 0);
    const auto in = ScaleObject(QStringLiteral("CInOutScaleB"), 3, 4);
    in->SetWPxFunction(2); // F3
    in->SetMinElectricScale(7);
    in->SetMaxElectricScale(7);
    in->SetMeasureDigitalPoint(0x10001);
    in->SetMinMeasureScale(10);
    in->SetMaxMeasureScale(900);
    FWInOutScale page;
    ShowScale(page, *in);
    EXPECT_FALSE(Child<QGroupBox>(page, "frmElettricScale").isEnabled());
    PageScript::Press(page, "cmdNext");
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
    // Channel F publishes on g_ScalaB and leaves channel A's display alone.
    EXPECT_EQ(g_ScalaB->DigitalPointScalaDisplay(), 0x10001);
    EXPECT_EQ(g_ScalaB->InizioScalaDisplay(), 10);
    EXPECT_EQ(g_ScalaB->FineScalaDisplay(), 900);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), 0);
}

TEST_F(ScalePages, ScaleDecimalPointNotAmongTheChoicesStoresTheFirstChoice)
{
    g_Scala->SetLimitiScalaElettrica(1, 4, 1, 0); // choices 0 to 3
    g_Scala->SetScalaDisplay(5, 5, 5);
    const auto in = ScaleObject(QStringLiteral("CInOutScale"), 1, 4);
    in->SetElectricDigitalPoint(0x10002); // a six-digit value on a four-digit instrument
    in->SetMeasureDigitalPoint(7);
    in->SetMaxElectricScale(10);
    FWInOutScale page;
    page.SetLastTab(true);
    ShowScale(page, *in);
    EXPECT_EQ(Child<QComboBox>(page, "cmbElettricDigitalPoint").currentIndex(), 0);
    PageScript::Press(page, "cmdEnd");
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonEnd);
    const auto out = ScaleBack(page, QStringLiteral("CInOutScale"));
    EXPECT_EQ(out->ElectricDigitalPoint(), 0);
    EXPECT_EQ(out->MeasureDigitalPoint(), 0);
    EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), 5) << "End publishes nothing";
}

// ---- linearisation page ---------------------------------------------------

constexpr auto CurveObject = PageObject<CLinearize>;
constexpr auto CurveBack = PageBack<CLinearize>;

CTextDigitSpin &In(FWLinearize &page, int i)
{
    return Child<CTextDigitSpin>(page, QStringLiteral("m_LinearizeIn%1").arg(i).toLatin1().constData());
}

CTextDigitSpin &Out(FWLinearize &page, int i)
{
    return Child<CTextDigitSpin>(page, QStringLiteral("m_LinearizeOut%1").arg(i).toLatin1().constData());
}

TEST_F(ScalePages, CurveRoundTripKeepsThePointsBeyondTheNumberOfPoints)
{
    g_Scala->SetLimitiScalaElettrica(1, 0, 3, 0); // " mV"
    g_Scala->SetScalaDisplay(1, 0, 5000);
    const auto in = CurveObject(QStringLiteral("CLinearize"), 1, 0);
    in->SetElectricDigitalPoint(1);
    in->SetMinElectricScale(0);
    in->SetMaxElectricScale(2000);
    in->SetNumSpezzate(4);
    const std::int32_t inputs[] = {0, 500, 500, 2000};
    const std::int32_t outputs[] = {5000, 10, 4000, 0};
    for (std::int16_t i = 0; i < 4; ++i) {
        in->SetCoordinateIn(i, inputs[i]);
        in->SetCoordinateOut(i, outputs[i]);
    }
    in->SetCoordinateIn(10, 77); // as read from an instrument
    in->SetCoordinateOut(15, 4321);

    FWLinearize page;
    page.SetData(*in);
    page.Show(0);
    EXPECT_TRUE(In(page, 3).Enabled());
    EXPECT_FALSE(In(page, 4).Enabled());
    EXPECT_FALSE(In(page, 10).Enabled());
    EXPECT_EQ(In(page, 10).Value(), 77);
    EXPECT_TRUE(Child<QLineEdit>(page, "txtLinearizeIn1").text().startsWith(QStringLiteral("50.0 ")));
    EXPECT_EQ(Child<QLineEdit>(page, "txtLinearizeOut2").text(), QStringLiteral("400.0"));

    PageScript::Press(page, "cmdNext");
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
    const auto out = CurveBack(page, QStringLiteral("CLinearize"));
    EXPECT_EQ(out->NumSpezzate(), 4);
    for (std::int16_t i = 0; i < 4; ++i) {
        EXPECT_EQ(out->CoordinateIn(i), inputs[i]) << i;
        EXPECT_EQ(out->CoordinateOut(i), outputs[i]) << i;
    }
    EXPECT_EQ(out->CoordinateIn(10), 77);
    EXPECT_EQ(out->CoordinateOut(15), 4321);
    EXPECT_EQ(out->MaxElectricScale(), 2000);
}

struct CurveLimitCase {
    const char *what;
    QString name;
    std::int16_t model, slotA, displayDigit;
    std::int32_t outMin, outMax, outStep;
    const char *outFormat;
};

TEST_F(ScalePages, CurveLimitsComeFromTheChannelsDisplayedScale)
{
    const QString a = QStringLiteral("CLinearize");
    const QString f = QStringLiteral("CLinearizeB");
    const std::vector<CurveLimitCase> cases = {
        {"channel A", a, 1, 0, 0, 100, 1800, 1, "#0.00"},
        {"channel A, 9990 display", a, 0, 0, 1, 100, 1800, 10, "#0.00"},
        // The 9990 display exists on model 0's own inputs only: a choice the
        // display page kept from them does not reach a frequency module.
        {"channel A, frequency module on model 0", a, 0, 4, 1, 100, 1800, 1, "#0.00"},
        {"channel F on model 3: g_ScalaB, inverted", f, 3, 4, 0, -40000, 300000, 1, "####0.0"},
        {"channel F elsewhere: g_Scala", f, 1, 4, 0, 100, 1800, 1, "#0.00"},
    };
    for (const CurveLimitCase &c : cases) {
        SCOPED_TRACE(c.what);
        g_Scala->SetLimitiScalaElettrica(1, 0, 3, 0);
        g_Scala->SetScalaDisplay(2, 100, 1800);
        g_ScalaB->SetScalaDisplay(0x10001, 300000, -40000);
        const auto in = CurveObject(c.name, c.model, c.slotA);
        in->SetDisplayDigit(c.displayDigit);
        in->SetElectricDigitalPoint(3);
        in->SetMinElectricScale(-250);
        in->SetMaxElectricScale(750);
        in->SetNumSpezzate(2);
        in->SetCoordinateIn(0, -9000); // below the electrical range
        in->SetCoordinateIn(1, 9000);  // above it
        in->SetCoordinateOut(0, -900000);
        in->SetCoordinateOut(1, 900000);

        FWLinearize page;
        page.SetData(*in);
        page.Show(0);
        for (int i : {0, 15}) {
            EXPECT_EQ(Out(page, i).Min(), c.outMin);
            EXPECT_EQ(Out(page, i).Max(), c.outMax);
            EXPECT_LE(Out(page, i).Min(), Out(page, i).Max());
            EXPECT_EQ(Out(page, i).IncrementoMinimo(), c.outStep);
            EXPECT_EQ(Out(page, i).DataFormat(), QString::fromLatin1(c.outFormat));
            EXPECT_EQ(In(page, i).Min(), -250);
            EXPECT_EQ(In(page, i).Max(), 750);
            EXPECT_EQ(In(page, i).IncrementoMinimo(), 1);
            EXPECT_EQ(In(page, i).DataFormat(), QStringLiteral("0.000"));
            EXPECT_EQ(In(page, i).UnitaMisura(), g_Scala->UnitaMisuraScalaElettrica());
        }
        PageScript::Press(page, "cmdNext");
        ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
        const auto out = CurveBack(page, c.name);
        EXPECT_EQ(out->CoordinateIn(0), -250);
        EXPECT_EQ(out->CoordinateIn(1), 750);
        EXPECT_EQ(out->CoordinateOut(0), c.outMin);
        EXPECT_EQ(out->CoordinateOut(1), c.outMax);
    }
}

TEST_F(ScalePages, CurveRefusesInputsThatFallWithinTheNumberOfPoints)
{
    g_Scala->SetScalaDisplay(0, 0, 1000);
    struct Case {
        const char *what;
        std::int16_t points;
        std::vector<std::int32_t> inputs;
        const char *button;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"equal neighbours pass", 3, {100, 100, 200}, "cmdNext", false},
        {"a falling pair is refused", 2, {200, 100}, "cmdNext", true},
        {"the last pair counts", 4, {0, 10, 20, 15}, "cmdNext", true},
        {"points beyond the number are not compared", 2, {0, 10, 5, 1}, "cmdNext", false},
        {"End checks too", 2, {200, 100}, "cmdEnd", true},
        {"Back stores without the check", 2, {200, 100}, "cmdBack", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto in = CurveObject(QStringLiteral("CLinearize"), 1, 0);
        in->SetMinElectricScale(-1000);
        in->SetMaxElectricScale(1000);
        in->SetNumSpezzate(c.points);
        for (std::size_t i = 0; i < c.inputs.size(); ++i)
            in->SetCoordinateIn(static_cast<std::int16_t>(i), c.inputs[i]);
        FWLinearize page;
        pagetest::ShowToPress(page, *in, c.button);
        BoxRecorder boxes;
        ASSERT_NO_FATAL_FAILURE(pagetest::PressForVerdict(page, c.button, c.refused, 798, boxes));
        if (c.refused) {
            page.reject();
        } else {
            const auto out = CurveBack(page, QStringLiteral("CLinearize"));
            for (std::size_t i = 0; i < c.inputs.size(); ++i)
                EXPECT_EQ(out->CoordinateIn(static_cast<std::int16_t>(i)), c.inputs[i]) << i;
        }
    }
}

TEST_F(ScalePages, CurveChangingTheNumberOfPointsZeroesThePointsThatDropOut)
{
    g_Scala->SetScalaDisplay(0, 0, 1000);
    const auto in = CurveObject(QStringLiteral("CLinearize"), 1, 0);
    in->SetMinElectricScale(0);
    in->SetMaxElectricScale(1000);
    in->SetNumSpezzate(5);
    for (std::int16_t i = 0; i < 5; ++i) {
        in->SetCoordinateIn(i, 100 * (i + 1));
        in->SetCoordinateOut(i, 50 * (i + 1));
    }
    FWLinearize page;
    page.SetData(*in);
    page.Show(0);
    CComboBox &points = Combo(page, "m_NumSpezzate");
    points.SetItemData(3);
    EXPECT_EQ(In(page, 3).Value(), 0);
    EXPECT_EQ(Out(page, 4).Value(), 0);
    EXPECT_FALSE(In(page, 3).Enabled());
    points.SetItemData(5); // raised again: the dropped points come back as 0
    EXPECT_TRUE(In(page, 4).Enabled());
    EXPECT_EQ(In(page, 4).Value(), 0);
    EXPECT_EQ(In(page, 2).Value(), 300);
    // Point 3's input 0 now lies below point 2's 300: the check refuses.
    {
        BoxRecorder boxes;
        PageScript::Press(page, "cmdNext");
        EXPECT_EQ(boxes.texts.size(), 1u);
    }
    points.SetItemData(3);
    PageScript::Press(page, "cmdNext");
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
    const auto out = CurveBack(page, QStringLiteral("CLinearize"));
    EXPECT_EQ(out->NumSpezzate(), 3);
    EXPECT_EQ(out->CoordinateIn(2), 300);
    EXPECT_EQ(out->CoordinateIn(3), 0);
    EXPECT_EQ(out->CoordinateOut(4), 0);
}

TEST_F(ScalePages, CurveStoredValuesOutsideTheirTablesNeitherStopThePageNorSurvive)
{
    // A number of points outside 2..16 selects "2"; a decimal point outside
    // the tables (no road in takes one, so only a fault of the program could
    // hand it over) is traced and shows the inputs without decimals instead
    // of ending the showing.
    TraceCapture trace;
    g_Scala->SetScalaDisplay(0, 0, 1000);
    const auto in = CurveObject(QStringLiteral("CLinearize"), 1, 0);
    in->SetNumSpezzate(40);
    in->SetElectricDigitalPoint(9);
    in->SetMinElectricScale(0);
    in->SetMaxElectricScale(1000);
    FWLinearize page;
    page.SetData(*in);
    page.Show(0);
    EXPECT_EQ(Child<QComboBox>(page, "cmbNumSpezzate").currentText(), QStringLiteral("2"));
    EXPECT_EQ(In(page, 0).DataFormat(), QStringLiteral("###0"));
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Punto decimale non previsto sulla pagina: 9")));
    PageScript::Press(page, "cmdNext");
    ASSERT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
    const auto out = CurveBack(page, QStringLiteral("CLinearize"));
    EXPECT_EQ(out->NumSpezzate(), 2);
    EXPECT_EQ(out->ElectricDigitalPoint(), 9) << "the context value is not the page's to change";
}

} // namespace
