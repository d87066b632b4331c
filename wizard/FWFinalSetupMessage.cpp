#include "FWFinalSetupMessage.h"

#include "CTraceCode.h"
#include "ProgramImages.h"
#include "StringTable.h"

#include <QLabel>
#include <QVBoxLayout>

FWFinalSetupMessage::FWFinalSetupMessage(QWidget *parent)
    : FWizardPage(QStringLiteral("FWFinalSetupMessage"), 0, parent)
{
    SetDefaultFollowsTab(true);
    picOxa = new QLabel(Body());
    picOxa->setObjectName(QStringLiteral("picOxa"));
    // The first image of the instrument pictures, whatever the model.
    const QPixmap image = ApplicationImage();
    picOxa->setPixmap(image);
    picOxa->setFixedSize(image.size());
    auto *layout = new QVBoxLayout(Body());
    layout->addWidget(picOxa, 0, Qt::AlignCenter); // centred in the page
}

void FWFinalSetupMessage::SetTitle(const QString &title)
{
    lblTitle->setText(title);
}

void FWFinalSetupMessage::FormLoad()
{
    g_Trace.BugMessage(QStringLiteral("Load form:") + LoadResourceString(kTextEndOfProgramming));
    lblTitle->setText(LoadResourceString(m_Action == 1 ? kTextEndOfCommunicationSetting : kTextEndOfProgramming));
}
