#include "FSplash.h"

#include "FormText.h"
#include "ProgramImages.h"
#include "StringTable.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel *wrapped(QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setWordWrap(true);
    return l;
}

void setPointSize(QLabel *label, int size)
{
    QFont f = label->font();
    f.setPointSize(size);
    label->setFont(f);
}

} // namespace

FSplash::FSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FSplash"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    fraMainFrame = new QGroupBox(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    outer->addWidget(fraMainFrame);

    auto *grid = new QGridLayout(fraMainFrame);
    picApplication = new QLabel(fraMainFrame);
    picApplication->setObjectName(QStringLiteral("picApplication"));
    picDravello = new QLabel(fraMainFrame);
    picDravello->setObjectName(QStringLiteral("picDravello"));
    for (int i = 0; i < 2; ++i) {
        lblTitle[i] = wrapped(fraMainFrame);
        lblTitle[i]->setObjectName(QStringLiteral("lblTitle(%1)").arg(i));
    }
    lblDescription = wrapped(fraMainFrame);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblVersion = wrapped(fraMainFrame);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblCopyright = wrapped(fraMainFrame);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblPlatform = wrapped(fraMainFrame);
    lblPlatform->setObjectName(QStringLiteral("lblPlatform"));
    lblWarning = wrapped(fraMainFrame);
    lblWarning->setObjectName(QStringLiteral("lblWarning"));
    lblCompany = wrapped(fraMainFrame);
    lblCompany->setObjectName(QStringLiteral("lblCompany"));

    lblVersion->setAlignment(Qt::AlignRight);
    lblPlatform->setAlignment(Qt::AlignRight);
    grid->addWidget(picApplication, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle[0], 0, 1);
    grid->addWidget(lblTitle[1], 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(lblVersion, 3, 1);
    grid->addWidget(lblPlatform, 4, 1);
    grid->addWidget(lblCopyright, 5, 1);
    grid->addWidget(lblWarning, 6, 0, 1, 2);
    grid->addWidget(picDravello, 7, 0, Qt::AlignBottom);
    grid->addWidget(lblCompany, 7, 1, Qt::AlignBottom);
    grid->setColumnStretch(1, 1);

    formLoad();
    setFixedWidth(520);
    adjustSize();
}

void FSplash::formLoad()
{
    picApplication->setPixmap(ApplicationImage());
    picDravello->setPixmap(MakerLogo());

    SetFormFont(this);

    lblTitle[0]->setText(LoadResourceString(301));
    setPointSize(lblTitle[0], 14);
    lblTitle[1]->setText(LoadResourceString(302));
    setPointSize(lblTitle[1], 11);
    lblDescription->setText(LoadResourceString(305));
    lblVersion->setText(LoadResourceString(303));
    setPointSize(lblVersion, 12);
    lblCopyright->setText(LoadResourceString(304));
    lblPlatform->setText(LoadResourceString(308));
    setPointSize(lblPlatform, 12);
    lblWarning->setText(LoadResourceString(307));
    lblCompany->setText(LoadResourceString(309));
}
