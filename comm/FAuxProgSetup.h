#pragma once
#include "CAuxTransferEngine.h"
#include "TransferWindow.h"

#include <cstdint>

class CCommConfig;
class CModInstr;
class CNetworkAddMsgSetup;
class QLabel;
class QProgressBar;
class QPushButton;

// The modal transfer window of the auxiliary interface. The caller sets
// Action and IDProgramma, calls Create, shows the window modally and reads
// ReturnValue after it has closed itself. The transfer runs once, right
// after the window is first shown; the window shows the phase (Label5) and
// the progress (ProgBarTransfer), and closes itself at the end of every
// path. Cancel, Escape and the title-bar close box only ask the transfer to
// cancel: the window closes when the transfer has ended (TransferWindow).
// The engine keeps a transport of its own on the window's line.
class FAuxProgSetup : public TransferWindow {
    Q_OBJECT
public:
    explicit FAuxProgSetup(QWidget *owner = nullptr);
    ~FAuxProgSetup() override;

    std::int32_t Action() const { return m_Engine.Action(); }
    void SetAction(std::int32_t action) { m_Engine.SetAction(action); }
    std::int32_t IDProgramma() const { return m_Engine.IDProgramma(); }
    void SetIDProgramma(std::int32_t id) { m_Engine.SetIDProgramma(id); }
    bool Create(CCommConfig *commConfig, CModInstr *modInstr, CNetworkAddMsgSetup *networkAddMsgSetup);

    // The transfer itself (tests substitute its line and shorten its times).
    CAuxTransferEngine &Engine() { return m_Engine; }

    QProgressBar *ProgBarTransfer = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    bool RunTransfer(std::int32_t handleWnd) override;
    void CancelTransfer() override;

private:
    void formLoad();

    CAuxTransferEngine m_Engine;
};
