#include "CLiveView.h"

#include "CCommConfig.h"
#include "CNetworkAddMsgSetup.h"
#include "CScaleMisuraDisplay.h"
#include "CTapiComm.h"
#include "CTraceCode.h"
#include "MBytes.h"
#include "ModbusTransfer.h"
#include "ModelError.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "WPxFunctionCodes.h"

#include <QVariant>
#include <algorithm>

namespace {

constexpr std::int32_t kTextError = 600;

// Registers of the instantaneous values.
constexpr std::uint16_t kRegFreqValues = 0x1000; // value A low, high, value B low, high
constexpr std::uint8_t kFreqValueCount = 4;
constexpr std::uint16_t kRegFreqStatus = 0x100D;
constexpr std::uint16_t kRegFreqFunction = 0x2004;     // word 4 of the 0x2000 window
constexpr std::uint16_t kRegFreqPointF1 = 0x2014;      // word 20
constexpr std::uint16_t kRegFreqPointCounter = 0x201E; // word 30
constexpr std::uint16_t kRegFreqPointF2 = 0x2024;      // word 36
constexpr std::uint16_t kRegBasePoint = 0xE008;        // word 8 of the 0xE000 window
constexpr std::uint16_t kRegBaseValues = 0x3000;       // value at 0x3001, status at 0x3005
constexpr std::uint8_t kBaseValueCount = 6;

void trace(const QString &text)
{
    g_Trace.BugMessage(text);
}

bool bit(std::uint16_t word, int n)
{
    return ((word >> n) & 1u) != 0;
}

// The over-range and marking bits of one line: `base` is bit 4 for line 1
// and bit 12 for line 2 (over-range base + 1, negative base + 2, error
// base + 3).
void decodeLineStatus(std::uint16_t status, int base, bool errorBit, QString &text, std::int32_t &state)
{
    state = LiveDisplay::kNormal;
    if (bit(status, base + 1)) {
        const bool negative = bit(status, base + 2);
        state = negative ? LiveDisplay::kNegativeOverRange : LiveDisplay::kOverRange;
        text = negative ? LiveText::NegativeOverRange : LiveText::OverRange;
        return;
    }
    if (bit(status, base))
        state = LiveDisplay::kMarked;
    if (errorBit && bit(status, base + 3))
        text = LiveText::InstrumentError;
}

} // namespace

// ---------------------------------------------------------------------------
// Decoding

