#pragma once
#include "COption.h"
#include "FWizardPage.h"

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The print-options dialog, built on the page template. The main window
// shows it as a lone dialog (FormType 0): SetData with its COption, Show(1),
// and GetData back only when ButtonRet is 0 (OK). The dialog edits its own
// copy and writes nothing to the settings store (the print-option command
// saves the options it took, PrintCommands.h).
class FOption : public FWizardDataPage<COption> {
    Q_OBJECT
public:
    explicit FOption(QWidget *parent = nullptr);

    // The picture chooser: shows an open-file dialog with the given Qt name
    // filter, starting at the current path; answers the chosen file, or an
    // empty text when cancelled. Tests install their own; an empty function
    // restores the file dialog. Returns the previous chooser.
    using PictureChooser = std::function<QString(QWidget *parent, const QString &filter, const QString &current)>;
    static PictureChooser SetPictureChooser(PictureChooser chooser);

    // A filter of the common-dialog form "text|patterns|text|patterns",
    // patterns separated by ';', as Qt name filters ("text (patterns)").
    static QString QtNameFilter(const QString &commonDialogFilter);

    QGroupBox *frmPrintOption = nullptr;
    QCheckBox *chkIntestazione = nullptr;
    QGroupBox *frmPercorsoIntestazione = nullptr;
    QLineEdit *txtPathIntestazione = nullptr;
    QPushButton *cmdCercaIntestazione = nullptr;
    QCheckBox *chkNote = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *frmNote = nullptr;
    QLineEdit *txtNota1 = nullptr;
    QLineEdit *txtNota2 = nullptr;
    QCheckBox *chkNumPagine = nullptr;

protected:
    void FormLoad() override;
    void DataToControls() override;
    void ControlsToData() override;
    // As a lone dialog OK is the default button; as a wizard page Next, or
    // End on the last page.
    void RefreshButtons() override;

private:
    void chkIntestazione_Click();
    void chkNote_Click();
    void cmdCercaIntestazione_Click();
};
