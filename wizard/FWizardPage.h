#pragma once
#include "ICopyClass.h"

#include <QDialog>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <memory>
#include <type_traits>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// The page template every wizard page (FW... windows) and the print-options
// dialog follow. One window serves either as a step of a wizard run (buttons
// End, Next, Back, Cancel on the bar pbCommand) or as a lone dialog (OK and
// Cancel). It edits a private working copy of one data object, tells which
// button closed it (ButtonRet) and is driven by CWizardTabs through the
// public members below, exactly these and no others.
//
// Writing a page FWFoo for the data class CFoo
// --------------------------------------------
//  1. class FWFoo : public FWizardDataPage<CFoo> { Q_OBJECT ... };
//     The constructor calls FWizardDataPage<CFoo>(QStringLiteral("FWFoo"),
//     titleId, parent): the window's objectName and the string id of the
//     title shown in lblTitle.
//  2. Controls: build them in the constructor inside Body() (give Body() a
//     layout of your own). Every control gets the designed name as its
//     objectName, its caption id as the "Tag" property (SetControlTag,
//     startup/ControlKinds.h) and its tool-tip id as its toolTip; the load
//     of each showing turns them into texts (LoadFormCaptions,
//     LoadFormToolTips) and sets the program font. Bind combo boxes and
//     option groups to their wrappers (CComboBox, COptionButton) and
//     scaled numbers to the spins (CTextDigitSpin, CUpDownDigitSpin) there
//     too. The control kit (PageControls.h) builds the named controls, their
//     wrappers and the layouts and rules the pages share.
//  3. FormLoad(): the page's own part of the window load, run at every
//     showing after the template's steps (fonts, captions, title, button
//     captions, button style). Fill lists here, after ClearAllItem, when
//     their items depend on anything; a fixed list may be filled once in the
//     constructor.
//  4. DataToControls(): the working copy (WorkingCopy()) into the controls;
//     ControlsToData(): the controls into the working copy. The page never
//     touches the driver's data object: GetData/SetData (provided by
//     FWizardDataPage) copy between it and the working copy through the data
//     class's own GetData/SetData, which check the class first.
//  5. PrepareControls(): what the controls must offer before the data is
//     shown (the title, the choices and limits the instrument context
//     allows), run at every showing before DataToControls. ApplyRules():
//     the page's own enabling rules that follow the values shown, run after
//     DataToControls and before RefreshButtons.
//     Spin limits are never stored: derive them here from the working copy's
//     context values and g_Scala/g_ScalaB.
//     The controls are the data: leaving by End, Next or Back stores what
//     they hold. A value they cannot show is shown, and stored again, as
//     they show it: a spin at its nearest limit, a list or group without
//     that code at the page's own choice (its first item, as a rule), a
//     value a page rule sets (a switch it does not offer, a channel it
//     fixes) as the rule sets it. So a walk that edits nothing changes only
//     such values, and the pages after it see what this one showed.
//  6. CheckData(): answers whether the page may close with End, Next or
//     Back. The default answers True. A page with checks shows its own
//     message (MsgBox with a string-table text) and answers False: the page
//     stays open and nothing is stored. A page that checks only some
//     buttons (the scale page does not check on Back) overrides
//     CheckBeforeClose(button) instead.
//  7. The scale operation on Next: a page that publishes limits or a
//     displayed range for the pages after it derives from FWizardRangePage
//     (range pages: SetElettricScale) or FWizardScalePage (scale and
//     counters pages: SetDisplayScale on g_Scala/g_ScalaB) instead, whose
//     AfterControlsToData(button) calls it on the working copy when button
//     is kButtonNext. It runs after the check and ControlsToData, before the
//     window closes, so the scale objects change only when the page is left
//     with Next.
//  8. Extra members an owner sets are the page's own: add them to the page
//     class. A page that more than one owner shows, each for its own
//     purpose, also derives from PageAction (the owner sets Action before
//     the page is shown; the page's comment says what each value means).
//
// A showing (Show(1)): load (template steps, then FormLoad; already done
// when the driver set the caption first), activation (Activate:
// PrepareControls, DataToControls, ApplyRules, RefreshButtons), the modal
// loop, then one button closes the window ("unloads" it). The page object,
// its fields and its working copy outlive the window, so a page shown again
// shows what it last stored; the controls stay built between showings.
//
// Keyboard: Tab follows the order in which the page created its controls
// (so a page creates them as they are laid out: top to bottom, the left
// column first), then the bar's buttons; an option group is entered on its
// checked button (COptionButton). Every showing starts in the first control
// Tab reaches.
//
// Buttons: End, Next and Back run CheckData, then ButtonRet = 0, 2 or 3,
// ControlsToData, and close; Cancel, Esc and the window's close box give
// ButtonRet 1 and store nothing. OK acts as End, the dialog's Cancel as
// Cancel. In the wizard style Enter presses Next; in the dialog style OK.
class FWizardPage : public QDialog {
    Q_OBJECT

public:
    // ButtonRet: how the page was closed.
    static constexpr std::int32_t kButtonEnd = 0; // End, also OK
    static constexpr std::int32_t kButtonCancel = 1;
    static constexpr std::int32_t kButtonNext = 2;
    static constexpr std::int32_t kButtonBack = 3;
    // FormType: 0 a lone dialog, any other value a wizard page.
    static constexpr std::int32_t kFormDialog = 0;
    static constexpr std::int32_t kFormWizard = 1;

