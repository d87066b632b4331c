// The analogue output page (FWAnalogOut), the digital filter page
// (FWFiltroDigitale) and the serial module page (FWSerialComm): values
// through the controls and back, the limits each page derives, and the
// channel rule of the analogue output.
#include "CAnalogOut.h"
#include "CFiltroDigitale.h"
#include "COptionButton.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
#include "CTextDigitSpin.h"
#include "FWAnalogOut.h"
#include "FWFiltroDigitale.h"
#include "FWSerialComm.h"
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

#include <vector>

namespace {

using pagetest::Child;
using pagetest::ClickArrow;
using pagetest::ShowAndStore;
using pagetest::Text;

class OutputPages : public paramtest::FreshScales {};

} // namespace

TEST_F(OutputPages, AnalogueOutputShowsAndStoresItsValues)
{
    struct Case {
        const char *name;
        std::int16_t model, function, channel, minOut, maxOut, type;
        bool channelShown, channelEnabled;
        const char *minText, *maxText;
        std::int16_t savedChannel, savedMin, savedMax;
    };
    const std::vector<Case> cases = {
        {"model 3, channel F", 3, 0, 1, 255, 1000, 1, true, true, "25.5 %", "100.0 %", 1, 255, 1000},
        // A minimum above the maximum is accepted as it is.
        {"model 3, minimum above maximum", 3, 2, 0, 1000, 0, 0, true, true, "100.0 %", "0.0 %", 0, 1000, 0},
        // F7: the frame is shown but disabled and channel A is stored->
        {"model 3, F7", 3, 6, 1, 0, 500, 0, true, false, "0.0 %", "50.0 %", 0, 0, 500},
        // Without the channel frame the stored channel is kept.
        {"model 1, channel kept", 1, 0, 1, 0, 1000, 1, false, true, "0.0 %", "100.0 %", 1, 0, 1000},
        {"out of 0 to 1000: at the nearest limit", 0, 0, 0, -5, 1200, 0, false, true, "0.0 %", "100.0 %", 0, 0, 1000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CAnalogOut source;
        source.SetModelloStrumento(c.model);
        source.SetWPxFunction(c.function);
        source.SetChannel(c.channel);
        source.SetMinOut(c.minOut);
        source.SetMaxOut(c.maxOut);
        source.SetTypeSignalOut(c.type);
        FWAnalogOut page;
        const auto stored = ShowAndStore<CAnalogOut>(page, source, [&](FWizardPage &p) {
            EXPECT_EQ(Child<QLabel>(p, "lblTitle").text(),
                      QStringLiteral("Parameter setting of analogue output signal..."));
            EXPECT_EQ(Child<QRadioButton>(p, "optTypeSignalOut1").text(), QStringLiteral("Current 0-20 mA"));
            auto &frame = Child<QGroupBox>(p, "frmChannel");
            EXPECT_EQ(frame.isVisible(), c.channelShown);
            EXPECT_EQ(frame.isEnabled(), c.channelEnabled);
            EXPECT_EQ(Child<QComboBox>(p, "cmbChannel").currentText(),
                      c.savedChannel == 0 ? QStringLiteral("Channel A") : QStringLiteral("Channel F"));
            EXPECT_EQ(Text(p, "txtMinOut"), QString::fromUtf8(c.minText));
            EXPECT_EQ(Text(p, "txtMaxOut"), QString::fromUtf8(c.maxText));
            EXPECT_TRUE(Child<QRadioButton>(p, c.type == 0 ? "optTypeSignalOut0" : "optTypeSignalOut1").isChecked());
        });
        EXPECT_EQ(stored->Channel(), c.savedChannel);
        EXPECT_EQ(stored->MinOut(), c.savedMin);
        EXPECT_EQ(stored->MaxOut(), c.savedMax);
        EXPECT_EQ(stored->TypeSignalOut(), c.type);
    }
}

// Campo is a percentage for the frequency/counter modules and a band of the
// displayed scale of channel A for every other input.
TEST_F(OutputPages, FilterRangeFollowsTheModuleAndTheDisplayScale)
{
    struct Case {
        const char *name;
        std::int16_t model, slotA, displayDigit;
        std::int32_t dp, start, end;
        std::int16_t campo, coeff;
        std::int32_t campoMax;
        std::int16_t step;
        const char *campoText;
        std::int16_t savedCampo, savedCoeff;
    };
    const std::vector<Case> cases = {
        {"frequency module, 100 %", 1, 4, 0, 1, -500, 1500, 1000, 8, 1000, 1, "100.0 %", 1000, 8},
        {"frequency module, 0 %", 3, 5, 0, 0, 0, 10, 0, 32, 1000, 1, "0.0 %", 0, 32},
        {"model 1, -50.0 to 150.0", 1, 0, 0, 1, -500, 1500, 2500, 0, 2000, 1, "200.0", 2000, 1},
        {"inverted scale, same span", 1, 2, 0, 1, 1500, -500, 125, 4, 2000, 1, "12.5", 125, 4},
        {"model 0, 1999 display", 0, 0, 0, 0, 0, 1999, 3000, 0, 1999, 1, "1999", 1999, 1},
        {"model 0, 9990 display: steps of 10", 0, 3, 1, 0, 0, 9990, 500, 40, 9990, 10, "500", 500, 32},
        {"model 2: capped at 9999", 2, 0, 0, 2, -9999, 9999, 20000, 2, 9999, 1, "99.99", 9999, 2},
        // Wider than 16 bits (not reachable through the scale page): capped
        // like any other span.
        {"span beyond 16 bits", 3, 6, 0, 0, -999999, 999999, 9999, 2, 9999, 1, "9999", 9999, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        g_Scala->SetScalaDisplay(c.dp, c.start, c.end);
        CFiltroDigitale source;
        source.SetModelloStrumento(c.model);
        source.SetSlotA(c.slotA);
        source.SetDisplayDigit(c.displayDigit);
        source.SetCampo(c.campo);
        source.SetCoeff(c.coeff);
        FWFiltroDigitale page;
        const auto stored = ShowAndStore<CFiltroDigitale>(page, source, [&](FWizardPage &p) {
            EXPECT_EQ(Child<QLabel>(p, "lblTitle").text(), QStringLiteral("Digital filter setting..."));
            EXPECT_EQ(Child<QLabel>(p, "Label5").text(), QStringLiteral("Filter operating range:"));
            auto &campo = Child<CTextDigitSpin>(p, "m_Campo");
            EXPECT_EQ(campo.Min(), 0);
            EXPECT_EQ(campo.Max(), c.campoMax);
            EXPECT_EQ(campo.IncrementoMinimo(), c.step);
            EXPECT_EQ(Text(p, "txtCampo"), QString::fromLatin1(c.campoText));
            EXPECT_EQ(Child<CTextDigitSpin>(p, "m_Coeff").Min(), 1);
            EXPECT_EQ(Child<CTextDigitSpin>(p, "m_Coeff").Max(), 32);
        });
        EXPECT_EQ(stored->Campo(), c.savedCampo);
        EXPECT_EQ(stored->Coeff(), c.savedCoeff);
    }
}

TEST_F(OutputPages, FilterShownAgainAfterAModuleChangeTakesTheNewModulesRange)
{
    g_Scala->SetScalaDisplay(0, 0, 9990);
    CFiltroDigitale source;
    source.SetModelloStrumento(0);
    source.SetSlotA(0);
    source.SetDisplayDigit(1);
    source.SetCampo(5000);
    FWFiltroDigitale page;
    ShowAndStore<CFiltroDigitale>(page, source,
                                  [](FWizardPage &p) { EXPECT_EQ(Text(p, "txtCampo"), QStringLiteral("5000")); });

    source.SetSlotA(4);
    source.SetCampo(999);
    const auto stored = ShowAndStore<CFiltroDigitale>(page, source, [](FWizardPage &p) {
        auto &campo = Child<CTextDigitSpin>(p, "m_Campo");
        EXPECT_EQ(campo.Max(), 1000);
        EXPECT_EQ(campo.IncrementoMinimo(), 1);
        EXPECT_EQ(Text(p, "txtCampo"), QStringLiteral("99.9 %"));
    });
    EXPECT_EQ(stored->Campo(), 999);
}

TEST_F(OutputPages, SerialModuleShowsAndStoresAddressAndBaudRate)
{
    struct Case {
        const char *name;
        std::int16_t address, baud;
        bool stepUp; // one click on an arrow, or none
        bool click;
        std::int16_t savedAddress, savedBaud;
    };
    const std::vector<Case> cases = {
        {"19200 baud", 17, 2, false, false, 17, 2},
        {"255 steps up to 1", 255, 3, true, true, 1, 3},
        {"1 steps down to 255", 1, 0, false, true, 255, 0},
        {"address 0 at the lower limit", 0, 1, false, false, 1, 1},
        {"address 300 at the upper limit", 300, 1, false, false, 255, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CSerialComm source;
        source.SetNetworkAdd(c.address);
        source.SetBaudRate(c.baud);
        FWSerialComm page;
        const auto stored = ShowAndStore<CSerialComm>(page, source, [&](FWizardPage &p) {
            EXPECT_EQ(Child<QLabel>(p, "lblTitle").text(),
                      QStringLiteral("Setting the parameters of the serial module..."));
            EXPECT_EQ(Child<QRadioButton>(p, "optBaudRate2").text(), QStringLiteral("19200"));
            for (int i = 0; i < 4; ++i) {
                const QByteArray name = "optBaudRate" + QByteArray::number(i);
                EXPECT_EQ(Child<QRadioButton>(p, name.constData()).isChecked(), i == c.baud) << i;
            }
            if (c.click)
                ClickArrow(p, "UpDown1", c.stepUp);
        });
        EXPECT_EQ(stored->NetworkAdd(), c.savedAddress);
        EXPECT_EQ(stored->BaudRate(), c.savedBaud);
    }
}
