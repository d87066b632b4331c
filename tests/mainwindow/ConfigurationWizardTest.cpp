#include "ConfigurationWizard.h"

#include "CAlarm.h"
#include "CCollDatiSetup.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "DatabaseErrorText.h"
#include "MsgBox.h"
#include "OtherProgram.h"
#include "TraceCapture.h"
#include "UnprivilegedFileAccess.h"
#include "ResourceText.h"

#include "../model/ModelDatabase.h"
#include "../wizard/WizardTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <string_view>
#include <vector>

namespace {

using Context = ConfigurationWizard::PageContext;

const QStringList kTables{
    QStringLiteral("CModInstr"),   QStringLiteral("CRangeWP12"),      QStringLiteral("CRangeMVAHVA"),
    QStringLiteral("CRangeGKP"),   QStringLiteral("CRangeMVZ"),       QStringLiteral("CDisplay"),
    QStringLiteral("CInOutScale"), QStringLiteral("CLinearize"),      QStringLiteral("CInOutScaleB"),
    QStringLiteral("CLinearizeB"), QStringLiteral("CCounterAB"),      QStringLiteral("CAlarm1"),
    QStringLiteral("CAlarm2"),     QStringLiteral("CAlarm3"),         QStringLiteral("CAlarm4"),
    QStringLiteral("CAnalogOut"),  QStringLiteral("CFiltroDigitale"), QStringLiteral("CSerialComm")};

// The pages a user passes with Next from the model page to the closing
// page, and with Back from the closing page to the model page, as the
// driver moves the index while the handler's rule skips.
QStringList Walk(const Context &c, int step)
{
    const QStringList &keys = ConfigurationWizard::PageKeys();
    QStringList shown;
    int index = step > 0 ? 1 : ConfigurationWizard::kPages;
    while (index >= 1 && index <= ConfigurationWizard::kPages) {
        if (ConfigurationWizard::PageApplies(keys[index - 1], c))
            shown << keys[index - 1];
        index += step;
    }
    return shown;
}

QStringList Reversed(QStringList list)
{
    std::reverse(list.begin(), list.end());
    return list;
}

Context Make(std::int16_t model, std::int16_t slotA, std::int16_t slotB, std::int16_t slotC, std::int16_t f = 0,
             std::int16_t linA = 0, std::int16_t linB = 0, std::int16_t slotD = 0)
{
    Context c;
    c.ModelloStrumento = model;
    c.SlotA = slotA;
    c.SlotB = slotB;
    c.SlotC = slotC;
    c.SlotD = slotD;
    c.WPxFunction = f;
    c.LinearizzazioneA = linA;
    c.LinearizzazioneB = linB;
    return c;
}

struct SkipCase {
    const char *name;
    Context context;
    QStringList pages; // between the model page and the closing page
};

TEST(ConfigurationWizardSkipping, PagesShownForwardsAndBackwards)
{
    const std::vector<SkipCase> cases = {
        {"low signal, Y2",
         Make(0, 0, 0, 2),
         {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CAlarm1", "CAlarm2", "CFiltroDigitale"}},
        {"low signal, Y2, curve on",
         Make(0, 0, 0, 2, 0, 1),
         {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CLinearize", "CAlarm1", "CAlarm2", "CFiltroDigitale"}},
        {"temperature never linearizes",
         Make(1, 3, 1, 1, 0, 1),
         {"CRangeGKP", "CDisplay", "CInOutScale", "CAlarm1", "CFiltroDigitale", "CSerialComm"}},
        {"F10 skips scale A, keeps curve A",
         Make(3, 4, 0, 0, 9, 1),
         {"CRangeWP12", "CDisplay", "CLinearize", "CCounterAB", "CFiltroDigitale"}},
        {"F11 skips curve A too", Make(3, 4, 0, 0, 10, 1), {"CRangeWP12", "CDisplay", "CCounterAB", "CFiltroDigitale"}},
        {"model 3 F1: both scales, curve B",
         Make(3, 5, 0, 0, 0, 0, 1),
         {"CRangeWP12", "CDisplay", "CInOutScale", "CInOutScaleB", "CLinearizeB", "CFiltroDigitale"}},
        {"model 0 F1: scale A only",
         Make(0, 4, 0, 0, 0, 0, 1),
         {"CRangeWP12", "CDisplay", "CInOutScale", "CFiltroDigitale"}},
        {"F4 shows scale B, never curve B",
         Make(3, 4, 0, 0, 3, 0, 1),
         {"CRangeWP12", "CDisplay", "CInOutScale", "CInOutScaleB", "CFiltroDigitale"}},
        {"F8 model 3: counters",
         Make(3, 4, 0, 0, 7),
         {"CRangeWP12", "CDisplay", "CInOutScale", "CCounterAB", "CFiltroDigitale"}},
        {"F8 model 1: no counters", Make(1, 4, 0, 0, 7), {"CRangeWP12", "CDisplay", "CInOutScale", "CFiltroDigitale"}},
        {"model 2 MVZ: no display", Make(2, 6, 0, 0), {"CRangeMVZ", "CInOutScale", "CFiltroDigitale"}},
        {"Y4/Y5: four alarms",
         Make(1, 1, 2, 3),
         {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CAlarm1", "CAlarm2", "CAlarm3", "CAlarm4", "CFiltroDigitale",
          "CSerialComm"}},
        {"BN in slot C: output, no alarm",
         Make(1, 2, 0, 4),
         {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CAnalogOut", "CFiltroDigitale"}},
        {"BN in slot B",
         Make(1, 0, 3, 1),
         {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CAlarm1", "CAnalogOut", "CFiltroDigitale"}},
        {"BN in slot D", Make(2, 6, 0, 0, 0, 0, 0, 1), {"CRangeMVZ", "CInOutScale", "CAnalogOut", "CFiltroDigitale"}},
        // A function and a channel-F switch left from an earlier frequency
        // configuration show neither counters nor curve B on another module.
        {"leftovers on a temperature module",
         Make(3, 3, 0, 0, 0, 0, 1),
         {"CRangeGKP", "CDisplay", "CInOutScale", "CFiltroDigitale"}},
        {"leftover counter function",
         Make(3, 0, 0, 0, 8),
         {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CFiltroDigitale"}},
    };
    for (const SkipCase &tc : cases) {
        SCOPED_TRACE(tc.name);
        const QStringList expected = QStringList{QStringLiteral("CModInstr")} + tc.pages + QStringList{QString()};
        EXPECT_EQ(Walk(tc.context, +1), expected);
        EXPECT_EQ(Walk(tc.context, -1), Reversed(expected));
    }
}

// The wizard's page skipping (on the pages' context) and the setup
// collection's ValidData (on its objects' values at each object's turn)
// decide alike for every model, module and function: what the wizard does
// not show is exactly what the transfers and the report leave out.
TEST(ConfigurationWizardSkipping, AgreesWithTheSetupCollection)
{
    const CScaleMisuraDisplay savedA = *g_Scala;
    const CScaleMisuraDisplay savedB = *g_ScalaB;
    CCollDatiSetup setup;
    int compared = 0;
    for (std::int16_t model : {0, 1, 2, 3})
        for (std::int16_t slotA = 0; slotA <= 6; ++slotA)
            for (std::int16_t slotB : {0, 1, 2, 3})
                for (std::int16_t slotC : {0, 1, 2, 3, 4})
                    for (std::int16_t f = 0; f <= 10; ++f)
                        for (std::int16_t lin = 0; lin <= 3; ++lin) {
                            CModInstr &mod = setup.ModInstr();
                            mod.SetModelloStrumento(model);
                            mod.SetSlotA(slotA);
                            mod.SetSlotB(slotB);
                            mod.SetSlotC(slotC);
                            setup.RangeWP12().SetWPxFunction(f);
                            setup.InOutScale().SetLinearizzazione(static_cast<std::int16_t>(lin & 1));
                            setup.InOutScaleB().SetLinearizzazione(static_cast<std::int16_t>(lin >> 1));
                            // Re-writing the coding runs the validity update
                            // (the coding may place a module as it fits).
                            setup.SetCodificaModuli(setup.CodificaModuli());

                            const Context c = Make(mod.ModelloStrumento(), mod.SlotA(), mod.SlotB(), mod.SlotC(), f,
                                                   setup.InOutScale().Linearizzazione(),
                                                   setup.InOutScaleB().Linearizzazione(), mod.SlotD());
                            for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
                                const QString key = ConfigurationWizard::PageKeys()[i - 1];
                                ASSERT_EQ(ConfigurationWizard::PageApplies(key, c), setup.ValidData(i))
                                    << key.toStdString() << " model " << mod.ModelloStrumento() << " slots "
                                    << mod.SlotA() << mod.SlotB() << mod.SlotC() << mod.SlotD() << " f " << f << " lin "
                                    << lin;
                                ++compared;
                            }
                        }
    EXPECT_GT(compared, 0);
    *g_Scala = savedA;
    *g_ScalaB = savedB;
}

// ---------------------------------------------------------------------------
// Whole runs on a template copy, every page answered by the script.

// The key of the page's data object (second instances share their window
// class, so their working copy tells them apart).
QString PageKey(FWizardPage &page)
{
    const QString form = page.objectName();
    if (form == QLatin1String("FWInOutScale")) {
        CInOutScale probe;
        page.GetData(probe);
        return probe.ClassName();
    }
    if (form == QLatin1String("FWLinearize")) {
        CLinearize probe;
        page.GetData(probe);
        return probe.ClassName();
    }
    if (form == QLatin1String("FWAlarm")) {
        CAlarm probe;
        page.GetData(probe);
        return probe.ClassName();
    }
    if (form == QLatin1String("FWFinalSetupMessage"))
        return QString();
    return QLatin1Char('C') + form.mid(2);
}

void Click(FWizardPage &page, const char *name)
{
    auto *button = page.findChild<QRadioButton *>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

// A new scale page starts with an empty electrical range, which the page
// refuses: the user sets its end.
void SetElectricRange(FWizardPage &page)
{
    auto *max = page.findChild<CTextDigitSpin *>(QStringLiteral("m_MaxElectricScale"));
    ASSERT_NE(max, nullptr);
    max->SetValue(max->Max());
}

class ConfigurationWizardRun : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            m_Boxes.push_back(r);
            if (m_Answers.empty()) {
                ADD_FAILURE() << "unexpected box: " << r.text.toStdString();
                return MsgBoxResult::OK;
            }
            const int answer = m_Answers.front();
            m_Answers.erase(m_Answers.begin());
            return answer;
        });
    }
    void TearDown() override
    {
        // The range and scale pages publish on the program's scale objects.
        *g_Scala = m_SavedScala;
        *g_ScalaB = m_SavedScalaB;
        SetMsgBoxHook(m_OldHook);
        EXPECT_TRUE(m_Answers.empty());
        ModelDatabase::TearDown();
    }

    // A step expecting the page of that key, then pressing the button.
    void Expect(const QString &key, const char *button, std::function<void(FWizardPage &)> edit = {})
    {
        m_Script.Then([key, button, edit](FWizardPage &page) {
            EXPECT_EQ(PageKey(page), key);
            if (edit)
                edit(page);
            else if (page.objectName() == QLatin1String("FWInOutScale") && button == std::string_view("cmdNext"))
                SetElectricRange(page);
            PageScript::Press(page, button);
        });
    }

    // The number of tables holding a row of id.
    int TablesWithRow(std::int32_t id)
    {
        int n = 0;
        for (const QString &table : kTables)
            n += Column(table, id, QStringLiteral("IDProgramma")).isValid() ? 1 : 0;
        return n;
    }

    bool CounterRowExists(std::int32_t id)
    {
        return Column(QStringLiteral("CounterProgrammi"), id, QStringLiteral("IDProgramma")).isValid();
    }

    // A stored configuration: model 1, low-signal input, Y1 relay.
    std::int32_t StoreConfiguration(const QString &name)
    {
        const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
        CCollDatiSetup setup;
        setup.SetIDProgramma(id);
        setup.ModInstr().SetNomeProgramma(name);
        setup.ModInstr().SetModelloStrumento(1);
        setup.ModInstr().SetSlotA(0);
        setup.ModInstr().SetSlotC(1);
        setup.SaveDataInADORS(true);
        return id;
    }

    const CScaleMisuraDisplay m_SavedScala = *g_Scala;
    const CScaleMisuraDisplay m_SavedScalaB = *g_ScalaB;
    PageScript m_Script;
    MsgBoxHook m_OldHook;
    std::vector<MsgBoxRequest> m_Boxes;
    std::vector<int> m_Answers;
};

TEST_F(ConfigurationWizardRun, NewConfigurationStoresEveryRowUnderTheNewId)
{
    TraceCapture trace;
    const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
    ASSERT_GT(id, 2);
    ASSERT_EQ(TablesWithRow(id), 0);

    // OXA 16 with a WP1, a QD serial module and Y4/Y5 relays.
    Expect(QStringLiteral("CModInstr"), "cmdNext", [](FWizardPage &p) {
        EXPECT_EQ(p.Caption(), QStringLiteral("Setting for a new configuration..."));
        p.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->setText(QStringLiteral("Press 7"));
        Click(p, "optModStrumento2");
        Click(p, "optSlotA4");
        Click(p, "optSlotB1");
        Click(p, "optSlotC3");
    });
    Expect(QStringLiteral("CRangeWP12"), "cmdNext", [](FWizardPage &p) {
        CRangeWP12 wp;
        p.GetData(wp);
        EXPECT_EQ(wp.ModelloStrumento(), 3);
        EXPECT_EQ(wp.SlotA(), 4);
    });
    Expect(QStringLiteral("CDisplay"), "cmdNext");
    Expect(QStringLiteral("CInOutScale"), "cmdNext");
    Expect(QStringLiteral("CInOutScaleB"), "cmdNext");
    Expect(QStringLiteral("CAlarm1"), "cmdBack", [](FWizardPage &p) {
        CAlarm alarm;
        p.GetData(alarm);
        EXPECT_EQ(alarm.ModelloStrumento(), 3);
        EXPECT_EQ(alarm.SlotA(), 4);
    });
    // Back over the counters and curve B (they do not apply) to scale B.
    Expect(QStringLiteral("CInOutScaleB"), "cmdNext");
    Expect(QStringLiteral("CAlarm1"), "cmdNext");
    Expect(QStringLiteral("CAlarm2"), "cmdNext");
    Expect(QStringLiteral("CAlarm3"), "cmdNext");
    Expect(QStringLiteral("CAlarm4"), "cmdNext");
    Expect(QStringLiteral("CFiltroDigitale"), "cmdNext");
    Expect(QStringLiteral("CSerialComm"), "cmdNext");
    Expect(QString(), "cmdBack");
    Expect(QStringLiteral("CSerialComm"), "cmdNext");
    Expect(QString(), "cmdEnd");

    ConfigurationWizard wizard;
    EXPECT_TRUE(wizard.EditNewProgramma(ConfigurationWizard::kModeNew, id, QString()));
    EXPECT_EQ(wizard.ArchivedIDProgramma(), -1);

    EXPECT_EQ(TablesWithRow(id), 18);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Press 7"));
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_ModelloStrumento")).toInt(), 3);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_SlotA")).toInt(), 4);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_SlotB")).toInt(), 1);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_SlotC")).toInt(), 3);
    EXPECT_TRUE(m_Boxes.empty());

    const QStringList lines = trace.Lines();
    const auto has = [&](const QString &text) {
        return std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.contains(text); });
    };
    EXPECT_TRUE(has(QStringLiteral("Inizio EditNewProgramma.")));
    EXPECT_TRUE(has(QStringLiteral("m_WizardInstrSetup_AfterShowNextTabs CCounterAB")));
    EXPECT_TRUE(has(QStringLiteral("m_WizardInstrSetup_AfterShowBackTabs CLinearizeB")));
    EXPECT_TRUE(has(QStringLiteral("Fine EditNewProgramma. Memoria fisica libera:")));
}