    // Button caption ids of the string table.
    static constexpr std::int32_t kTextEnd = 2000;
    static constexpr std::int32_t kTextCancel = 2001;
    static constexpr std::int32_t kTextNext = 2002;
    static constexpr std::int32_t kTextBack = 2003;
    static constexpr std::int32_t kTextOk = 2004;
    static constexpr std::int32_t kTextClose = 2005;

    // formName is the window's objectName; titleId the string id of the
    // title label's text (0: no title text).
    FWizardPage(const QString &formName, std::int32_t titleId, QWidget *parent = nullptr);
    ~FWizardPage() override;

    // Does nothing; present for the owners' calling order.
    void Create() {}

    std::int32_t FormType() const { return m_FormType; }
    // Stores the value and arranges the buttons for that style.
    void SetFormType(std::int32_t formType);
    std::int32_t ButtonRet() const { return m_ButtonRet; }
    bool FirstTab() const { return m_FirstTab; }
    void SetFirstTab(bool firstTab) { m_FirstTab = firstTab; }
    bool LastTab() const { return m_LastTab; }
    void SetLastTab(bool lastTab) { m_LastTab = lastTab; }

    // The working copy into obj, and obj into the working copy (through the
    // data class's own GetData/SetData: nothing is copied unless obj is of
    // the page's data class).
    virtual void GetData(ICopyClass &obj) = 0;
    virtual void SetData(const ICopyClass &obj) = 0;

    // Standard window members the driver uses. Setting the caption or the
    // icon loads the window when it is not loaded (as any use of a window's
    // own properties does), so the driver can place a page of its final
    // size before showing it.
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption);
    void SetIcon(const QIcon &icon);
    // Loads the window (unless loaded), activates it and shows it: modal 1
    // returns when a button has closed the page (read ButtonRet then); 0
    // shows it without waiting.
    void Show(std::int16_t modal = 1);

    // Closing the window unloads it: the next showing loads it again.
    void done(int result) override;
    // Esc and the close box: as Cancel (ButtonRet 1, nothing stored).
    void reject() override;

protected:
    // The area of the page's own controls (no layout until the page sets one).
    QWidget *Body() const { return m_Body; }

    // The page's own part of the load (see above).
    virtual void FormLoad() {}
    virtual void DataToControls() = 0;
    virtual void ControlsToData() = 0;
    // The controls' title, choices and limits for this showing's context.
    virtual void PrepareControls() {}
    // The page's own enabling rules.
    virtual void ApplyRules() {}
    virtual bool CheckData() { return true; }
    // The check before End, Next, Back or OK closes the page (button is
    // kButtonEnd, kButtonNext or kButtonBack): CheckData.
    virtual bool CheckBeforeClose(std::int32_t button);
    // Runs after ControlsToData of End, Next, Back or OK, before the window
    // closes (ButtonRet() is already button): nothing here.
    virtual void AfterControlsToData(std::int32_t button);
    // End/Back/Next enabling by FirstTab and LastTab (FirstTab wins); the
    // default button is left alone unless the page moves it (below).
    virtual void RefreshButtons();
    // For a page that may close the wizard from the last tab: RefreshButtons
    // also moves the default button, so Enter presses End on the last tab and
    // Next on the others; in the dialog style OK is the default and the
    // wizard buttons are left alone.
    void SetDefaultFollowsTab(bool follows) { m_DefaultFollowsTab = follows; }

    // The template's controls, named as designed.
    QLabel *lblTitle = nullptr;
    QWidget *pbCommand = nullptr;
    QFrame *frmSep = nullptr;
    QPushButton *cmdEnd = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdDialogOk = nullptr;
    QPushButton *cmdDialogCancel = nullptr;

