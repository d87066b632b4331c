#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// The about window: who and what the program is, every text from the string
// table. Shown modally with the main window as its owner; OK closes it.
class FAbout : public QDialog {
    Q_OBJECT
public:
    explicit FAbout(QWidget *owner = nullptr);

    QLabel *picApplication = nullptr;
    QLabel *picDravello = nullptr;
    QLabel *lblTitle[2] = {nullptr, nullptr};
    QLabel *lblDescription = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblSupporto = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    void formLoad();
};
