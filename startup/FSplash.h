#pragma once
#include <QWidget>

class QGroupBox;
class QLabel;

// The splash window shown while the program starts: the program's image and
// the maker's logo, the title, description, version, copyright, platform,
// warning and maker texts. It has no caption of its own.
class FSplash : public QWidget {
    Q_OBJECT
public:
    explicit FSplash(QWidget *parent = nullptr);

    QLabel *picApplication = nullptr;
    QLabel *picDravello = nullptr;
    QGroupBox *fraMainFrame = nullptr;
    QLabel *lblTitle[2] = {nullptr, nullptr};
    QLabel *lblDescription = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblPlatform = nullptr;
    QLabel *lblWarning = nullptr;
    QLabel *lblCompany = nullptr;

private:
    void formLoad();
};
