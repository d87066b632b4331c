#include "CDisplay.h"
#include "CICopyClassBase.h"
#include "CSerialComm.h"
#include "CWizardTabs.h"
#include "DatabaseError.h"
#include "FWizardPage.h"
#include "MErrors.h"
#include "WizardTestSupport.h"

#include "../model/ModelDatabase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace {

// A data object with one number; it counts how often a page copied into it
// and records what the driver forwarded.
class FakeData : public CICopyClassBase {
public:
    explicit FakeData(QString name = QString(), int value = 0) : m_Name(std::move(name)), value(value) {}

    QString ClassName() const override { return m_Name; }

    void GetData(ICopyClass &obj) const
    {
        if (auto *other = dynamic_cast<FakeData *>(&obj)) {
            other->value = value;
            ++other->timesWritten;
        }
    }
    void SetData(const ICopyClass &obj)
    {
        if (const auto *other = dynamic_cast<const FakeData *>(&obj)) {
            m_Name = other->m_Name;
            value = other->value;
        }
    }

    void SaveDataInADORS(const RowCriterion &c) override
    {
        saved.push_back(c);
        if (failSave)
            throw DatabaseError(QStringLiteral("disk full"));
    }
    void LoadDataFromADORS(const RowCriterion &c) override { loaded.push_back(c); }
    void SaveData(const QString &f) override { savedFiles.push_back(f); }
    void LoadData(const QString &f) override { loadedFiles.push_back(f); }

    QString m_Name;
    int value;
    int timesWritten = 0;
    bool failSave = false;
    std::vector<RowCriterion> saved, loaded;
    QStringList savedFiles, loadedFiles;
};

// A page editing FakeData's number in the text box "txtValue".
class FakePage : public FWizardDataPage<FakeData> {
public:
    explicit FakePage(const QString &name, int extraHeight = 0) : FWizardDataPage<FakeData>(name, 0)
    {
        auto *layout = new QVBoxLayout(Body());
        txtValue = new QLineEdit(Body());
        txtValue->setObjectName(QStringLiteral("txtValue"));
        layout->addWidget(txtValue);
        Body()->setMinimumHeight(40 + extraHeight);
    }

    QLineEdit *txtValue;

protected:
    void DataToControls() override { txtValue->setText(QString::number(WorkingCopy().value)); }
    void ControlsToData() override { WorkingCopy().value = txtValue->text().toInt(); }
};

// What a page showed when it was answered.
struct Visit {
    QString page;
    QString shown;
    bool back, next, end;
    QRect frame;
};

struct Step {
    const char *expectedPage;
    const char *enter; // nullptr: leave the text as it is
    const char *button;
};

class WizardRun : public ::testing::Test {
protected:
    // Three pages "P1".."P3" with objects "A", "B", "C" holding 1, 2, 3
    // (page 2 is taller, to show the shared bottom edge).
    void SetUp() override
    {
        Build();
        record(&driver, &CWizardTabs::BeforeShowTabs, "before");
        record(&driver, &CWizardTabs::AfterShowNextTabs, "next");
        record(&driver, &CWizardTabs::AfterShowBackTabs, "back");
    }

