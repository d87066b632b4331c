#include "FWFinalSetupMessage.h"

#include "CTraceCode.h"
#include "ProgramImages.h"
#include "StringTable.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FWFinalSetupMessage::FWFinalSetupMessage(QWidget *parent)
    : FWizardPage(QStringLiteral("FWFinalSetupMessage"), 0, parent)
{
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

void FWFinalSetupMessage::RefreshButtons()
{
    // The page sets its own default button.
    if (FormType() != kFormWizard) {
        cmdDialogOk->setDefault(true);
        return;
    }
    if (FirstTab()) {
        cmdEnd->setEnabled(false);
        cmdBack->setEnabled(false);
        cmdNext->setEnabled(true);
        cmdNext->setDefault(true);
    } else if (LastTab()) {
        cmdEnd->setEnabled(true);
        cmdBack->setEnabled(true);
        cmdNext->setEnabled(false);
        cmdEnd->setDefault(true);
    } else {
        cmdEnd->setEnabled(false);
        cmdBack->setEnabled(true);
        cmdNext->setEnabled(true);
        cmdNext->setDefault(true);
    }
}
