#pragma once
#include "CDisplay.h"
#include "FWizardPage.h"
#include "PageControlsFwd.h"

// The display page: the display choice ("1999" or "9990"), the basic colour
// of the display and the password of the instrument's menu, of a CDisplay.
// The fitted instrument (the working copy's ModelloStrumento and SlotA)
// decides what can be chosen: the display choice only on model 0 with a
// low/high-signal or temperature input, the colour only on model 1. A group
// that cannot be chosen still shows and keeps the stored value.
//
// Wrappers (objectName as the member): m_DisplayDigit, m_DisplayColor
// (COptionButton), m_Password (CTextDigitSpin, 0 to 9000).
class FWDisplay : public FWizardDataPage<CDisplay> {
    Q_OBJECT

public:
    explicit FWDisplay(QWidget *parent = nullptr);
    ~FWDisplay() override;

protected:
    void FormLoad() override;
    // The enabling rules.
    void PrepareControls() override;
    void DataToControls() override;
    void ControlsToData() override;

private:
    QGroupBox *Password = nullptr;
    QLineEdit *txtPassword = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QGroupBox *DisplayDigit = nullptr;
    QGroupBox *DisplayColor = nullptr;

    COptionButton *m_DisplayDigit = nullptr;
    COptionButton *m_DisplayColor = nullptr;
    CTextDigitSpin *m_Password = nullptr;
};