    void Build()
    {
        const char *names[] = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            data.push_back(std::make_unique<FakeData>(QString::fromLatin1(names[i]), i + 1));
            pages.push_back(std::make_unique<FakePage>(QStringLiteral("P%1").arg(i + 1), i == 1 ? 80 : 0));
        }
    }

    void AddAll()
    {
        for (std::size_t i = 0; i < pages.size(); ++i)
            driver.Add(*pages[i], data[i].get());
    }

    template <class Signal>
    void record(CWizardTabs *d, Signal signal, const char *name)
    {
        QObject::connect(
            d, signal,
            [this, name](const QString &cls, const CWizardTabs::DialogCollection &dialogs, std::int16_t &index) {
                events.push_back(QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(name), cls).arg(index));
                EXPECT_EQ(dialogs.Count(), driver.CountDialogs());
                const int direction = QString::fromLatin1(name) == QLatin1String("back") ? -1 : 1;
                if (QString::fromLatin1(name) != QLatin1String("before") && skip.count(index))
                    index = static_cast<std::int16_t>(index + direction);
            });
    }

    void Script(const std::vector<Step> &steps)
    {
        for (const Step &s : steps) {
            script.Then([this, s](FWizardPage &page) {
                auto &p = static_cast<FakePage &>(page);
                auto *back = p.findChild<QPushButton *>(QStringLiteral("cmdBack"));
                auto *next = p.findChild<QPushButton *>(QStringLiteral("cmdNext"));
                auto *end = p.findChild<QPushButton *>(QStringLiteral("cmdEnd"));
                visits.push_back({p.objectName(), p.txtValue->text(), back->isEnabled(), next->isEnabled(),
                                  end->isEnabled(), p.frameGeometry()});
                EXPECT_EQ(p.objectName().toStdString(), s.expectedPage);
                if (s.enter)
                    p.txtValue->setText(QString::fromLatin1(s.enter));
                if (QLatin1String(s.button) == QLatin1String("close box"))
                    p.close();
                else if (QLatin1String(s.button) == QLatin1String("Esc"))
                    QTest::keyClick(&p, Qt::Key_Escape);
                else
                    PageScript::Press(p, s.button);
            });
        }
    }

    std::vector<int> Values() const
    {
        std::vector<int> v;
        for (const auto &d : data)
            v.push_back(d->value);
        return v;
    }

    std::vector<std::unique_ptr<FakeData>> data;
    std::vector<std::unique_ptr<FakePage>> pages;
    CWizardTabs driver; // declared last: released (RemoveAll) before the pages
    PageScript script;
    std::vector<Visit> visits;
    QStringList events;
    std::set<int> skip;
};

} // namespace

