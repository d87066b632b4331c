#include "FOption.h"

#include "CTraceCode.h"
#include "ControlKinds.h"
#include "StringTable.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr std::int32_t kTitleText = 700;
constexpr std::int32_t kFrameText = 701;
constexpr std::int32_t kPictureFilterText = 706;

QString chooseWithFileDialog(QWidget *parent, const QString &filter, const QString &current)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    if (!current.isEmpty())
        dialog.setDirectory(QFileInfo(current).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

FOption::PictureChooser &pictureChooser()
{
    static FOption::PictureChooser chooser;
    return chooser;
}

template <class W>
W *named(W *widget, const char *name, const QVariant &tag = QVariant())
{
    widget->setObjectName(QString::fromLatin1(name));
    if (tag.isValid())
        SetControlTag(widget, tag);
    return widget;
}

} // namespace

FOption::PictureChooser FOption::SetPictureChooser(PictureChooser chooser)
{
    PictureChooser old = std::move(pictureChooser());
    pictureChooser() = std::move(chooser);
    return old;
}

QString FOption::QtNameFilter(const QString &commonDialogFilter)
{
    const QStringList parts = commonDialogFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i].trimmed();
        // The text often shows the patterns itself: "Images (*.bmp;*.jpg)".
        const qsizetype open = text.lastIndexOf(QLatin1Char('('));
        if (open > 0 && text.endsWith(QLatin1Char(')')))
            text = text.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &p : patterns)
            p = p.trimmed();
        filters << text + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

FOption::FOption(QWidget *parent) : FWizardDataPage<COption>(QStringLiteral("FOption"), 0, parent)
{
    // The dialog has no title line of its own: its caption says it all.
    lblTitle->hide();

    frmPrintOption = named(new QGroupBox(Body()), "frmPrintOption");
    chkIntestazione = named(new QCheckBox(frmPrintOption), "chkIntestazione", 702);
    frmPercorsoIntestazione = named(new QGroupBox(frmPrintOption), "frmPercorsoIntestazione", 703);
    txtPathIntestazione = named(new QLineEdit(frmPercorsoIntestazione), "txtPathIntestazione");
    cmdCercaIntestazione =
        named(new QPushButton(QStringLiteral("..."), frmPercorsoIntestazione), "cmdCercaIntestazione");
    cmdCercaIntestazione->setAutoDefault(false);
    // The notes switch sits in the notes frame's title line but belongs to
    // the outer frame, so disabling the notes frame never disables it.
    chkNote = named(new QCheckBox(frmPrintOption), "chkNote");
    Label1 = named(new QLabel(frmPrintOption), "Label1", 704);
    frmNote = named(new QGroupBox(frmPrintOption), "frmNote");
    txtNota1 = named(new QLineEdit(frmNote), "txtNota1");
    txtNota2 = named(new QLineEdit(frmNote), "txtNota2");
    chkNumPagine = named(new QCheckBox(frmPrintOption), "chkNumPagine", 705);

    auto *pathRow = new QHBoxLayout(frmPercorsoIntestazione);
    pathRow->addWidget(txtPathIntestazione, 1);
    pathRow->addWidget(cmdCercaIntestazione);

    auto *notes = new QVBoxLayout(frmNote);
    notes->addWidget(txtNota1);
    notes->addWidget(txtNota2);

    auto *notesTitle = new QHBoxLayout;
    notesTitle->addWidget(chkNote);
    notesTitle->addWidget(Label1, 1);

    auto *options = new QVBoxLayout(frmPrintOption);
    options->addWidget(chkIntestazione);
    options->addWidget(frmPercorsoIntestazione);
    options->addLayout(notesTitle);
    options->addWidget(frmNote);
    options->addWidget(chkNumPagine);

    auto *body = new QVBoxLayout(Body());
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(frmPrintOption);

    txtPathIntestazione->setMinimumWidth(360);

    connect(chkIntestazione, &QCheckBox::toggled, this, [this] { chkIntestazione_Click(); });
    connect(chkNote, &QCheckBox::toggled, this, [this] { chkNote_Click(); });
    connect(cmdCercaIntestazione, &QPushButton::clicked, this, [this] { cmdCercaIntestazione_Click(); });
}

void FOption::FormLoad()
{
    const QString title = LoadResourceString(kTitleText);
    g_Trace.BugMessage(QStringLiteral("Load form:") + title);
    setWindowTitle(title);
    frmPrintOption->setTitle(LoadResourceString(kFrameText));
}

void FOption::DataToControls()
{
    COption &options = WorkingCopy();
    chkIntestazione->setChecked(options.PrintHeaderPage());
    chkIntestazione_Click();
    txtPathIntestazione->setText(options.HeaderPagePath());
    chkNote->setChecked(options.PrintNotePiePagina());
    chkNote_Click();
    txtNota1->setText(options.NotePiePagina1());
    txtNota2->setText(options.NotePiePagina2());
    chkNumPagine->setChecked(options.PrintPageNumber());
}

void FOption::ControlsToData()
{
    // The texts are kept also while their switch is off.
    COption &options = WorkingCopy();
    options.SetPrintHeaderPage(chkIntestazione->isChecked());
    options.SetHeaderPagePath(txtPathIntestazione->text());
    options.SetPrintNotePiePagina(chkNote->isChecked());
    options.SetNotePiePagina1(txtNota1->text());
    options.SetNotePiePagina2(txtNota2->text());
    options.SetPrintPageNumber(chkNumPagine->isChecked());
}

void FOption::RefreshButtons()
{
    FWizardPage::RefreshButtons();
    if (FormType() == kFormDialog) {
        cmdDialogOk->setDefault(true);
        return;
    }
    const bool endIsDefault = !FirstTab() && LastTab();
    cmdEnd->setDefault(endIsDefault);
    cmdNext->setDefault(!endIsDefault);
}

void FOption::chkIntestazione_Click()
{
    const bool on = chkIntestazione->isChecked();
    frmPercorsoIntestazione->setEnabled(on);
    txtPathIntestazione->setEnabled(on);
    cmdCercaIntestazione->setEnabled(on);
}

void FOption::chkNote_Click()
{
    const bool on = chkNote->isChecked();
    frmNote->setEnabled(on);
    txtNota1->setEnabled(on);
    txtNota2->setEnabled(on);
}

void FOption::cmdCercaIntestazione_Click()
{
    const QString filter = QtNameFilter(LoadResourceString(kPictureFilterText));
    const PictureChooser &chooser = pictureChooser();
    const QString file = chooser ? chooser(this, filter, txtPathIntestazione->text())
                                 : chooseWithFileDialog(this, filter, txtPathIntestazione->text());
    // A cancelled chooser changes nothing, also after an earlier choice.
    if (file.isEmpty())
        return;
    txtPathIntestazione->setText(file);
    txtPathIntestazione->setFocus();
}
