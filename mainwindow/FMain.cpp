#include "FMain.h"

#include "ADOConnection.h"
#include "Avvio.h"
#include "CStatusBarHelp.h"
#include "CTraceCode.h"
#include "DatabaseError.h"
#include "FAbout.h"
#include "MsgBox.h"
#include "ProgramFolder.h"
#include "StringTable.h"

#include <QDateTime>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>

FMain::FMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FMain"));
    // Menu items are designed with their string ids as text; the load puts
    // the texts in.
    mnuFile = menuBar()->addMenu(QStringLiteral("1000"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuExit = mnuFile->addAction(QStringLiteral("1002"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    mnuHelp = menuBar()->addMenu(QStringLiteral("1020"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("1021"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, [this] {
        FAbout about(this);
        about.exec();
    });

    lvProgrammi = new QListWidget(this);
    lvProgrammi->setObjectName(QStringLiteral("lvProgrammi"));
    setCentralWidget(lvProgrammi);
    // Made with the window, so it is shown with it (a child created during
    // the first show would stay hidden).
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    resize(460, 250);
}

FMain::~FMain() = default;

QString FMain::ConnectionText()
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + ProgramFolder() +
           QLatin1Char('/') + QString::fromLatin1(kDatabaseFileName) + QLatin1Char(';');
}

void FMain::showEvent(QShowEvent *event)
{
    if (!m_Loaded) {
        m_Loaded = true;
        formLoad();
    }
    QMainWindow::showEvent(event);
}

void FMain::AddProgramToList(const QString &name, std::int32_t id)
{
    auto *item = new QListWidgetItem(name, lvProgrammi);
    item->setData(Qt::UserRole, id);
    lvProgrammi->setCurrentItem(item);
}

void FMain::m_StatusBarHelp_HelpID(std::int16_t id)
{
    if (!statusBar()->isVisible() || id == -1)
        return;
    const std::int32_t textId = id == 0 ? 240 : id;
    if (HasResourceString(textId))
        statusBar()->showMessage(LoadResourceString(textId));
}

void FMain::formLoad()
{
    const QDateTime now = QDateTime::currentDateTime();
    g_Trace.BugMessage(now.toString(QStringLiteral("ddMMyyyy")) + QLatin1Char(' ') +
                       now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Nuova esecuzione di ") +
                       ExecutableName());
    m_Loading = true;
    // The help table is built from the designed captions (the string ids),
    // so before the menu texts replace them.
    g_Trace.BugMessage(QStringLiteral("Creazione della classe per l'help sulla statusbar"));
    m_StatusBarHelp = new CStatusBarHelp(this);
    connect(m_StatusBarHelp, &CStatusBarHelp::HelpID, this, &FMain::m_StatusBarHelp_HelpID);
    m_StatusBarHelp->Create(this, 200);
    LoadMenuCaptions(this);

    g_Trace.BugMessage(QStringLiteral("Form_Load step 1"));
    statusBar()->showMessage(LoadResourceString(240));
    setWindowTitle(LoadResourceString(301));

    g_Trace.BugMessage(QStringLiteral("Form_Load step 2"));
    try {
        g_Connection.Open(ConnectionText());
        m_rsProgrammi.Open(QStringLiteral("Programmi"), g_Connection);
        if (!m_rsProgrammi.Eof()) {
            m_rsProgrammi.MoveFirst();
            while (!m_rsProgrammi.Eof()) {
                AddProgramToList(m_rsProgrammi.Value(QStringLiteral("m_NomeProgramma")).toString(),
                                 m_rsProgrammi.Value(QStringLiteral("IDProgramma")).toInt());
                m_rsProgrammi.MoveNext();
            }
            m_rsProgrammi.MoveFirst();
            lvProgrammi->setCurrentRow(0);
            m_CurrentIDProgramma = lvProgrammi->currentItem()->data(Qt::UserRole).toInt();
        }
    } catch (const DatabaseError &e) {
        // The window stays up with an empty list; the user learns why.
        MsgBox(e.Description(), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(), this);
    }

    m_Loading = false;
    g_Trace.BugMessage(QStringLiteral("Fine FMain_Load"));
}