TEST_F(WizardRun, NextBackEndAndCancel)
{
    struct Case {
        const char *name;
        std::vector<Step> steps;
        std::int32_t result;
        std::vector<int> values;
        QStringList events;
        std::vector<QString> shown; // text each visited page showed
    };
    const std::vector<Case> cases = {
        {"forward to End",
         {{"P1", "10", "cmdNext"}, {"P2", "20", "cmdNext"}, {"P3", "30", "cmdEnd"}},
         0,
         {10, 20, 30},
         {"before A 1", "next B 2", "before B 2", "next C 3", "before C 3"},
         {"1", "2", "3"}},
        {"Back stores the page and keeps the entries",
         {{"P1", "10", "cmdNext"},
          {"P2", "20", "cmdBack"},
          {"P1", nullptr, "cmdNext"},
          {"P2", nullptr, "cmdNext"},
          {"P3", nullptr, "cmdEnd"}},
         0,
         {10, 20, 3},
         {"before A 1", "next B 2", "before B 2", "back A 1", "before A 1", "next B 2", "before B 2", "next C 3",
          "before C 3"},
         {"1", "2", "10", "20", "3"}},
        {"Cancel on the last page stores nothing",
         {{"P1", "10", "cmdNext"}, {"P2", "20", "cmdNext"}, {"P3", "30", "cmdCancel"}},
         1,
         {1, 2, 3},
         {"before A 1", "next B 2", "before B 2", "next C 3", "before C 3"},
         {"1", "2", "3"}},
        {"close box on a page left with Next before cancels",
         {{"P1", "10", "cmdNext"}, {"P2", "20", "cmdBack"}, {"P1", "11", "close box"}},
         1,
         {1, 2, 3},
         {"before A 1", "next B 2", "before B 2", "back A 1", "before A 1"},
         {"1", "2", "10"}},
        {"Esc cancels",
         {{"P1", "10", "cmdNext"}, {"P2", "20", "Esc"}},
         1,
         {1, 2, 3},
         {"before A 1", "next B 2", "before B 2"},
         {"1", "2"}},
        {"disabled buttons do nothing",
         // Back on page 1, End on page 2 and Next on page 3 are disabled.
         {{"P1", "10", "cmdBack"},
          {"P1", nullptr, "cmdNext"},
          {"P2", nullptr, "cmdEnd"},
          {"P2", nullptr, "cmdNext"},
          {"P3", nullptr, "cmdNext"},
          {"P3", nullptr, "cmdEnd"}},
         0,
         {10, 2, 3},
         {"before A 1", "next B 2", "before B 2", "next C 3", "before C 3"},
         {"1", "10", "2", "2", "3", "3"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (data.empty())
            Build();
        AddAll();
        Script(c.steps);
        EXPECT_EQ(driver.Start(), c.result);
        EXPECT_EQ(Values(), c.values);
        EXPECT_EQ(events, c.events);
        ASSERT_EQ(visits.size(), c.shown.size());
        for (std::size_t i = 0; i < visits.size(); ++i) {
            const Visit &v = visits[i];
            EXPECT_EQ(v.shown, c.shown[i]) << i;
            // Buttons by place: first page no Back/End, last page no Next.
            const bool first = v.page == QLatin1String("P1"), last = v.page == QLatin1String("P3");
            EXPECT_EQ(v.back, !first) << i;
            EXPECT_EQ(v.next, !last) << i;
            EXPECT_EQ(v.end, last) << i;
            // Every page of the run shares the first page's left and bottom edges.
            EXPECT_EQ(v.frame.left(), visits[0].frame.left()) << i;
            EXPECT_EQ(v.frame.bottom(), visits[0].frame.bottom()) << i;
        }
        // End copies every page back exactly once, Cancel none.
        for (const auto &d : data)
            EXPECT_EQ(d->timesWritten, c.result == 0 ? 1 : 0);
        driver.RemoveAll();
        data.clear();
        pages.clear();
        visits.clear();
        events.clear();
    }
}

TEST_F(WizardRun, OwnerSkipsPagesThroughTheEvents)
{
    // Five pages; the handler skips 2, 3 and 4 in either direction.
    for (int i = 4; i <= 5; ++i) {
        data.push_back(std::make_unique<FakeData>(QStringLiteral("X%1").arg(i), i));
        pages.push_back(std::make_unique<FakePage>(QStringLiteral("P%1").arg(i)));
    }
    AddAll();
    skip = {2, 3, 4};
    // A skipped page changed by the owner is still copied back on End.
    QObject::connect(&driver, &CWizardTabs::AfterShowNextTabs,
                     [](const QString &cls, const CWizardTabs::DialogCollection &dialogs, std::int16_t &) {
                         if (cls == QLatin1String("B"))
                             dialogs.Item(QStringLiteral("B")).SetData(FakeData(QStringLiteral("B"), 77));
                     });
    Script({{"P1", "10", "cmdNext"}, {"P5", "50", "cmdBack"}, {"P1", nullptr, "cmdNext"}, {"P5", nullptr, "cmdEnd"}});
    EXPECT_EQ(driver.Start(), 0);
    const QStringList forward = {"next B 2", "next C 3", "next X4 4", "next X5 5", "before X5 5"};
    QStringList expected = {"before A 1"};
    expected << forward << QStringList{"back X4 4", "back C 3", "back B 2", "back A 1", "before A 1"} << forward;
    EXPECT_EQ(events, expected);
    EXPECT_EQ(Values(), (std::vector<int>{10, 77, 3, 4, 50}));
    for (const auto &d : data)
        EXPECT_EQ(d->timesWritten, 1);
}

TEST_F(WizardRun, HandlerMovingIndexOffTheChainStopsAtItsEnd)
{
    AddAll();
    QObject::connect(&driver, &CWizardTabs::AfterShowNextTabs,
                     [](const QString &, const CWizardTabs::DialogCollection &, std::int16_t &index) { index = 40; });
    QObject::connect(&driver, &CWizardTabs::AfterShowBackTabs,
                     [](const QString &, const CWizardTabs::DialogCollection &, std::int16_t &index) { index = -3; });
    Script({{"P1", nullptr, "cmdNext"}, {"P3", nullptr, "cmdBack"}, {"P1", nullptr, "cmdCancel"}});
    EXPECT_EQ(driver.Start(), 1);
}

TEST_F(WizardRun, PageWithoutDataObjectGetsThePlaceholder)
{
    FakePage closing(QStringLiteral("PEnd"));
    driver.Add(*pages[0], data[0].get());
    driver.Add(closing);
    EXPECT_EQ(driver.CountDialogs(), 2);
    Script({{"P1", "10", "cmdNext"}, {"PEnd", nullptr, "cmdEnd"}});
    EXPECT_EQ(driver.Start(), 0);
    EXPECT_EQ(events, (QStringList{"before A 1", "next  2", "before  2"}));
    EXPECT_EQ(data[0]->value, 10);
    // The placeholder carried nothing into the page: it shows its own copy.
    EXPECT_EQ(visits[1].shown, QStringLiteral("0"));
}

TEST_F(WizardRun, KeysAndLookups)
{
    AddAll();
    EXPECT_EQ(&driver.PointerClass(QStringLiteral("B")), data[1].get());

    const auto errorOf = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const ProgramError &e) {
            return e.Number();
        }
        return 0;
    };
    FakeData twin(QStringLiteral("A"));
    FakePage twinPage(QStringLiteral("Twin"));
    EXPECT_EQ(errorOf([&] { driver.Add(twinPage, &twin); }), 457);
    EXPECT_EQ(driver.CountDialogs(), 3);
    EXPECT_EQ(errorOf([&] { driver.PointerClass(QStringLiteral("Z")); }), 5);

    driver.RemoveAll();
    EXPECT_EQ(driver.CountDialogs(), 0);
    EXPECT_EQ(errorOf([&] { driver.PointerClass(QStringLiteral("A")); }), 5);
    EXPECT_EQ(driver.Start(), 1); // nothing to show
}

