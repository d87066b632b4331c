// Failures of the configuration database on every road of the main window,
// caused as another program or another instance of this one causes them:
// the database held locked, a full disk (SQLite's own page limit), a
// database that cannot be written, the selected configuration deleted, one
// configuration's stored value or row spoilt. Each is told in the words of
// its kind, with what the command did not do; none is told as a fault of
// the instrument, of a file or of the schema, and nothing stored changes.
#include "SerialTestSupport.h"
#include "AuxInstrumentSimulator.h"
#include "CCollDatiSetup.h"
#include "CCommConfig.h"
#include "CGestioneMemMap.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "AuxLineFunctions.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
#include "ConfigurationWizard.h"
#include "DatabaseErrorText.h"
#include "FAuxProgSetup.h"
#include "FieldLabels.h"
#include "FMain.h"
#include "FSerialProgSetup.h"
#include "InstrumentSimulator.h"
#include "MemMapTypes.h"
#include "ModbusTransfer.h"
#include "MsgBox.h"
#include "ProgramFolder.h"
#include "PtyPair.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "TransferCommands.h"

#include "../model/CollectionTestSupport.h"
#include "../model/ModelDatabase.h"
#include "../wizard/WizardTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

using colltest::Modules;
using serialtest::FastTimer;
using serialtest::ScopedSerialPorts;

constexpr int kAddress = 5;
// A configuration with a serial module (Modbus), and one with nothing fitted
// (the auxiliary interface, whose model page then needs no change).
const Modules kModbusModules{1, 0, 2, 2, 0};
const Modules kAuxModules{1, 0, 0, 0, 0};

enum class Failure {
    Locked,        // another program holds the database (an exclusive lock)
    LockedAtStart, // the same, already when the main window opens
    DiskFull,      // no page left for a new row
    ReadOnly,      // the database cannot be written
    Deleted,       // another instance deleted the selected configuration
    BadValue,      // the selected configuration holds a value its field cannot hold
    RowMissing,    // the selected configuration lacks the row of one of its tables
};

enum class Road {
    Delete,
    Export,
    Import,
    Print,
    Modify,
    New,
    TransmitModbus,
    TransmitAux,
    ReadBackModbus,
    ReadBackAux
};

struct FailureCase {
    const char *what;
    Road road;
    Failure failure;
};

void PrintTo(const FailureCase &c, std::ostream *os)
{
    *os << c.what;
}

const FailureCase kCases[] = {
    {"delete, locked", Road::Delete, Failure::Locked},
    {"delete, read-only", Road::Delete, Failure::ReadOnly},
    {"export, locked", Road::Export, Failure::Locked},
    {"export, deleted", Road::Export, Failure::Deleted},
    {"export, a bad value", Road::Export, Failure::BadValue},
    {"export, a row missing", Road::Export, Failure::RowMissing},
    {"import, locked", Road::Import, Failure::Locked},
    {"import, locked at the start", Road::Import, Failure::LockedAtStart},
    {"import, disk full", Road::Import, Failure::DiskFull},
    {"import, read-only", Road::Import, Failure::ReadOnly},
    {"print, locked", Road::Print, Failure::Locked},
    {"print, deleted", Road::Print, Failure::Deleted},
    {"print, a bad value", Road::Print, Failure::BadValue},
    {"print, a row missing", Road::Print, Failure::RowMissing},
    {"modify, locked", Road::Modify, Failure::Locked},
    {"modify, deleted", Road::Modify, Failure::Deleted},
    {"modify, a bad value", Road::Modify, Failure::BadValue},
    {"modify, a row missing", Road::Modify, Failure::RowMissing},
    {"new, locked", Road::New, Failure::Locked},
    {"new, read-only", Road::New, Failure::ReadOnly},
    {"new, locked at the start", Road::New, Failure::LockedAtStart},
    {"transmit over Modbus, locked", Road::TransmitModbus, Failure::Locked},
    {"transmit over Modbus, deleted", Road::TransmitModbus, Failure::Deleted},
    {"transmit over the auxiliary interface, deleted", Road::TransmitAux, Failure::Deleted},
    {"read back over Modbus, locked", Road::ReadBackModbus, Failure::Locked},
    {"read back over Modbus, read-only", Road::ReadBackModbus, Failure::ReadOnly},
    {"read back over the auxiliary interface, locked", Road::ReadBackAux, Failure::Locked},
    {"read back over the auxiliary interface, read-only", Road::ReadBackAux, Failure::ReadOnly},
};

