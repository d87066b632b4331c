#include "CCommConfig.h"
#include "CWizardTabs.h"
#include "FWCommConfig.h"
#include "FWFinalSetupMessage.h"
#include "WizardTestSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QRadioButton *option(FWizardPage &p, int i)
{
    return p.findChild<QRadioButton *>(QStringLiteral("optInterfaceType%1").arg(i));
}

QComboBox *ports(FWizardPage &p)
{
    return p.findChild<QComboBox *>(QStringLiteral("cmbComPort"));
}

} // namespace

TEST(CommPage, ShowsEditsAndStoresTheSettings)
{
    struct Case {
        const char *name;
        std::int16_t action;
        std::int16_t storedPort, storedInterface;
        int shownPort;               // selected combo index (-1 none)
        int shownInterface;          // option switched on
        int pickPort, pickInterface; // -1: leave as shown
        std::int16_t savedPort, savedInterface;
    };
    const Case cases[] = {
        {"network on COM10 changed to COM3, single instrument", 0, 9, 2, 9, 2, 2, 1, 2, 1},
        {"auxiliary kept", 0, 0, 0, 0, 0, -1, -1, 0, 0},
        {"live view: auxiliary cannot be chosen", 1, 1, 0, 1, 1, -1, -1, 1, 1},
        {"live view: network kept", 1, 4, 2, 4, 2, -1, -1, 4, 2},
        // A port outside COM1..COM10 (from the settings store) selects
        // nothing and is kept until the user picks one.
        {"stored port out of the list", 0, 12, 1, -1, 1, -1, -1, 12, 1},
        {"stored port out of the list, then picked", 0, -1, 1, -1, 1, 5, -1, 5, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CCommConfig config;
        config.SetComPort(c.storedPort);
        config.SetInterfaceType(c.storedInterface);
        FWCommConfig page;
        page.SetAction(c.action);
        CWizardTabs driver;
        driver.Add(page, &config);
        PageScript script;
        script.Then([&](FWizardPage &p) {
            EXPECT_EQ(p.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                      QStringLiteral("Setting of communication parameters..."));
            EXPECT_EQ(p.findChild<QGroupBox *>(QStringLiteral("ComPort"))->title(),
                      QStringLiteral("Communication port"));
            EXPECT_EQ(p.findChild<QGroupBox *>(QStringLiteral("InterfaceType"))->title(),
                      QStringLiteral("Connection type and modes"));
            EXPECT_EQ(option(p, 0)->text(), QStringLiteral("Auxiliary RS 232"));
            EXPECT_EQ(option(p, 1)->text(), QStringLiteral("The PC is connected to a single instrument"));
            EXPECT_EQ(option(p, 2)->text(), QStringLiteral("The PC is connected to a network of instruments"));
            QStringList items;
            for (int i = 0; i < ports(p)->count(); ++i)
                items << ports(p)->itemText(i);
            EXPECT_EQ(items,
                      (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9", "COM10"}));

            EXPECT_EQ(ports(p)->currentIndex(), c.shownPort);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(option(p, i)->isChecked(), i == c.shownInterface) << i;
            EXPECT_EQ(option(p, 0)->isEnabled(), c.action == 0);

            if (c.pickPort >= 0)
                ports(p)->setCurrentIndex(c.pickPort);
            if (c.pickInterface >= 0)
                option(p, c.pickInterface)->click();
            PageScript::Press(p, "cmdDialogOk");
        });
        ASSERT_EQ(driver.Start(), 0);
        EXPECT_EQ(config.ComPort(), c.savedPort);
        EXPECT_EQ(config.InterfaceType(), c.savedInterface);
    }
}

TEST(CommPage, CancelAndTheCloseBoxStoreNothing)
{
    for (const char *how : {"cmdDialogCancel", "close"}) {
        SCOPED_TRACE(how);
        CCommConfig config;
        config.SetComPort(3);
        config.SetInterfaceType(1);
        FWCommConfig page;
        CWizardTabs driver;
        driver.Add(page, &config);
        PageScript script;
        script.Then([&](FWizardPage &p) {
            ports(p)->setCurrentIndex(7);
            option(p, 2)->click();
            if (QLatin1String(how) == QLatin1String("close"))
                p.close();
            else
                PageScript::Press(p, how);
        });
        EXPECT_EQ(driver.Start(), 1);
        EXPECT_EQ(config.ComPort(), 3);
        EXPECT_EQ(config.InterfaceType(), 1);
        // Shown again, the page shows its working copy, not the discarded edits.
        script.Then([](FWizardPage &p) {
            EXPECT_EQ(ports(p)->currentIndex(), 3);
            EXPECT_TRUE(option(p, 1)->isChecked());
            PageScript::Press(p, "cmdDialogCancel");
        });
        page.Show(1);
    }
}

// The connection wizard's shape: the communication page, then the closing
// page of a connection wizard.
TEST(CommPage, ConnectionWizardWithClosingPage)
{
    CCommConfig config;
    FWCommConfig comm;
    FWFinalSetupMessage closing;
    closing.SetAction(1);
    CWizardTabs driver;
    driver.Add(comm, &config);
    driver.Add(closing);
    PageScript script;
    script.Then([](FWizardPage &p) {
        EXPECT_FALSE(p.findChild<QPushButton *>(QStringLiteral("cmdBack"))->isEnabled());
        ports(p)->setCurrentIndex(0);
        option(p, 2)->click();
        PageScript::Press(p, "cmdNext");
    });
    script.Then([](FWizardPage &p) {
        EXPECT_EQ(p.objectName(), QStringLiteral("FWFinalSetupMessage"));
        EXPECT_EQ(p.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                  QStringLiteral("End of communication parameters setting !."));
        auto *end = p.findChild<QPushButton *>(QStringLiteral("cmdEnd"));
        EXPECT_TRUE(end->isEnabled());
        EXPECT_TRUE(end->isDefault());
        EXPECT_TRUE(p.findChild<QPushButton *>(QStringLiteral("cmdBack"))->isEnabled());
        EXPECT_FALSE(p.findChild<QPushButton *>(QStringLiteral("cmdNext"))->isEnabled());
        EXPECT_FALSE(p.findChild<QLabel *>(QStringLiteral("picOxa"))->pixmap().isNull());
        QTest::keyClick(&p, Qt::Key_Return); // Enter finishes the wizard
    });
    EXPECT_EQ(driver.Start(), 0);
    EXPECT_EQ(config.ComPort(), 0);
    EXPECT_EQ(config.InterfaceType(), 2);
}

TEST(ClosingPage, SentenceByActionAndTitle)
{
    struct Case {
        std::int16_t action;
        const char *sentence;
    };
    for (const Case c : {Case{0, "End of programming !!"}, Case{1, "End of communication parameters setting !."},
                         Case{3, "End of programming !!"}}) {
        SCOPED_TRACE(c.action);
        FWFinalSetupMessage page;
        page.SetAction(c.action);
        page.SetLastTab(true);
        PageScript script;
        script.Then([&](FWizardPage &p) {
            auto *title = p.findChild<QLabel *>(QStringLiteral("lblTitle"));
            EXPECT_EQ(title->text(), QString::fromLatin1(c.sentence));
            // Title replaces the sentence until the next load.
            page.SetTitle(QStringLiteral("Done"));
            EXPECT_EQ(title->text(), QStringLiteral("Done"));
            PageScript::Press(p, "cmdEnd");
        });
        script.Then([&](FWizardPage &p) {
            EXPECT_EQ(p.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QString::fromLatin1(c.sentence));
            PageScript::Press(p, "cmdCancel");
        });
        page.Show(1);
        EXPECT_EQ(page.ButtonRet(), 0);
        page.Show(1);
        EXPECT_EQ(page.ButtonRet(), 1);
    }
}