TEST_F(WizardRun, PersistenceIsForwardedToEveryObject)
{
    AddAll();
    FakePage closing(QStringLiteral("PEnd"));
    driver.Add(closing);
    driver.SetFileName(QStringLiteral("/tmp/x.ini"));
    driver.SaveData(QStringLiteral("s.ini"));
    driver.LoadData(QStringLiteral("l.ini"));
    driver.SaveDataInADORS(NewRowCriterion(7));
    driver.SaveDataInADORS(ExistingRowCriterion(7));
    driver.LoadDataFromADORS(ExistingRowCriterion(7));
    for (const auto &d : data) {
        EXPECT_EQ(d->FileName(), QStringLiteral("/tmp/x.ini"));
        EXPECT_EQ(d->savedFiles, QStringList{"s.ini"});
        EXPECT_EQ(d->loadedFiles, QStringList{"l.ini"});
        ASSERT_EQ(d->saved.size(), 2u);
        EXPECT_EQ(d->saved[0], NewRowCriterion(7));
        EXPECT_EQ(d->saved[0].typeId(), QMetaType::fromType<std::int32_t>().id());
        EXPECT_EQ(d->saved[1], QVariant(QStringLiteral("IDProgramma=7")));
        ASSERT_EQ(d->loaded.size(), 1u);
        EXPECT_EQ(d->loaded[0], QVariant(QStringLiteral("IDProgramma=7")));
    }
}

// ---------------------------------------------------------------------------
// The page as a lone dialog

