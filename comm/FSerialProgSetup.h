#pragma once
#include "TransferWindow.h"

#include <cstdint>
#include <memory>

class CCommConfig;
class CModInstr;
class CNetworkAddMsgSetup;
class ModbusTransfer;
class QLabel;
class QProgressBar;
class QPushButton;

// The Modbus transfer window: writes a stored configuration into one
// instrument or every instrument of a network, or reads an instrument's
// configuration back (Action 0, stored under IDProgramma, 2 for the main
// window). The caller sets Action and IDProgramma, calls Create, shows the
// window modally and reads ReturnValue afterwards. The whole transfer runs
// in the first activation (ModbusTransfer does the work, on the window's
// transport); the window then closes itself. Cancel, Escape and the close
// box only cancel the transfer (TransferWindow).
class FSerialProgSetup : public TransferWindow {
    Q_OBJECT
public:
    explicit FSerialProgSetup(QWidget *parent = nullptr);
    ~FSerialProgSetup() override;

    // Keeps the three objects (they must outlive the window) and creates the
    // transport. Always true.
    bool Create(CCommConfig *commConfig, CModInstr *modInstr, CNetworkAddMsgSetup *network);

    std::int32_t Action() const { return m_Action; }
    void SetAction(std::int32_t action) { m_Action = action; }
    std::int32_t IDProgramma() const { return m_IDProgramma; }
    void SetIDProgramma(std::int32_t id) { m_IDProgramma = id; }

    // The engine, once Create has run (for tests).
    ModbusTransfer *Engine() const { return m_Engine.get(); }

    QLabel *Label1 = nullptr;
    QLabel *Label5 = nullptr;
    QProgressBar *ProgBarTransfer = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    bool RunTransfer(std::int32_t handleWnd) override;
    void CancelTransfer() override;

private:
    std::unique_ptr<ModbusTransfer> m_Engine;
    CModInstr *m_ModInstr = nullptr;
    std::int32_t m_Action = 1;
    std::int32_t m_IDProgramma = -1;
};
