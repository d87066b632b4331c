#pragma once
#include "ADORecordset.h"

#include <QMainWindow>
#include <cstdint>

class QLabel;
class QListWidget;
class QMenu;
class QAction;

// The main window: the list of the stored configurations. Creating it loads
// nothing; its load runs when it is first shown: menu texts, the database
// connection opened, the list filled from the stored query "Programmi".
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

protected:
    void showEvent(QShowEvent *event) override;

private:
    void formLoad();
    void AddProgramToList(const QString &name, std::int32_t id);

    std::int32_t m_CurrentIDProgramma = -1;
    bool m_Loading = false;
    bool m_Loaded = false;
    ADORecordset m_rsProgrammi;
};
