#pragma once
#include "ADORecordset.h"

#include <QMainWindow>
#include <cstdint>

class CStatusBarHelp;
class QLabel;
class QListWidget;
class QMenu;
class QAction;

// The main window: the list of the stored configurations. Creating it loads
// nothing; its load runs when it is first shown: the status-bar menu help,
// menu texts, the database connection opened, the list filled from the
// stored query "Programmi".
class FMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FMain(QWidget *parent = nullptr);
    ~FMain() override;

    // The connection text of the configuration database in the program folder.
    static QString ConnectionText();

    QListWidget *lvProgrammi = nullptr;
    QMenu *mnuFile = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;

    // The help text of the highlighted menu item in the status bar: 0 (the
    // menu closed) shows "Ready", -1 (a drop-down title) changes nothing,
    // any other id shows its text (an id without a text changes nothing).
    void m_StatusBarHelp_HelpID(std::int16_t id);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void formLoad();
    void AddProgramToList(const QString &name, std::int32_t id);

    CStatusBarHelp *m_StatusBarHelp = nullptr;
    std::int32_t m_CurrentIDProgramma = -1;
    bool m_Loading = false;
    bool m_Loaded = false;
    ADORecordset m_rsProgrammi;
};
