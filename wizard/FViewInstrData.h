#pragma once
#include "TransferWindow.h"

#include <array>
#include <cstdint>
#include <memory>

class CCommConfig;
class CLiveView;
class CNetworkAddMsgSetup;
class CTextDigitSpin;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class UpDownControl;

// The live view window: shows an instrument's instantaneous values while it
// runs, over RS232 (InterfaceType 1: the one instrument found, single display
// only) or RS485 (every address 1..TotalInstrNetwork in the grid, one address
// at a time in the single display, chosen with the address spin). The caller
// calls Create and shows the window modally; the whole life of the window is
// spent in its first activation (CLiveView does the work), and it closes
// itself when the connection fails, is cancelled or polling ends. Close,
// Escape and the close box only ask the transport to cancel
// (TransferWindow). The engine runs on the window's transport.
//
// The window sits above the wizard's spin controls; CLiveView (comm/) holds
// all its logic.
class FViewInstrData : public TransferWindow {
    Q_OBJECT
public:
    explicit FViewInstrData(QWidget *parent = nullptr);
    ~FViewInstrData() override;

    // Keeps both objects (they must outlive the window), creates the
    // transport and the engine, and builds the grid and the address spin.
    // Always true. Call it before the window is shown.
    bool Create(CCommConfig *commConfig, CNetworkAddMsgSetup *networkAddMsgSetup);

    // The engine, once Create has run (for tests).
    CLiveView *Engine() const { return m_Engine.get(); }
    CTextDigitSpin *CurrentZoom() const { return m_CurrentZoom.get(); }

    QTabWidget *TabStrip = nullptr;
    std::array<QWidget *, 2> picTab{}; // 0 network, 1 single
    QTableWidget *dgInstrStatusData = nullptr;
    QFrame *picZoom = nullptr;
    QLineEdit *txtMeasureValue = nullptr;
    std::array<QLineEdit *, 2> txtMeasureOXA16{};
    std::array<QLabel *, 4> LedAlarm{}; // LedAlarm1 to LedAlarm4
    QLineEdit *Text1 = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *cmdClose = nullptr;
    QProgressBar *ProgBarTransfer = nullptr;

protected:
    // The first activation: the tabs for the interface, the cleared
    // displays, then the connection and the polling.
    bool RunTransfer(std::int32_t handleWnd) override;
    void CancelTransfer() override;

private:
    void ClearSingleDisplay();
    void showGridRow(int address);
    void showSingleDisplay();
    void setZoomLimits(int maximum, int value);
    void currentZoomChange();

    std::unique_ptr<CLiveView> m_Engine;
    std::unique_ptr<CTextDigitSpin> m_CurrentZoom;
    CCommConfig *m_CommConfig = nullptr;
};