TEST(WizardLonePage, OkCancelEnterEscAndCloseBox)
{
    struct Case {
        const char *name;
        std::function<void(FWizardPage &)> answer;
        std::int32_t result;
    };
    const std::vector<Case> cases = {
        {"OK", [](FWizardPage &p) { PageScript::Press(p, "cmdDialogOk"); }, 0},
        {"Cancel", [](FWizardPage &p) { PageScript::Press(p, "cmdDialogCancel"); }, 1},
        {"Enter", [](FWizardPage &p) { QTest::keyClick(p.focusWidget() ? p.focusWidget() : &p, Qt::Key_Return); }, 0},
        {"Esc", [](FWizardPage &p) { QTest::keyClick(&p, Qt::Key_Escape); }, 1},
        {"close box", [](FWizardPage &p) { p.close(); }, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeData data(QStringLiteral("A"), 1);
        FakePage page(QStringLiteral("P1"));
        CWizardTabs driver;
        driver.Add(page, &data);
        driver.SetCaption(QStringLiteral("Settings"));
        driver.SetIcon(10001);
        PageScript script;
        script.Then([&](FWizardPage &p) {
            EXPECT_EQ(p.windowTitle(), QStringLiteral("Settings"));
            EXPECT_FALSE(p.windowIcon().isNull());
            EXPECT_EQ(p.FormType(), 0);
            // Only OK and Cancel: the wizard bar is hidden.
            EXPECT_TRUE(p.findChild<QPushButton *>(QStringLiteral("cmdDialogOk"))->isVisible());
            EXPECT_TRUE(p.findChild<QPushButton *>(QStringLiteral("cmdDialogCancel"))->isVisible());
            EXPECT_FALSE(p.findChild<QWidget *>(QStringLiteral("pbCommand"))->isVisible());
            EXPECT_EQ(p.findChild<QPushButton *>(QStringLiteral("cmdDialogOk"))->text(), QStringLiteral("OK"));
            static_cast<FakePage &>(p).txtValue->setText(QStringLiteral("9"));
            c.answer(p);
        });
        EXPECT_EQ(driver.Start(), c.result);
        EXPECT_EQ(page.ButtonRet(), c.result == 0 ? 0 : 1);
        EXPECT_EQ(data.value, c.result == 0 ? 9 : 1);
        // The working copy keeps only what a closing button stored.
        FakeData back(QStringLiteral("A"));
        page.GetData(back);
        EXPECT_EQ(back.value, c.result == 0 ? 9 : 1);
    }
}

TEST(WizardPage, WizardStyleButtonsAndDefaults)
{
    FakePage page(QStringLiteral("P1"));
    EXPECT_EQ(page.ButtonRet(), 1);
    EXPECT_EQ(page.FormType(), 1);
    EXPECT_FALSE(page.FirstTab());
    EXPECT_FALSE(page.LastTab());
    PageScript script;
    script.Then([](FWizardPage &p) {
        EXPECT_FALSE(p.findChild<QPushButton *>(QStringLiteral("cmdDialogOk"))->isVisible());
        EXPECT_TRUE(p.findChild<QWidget *>(QStringLiteral("pbCommand"))->isVisible());
        EXPECT_TRUE(p.findChild<QPushButton *>(QStringLiteral("cmdNext"))->isDefault());
        const QStringList texts = {"End", "Next", "Back", "Cancel"};
        const char *names[] = {"cmdEnd", "cmdNext", "cmdBack", "cmdCancel"};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(p.findChild<QPushButton *>(QString::fromLatin1(names[i]))->text(), texts[i]);
        // A page in the middle: Enter presses Next.
        QTest::keyClick(p.focusWidget() ? p.focusWidget() : &p, Qt::Key_Enter);
    });
    page.Show(1);
    EXPECT_EQ(page.ButtonRet(), 2);
}

// ---------------------------------------------------------------------------
// Saving a whole run: one transaction

class WizardSave : public ModelDatabase {};

TEST_F(WizardSave, AFailingObjectSavesNothing)
{
    struct Case {
        const char *name;
        bool fail;
    };
    for (const Case c : {Case{"all saved", false}, Case{"third object fails", true}}) {
        SCOPED_TRACE(c.name);
        CSerialComm serial;
        serial.SetNetworkAdd(33);
        CDisplay display;
        display.SetPassword(1234);
        FakeData last(QStringLiteral("Last"));
        last.failSave = c.fail;
        FakePage p1(QStringLiteral("P1")), p2(QStringLiteral("P2")), p3(QStringLiteral("P3"));
        CWizardTabs driver;
        driver.Add(p1, &serial);
        driver.Add(p2, &display);
        driver.Add(p3, &last);

        const std::int32_t id = c.fail ? 41 : 40;
        const auto serialRows = RowCount(QStringLiteral("CSerialComm"));
        if (c.fail) {
            EXPECT_THROW(driver.SaveDataInADORS(NewRowCriterion(id)), DatabaseError);
            EXPECT_EQ(RowCount(QStringLiteral("CSerialComm")), serialRows);
            EXPECT_FALSE(Column(QStringLiteral("CSerialComm"), id, QStringLiteral("m_NetworkAdd")).isValid());
            EXPECT_FALSE(Column(QStringLiteral("CDisplay"), id, QStringLiteral("m_Password")).isValid());
        } else {
            driver.SaveDataInADORS(NewRowCriterion(id));
            EXPECT_EQ(Column(QStringLiteral("CSerialComm"), id, QStringLiteral("m_NetworkAdd")).toInt(), 33);
            EXPECT_EQ(Column(QStringLiteral("CDisplay"), id, QStringLiteral("m_Password")).toInt(), 1234);
        }
        EXPECT_EQ(g_Connection.TransactionLevel(), 0);
    }
}
