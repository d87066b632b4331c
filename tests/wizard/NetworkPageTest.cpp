// The network page (FWNetworkAddMsgSetup): which choices the interface type
// and the wizard's action leave open, the values stored on leaving (enabled
// or not), the user's choices and the page's own button enabling.
#include "CNetworkAddMsgSetup.h"
#include "FWNetworkAddMsgSetup.h"
#include "UpDownControl.h"
#include "WizardTestSupport.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using pagetest::Child;
using pagetest::ClickArrow;
using pagetest::ShowAndStore;

bool Enabled(QObject &page, const char *name)
{
    return Child<QWidget>(page, name).isEnabled();
}

bool Checked(QObject &page, const char *name)
{
    return Child<QRadioButton>(page, name).isChecked();
}

struct Stored {
    std::int16_t mode, sel, address, count;
};

std::unique_ptr<CNetworkAddMsgSetup> MakeSetup(std::int16_t interfaceType, const Stored &s)
{
    auto setup = std::make_unique<CNetworkAddMsgSetup>();
    setup->SetInterfaceType(interfaceType);
    setup->SetModeConfig(s.mode);
    setup->SetSelNetworkAdd(s.sel);
    setup->SetNetworkAdd(s.address);
    setup->SetTotalInstrNetwork(s.count);
    return setup;
}

} // namespace