// The texts a user reads: the kind of failure, then what the road did not do.
QString KindText(Failure failure)
{
    const QString file = QDir::toNativeSeparators(ProgramFile(QString::fromLatin1(kDatabaseFileName)));
    switch (failure) {
    case Failure::Locked:
    case Failure::LockedAtStart: return GetResourceText(1060, {file});
    case Failure::DiskFull: return GetResourceText(1061, {file});
    case Failure::ReadOnly: return GetResourceText(1062, {file});
    case Failure::Deleted: return GetResourceText(1063, {file});
    // The configuration by its listed name, the rest of the archive usable.
    case Failure::BadValue:
        return GetResourceText(
            1066, {QStringLiteral("Forno 1"),
                   GetResourceText(1067, {FieldUserName(QStringLiteral("CModInstr"), QStringLiteral("m_SlotA"))})});
    case Failure::RowMissing: return GetResourceText(1066, {QStringLiteral("Forno 1"), LoadResourceString(1068)});
    }
    return {};
}

QString Told(Road road, const QString &kind)
{
    const auto then = [&kind](std::int32_t id) { return kind + QStringLiteral("\n\r") + LoadResourceString(id); };
    switch (road) {
    case Road::Export: return then(1070);
    case Road::Import: return then(1071);
    case Road::ReadBackModbus:
    case Road::ReadBackAux: return then(1072);
    case Road::TransmitModbus:
    case Road::TransmitAux: return then(1073);
    case Road::Print: return GetResourceText(688, {kind});
    case Road::Delete:
    case Road::Modify:
    case Road::New: break;
    }
    return kind;
}

// Scripted pages of the connection wizards.
PageScript::Step CommPage(std::int16_t interfaceType)
{
    return [=](FWizardPage &page) {
        EXPECT_EQ(page.objectName(), QStringLiteral("FWCommConfig"));
        page.findChild<QComboBox *>(QStringLiteral("cmbComPort"))->setCurrentIndex(0);
        page.findChild<QRadioButton *>(QStringLiteral("optInterfaceType%1").arg(interfaceType))->click();
        PageScript::Press(page, "cmdNext");
    };
}

PageScript::Step Press(const char *pageName, const char *button)
{
    return [=](FWizardPage &page) {
        EXPECT_EQ(page.objectName(), QString::fromLatin1(pageName));
        PageScript::Press(page, button);
    };
}

