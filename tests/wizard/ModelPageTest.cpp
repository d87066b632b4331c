#include "CModInstr.h"
#include "FWModInstr.h"
#include "WizardTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Fitting {
    QString name;
    std::int16_t model, slotA, slotB, slotC, slotD;
};

std::unique_ptr<CModInstr> MakeModInstr(const Fitting &f)
{
    auto m = std::make_unique<CModInstr>();
    m->SetNomeProgramma(f.name);
    m->SetModelloStrumento(f.model);
    m->SetSlotA(f.slotA);
    m->SetSlotB(f.slotB);
    m->SetSlotC(f.slotC);
    m->SetSlotD(f.slotD);
    return m;
}

void ExpectFitting(const CModInstr &m, const Fitting &f)
{
    EXPECT_EQ(m.NomeProgramma(), f.name);
    EXPECT_EQ(m.ModelloStrumento(), f.model);
    EXPECT_EQ(m.SlotA(), f.slotA);
    EXPECT_EQ(m.SlotB(), f.slotB);
    EXPECT_EQ(m.SlotC(), f.slotC);
    EXPECT_EQ(m.SlotD(), f.slotD);
}

// The model page shown without waiting, as the wizard driver fills it.
class ModelPage : public pagetest::ShownPage<FWModInstr, CModInstr> {
protected:
    void Open(const Fitting &f, std::int16_t action = 0)
    {
        page.SetAction(action);
        ShownPage::Open(*MakeModInstr(f));
    }
};

TEST_F(ModelPage, ShowsTheFittingAndStoresItWithSlotDCleared)
{
    struct Case {
        Fitting stored;
        int model, slotA; // buttons shown
        Fitting saved;
    };
    const Case cases[] = {
        {{"Linea 3", 0, 2, 1, 3, 1}, 0, 2, {"Linea 3", 0, 2, 1, 3, 0}},
        {{"", 3, 5, 3, 0, 0}, 2, 5, {"", 3, 5, 3, 0, 0}},
        {{"Forno", 1, 3, 0, 4, 0}, 1, 3, {"Forno", 1, 3, 0, 4, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored.name.toStdString());
        Open(c.stored);
        EXPECT_EQ(page.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                  QStringLiteral("Selection of the modules installed on the instrument..."));
        EXPECT_EQ(Option("optModStrumento", 2)->text(), QStringLiteral("OXA 16"));
        EXPECT_EQ(page.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->text(), c.stored.name);
        EXPECT_EQ(Checked("optModStrumento", 3), c.model);
        EXPECT_EQ(Checked("optSlotA", 6), c.slotA);
        EXPECT_EQ(Checked("optSlotB", 4), c.stored.slotB);
        EXPECT_EQ(Checked("optSlotC", 5), c.stored.slotC);
        ExpectFitting(*Leave("cmdNext"), c.saved);
    }
}

TEST_F(ModelPage, ActionOneHidesTheNameButWritesItBack)
{
    Open({"Actual instrument setting", 0, 0, 0, 0, 0}, 1);
    EXPECT_TRUE(page.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->isHidden());
    EXPECT_TRUE(page.findChild<QLabel *>(QStringLiteral("Label1"))->isHidden());
    Option("optSlotA", 1)->click();
    ExpectFitting(*Leave("cmdBack"), {"Actual instrument setting", 0, 1, 0, 0, 0});

    page.SetAction(0);
    page.Show(0);
    EXPECT_FALSE(page.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->isHidden());
    page.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->setText(QString(60, QLatin1Char('x')));
    EXPECT_EQ(Leave("cmdNext")->NomeProgramma(), QString(50, QLatin1Char('x')));
}

TEST_F(ModelPage, Oxa16TakesOnlyFrequencyModulesInSlotA)
{
    Open({"p", 0, 2, 0, 0, 0});
    Option("optModStrumento", 2)->click();
    EXPECT_EQ(Checked("optSlotA", 6), 4); // HVA gave way to WP1
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Option("optSlotA", i)->isEnabled(), i >= 4) << i;
    Option("optModStrumento", 0)->click();
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(Option("optSlotA", i)->isEnabled()) << i;
    EXPECT_EQ(Checked("optSlotA", 6), 4);
    ExpectFitting(*Leave("cmdNext"), {"p", 0, 4, 0, 0, 0});

    // A stored OXA 16 configuration comes up with the same rule.
    Open({"p", 3, 5, 0, 0, 0});
    EXPECT_FALSE(Option("optSlotA", 0)->isEnabled());
    EXPECT_TRUE(Option("optSlotA", 4)->isEnabled());
    Leave("cmdCancel");
}

TEST_F(ModelPage, BnFitsInSlotBOrSlotCNotBoth)
{
    Open({"p", 1, 0, 0, 4, 0});
    EXPECT_FALSE(Option("optSlotB", 3)->isEnabled()); // BN in slot C
    Option("optSlotC", 0)->click();
    EXPECT_TRUE(Option("optSlotB", 3)->isEnabled());
    Leave("cmdCancel");
    // A stored pair of BN modules cannot be shown: slot B's BN takes slot C's.
    Open({"p", 1, 0, 3, 4, 0});
    EXPECT_EQ(Checked("optSlotC", 5), 0);
    EXPECT_FALSE(Option("optSlotC", 4)->isEnabled());
    Option("optSlotB", 0)->click();
    EXPECT_TRUE(Option("optSlotC", 4)->isEnabled());
    Option("optSlotB", 3)->click();
    ExpectFitting(*Leave("cmdNext"), {"p", 1, 0, 3, 0, 0});
}

// A fitting read from an instrument or a file can hold codes this page has
// no button for: they survive the page unless the user chooses otherwise.
TEST_F(ModelPage, CodesWithoutButtonsAreKeptUntilTheUserChooses)
{
    const Fitting mvz{"IVR", 2, 6, 0, 5, 3};
    Open(mvz);
    EXPECT_EQ(Checked("optModStrumento", 3), -1);
    EXPECT_EQ(Checked("optSlotA", 6), -1);
    EXPECT_EQ(Checked("optSlotC", 5), -1);
    ExpectFitting(*Leave("cmdNext"), mvz);

    // Moving slot A off the MVZ master drops its extra inputs of slots C
    // and D; the model without a button stays.
    page.SetLastTab(true);
    Open(mvz);
    Option("optSlotA", 4)->click();
    ExpectFitting(*Leave("cmdEnd"), {"IVR", 2, 4, 0, 0, 0});
}

TEST_F(ModelPage, CancelStoresNothing)
{
    const Fitting stored{"Linea 1", 1, 3, 2, 1, 0};
    Open(stored);
    Option("optModStrumento", 2)->click();
    page.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->setText(QStringLiteral("altro"));
    ExpectFitting(*Leave("cmdCancel"), stored);
    EXPECT_EQ(page.ButtonRet(), FWizardPage::kButtonCancel);
}

} // namespace