TEST(NetworkPage, InterfaceTypeAndActionDecideTheChoices)
{
    struct Given {
        std::int16_t action, interfaceType;
        Stored stored;
    };
    struct Expected {
        // enabled: single, network, automatic, manual, address, count
        bool single, network, automatic, manual, address, count;
        Stored saved;
    };
    struct Case {
        const char *name;
        Given given;
        Expected expected;
    };
    const std::vector<Case> cases = {
        {"RS232 transfer", {0, 1, {0, 0, 17, 12}}, {true, false, true, true, false, false, {0, 0, 17, 12}}},
        // The network cannot be chosen on RS232: the selection moves to the
        // single instrument and the address given by hand stays.
        {"RS232 transfer, network stored",
         {0, 1, {1, 1, 17, 12}},
         {true, false, true, true, true, false, {0, 1, 17, 12}}},
        // No automatic detection on RS485: the address is given by hand.
        {"RS485 transfer, single instrument",
         {0, 2, {0, 0, 17, 12}},
         {true, true, false, true, true, false, {0, 1, 17, 12}}},
        // The whole network: no address group, the count; the address shown
        // is stored although disabled.
        {"RS485 transfer, network", {0, 2, {1, 0, 17, 12}}, {true, true, false, false, false, true, {1, 0, 17, 12}}},
        // Modify instrument parameters (interface plus 3): one instrument at
        // an address given by hand.
        {"modify instrument parameters",
         {0, 5, {1, 0, 17, 12}},
         {true, false, false, true, true, false, {0, 1, 17, 12}}},
        {"live view, RS232", {1, 1, {1, 0, 0, 300}}, {true, false, true, true, false, false, {0, 0, 1, 255}}},
        {"live view, RS232, manual", {1, 1, {0, 1, 200, 5}}, {true, false, true, true, true, false, {0, 1, 200, 5}}},
        {"live view, RS485", {1, 2, {0, 1, 9, 40}}, {false, true, false, false, false, true, {1, 1, 9, 40}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Given &g = c.given;
        const Expected &e = c.expected;
        FWNetworkAddMsgSetup page;
        page.SetAction(g.action);
        const auto stored = ShowAndStore(page, *MakeSetup(g.interfaceType, g.stored), [&](FWizardPage &p) {
            EXPECT_EQ(Enabled(p, "optConfigSingleInstr"), e.single);
            EXPECT_EQ(Enabled(p, "optConfigNetworkInstr"), e.network);
            EXPECT_EQ(Enabled(p, "optAutomatic"), e.automatic);
            EXPECT_EQ(Enabled(p, "optManual"), e.manual);
            EXPECT_EQ(Enabled(p, "txtNetworkAdd"), e.address);
            EXPECT_EQ(Enabled(p, "txtTotalInstrNetwork"), e.count);
            EXPECT_EQ(Enabled(p, "frmTotalInstrNetwork"), e.count);
            EXPECT_EQ(Checked(p, "optConfigNetworkInstr"), e.saved.mode == 1);
            EXPECT_EQ(Checked(p, "optManual"), e.saved.sel == 1);
            EXPECT_EQ(Child<QLineEdit>(p, "txtNetworkAdd").text(), QString::number(e.saved.address));
        });
        EXPECT_EQ(stored->ModeConfig(), e.saved.mode);
        EXPECT_EQ(stored->SelNetworkAdd(), e.saved.sel);
        EXPECT_EQ(stored->NetworkAdd(), e.saved.address);
        EXPECT_EQ(stored->TotalInstrNetwork(), e.saved.count);
        EXPECT_EQ(stored->InterfaceType(), g.interfaceType);
    }
}

TEST(NetworkPage, TheUsersChoicesMoveTheEnabling)
{
    FWNetworkAddMsgSetup page;
    const auto stored = ShowAndStore(page, *MakeSetup(2, {0, 1, 255, 255}), [](FWizardPage &p) {
        EXPECT_EQ(Child<QLabel>(p, "lblTitle").text(),
                  QStringLiteral("Indication of network address and warning messages"));
        EXPECT_EQ(Child<QLabel>(p, "Label3").text(), QStringLiteral("Press the 'Next' key."));
        EXPECT_EQ(Child<QLabel>(p, "Label6").text(), QStringLiteral("3"));
        // Both spins wrap from 255 to 1.
        ClickArrow(p, "UpDown1", true);
        EXPECT_EQ(Child<QLineEdit>(p, "txtNetworkAdd").text(), QStringLiteral("1"));
        Child<QRadioButton>(p, "optConfigNetworkInstr").click();
        EXPECT_FALSE(Enabled(p, "frmSelNetworkAdd"));
        EXPECT_FALSE(Enabled(p, "txtNetworkAdd"));
        EXPECT_TRUE(Enabled(p, "txtTotalInstrNetwork"));
        ClickArrow(p, "UpDown2", true);
        EXPECT_EQ(Child<QLineEdit>(p, "txtTotalInstrNetwork").text(), QStringLiteral("1"));
        Child<QRadioButton>(p, "optConfigSingleInstr").click();
        EXPECT_TRUE(Enabled(p, "frmSelNetworkAdd"));
        EXPECT_FALSE(Enabled(p, "optAutomatic"));
        EXPECT_TRUE(Enabled(p, "txtNetworkAdd"));
        EXPECT_FALSE(Enabled(p, "txtTotalInstrNetwork"));
    });
    EXPECT_EQ(stored->ModeConfig(), 0);
    EXPECT_EQ(stored->SelNetworkAdd(), 1);
    EXPECT_EQ(stored->NetworkAdd(), 1);
    EXPECT_EQ(stored->TotalInstrNetwork(), 1);

    // On RS232 the automatic detection disables the address.
    FWNetworkAddMsgSetup rs232;
    ShowAndStore(rs232, *MakeSetup(1, {0, 1, 10, 10}), [](FWizardPage &p) {
        EXPECT_TRUE(Enabled(p, "txtNetworkAdd"));
        Child<QRadioButton>(p, "optAutomatic").click();
        EXPECT_FALSE(Enabled(p, "txtNetworkAdd"));
    });
}

TEST(NetworkPage, ButtonsFollowThePagesPlace)
{
    struct Case {
        const char *name;
        std::int32_t formType;
        bool first, last;
        bool end, back, next;
        const char *defaultButton;
    };
    const std::vector<Case> cases = {
        {"first page", 1, true, false, false, false, true, "cmdNext"},
        {"last page", 1, false, true, true, true, false, "cmdEnd"},
        {"between", 1, false, false, false, true, true, "cmdNext"},
        {"alone as a dialog", 0, false, false, false, true, true, "cmdDialogOk"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FWNetworkAddMsgSetup page;
        page.SetFormType(c.formType);
        page.SetFirstTab(c.first);
        page.SetLastTab(c.last);
        page.SetData(*MakeSetup(1, {0, 0, 1, 1}));
        PageScript script;
        script.Then([&](FWizardPage &p) {
            if (c.formType == 1) {
                EXPECT_EQ(Enabled(p, "cmdEnd"), c.end);
                EXPECT_EQ(Enabled(p, "cmdBack"), c.back);
                EXPECT_EQ(Enabled(p, "cmdNext"), c.next);
            }
            for (const char *name : {"cmdEnd", "cmdNext", "cmdDialogOk"})
                EXPECT_EQ(Child<QPushButton>(p, name).isDefault(),
                          QLatin1String(name) == QLatin1String(c.defaultButton))
                    << name;
            PageScript::Press(p, "cmdCancel");
            PageScript::Press(p, "cmdDialogCancel");
        });
        page.Show(1);
        EXPECT_EQ(page.ButtonRet(), FWizardPage::kButtonCancel);
    }
}

// Shown again with another interface (the user went back and changed the
// connection), the page applies the new interface's rules, whatever the
// previous showing left selected or disabled.
TEST(NetworkPage, ShownAgainTheRulesOfTheNewInterfaceHold)
{
    FWNetworkAddMsgSetup page;
    ShowAndStore(page, *MakeSetup(1, {0, 0, 7, 3}), [](FWizardPage &p) {
        EXPECT_TRUE(Enabled(p, "optAutomatic"));
        EXPECT_FALSE(Enabled(p, "optConfigNetworkInstr"));
    });
    auto stored = ShowAndStore(page, *MakeSetup(2, {0, 0, 7, 3}), [](FWizardPage &p) {
        EXPECT_FALSE(Enabled(p, "optAutomatic"));
        EXPECT_TRUE(Checked(p, "optManual"));
        EXPECT_TRUE(Enabled(p, "optConfigNetworkInstr"));
        Child<QRadioButton>(p, "optConfigNetworkInstr").click();
    });
    EXPECT_EQ(stored->ModeConfig(), 1);
    stored = ShowAndStore(page, *MakeSetup(2, {1, 1, 7, 3}), [](FWizardPage &p) {
        EXPECT_TRUE(Checked(p, "optConfigNetworkInstr"));
        EXPECT_TRUE(Enabled(p, "txtTotalInstrNetwork"));
        EXPECT_FALSE(Enabled(p, "txtNetworkAdd"));
    });
    EXPECT_EQ(stored->ModeConfig(), 1);
}