TEST_F(ConfigurationWizardRun, CancelledNewConfigurationStoresNothingAndItsCounterRowGoes)
{
    const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
    Expect(QStringLiteral("CModInstr"), "cmdNext");
    Expect(QStringLiteral("CRangeMVAHVA"), "cmdCancel");

    ConfigurationWizard wizard;
    EXPECT_FALSE(wizard.EditNewProgramma(ConfigurationWizard::kModeNew, id, QString()));
    EXPECT_EQ(TablesWithRow(id), 0);

    // The caller's part of a cancelled New.
    ASSERT_TRUE(CounterRowExists(id));
    ConfigurationWizard::DeleteCounterRow(id);
    EXPECT_FALSE(CounterRowExists(id));
    EXPECT_TRUE(CounterRowExists(2));
    ConfigurationWizard::DeleteCounterRow(2);
    EXPECT_TRUE(CounterRowExists(2));
}

TEST_F(ConfigurationWizardRun, FailedSaveStoresNoRowAndIsReported)
{
    const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
    // The last table of the run cannot take its row.
    Exec(QStringLiteral("DROP TABLE \"CSerialComm\""));
    for (const char *key : {"CModInstr", "CRangeMVAHVA", "CDisplay", "CInOutScale", "CFiltroDigitale"})
        Expect(QString::fromLatin1(key), "cmdNext");
    Expect(QString(), "cmdEnd");
    m_Answers = {MsgBoxResult::OK};

    ConfigurationWizard wizard;
    EXPECT_FALSE(wizard.EditNewProgramma(ConfigurationWizard::kModeNew, id, QString()));
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].style, MsgBoxStyle::Critical);
    for (const QString &table : kTables.mid(0, 17))
        EXPECT_FALSE(Column(table, id, QStringLiteral("IDProgramma")).isValid()) << table.toStdString();
}