std::uint32_t LiveColorToRgb(std::uint32_t c)
{
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

std::uint32_t LiveStatusColor(std::int32_t status)
{
    switch (status) {
    case LiveDisplay::kNormal: return LiveColor::Black;
    case LiveDisplay::kMarked: return LiveColor::Blue;
    default: return LiveColor::Red;
    }
}

std::uint32_t LiveAlarmColor(bool active)
{
    return active ? LiveColor::Red : LiveColor::Green;
}

QString LiveValueText(std::int32_t value, std::int16_t digitalPoint, bool sixDigits)
{
    const std::int32_t word = static_cast<std::uint16_t>(digitalPoint);
    try {
        const DigitalPointInfo info = CScaleMisuraDisplay::GetDigitalPointInfo(sixDigits ? word + 0x10000 : word);
        return AuxNumberText(value, info);
    } catch (const SetupReadError &) {
        // The failed check is traced by the look-up; the value cannot be
        // shown without knowing where its decimal point is.
        return LoadResourceString(kTextError);
    }
}

void DecodeInstrVariable(const LiveReading &r, LiveDisplay &d)
{
    const bool freq = ModuleCodes::IsFrequencyModule(r.slotA);
    if (!freq) {
        d.status = {LiveDisplay::kNormal, LiveDisplay::kNormal};
        d.text[0] = LiveValueText(r.valueA, r.dp1, false);
        d.text[1] = LiveText::NoView;
    } else if (r.modello == ModelCode::Oxa16) {
        d.text[0] = LiveValueText(r.valueA, r.dp1, true);
        d.text[1] = LiveValueText(r.valueB, r.dp2, true);
        // The second line marks F4's percentage only, not F6's.
        if (r.function == WPxFunctionCode::F4)
            d.text[1] += QLatin1Char('%');
    } else {
        const bool firstPoint = WPxFunctions::OneLineShowsChannelA(r.function);
        d.text[0] = LiveValueText(r.valueB, firstPoint ? r.dp1 : r.dp2, false);
        if (WPxFunctions::IsPercentage(r.function))
            d.text[0] += QLatin1Char('%');
        d.text[1] = LiveText::NoView;
    }

    decodeLineStatus(r.status, 4, freq, d.text[0], d.status[0]);
    if (d.text[1] != LiveText::NoView)
        decodeLineStatus(r.status, 12, true, d.text[1], d.status[1]);
    for (int k = 0; k < 4; ++k)
        d.alarm[static_cast<std::size_t>(k)] = bit(r.status, k);
}

std::int32_t LiveViewCoding(std::int16_t typeCode, std::int16_t moduleWord, std::int16_t interfaceType)
{
    constexpr std::int32_t kSlotABits = 0x1C00;
    std::int32_t coding = IdentifiedCoding(typeCode, moduleWord, interfaceType);
    if (typeCode == 59)
        coding &= ~kSlotABits; // not an MVZ for the live view
    else if (typeCode == 56)
        coding |= 0x1800;
    return coding;
}

// ---------------------------------------------------------------------------
// The live view

CLiveView::CLiveView(CTapiComm &comm, CCommConfig &commConfig, CNetworkAddMsgSetup &network, QObject *parent)
    : QObject(parent), m_Rs232(comm), m_CommConfig(commConfig), m_Network(network),
      m_Detection(std::make_unique<ModbusTransfer>(comm, commConfig, network))
{
    // The verdict is written back through the reference: a direct call.
    connect(&m_Rs232, &CTapiComm::VerifyCRC, this, &CLiveView::onVerifyCRC, Qt::DirectConnection);
    connect(m_Detection.get(), &ModbusTransfer::ProgressRangeChanged, this, &CLiveView::ProgressRangeChanged);
    connect(m_Detection.get(), &ModbusTransfer::ProgressValueChanged, this, &CLiveView::ProgressValueChanged);
    connect(m_Detection.get(), &ModbusTransfer::Warning, this, &CLiveView::Warning);
}

CLiveView::~CLiveView() = default;

void CLiveView::SetScanTimeOutRx(std::int32_t ms)
{
    m_Detection->SetScanTimeOutRx(ms);
}

void CLiveView::onVerifyCRC(bool &ok, const QByteArray &frame)
{
    ok = CheckCRC(frame);
}

void CLiveView::showCommMessage(std::int32_t id)
{
    emit Warning(LoadResourceString(id), LoadResourceString(CommFailureText::Title));
}

std::int16_t CLiveView::networkSize() const
{
    return std::clamp<std::int16_t>(m_Network.TotalInstrNetwork(), 1, kMaxAddress);
}

const CLiveView::GridRow &CLiveView::Row(int address) const
{
    return m_StatusRS.at(static_cast<std::size_t>(address - 1));
}

void CLiveView::CreateStatusRecordset()
{
    m_StatusRS.assign(static_cast<std::size_t>(networkSize()), GridRow{});
}

void CLiveView::ClearNetworkGrid()
{
    for (int address = 1; address <= GridRowCount(); ++address) {
        GridRow &row = m_StatusRS[static_cast<std::size_t>(address - 1)];
        row.NetworkAdd = QString::number(address);
        row.VariableValueA = LiveText::Empty;
        row.VariableValueB = LiveText::Empty;
        row.Alarm.fill(LiveText::Off);
        emit GridRowChanged(address);
    }
}

void CLiveView::Cancel()
{
    trace(QStringLiteral("Cancellata procedura TxRx"));
    m_ReturnValue = false;
    m_Rs232.CancelTxRx(true);
}

bool CLiveView::Run()
{
    std::int32_t baudIndex = -1;
    if (ConnectInstrument(baudIndex)) {
        m_ReturnValue = true;
        if (m_Rs232.OpenRs232(m_CommConfig.ComPort() + 1, baudIndex, 0, 0)) {
            PollInstrument();
        } else {
            const CommMessage box = PortNotOpenMessage();
            emit Warning(box.text, box.title);
        }
    }
    m_ReturnValue = false;
    m_Rs232.CloseRs232();
    return m_ReturnValue;
}

// Speed and address detection; true with the baud index found, false
// (reported) when nothing was found or the search was cancelled.
bool CLiveView::ConnectInstrument(std::int32_t &baudIndex)
{
    emit CaptionChanged(LoadResourceString(ModbusText::Detecting));
    emit ProgressVisibleChanged(true);

    bool cancelled = false;
    const std::optional<std::int32_t> found =
        SearchLineSpeed([&](std::int32_t index) { return TryConnection(index, cancelled); });
    if (!found) {
        showCommMessage(ModbusText::MsgNoSpeed);
        return false;
    }
    baudIndex = *found;
    emit ProgressVisibleChanged(false);
    if (cancelled) {
        trace(QStringLiteral("Operazione annullata !!!"));
        return false;
    }
    return true;
}

bool CLiveView::TryConnection(std::int32_t baudIndex, bool &cancelled)
{
    cancelled = false;
    // The live view speaks Modbus only; the auxiliary interface has no
    // instantaneous values to poll.
    g_Trace.BugAssert(m_CommConfig.InterfaceType() != CCommConfig::kInterfaceAux, QString());
    return m_Detection->ScanAtSpeed(baudIndex, cancelled);
}

void CLiveView::PollInstrument()
{
    const bool network = m_CommConfig.InterfaceType() != CCommConfig::kInterfaceRS232;
    const std::int16_t last = network ? networkSize() : kMaxAddress;
    m_CurrentAddress = m_Network.NetworkAdd();
    // The grid holds the addresses 1..TotalInstrNetwork only: an instrument
    // found above them on a network is left out, and polling starts at 1.
    if (network && (m_CurrentAddress < 1 || m_CurrentAddress > last))
        m_CurrentAddress = 1;
    m_ZoomAddress = m_CurrentAddress;
    emit ZoomLimitsChanged(last, m_CurrentAddress);

    for (;;) {
        emit CaptionChanged(
            GetResourceText(ModbusText::NetworkAddress, {QVariant(static_cast<int>(m_CurrentAddress))}));
        if (!ReadInstrVariable())
            break;
        UpdateDisplay();
        // Only a network moves on to the next address; any other interface
        // keeps watching the instrument the search found.
        if (m_CommConfig.InterfaceType() == CCommConfig::kInterfaceRS485)
            m_CurrentAddress =
                m_CurrentAddress >= last ? std::int16_t{1} : static_cast<std::int16_t>(m_CurrentAddress + 1);
    }
}

bool CLiveView::CheckCommError(std::int32_t error)
{
    if (error == CommErrorCode::None)
        return false;
    if (error == CommErrorCode::Cancelled)
        m_Rs232.CloseRs232();
    // A silent instrument on a network shows "Error" and the others go on
    // being polled.
    m_TimeOutTolerated =
        error == CommErrorCode::NoAnswer && m_CommConfig.InterfaceType() != CCommConfig::kInterfaceRS232;
    if (m_TimeOutTolerated)
        return true;
    if (const std::optional<CommMessage> box = CommErrorMessage(error))
        emit Warning(box->text, box->title);
    return true;
}

std::uint8_t CLiveView::modbusAddress() const
{
    return static_cast<std::uint8_t>(m_CurrentAddress & 0xFF);
}

bool CLiveView::ReadRegisters(std::uint16_t first, std::uint8_t count, std::vector<std::int16_t> &words)
{
    return !CheckCommError(ModbusReadRegisters(m_Rs232, modbusAddress(), first, count, words));
}

bool CLiveView::ReadRegister(std::uint16_t reg, std::int16_t &value)
{
    return !CheckCommError(ModbusReadRegister(m_Rs232, modbusAddress(), reg, value));
}

bool CLiveView::IdentifyInstrument()
{
    std::int16_t type = 0;
    std::int16_t modules = 0;
    if (CheckCommError(ModbusReadIdentification(m_Rs232, modbusAddress(), type, modules)))
        return false;
    m_ModInstr.SetCodificaModuli(LiveViewCoding(type, modules, m_CommConfig.InterfaceType()));
    return true;
}

// The display after a failed exchange: "Error", one line, no alarms. The
// states go back to normal, so "Error" is never coloured by the values of
// another address. True when polling goes on.
bool CLiveView::failureDisplay()
{
    m_Display.text = {LoadResourceString(kTextError), LiveText::NoView};
    m_Display.status = {LiveDisplay::kNormal, LiveDisplay::kNormal};
    m_Display.alarm.fill(false);
    return m_TimeOutTolerated;
}

bool CLiveView::ReadInstrVariable()
{
    trace(QStringLiteral("Start ReadInstrVariable()"));
    m_TimeOutTolerated = false;
    if (!IdentifyInstrument())
        return failureDisplay();

    LiveReading r;
    r.slotA = m_ModInstr.SlotA();
    r.modello = m_ModInstr.ModelloStrumento();
    std::vector<std::int16_t> words;
    if (ModuleCodes::IsFrequencyModule(r.slotA)) {
        if (!ReadRegisters(kRegFreqValues, kFreqValueCount, words))
            return failureDisplay();
        r.valueA = MakeLong(words[0], words[1]);
        r.valueB = MakeLong(words[2], words[3]);
        // Any failure of the single reads shows "Error" for this address too:
        // keeping the previous texts would show another address's values.
        std::int16_t status = 0;
        if (!ReadRegister(kRegFreqStatus, status) || !ReadRegister(kRegFreqFunction, r.function) ||
            !ReadRegister(WPxFunctions::CountersTakeChannelA(r.function) ? kRegFreqPointCounter : kRegFreqPointF1,
                          r.dp1) ||
            !ReadRegister(r.function == WPxFunctionCode::F8 ? kRegFreqPointCounter : kRegFreqPointF2, r.dp2))
            return failureDisplay();
        r.status = static_cast<std::uint16_t>(status);
    } else {
        if (!ReadRegister(kRegBasePoint, r.dp1))
            return failureDisplay();
        if (!ReadRegisters(kRegBaseValues, kBaseValueCount, words))
            return failureDisplay();
        r.valueA = words[1];
        r.status = static_cast<std::uint16_t>(words[5]);
    }
    DecodeInstrVariable(r, m_Display);
    return true;
}

void CLiveView::UpdateDisplay()
{
    if (m_CurrentAddress >= 1 && m_CurrentAddress <= GridRowCount()) {
        GridRow &row = m_StatusRS[static_cast<std::size_t>(m_CurrentAddress - 1)];
        row.VariableValueA = m_Display.text[0];
        row.VariableValueB = m_Display.text[1] == LiveText::NoView ? LiveText::Empty : m_Display.text[1];
        for (std::size_t k = 0; k < row.Alarm.size(); ++k)
            row.Alarm[k] = m_Display.alarm[k] ? LiveText::On : LiveText::Off;
        emit GridRowChanged(m_CurrentAddress);
    }
    if (m_ZoomAddress == m_CurrentAddress)
        emit SingleDisplayChanged();
}