class DatabaseFailures : public ModelDatabase, public ::testing::WithParamInterface<FailureCase> {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        ASSERT_TRUE(m_Pair.IsOpen());
        g_Scala.Reset();
        g_ScalaB.Reset();
        m_OldTimeout = ADOConnection::BusyTimeout();
        ADOConnection::SetBusyTimeout(20);
        // The delete question is answered Yes and is not recorded.
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            if (r.text == LoadResourceString(795))
                return MsgBoxResult::Yes;
            m_Boxes.push_back(r);
            return MsgBoxResult::OK;
        });
        // The Modbus dump files go to the current folder.
        m_OldCurrent = QDir::currentPath();
        QDir::setCurrent(m_Folder.Path());

        m_Other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-program"));
        m_Other.setDatabaseName(DatabaseFile());
        ASSERT_TRUE(m_Other.open());
    }

    void TearDown() override
    {
        Unlock();
        m_Main.reset();
        if (m_Modbus)
            m_Modbus->Stop();
        if (m_Aux)
            m_Aux->Stop();
        m_Other.close();
        m_Other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other-program"));
        QDir::setCurrent(m_OldCurrent);
        SetMsgBoxHook(m_OldHook);
        ADOConnection::SetBusyTimeout(m_OldTimeout);
        g_Scala.Reset();
        g_ScalaB.Reset();
        ModelDatabase::TearDown();
    }

    // A listed configuration under a drawn id.
    static std::int32_t StoreListed(const QString &name, const Modules &modules)
    {
        CCollDatiSetup c;
        c.ModInstr().SetNomeProgramma(name);
        c.SetCodificaModuli(colltest::Coding(modules));
        c.SerialComm().SetNetworkAdd(kAddress);
        c.SetIDProgramma(ConfigurationWizard::DrawNewIDProgramma());
        c.SaveDataInADORS(true);
        return c.IDProgramma();
    }

    QSqlQuery Other(const QString &statement)
    {
        QSqlQuery q(m_Other);
        EXPECT_TRUE(q.exec(statement)) << statement.toStdString() << ": " << q.lastError().text().toStdString();
        return q;
    }

    // The program's own connection.
    QSqlQuery Program(const QString &statement)
    {
        QSqlQuery q(QSqlDatabase::database(g_Connection.QtConnectionName(), false));
        EXPECT_TRUE(q.exec(statement)) << statement.toStdString() << ": " << q.lastError().text().toStdString();
        return q;
    }

    void Lock()
    {
        Other(QStringLiteral("BEGIN EXCLUSIVE"));
        m_Locked = true;
    }

    void Unlock()
    {
        if (m_Locked)
            Other(QStringLiteral("ROLLBACK"));
        m_Locked = false;
    }

    // No page is left for one more row of any configuration table: each is
    // filled with rows as small as a new configuration's first, under keys
    // of the same length as the ids drawn from now on. The counter of ids
    // keeps its room, so that a configuration fails after its id was drawn.
    void FillTheDisk()
    {
        Program(QStringLiteral("PRAGMA synchronous = OFF"));
        Program(QStringLiteral("UPDATE sqlite_sequence SET seq = 20000 WHERE name = 'CounterProgrammi'"));
        QSqlQuery pages = Program(QStringLiteral("PRAGMA page_count"));
        ASSERT_TRUE(pages.next());
        Program(QStringLiteral("PRAGMA max_page_count = %1").arg(pages.value(0).toLongLong()));
        QSqlQuery tables = Program(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                                                  "LIKE 'sqlite_%' AND name <> 'CounterProgrammi'"));
        QStringList names;
        while (tables.next())
            names << tables.value(0).toString();
        tables = QSqlQuery();
        for (const QString &table : names) {
            qint64 next = 1000000;
            for (int batch = 4096; batch > 0;) {
                QSqlQuery fill(QSqlDatabase::database(g_Connection.QtConnectionName(), false));
                const QString sql = QStringLiteral("WITH RECURSIVE k(n) AS (SELECT %1 UNION ALL SELECT n + 1 FROM k "
                                                   "WHERE n < %2) INSERT INTO \"%3\" (IDProgramma) SELECT n FROM k")
                                        .arg(next)
                                        .arg(next + batch - 1)
                                        .arg(table);
                if (fill.exec(sql)) {
                    next += batch;
                } else {
                    ASSERT_EQ(fill.lastError().nativeErrorCode(), QStringLiteral("13"))
                        << fill.lastError().text().toStdString();
                    batch /= 2;
                }
            }
        }
    }

    void Cause(Failure failure)
    {
        switch (failure) {
        case Failure::Locked: Lock(); break;
        case Failure::LockedAtStart: break;
        case Failure::DiskFull: FillTheDisk(); break;
        case Failure::ReadOnly: Program(QStringLiteral("PRAGMA query_only = 1")); break;
        case Failure::Deleted:
            Other(QStringLiteral("INSERT INTO Canc_Programma (IDProgramma) VALUES (%1)").arg(m_Forno1));
            break;
        case Failure::BadValue:
            Other(QStringLiteral("UPDATE CModInstr SET m_SlotA = 70000 WHERE IDProgramma = %1").arg(m_Forno1));
            break;
        case Failure::RowMissing:
            Other(QStringLiteral("DELETE FROM CAlarm2 WHERE IDProgramma = %1").arg(m_Forno1));
            break;
        }
    }

    // Every row of every table, read by the other program.
    QStringList Stored()
    {
        QStringList rows;
        QSqlQuery tables = Other(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
        QStringList names;
        while (tables.next())
            names << tables.value(0).toString();
        for (const QString &table : names) {
            QSqlQuery q = Other(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
            while (q.next()) {
                QStringList values{table};
                for (int i = 0; i < q.record().count(); ++i)
                    values << q.value(i).toString();
                rows << values.join(QLatin1Char('|'));
            }
        }
        return rows;
    }

    FMain &Open()
    {
        m_Main = std::make_unique<FMain>();
        m_Main->show();
        m_Main->NetworkAddMsg().SetSelNetworkAdd(1);
        m_Main->NetworkAddMsg().SetNetworkAdd(kAddress);
        if (TransferCommands *transfer = m_Main->Transfer()) {
            transfer->SetFileDialog([this](QWidget *, const TransferCommands::FileDialogRequest &r) {
                return r.save ? m_Folder.File(QStringLiteral("out.OXA")) : m_Folder.File(QStringLiteral("good.OXA"));
            });
            transfer->SetFormHook([](QDialog &form) {
                if (auto *serial = dynamic_cast<FSerialProgSetup *>(&form)) {
                    serial->Rs232Manager = new FastTimer(serial);
                    serial->Engine()->SetScanTimeOutRx(40);
                } else if (auto *aux = dynamic_cast<FAuxProgSetup *>(&form)) {
                    aux->TapiComm->SetIdleGap(30);
                    aux->Engine().SetLine(aux->TapiComm, new FastTimer(aux), -1);
                    aux->Engine().SetTimeOuts(500, 150);
                    aux->Engine().SetSettleTime(0);
                }
            });
        }
        return *m_Main;
    }

    // The instrument the transfer roads talk to, holding configuration id.
    void Connect(Road road, std::int32_t id)
    {
        CGestioneMemMap map;
        map.SetIDProgramma(id);
        if (road == Road::TransmitModbus || road == Road::ReadBackModbus) {
            ASSERT_TRUE(map.ConvertUserSetupToMemoryMap());
            m_Modbus = std::make_unique<testsim::InstrumentSimulator>(m_Pair);
            m_Instrument = m_Modbus->AddInstrument(kAddress, colltest::Coding(kModbusModules), 38400);
            for (std::int16_t i = 0; i < 89; ++i)
                m_Modbus->SetRegister(m_Instrument, static_cast<std::uint16_t>(0xE000 + i), map.MemMap(i));
        } else if (road == Road::TransmitAux || road == Road::ReadBackAux) {
            ASSERT_TRUE(map.ConvertUserSetupToMemoryMapAux());
            QStringList lines;
            for (std::int16_t i = 0; i < static_cast<std::int16_t>(kMemMapAuxLines); ++i) {
                if (map.MemMapAux(i) != kAuxNoSend)
                    lines << map.MemMapAux(i);
            }
            m_Aux = std::make_unique<testsim::AuxInstrumentSimulator>(m_Pair);
            m_Aux->SetSetup(lines);
        }
    }

    void Run(Road road)
    {
        FMain &main = *m_Main;
        PageScript script;
        switch (road) {
        case Road::TransmitModbus:
        case Road::ReadBackModbus:
            script.Then(CommPage(CCommConfig::kInterfaceRS232))
                .Then(Press("FWNetworkAddMsgSetup", "cmdNext"))
                .Then(Press("FWFinalSetupMessage", "cmdEnd"));
            break;
        case Road::TransmitAux:
            script.Then(CommPage(CCommConfig::kInterfaceAux)).Then(Press("FWFinalSetupMessage", "cmdEnd"));
            break;
        case Road::ReadBackAux:
            script.Then(CommPage(CCommConfig::kInterfaceAux))
                .Then(Press("FWModInstr", "cmdNext"))
                .Then(Press("FWFinalSetupMessage", "cmdEnd"));
            break;
        default: break;
        }
        const bool fileMenu = road == Road::Export || road == Road::Import || road == Road::Print;
        emit(fileMenu ? main.mnuFile : main.mnuGestioneProgrammi)->aboutToShow();
        QAction *item = nullptr;
        switch (road) {
        case Road::Delete: item = main.mnuDelProgramma; break;
        case Road::Export: item = main.mnuExport; break;
        case Road::Import: item = main.mnuImport; break;
        case Road::Print: item = main.mnuPrint; break;
        case Road::Modify: item = main.mnuEditProgramma; break;
        case Road::New: item = main.mnuAddProgramma; break;
        case Road::TransmitModbus:
        case Road::TransmitAux: item = main.mnuSendProgramma; break;
        case Road::ReadBackModbus:
        case Road::ReadBackAux: item = main.mnuRxEditTxProgramma; break;
        }
        item->trigger();
    }

    QStringList Lines() const
    {
        QStringList lines;
        for (int i = 0; i < m_Main->lvProgrammi->count(); ++i)
            lines << m_Main->lvProgrammi->item(i)->text();
        return lines;
    }

    testpty::PtyPair m_Pair;
    ScopedSerialPorts m_Ports{m_Pair.SlavePath()};
    std::unique_ptr<testsim::InstrumentSimulator> m_Modbus;
    int m_Instrument = -1;
    std::unique_ptr<testsim::AuxInstrumentSimulator> m_Aux;
    std::unique_ptr<FMain> m_Main;
    std::vector<MsgBoxRequest> m_Boxes;
    QSqlDatabase m_Other;
    bool m_Locked = false;
    std::int32_t m_Forno1 = -1;
    std::int32_t m_Forno2 = -1;

private:
    int m_OldTimeout = 0;
    MsgBoxHook m_OldHook;
    QString m_OldCurrent;
};

TEST_P(DatabaseFailures, AreToldForWhatTheyAreAndChangeNothingStored)
{
    const FailureCase &c = GetParam();
    m_Forno1 = StoreListed(QStringLiteral("Forno 1"), c.road == Road::ReadBackAux ? kAuxModules : kModbusModules);
    m_Forno2 = StoreListed(QStringLiteral("Forno 2"), kAuxModules);
    {
        CGestioneMemMap map;
        ASSERT_TRUE(map.Export(m_Folder.File(QStringLiteral("good.OXA")), m_Forno1));
    }
    Connect(c.road, m_Forno1);
    if (c.failure == Failure::LockedAtStart)
        Lock();
    FMain &main = Open();
    ASSERT_EQ(main.CurrentIDProgramma(), c.failure == Failure::LockedAtStart ? -1 : m_Forno1);
    Cause(c.failure);
    const QStringList before = Stored();

    Run(c.road);

    Unlock();
    EXPECT_EQ(Stored().join(QLatin1Char('\n')).toStdString(), before.join(QLatin1Char('\n')).toStdString());
    EXPECT_FALSE(QFile::exists(m_Folder.File(QStringLiteral("out.OXA"))));
    if (m_Modbus) {
        EXPECT_EQ(m_Modbus->WriteRequests(m_Instrument), 0);
    }
    if (m_Aux) {
        EXPECT_FALSE(m_Aux->Received().contains(QStringLiteral("WRITE")));
    }

    std::vector<std::string> expected;
    if (c.failure == Failure::LockedAtStart) // the load, then the menu: the command is not offered
        expected = {KindText(c.failure).toStdString(), KindText(c.failure).toStdString()};
    else
        expected = {Told(c.road, KindText(c.failure)).toStdString()};
    std::vector<std::string> shown;
    for (const MsgBoxRequest &box : m_Boxes) {
        shown.push_back(box.text.toStdString());
        EXPECT_NE(box.title, LoadResourceString(CommFailureText::Title)) << box.text.toStdString();
    }
    EXPECT_EQ(shown, expected);

    // The list shows what the archive holds.
    if (c.failure == Failure::Deleted) {
        EXPECT_EQ(Lines().join(QLatin1Char('|')).toStdString(), "Forno 2");
        EXPECT_EQ(main.CurrentIDProgramma(), m_Forno2);
    } else if (c.failure != Failure::LockedAtStart) {
        EXPECT_EQ(Lines().join(QLatin1Char('|')).toStdString(), "Forno 1|Forno 2");
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, DatabaseFailures, ::testing::ValuesIn(kCases));

// SQLite keeps a connection read-only once it found the file so: a write it
// refused read-only is tried on a new opening by the next command, which is
// done once the database may be written, on the line the user selected,
// whether the command comes through its menu or straight (a key).
TEST_F(DatabaseFailures, AWriteRefusedReadOnlyIsTriedAgainOnANewOpeningByTheNextCommand)
{
    m_Forno1 = StoreListed(QStringLiteral("Forno 1"), kAuxModules);
    m_Forno2 = StoreListed(QStringLiteral("Forno 2"), kAuxModules);
    const std::int32_t forno3 = StoreListed(QStringLiteral("Forno 3"), kAuxModules);
    Open();
    Cause(Failure::ReadOnly);

    Run(Road::Delete);
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].text, KindText(Failure::ReadOnly));
    EXPECT_EQ(Lines().join(QLatin1Char('|')).toStdString(), "Forno 1|Forno 2|Forno 3");

    m_Main->lvProgrammi->setCurrentRow(1);
    Run(Road::Delete);
    EXPECT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(Lines().join(QLatin1Char('|')).toStdString(), "Forno 1|Forno 3");

    Cause(Failure::ReadOnly);
    m_Main->lvProgrammi->setCurrentRow(1);
    ASSERT_EQ(m_Main->CurrentIDProgramma(), forno3);
    m_Main->mnuDelProgramma->trigger();
    ASSERT_EQ(m_Boxes.size(), 2u);
    EXPECT_EQ(m_Boxes[1].text, KindText(Failure::ReadOnly));
    m_Main->mnuDelProgramma->trigger();
    EXPECT_EQ(m_Boxes.size(), 2u);
    EXPECT_EQ(Lines().join(QLatin1Char('|')).toStdString(), "Forno 1");
}

} // namespace
