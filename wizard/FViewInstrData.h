#pragma once
#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>

class CCommConfig;
class CLiveView;
class CNetworkAddMsgSetup;
class CTapiComm;
class CTextDigitSpin;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class SerialControl;
class UpDownControl;
class WindowTimer;

// The live view window: shows an instrument's instantaneous values while it
// runs, over RS232 (InterfaceType 1: the one instrument found, single display
// only) or RS485 (every address 1..TotalInstrNetwork in the grid, one address
// at a time in the single display, chosen with the address spin). The caller
// calls Create and shows the window modally; the whole life of the window is
// spent in its first activation (CLiveView does the work), and it closes
// itself when the connection fails, is cancelled or polling ends. Close,
// Escape and the close box only ask the transport to cancel.
//
// The window sits above the wizard's spin controls; CLiveView (comm/) holds
// all its logic.
class FViewInstrData : public QDialog {
    Q_OBJECT
public:
    explicit FViewInstrData(QWidget *parent = nullptr);
    ~FViewInstrData() override;

    // Keeps both objects (they must outlive the window), creates the
    // transport and the engine, and builds the grid and the address spin.
    // Always true. Call it before the window is shown.
    bool Create(CCommConfig *commConfig, CNetworkAddMsgSetup *networkAddMsgSetup);
    bool ReturnValue() const { return m_ReturnValue; }

    // The engine, once Create has run (for tests).
    CLiveView *Engine() const { return m_Engine.get(); }
    CTextDigitSpin *CurrentZoom() const { return m_CurrentZoom.get(); }

    QTabWidget *TabStrip = nullptr;
    std::array<QWidget *, 2> picTab {}; // 0 network, 1 single
    QTableWidget *dgInstrStatusData = nullptr;
    QFrame *picZoom = nullptr;
    QLineEdit *txtMeasureValue = nullptr;
    std::array<QLineEdit *, 2> txtMeasureOXA16 {};
    std::array<QLabel *, 4> LedAlarm {}; // LedAlarm1 to LedAlarm4
    QLineEdit *Text1 = nullptr;
    UpDownControl *UpDown1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *cmdClose = nullptr;
    QProgressBar *ProgBarTransfer = nullptr;
    // The communication control and the pacing timer the transport runs on.
    SerialControl *TapiComm = nullptr;
    WindowTimer *Rs232Manager = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void StartLiveView();
    void ClearSingleDisplay();
    void showGridRow(int address);
    void showSingleDisplay();
    void setZoomLimits(int maximum, int value);
    void currentZoomChange();
    void cmdClose_Click();
    void finish();

    std::unique_ptr<CTapiComm> m_Rs232;
    std::unique_ptr<CLiveView> m_Engine;
    std::unique_ptr<CTextDigitSpin> m_CurrentZoom;
    CCommConfig *m_CommConfig = nullptr;
    CNetworkAddMsgSetup *m_Network = nullptr;
    bool m_ReturnValue = true;
    bool m_Started = false;
    bool m_Finished = false;
};
