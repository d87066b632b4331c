#pragma once
#include "FWizardPage.h"

#include <cstdint>

class QLabel;

// The closing page, last page of every wizard: a closing sentence and the
// instrument's picture; it edits nothing and is added without a data object
// (GetData and SetData do nothing). Its End button finishes the wizard.
//
// Action (set by the owner before the page is added): 1 on the connection
// wizards ("End of communication parameters setting !."), anything else on
// the configuration wizard ("End of programming !!"). Title replaces the
// sentence until the page is loaded again.
//
// Its own button enabling: as the wizard's last page End is enabled and the
// default button (Enter finishes the wizard), Next disabled, Back enabled.
class FWFinalSetupMessage : public FWizardPage, public PageAction {
    Q_OBJECT

public:
    static constexpr std::int32_t kTextEndOfProgramming = 570;
    static constexpr std::int32_t kTextEndOfCommunicationSetting = 571;

    explicit FWFinalSetupMessage(QWidget *parent = nullptr);

    void SetTitle(const QString &title);

    void GetData(ICopyClass &) override {}
    void SetData(const ICopyClass &) override {}

protected:
    void FormLoad() override;
    void DataToControls() override {}
    void ControlsToData() override {}

private:
    QLabel *picOxa = nullptr;
};