TEST_F(ConfigurationWizardRun, ModifyUpdatesTheRowsInPlace)
{
    const std::int32_t id = StoreConfiguration(QStringLiteral("Line 3"));
    const std::int32_t modInstrRows = RowCount(QStringLiteral("CModInstr"));

    // Y1 becomes Y2: the second alarm page joins the run.
    Expect(QStringLiteral("CModInstr"), "cmdNext", [](FWizardPage &p) {
        EXPECT_EQ(p.Caption(), QStringLiteral("Modification of the configuration settings Line 3..."));
        p.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->setText(QStringLiteral("Line 3b"));
        Click(p, "optSlotC2");
    });
    for (const char *key : {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CAlarm1", "CAlarm2", "CFiltroDigitale"})
        Expect(QString::fromLatin1(key), "cmdNext");
    Expect(QString(), "cmdEnd");

    ConfigurationWizard wizard;
    EXPECT_TRUE(wizard.EditNewProgramma(ConfigurationWizard::kModeModify, id, QStringLiteral("Line 3")));

    EXPECT_EQ(RowCount(QStringLiteral("CModInstr")), modInstrRows);
    EXPECT_EQ(TablesWithRow(id), 18);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Line 3b"));
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_SlotC")).toInt(), 2);
}

TEST_F(ConfigurationWizardRun, ModifyOfAConfigurationThatCannotBeLoadedShowsNoPage)
{
    // Rows missing: End would store half-loaded objects over the rest.
    const std::int32_t id = StoreConfiguration(QStringLiteral("Line 4"));
    Exec(QStringLiteral("DELETE FROM \"CAlarm3\" WHERE \"IDProgramma\" = ?"), {id});
    m_Answers = {MsgBoxResult::OK};

    ConfigurationWizard wizard;
    EXPECT_FALSE(wizard.EditNewProgramma(ConfigurationWizard::kModeModify, id, QStringLiteral("Line 4")));
    EXPECT_EQ(m_Script.PagesShown(), 0);
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].style, MsgBoxStyle::Critical);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Line 4"));
}

