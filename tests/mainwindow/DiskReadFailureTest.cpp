// A disk that stops giving the configuration database's data after the
// opening (EIO on a read): a configuration's load and the save at End tell
// it as a disk that did not answer, never as a damaged database, and the
// save at End is offered again, storing the entries once the disk answers.
#include "CCollDatiSetup.h"
#include "CModInstr.h"
#include "CTextDigitSpin.h"
#include "ConfigurationWizard.h"
#include "DatabaseErrorText.h"
#include "DiskReadFailure.h"
#include "FWizardPage.h"
#include "MsgBox.h"
#include "ResourceText.h"

#include "../model/ModelDatabase.h"
#include "../wizard/WizardTestSupport.h"

#include <QDir>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

class DiskReadFailureTest : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        m_Id = ConfigurationWizard::DrawNewIDProgramma();
        CCollDatiSetup setup;
        setup.SetIDProgramma(m_Id);
        setup.ModInstr().SetNomeProgramma(QStringLiteral("Line 6"));
        setup.ModInstr().SetModelloStrumento(1);
        setup.ModInstr().SetSlotA(0);
        setup.ModInstr().SetSlotC(1);
        setup.SaveDataInADORS(true);
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            m_Boxes.push_back(r);
            return m_Answer ? m_Answer(r) : MsgBoxResult::OK;
        });
    }
    void TearDown() override
    {
        SetMsgBoxHook(m_OldHook);
        ModelDatabase::TearDown();
    }

    QString NotRead() const
    {
        return GetResourceText(kTextDatabaseNotRead, {QDir::toNativeSeparators(DatabaseFile())});
    }

    QString StoredName()
    {
        return Column(QStringLiteral("CModInstr"), m_Id, QStringLiteral("m_NomeProgramma")).toString();
    }

    std::int32_t m_Id = -1;
    std::vector<MsgBoxRequest> m_Boxes;
    std::function<int(const MsgBoxRequest &)> m_Answer;

private:
    MsgBoxHook m_OldHook;
};

// The stored configuration, read as every road reads it (the collection's
// load), and the wizard that loads it for Modify.
TEST_F(DiskReadFailureTest, AConfigurationsLoadTellsTheDiskThatDidNotAnswer)
{
    {
        DiskReadFailure disk(DatabaseFile());
        CCollDatiSetup stored;
        stored.SetIDProgramma(m_Id);
        try {
            stored.LoadDataFromADORS();
            ADD_FAILURE() << "the configuration was loaded";
        } catch (const DatabaseError &e) {
            EXPECT_EQ(e.Kind(), DatabaseFailure::ReadFailed) << e.Description().toStdString();
            EXPECT_EQ(DatabaseErrorText(e).toStdString(), NotRead().toStdString());
        }

        ConfigurationWizard wizard;
        EXPECT_FALSE(wizard.EditNewProgramma(ConfigurationWizard::kModeModify, m_Id, QStringLiteral("Line 6")));
        ASSERT_EQ(m_Boxes.size(), 1u);
        EXPECT_EQ(m_Boxes[0].text.toStdString(), NotRead().toStdString());
        EXPECT_GT(disk.FailedReads(), 0);
    }
    // The disk answers again: the same connection loads it.
    CCollDatiSetup stored;
    stored.SetIDProgramma(m_Id);
    EXPECT_NO_THROW(stored.LoadDataFromADORS());
}

// The disk stops answering while the last page waits: the save at End is
// told as a read that failed, offered again, and Retry stores the entries
// once the disk answers; Cancel stores nothing.
TEST_F(DiskReadFailureTest, ASaveAtEndThatMeetsAFailingReadIsOfferedAgain)
{
    const QString entered = QStringLiteral("Entered");
    for (const int answer : {MsgBoxResult::Retry, MsgBoxResult::Cancel}) {
        SCOPED_TRACE(answer == MsgBoxResult::Retry ? "retried" : "cancelled");
        m_Boxes.clear();
        std::optional<DiskReadFailure> disk;
        PageScript script;
        script.Then([&](FWizardPage &p) {
            EXPECT_EQ(p.objectName(), QStringLiteral("FWModInstr"));
            p.findChild<QLineEdit *>(QStringLiteral("txtProgramName"))->setText(entered);
            PageScript::Press(p, "cmdNext");
        });
        for (const char *form : {"FWRangeMVAHVA", "FWDisplay", "FWInOutScale", "FWAlarm", "FWFiltroDigitale"}) {
            script.Then([form](FWizardPage &p) {
                EXPECT_EQ(p.objectName(), QString::fromLatin1(form));
                // The scale page's electrical range is the user's to set.
                if (auto *max = p.findChild<CTextDigitSpin *>(QStringLiteral("m_MaxElectricScale")))
                    max->SetValue(max->Max());
                PageScript::Press(p, "cmdNext");
            });
        }
        script.Then([&](FWizardPage &p) {
            EXPECT_EQ(p.objectName(), QStringLiteral("FWFinalSetupMessage"));
            disk.emplace(DatabaseFile());
            PageScript::Press(p, "cmdEnd");
        });
        // Retry twice while the disk still fails, then once it answers.
        m_Answer = [&](const MsgBoxRequest &) {
            if (answer == MsgBoxResult::Retry && m_Boxes.size() == 2)
                disk->Heal();
            return answer;
        };
        ConfigurationWizard wizard;
        const bool stored = wizard.EditNewProgramma(ConfigurationWizard::kModeModify, m_Id, QStringLiteral("Line 6"));
        ASSERT_TRUE(disk.has_value());
        EXPECT_GT(disk->FailedReads(), 0);
        disk.reset();
        m_Answer = {};

        const bool retried = answer == MsgBoxResult::Retry;
        EXPECT_EQ(stored, retried);
        ASSERT_EQ(m_Boxes.size(), retried ? 2u : 1u);
        for (const MsgBoxRequest &box : m_Boxes) {
            EXPECT_EQ(box.text.toStdString(), DatabaseRetryText(DatabaseError(QString(), DatabaseFailure::ReadFailed),
                                                                LoadResourceString(kTextNothingSaved))
                                                  .toStdString());
            EXPECT_EQ(box.style, MsgBoxStyle::Critical | MsgBoxStyle::RetryCancel);
        }
        EXPECT_EQ(StoredName(), retried ? entered : QStringLiteral("Line 6"));
        if (retried)
            Exec(QStringLiteral("UPDATE CModInstr SET m_NomeProgramma = 'Line 6' WHERE IDProgramma = ?"), {m_Id});
    }
}

} // namespace
