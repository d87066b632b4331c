#include "FAbout.h"

#include "FormText.h"
#include "ProgramImages.h"
#include "StringTable.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel *wrapped(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    return l;
}

} // namespace

FAbout::FAbout(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FAbout"));
    setModal(true);

    picApplication = new QLabel(this);
    picApplication->setObjectName(QStringLiteral("picApplication"));
    picDravello = new QLabel(this);
    picDravello->setObjectName(QStringLiteral("picDravello"));
    lblTitle[0] = wrapped(this, "lblTitle(0)");
    lblTitle[1] = wrapped(this, "lblTitle(1)");
    lblDescription = wrapped(this, "lblDescription");
    lblVersion = wrapped(this, "lblVersion");
    lblSupporto = wrapped(this, "lblSupporto");
    lblCopyright = wrapped(this, "lblCopyright");
    lblDisclaimer = wrapped(this, "lblDisclaimer");
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *grid = new QGridLayout(this);
    grid->addWidget(picApplication, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle[0], 0, 1);
    grid->addWidget(lblTitle[1], 1, 1);
    grid->addWidget(lblVersion, 2, 1);
    grid->addWidget(lblDescription, 3, 1);
    grid->addWidget(lblSupporto, 4, 1);
    grid->addWidget(lblCopyright, 5, 1);
    grid->addWidget(line, 6, 0, 1, 2);
    grid->addWidget(picDravello, 7, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lblDisclaimer, 7, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    grid->addLayout(buttons, 8, 1);
    grid->setColumnStretch(1, 1);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    formLoad();
    setFixedWidth(520);
    adjustSize();
}

void FAbout::formLoad()
{
    picApplication->setPixmap(ApplicationImage());
    picDravello->setPixmap(MakerLogo());

    SetFormFont(this);

    setWindowTitle(LoadResourceString(300));
    lblDisclaimer->setText(LoadResourceString(307));
    lblTitle[0]->setText(LoadResourceString(301));
    QFont title = lblTitle[0]->font();
    title.setPointSize(14);
    lblTitle[0]->setFont(title);
    lblTitle[1]->setText(LoadResourceString(302));
    lblDescription->setText(LoadResourceString(305));
    lblVersion->setText(LoadResourceString(303));
    lblSupporto->setText(LoadResourceString(306));
    lblCopyright->setText(LoadResourceString(304));
    cmdOK->setText(LoadResourceString(2004));
}