// A stored value its field's rules refuse: in an object that applies, Modify
// shows no page and names the field as its page does; in one that does not
// apply (alarm 3 beside one relay), the wizard runs and End stores that
// object's starting values over the refused row.
TEST_F(ConfigurationWizardRun, ModifyOfARefusedValueDependsOnWhetherItsObjectApplies)
{
    struct Case {
        const char *table;
        std::int32_t alarm;
        bool applies;
    };
    for (const Case c : {Case{"CAlarm1", 1, true}, Case{"CAlarm3", 3, false}}) {
        SCOPED_TRACE(c.table);
        const std::int32_t id = StoreConfiguration(QStringLiteral("Line 5"));
        Exec(QStringLiteral("UPDATE \"%1\" SET \"m_AlarmType\" = 9 WHERE \"IDProgramma\" = ?")
                 .arg(QLatin1String(c.table)),
             {id});
        m_Boxes.clear();
        ConfigurationWizard wizard;
        if (c.applies) {
            m_Answers = {MsgBoxResult::OK};
            EXPECT_FALSE(wizard.EditNewProgramma(ConfigurationWizard::kModeModify, id, QStringLiteral("Line 5")));
            ASSERT_EQ(m_Boxes.size(), 1u);
            const QString field = GetResourceText(3161, {LoadResourceString(556), GetResourceText(3162, {c.alarm})});
            EXPECT_EQ(m_Boxes[0].text, GetResourceText(3164, {GetResourceText(3155, {field, 9})}));
            EXPECT_EQ(Column(QString::fromLatin1(c.table), id, QStringLiteral("m_AlarmType")).toInt(), 9);
            continue;
        }
        for (const char *key : {"CModInstr", "CRangeMVAHVA", "CDisplay", "CInOutScale", "CAlarm1", "CFiltroDigitale"})
            Expect(QString::fromLatin1(key), "cmdNext");
        Expect(QString(), "cmdEnd");
        EXPECT_TRUE(wizard.EditNewProgramma(ConfigurationWizard::kModeModify, id, QStringLiteral("Line 5")));
        EXPECT_TRUE(m_Boxes.empty());
        EXPECT_EQ(Column(QString::fromLatin1(c.table), id, QStringLiteral("m_AlarmType")).toInt(), 0);
    }
}