private:
    void EnsureLoaded();
    // PrepareControls, DataToControls, ApplyRules, RefreshButtons.
    void Activate();
    void Load();
    void ArrangeButtons();
    void OrderFocusChain();
    void FocusFirstControl();
    // End, Next, Back, OK: check, store, close with that ButtonRet.
    void CloseChecked(std::int32_t button);
    void CloseCancelled();

    std::int32_t m_TitleId;
    std::int32_t m_ButtonRet = kButtonCancel;
    bool m_FirstTab = false;
    bool m_LastTab = false;
    std::int32_t m_FormType = kFormWizard;
    bool m_DefaultFollowsTab = false;
    bool m_Loaded = false;
    bool m_LoadedOnce = false;
    QWidget *m_Body = nullptr;
    QWidget *m_DialogBar = nullptr;
};

// The owner's Action of a page shown for more than one purpose.
class PageAction {
public:
    void SetAction(std::int16_t action) { m_Action = action; }
    std::int16_t Action() const { return m_Action; }

protected:
    std::int16_t m_Action = 0;
};

// A page with a working copy of the data class Data (created on first use,
// living as long as the page). Data is a parameter class (IParameterObject)
// or a settings class with GetData(ICopyClass &)/SetData(const ICopyClass &)
// (CCommConfig, CNetworkAddMsgSetup).
template <class Data>
class FWizardDataPage : public FWizardPage {
public:
    using FWizardPage::FWizardPage;

    void GetData(ICopyClass &obj) override
    {
        if constexpr (std::is_base_of_v<IParameterObject, Data>) {
            if (auto *target = dynamic_cast<IParameterObject *>(&obj))
                WorkingCopy().GetData(*target);
        } else {
            WorkingCopy().GetData(obj);
        }
    }

    void SetData(const ICopyClass &obj) override
    {
        if constexpr (std::is_base_of_v<IParameterObject, Data>) {
            if (const auto *source = dynamic_cast<const IParameterObject *>(&obj))
                WorkingCopy().SetData(*source);
        } else {
            WorkingCopy().SetData(obj);
        }
    }

protected:
    Data &WorkingCopy()
    {
        if (!m_WorkingCopy)
            m_WorkingCopy = std::make_unique<Data>();
        return *m_WorkingCopy;
    }

private:
    std::unique_ptr<Data> m_WorkingCopy;
};

// A range page (the input module's measuring range): leaving with Next
// publishes the range's electrical limits on the scale objects
// (SetElettricScale) for the scale page that follows; End and Back do not.
template <class Data>
class FWizardRangePage : public FWizardDataPage<Data> {
public:
    using FWizardDataPage<Data>::FWizardDataPage;

protected:
    void AfterControlsToData(std::int32_t button) override
    {
        if (button == FWizardPage::kButtonNext)
            this->WorkingCopy().SetElettricScale();
    }
};

// A page of displayed ranges (the scale and counters pages): leaving with
// Next publishes them (SetDisplayScale) for the linearisation, alarm and
// filter pages that follow; End and Back do not.
template <class Data>
class FWizardScalePage : public FWizardDataPage<Data> {
public:
    using FWizardDataPage<Data>::FWizardDataPage;

protected:
    void AfterControlsToData(std::int32_t button) override
    {
        if (button == FWizardPage::kButtonNext)
            this->WorkingCopy().SetDisplayScale();
    }
};
