#include "FWizardPage.h"

#include "CommandBorder.h"
#include "CTraceCode.h"
#include "FormText.h"
#include "MErrors.h"
#include "MsgBox.h"
#include "StringTable.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <iterator>

namespace {

QPushButton *makeButton(QWidget *parent, const char *name)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter presses the designed default button, not whichever button
    // happens to hold the focus.
    button->setAutoDefault(false);
    return button;
}

// A button handler lets no error out into the event loop: the user is told
// and the page stays open.
template <class Fn>
void guarded(const Fn &fn)
{
    RunGuarded(nullptr, QStringLiteral("Errore nella pagina: "), fn);
}

} // namespace

FWizardPage::FWizardPage(const QString &formName, std::int32_t titleId, QWidget *parent)
    : QDialog(parent), m_TitleId(titleId)
{
    setObjectName(formName);
    setModal(true);

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setWordWrap(true);

    m_Body = new QWidget(this);

    m_DialogBar = new QWidget(this);
    cmdDialogOk = makeButton(m_DialogBar, "cmdDialogOk");
    cmdDialogCancel = makeButton(m_DialogBar, "cmdDialogCancel");
    auto *dialogRow = new QHBoxLayout(m_DialogBar);
    dialogRow->setContentsMargins(0, 0, 0, 0);
    dialogRow->addStretch(1);
    dialogRow->addWidget(cmdDialogOk);
    dialogRow->addWidget(cmdDialogCancel);

    pbCommand = new QWidget(this);
    pbCommand->setObjectName(QStringLiteral("pbCommand"));
    frmSep = new QFrame(pbCommand);
    frmSep->setObjectName(QStringLiteral("frmSep"));
    frmSep->setFrameShape(QFrame::HLine);
    frmSep->setFrameShadow(QFrame::Sunken);
    cmdBack = makeButton(pbCommand, "cmdBack");
    cmdNext = makeButton(pbCommand, "cmdNext");
    cmdEnd = makeButton(pbCommand, "cmdEnd");
    cmdCancel = makeButton(pbCommand, "cmdCancel");
    auto *bar = new QVBoxLayout(pbCommand);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(frmSep); // the separator across the top of the bar
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdEnd);
    buttons->addWidget(cmdCancel);
    bar->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(m_Body, 1);
    layout->addWidget(m_DialogBar);
    layout->addWidget(pbCommand);

    connect(cmdEnd, &QPushButton::clicked, this, [this] { CloseChecked(kButtonEnd); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { CloseChecked(kButtonNext); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { CloseChecked(kButtonBack); });
    connect(cmdDialogOk, &QPushButton::clicked, this, [this] { CloseChecked(kButtonEnd); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { CloseCancelled(); });
    connect(cmdDialogCancel, &QPushButton::clicked, this, [this] { CloseCancelled(); });

    ArrangeButtons();
}

FWizardPage::~FWizardPage() = default;

void FWizardPage::SetFormType(std::int32_t formType)
{
    m_FormType = formType;
    ArrangeButtons();
}

void FWizardPage::ArrangeButtons()
{
    const bool wizard = m_FormType != kFormDialog;
    m_DialogBar->setVisible(!wizard);
    pbCommand->setVisible(wizard);
    // Esc always means cancel (reject); Enter presses the default button.
    cmdDialogOk->setDefault(!wizard);
    cmdNext->setDefault(wizard);
}

void FWizardPage::SetCaption(const QString &caption)
{
    EnsureLoaded();
    setWindowTitle(caption);
}

void FWizardPage::SetIcon(const QIcon &icon)
{
    EnsureLoaded();
    setWindowIcon(icon);
}

void FWizardPage::Show(std::int16_t modal)
{
    EnsureLoaded();
    Activate();
    FocusFirstControl();
    if (modal != 0)
        exec();
    else
        show();
}

void FWizardPage::done(int result)
{
    m_Loaded = false;
    QDialog::done(result);
}

void FWizardPage::EnsureLoaded()
{
    if (m_Loaded)
        return;
    Load();
    m_Loaded = true;
}

void FWizardPage::Load()
{
    // The owner's title survives the caption pass: the window has no Tag of
    // its own, but a page may give it one.
    const QString caption = windowTitle();
    SetFormFont(this);
    LoadFormCaptions(this);
    setWindowTitle(caption);
    if (!m_LoadedOnce) {
        // A tool tip is designed as a string id and replaced by its text
        // once; the controls live on between showings.
        LoadFormToolTips(this);
        OrderFocusChain();
        m_LoadedOnce = true;
    }

    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(12);
    lblTitle->setFont(titleFont);
    if (m_TitleId != 0)
        lblTitle->setText(LoadResourceString(m_TitleId));

    cmdEnd->setText(LoadResourceString(kTextEnd));
    cmdCancel->setText(LoadResourceString(kTextCancel));
    cmdNext->setText(LoadResourceString(kTextNext));
    cmdBack->setText(LoadResourceString(kTextBack));
    cmdDialogOk->setText(LoadResourceString(kTextOk));
    cmdDialogCancel->setText(LoadResourceString(kTextCancel));

    SetFormType(m_FormType);
    FormLoad();
}

void FWizardPage::OrderFocusChain()
{
    // The template's buttons are created before the page's own controls;
    // they go to the end of the tab order, after the page's controls in the
    // order the page created them. The chain is rebuilt from the widgets
    // that take the focus alone: Qt's setTabOrder ignores a widget that
    // takes none (a label, a frame), so it cannot anchor the move.
    const QWidget *const buttons[] = {cmdBack, cmdNext, cmdEnd, cmdCancel, cmdDialogOk, cmdDialogCancel};
    QList<QWidget *> order;
    for (QWidget *w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus &&
            std::find(std::begin(buttons), std::end(buttons), w) == std::end(buttons))
            order << w;
    }
    for (const QWidget *button : buttons)
        order << const_cast<QWidget *>(button);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

void FWizardPage::FocusFirstControl()
{
    // Each showing starts in the page's first control that Tab reaches (an
    // option group on its checked button), not where the last showing was
    // left; a page without such a control keeps the default button's focus.
    for (QWidget *w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (w == cmdBack || w == cmdNext || w == cmdEnd || w == cmdCancel || w == cmdDialogOk || w == cmdDialogCancel)
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() && w->isVisibleTo(this)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void FWizardPage::Activate()
{
    PrepareControls();
    DataToControls();
    ApplyRules();
    RefreshButtons();
}

void FWizardPage::RefreshButtons()
{
    if (m_DefaultFollowsTab && m_FormType == kFormDialog) {
        cmdDialogOk->setDefault(true);
        return;
    }
    if (m_FirstTab) {
        cmdEnd->setEnabled(false);
        cmdBack->setEnabled(false);
        cmdNext->setEnabled(true);
    } else if (!m_LastTab) {
        cmdEnd->setEnabled(false);
        cmdBack->setEnabled(true);
        cmdNext->setEnabled(true);
    } else {
        cmdEnd->setEnabled(true);
        cmdBack->setEnabled(true);
        cmdNext->setEnabled(false);
    }
    // QDialog keeps one default button: setting one clears the others.
    if (m_DefaultFollowsTab)
        (m_LastTab && !m_FirstTab ? cmdEnd : cmdNext)->setDefault(true);
}

bool FWizardPage::CheckBeforeClose(std::int32_t)
{
    return CheckData();
}

void FWizardPage::AfterControlsToData(std::int32_t) {}

void FWizardPage::CloseChecked(std::int32_t button)
{
    guarded([&] {
        if (!CheckBeforeClose(button))
            return; // the page stays open, nothing stored
        const std::int32_t previous = m_ButtonRet;
        m_ButtonRet = button;
        try {
            ControlsToData();
            AfterControlsToData(button);
        } catch (...) {
            m_ButtonRet = previous; // the page stays open as it was
            throw;
        }
        done(button == kButtonEnd ? QDialog::Accepted : QDialog::Rejected);
    });
}

void FWizardPage::CloseCancelled()
{
    m_ButtonRet = kButtonCancel;
    done(QDialog::Rejected);
}

void FWizardPage::reject()
{
    CloseCancelled();
}