// Editing the setup read from an instrument stores configuration 2 and, on
// Yes, archives a copy under a new id.
TEST_F(ConfigurationWizardRun, InstrumentSetupIsStoredAndArchivedOnYesOnly)
{
    for (const int answer : {MsgBoxResult::Yes, MsgBoxResult::No}) {
        SCOPED_TRACE(answer == MsgBoxResult::Yes ? "Yes" : "No");
        const std::int32_t counterRows = RowCount(QStringLiteral("CounterProgrammi"));
        Expect(QStringLiteral("CModInstr"), "cmdNext", [](FWizardPage &p) {
            EXPECT_EQ(p.Caption(), QStringLiteral("Re-configuration of an instrument..."));
            Click(p, "optSlotB1");
        });
        for (const char *key : {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CFiltroDigitale", "CSerialComm"})
            Expect(QString::fromLatin1(key), "cmdNext");
        Expect(QString(), "cmdEnd");
        m_Boxes.clear();
        m_Answers = {answer};

        ConfigurationWizard wizard;
        EXPECT_TRUE(wizard.EditNewProgramma(ConfigurationWizard::kModeInstrument, -1, QString()));
        ASSERT_EQ(m_Boxes.size(), 1u);
        EXPECT_EQ(m_Boxes[0].text, QStringLiteral("Do you want to save the just modified configuration ?"));
        EXPECT_EQ(m_Boxes[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Question);
        EXPECT_EQ(Column(QStringLiteral("CModInstr"), 2, QStringLiteral("m_SlotB")).toInt(), 1);

        const std::int32_t archived = wizard.ArchivedIDProgramma();
        if (answer == MsgBoxResult::Yes) {
            ASSERT_GT(archived, 2);
            EXPECT_TRUE(CounterRowExists(archived));
            EXPECT_EQ(TablesWithRow(archived), 18);
            EXPECT_EQ(Column(QStringLiteral("CModInstr"), archived, QStringLiteral("m_SlotB")).toInt(), 1);
            EXPECT_EQ(RowCount(QStringLiteral("CounterProgrammi")), counterRows + 1);
        } else {
            EXPECT_EQ(archived, -1);
            EXPECT_EQ(RowCount(QStringLiteral("CounterProgrammi")), counterRows);
        }
        // Configuration 2 is rewritten in place, never doubled.
        EXPECT_EQ(TablesWithRow(2), 18);
        Exec(QStringLiteral("UPDATE \"CModInstr\" SET \"m_SlotB\" = 0 WHERE \"IDProgramma\" = 2"));
    }
}

// A save that finds the database held by another program: the box tells the
// failure, what was not done and offers Retry, which stores the very entries
// of the pages once the other program has let go; Cancel stores nothing. The
// same for the save at End of a new and of a modified configuration, and for
// the archived copy of an instrument's setup.
TEST_F(ConfigurationWizardRun, ASaveRefusedWhileTheDatabaseIsHeldIsOfferedAgain)
{
    struct Case {
        const char *what;
        std::int32_t mode;
        int answer;
    };
    const Case cases[] = {
        {"new, retried", ConfigurationWizard::kModeNew, MsgBoxResult::Retry},
        {"new, cancelled", ConfigurationWizard::kModeNew, MsgBoxResult::Cancel},
        {"modify, retried", ConfigurationWizard::kModeModify, MsgBoxResult::Retry},
        {"modify, cancelled", ConfigurationWizard::kModeModify, MsgBoxResult::Cancel},
        {"archive, retried", ConfigurationWizard::kModeInstrument, MsgBoxResult::Retry},
        {"archive, cancelled", ConfigurationWizard::kModeInstrument, MsgBoxResult::Cancel},
    };
    OtherProgram other(DatabaseFile());
    const QString entered = QStringLiteral("Entered");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const bool archive = c.mode == ConfigurationWizard::kModeInstrument;
        const std::int32_t id = c.mode == ConfigurationWizard::kModeNew ? ConfigurationWizard::DrawNewIDProgramma()
                                : archive                               ? ConfigurationWizard::kInstrumentIDProgramma
                                                                        : StoreConfiguration(QStringLiteral("Line 6"));
        const std::int32_t counterRows = RowCount(QStringLiteral("CounterProgrammi"));

        Expect(QStringLiteral("CModInstr"), "cmdNext", [&](FWizardPage &p) {
            p.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->setText(entered);
            if (archive)
                Click(p, "optSlotB1");
        });
        QStringList keys{QStringLiteral("CRangeMVAHVA"), QStringLiteral("CDisplay"), QStringLiteral("CInOutScale")};
        if (c.mode == ConfigurationWizard::kModeModify)
            keys << QStringLiteral("CAlarm1");
        keys << QStringLiteral("CFiltroDigitale");
        if (archive)
            keys << QStringLiteral("CSerialComm");
        for (const QString &key : keys)
            Expect(key, "cmdNext");
        // The other program takes the database while the last page waits
        // (for the archive: while the question waits).
        Expect(QString(), "cmdEnd", [&](FWizardPage &) {
            if (!archive)
                other.Lock();
        });

        std::vector<MsgBoxRequest> boxes;
        SetMsgBoxHook([&](const MsgBoxRequest &r) {
            boxes.push_back(r);
            if (r.text == LoadResourceString(ConfigurationWizard::kAskArchive)) {
                other.Lock();
                return MsgBoxResult::Yes;
            }
            if (c.answer == MsgBoxResult::Retry)
                other.Unlock();
            return c.answer;
        });
        ConfigurationWizard wizard;
        const bool stored = wizard.EditNewProgramma(c.mode, id, QStringLiteral("Line 6"));
        other.Unlock();

        const bool retried = c.answer == MsgBoxResult::Retry;
        EXPECT_EQ(stored, archive || retried);
        ASSERT_EQ(boxes.size(), archive ? 2u : 1u);
        const MsgBoxRequest &refused = boxes.back();
        EXPECT_EQ(
            refused.text.toStdString(),
            DatabaseRetryText(DatabaseError(QString(), DatabaseFailure::Busy),
                              LoadResourceString(archive ? ConfigurationWizard::kTextNotArchived : kTextNothingSaved))
                .toStdString());
        EXPECT_EQ(refused.style, MsgBoxStyle::Critical | MsgBoxStyle::RetryCancel);

        const std::int32_t storedId = archive ? wizard.ArchivedIDProgramma() : id;
        if (retried) {
            ASSERT_GT(storedId, 2);
            EXPECT_EQ(TablesWithRow(storedId), 18);
            EXPECT_EQ(Column(QStringLiteral("CModInstr"), storedId, QStringLiteral("m_NomeProgramma")).toString(),
                      entered);
        } else if (archive) {
            EXPECT_EQ(storedId, -1);
        } else {
            EXPECT_EQ(TablesWithRow(id), c.mode == ConfigurationWizard::kModeNew ? 0 : 18);
            EXPECT_NE(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_NomeProgramma")).toString(), entered);
        }
        EXPECT_EQ(RowCount(QStringLiteral("CounterProgrammi")), counterRows + (archive && retried ? 1 : 0));
        if (archive) {
            // Configuration 2 was stored before the question.
            EXPECT_EQ(Column(QStringLiteral("CModInstr"), 2, QStringLiteral("m_SlotB")).toInt(), 1);
            Exec(QStringLiteral("UPDATE \"CModInstr\" SET \"m_SlotB\" = 0 WHERE \"IDProgramma\" = 2"));
        }
    }
}

// SQLite opens a file it may not write read-only and stays so: a save at End
// refused read-only and offered again runs on a new opening, so the entries
// are stored once the file may be written.
TEST_F(ConfigurationWizardRun, ASaveRefusedReadOnlyIsRetriedOnANewOpening)
{
    const std::int32_t id = StoreConfiguration(QStringLiteral("Line 6"));
    const QString connection = TestConnectionText(m_Folder.Path());
    const QFile::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    // An ordinary user opens the database while it is read-only (tests may
    // run as root, who may write anywhere); then it is made writable.
    g_Connection.Close();
    const QString parent = QFileInfo(m_Folder.Path()).absolutePath();
    const QFile::Permissions parentPermissions = QFile::permissions(parent);
    const QFile::Permissions reachable = owner | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(parent, parentPermissions | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(m_Folder.Path(), reachable));
    ASSERT_TRUE(QFile::setPermissions(DatabaseFile(), QFileDevice::ReadOwner | QFileDevice::ReadOther));
    {
        UnprivilegedFileAccess asUser;
        g_Connection.Open(connection);
    }
    ASSERT_TRUE(QFile::setPermissions(parent, parentPermissions));
    ASSERT_TRUE(QFile::setPermissions(m_Folder.Path(), owner));
    ASSERT_TRUE(QFile::setPermissions(DatabaseFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    int reopened = 0;
    ConfigurationWizard::SetDatabaseReopener([&] {
        ++reopened;
        g_Connection.Open(connection);
    });

    const QString entered = QStringLiteral("Entered");
    Expect(QStringLiteral("CModInstr"), "cmdNext",
           [&](FWizardPage &p) { p.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->setText(entered); });
    for (const char *key : {"CRangeMVAHVA", "CDisplay", "CInOutScale", "CAlarm1", "CFiltroDigitale"})
        Expect(QString::fromLatin1(key), "cmdNext");
    Expect(QString(), "cmdEnd");
    std::vector<MsgBoxRequest> boxes;
    SetMsgBoxHook([&](const MsgBoxRequest &r) {
        boxes.push_back(r);
        return boxes.size() == 1 ? MsgBoxResult::Retry : MsgBoxResult::Cancel;
    });
    ConfigurationWizard wizard;
    const bool stored = wizard.EditNewProgramma(ConfigurationWizard::kModeModify, id, QStringLiteral("Line 6"));
    ConfigurationWizard::SetDatabaseReopener({});

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.toStdString(), DatabaseRetryText(DatabaseError(QString(), DatabaseFailure::ReadOnly),
                                                             LoadResourceString(kTextNothingSaved))
                                               .toStdString());
    EXPECT_TRUE(stored);
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_NomeProgramma")).toString(), entered);
}

} // namespace
