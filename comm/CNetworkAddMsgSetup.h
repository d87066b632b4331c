#pragma once
#include "CSettingsClass.h"

#include <cstdint>

// Which instrument addresses a transfer or the live view talks to: one
// instrument at NetworkAdd, one instrument whose address is searched for, or
// every instrument of a network (addresses 1 to TotalInstrNetwork). The main
// window owns one instance for the run, loads it at start and saves it after
// each confirmed connection wizard; the Modbus transfer writes back into
// NetworkAdd the address at which it found the instrument.
//
// Persisted in the per-user settings store (or the INI file FileName, when
// set), section "CNetworkAddMsgSetup": "m_NetworkAdd", "m_ModeConfig",
// "m_SelNetworkAdd", "m_TotalInstrNetwork", decimal text. A missing key
// keeps the property's value. InterfaceType is not persisted.
class CNetworkAddMsgSetup : public CSettingsClass<CNetworkAddMsgSetup> {
public:
    // Writes the trace line "Class_Initialize() CNetworkAddMsgSetup".
    CNetworkAddMsgSetup();

    // The instrument's network address (1 to 255). No range check.
    std::int16_t NetworkAdd() const { return m_NetworkAdd; }
    // 0: a single instrument; otherwise every instrument of the network.
    std::int16_t ModeConfig() const { return m_ModeConfig; }
    // Not 0: use NetworkAdd; 0: search the address (255 down to 1).
    std::int16_t SelNetworkAdd() const { return m_SelNetworkAdd; }
    // Number of instruments on the network, addressed 1 to this number.
    std::int16_t TotalInstrNetwork() const { return m_TotalInstrNetwork; }
    // The communication settings' interface as the main window hands it to
    // the network page (plus 3 for the modify-instrument-parameters wizard).
    std::int16_t InterfaceType() const { return m_InterfaceType; }
    void SetNetworkAdd(std::int16_t v) { m_NetworkAdd = v; }
    void SetModeConfig(std::int16_t v) { m_ModeConfig = v; }
    void SetSelNetworkAdd(std::int16_t v) { m_SelNetworkAdd = v; }
    void SetTotalInstrNetwork(std::int16_t v) { m_TotalInstrNetwork = v; }
    void SetInterfaceType(std::int16_t v) { m_InterfaceType = v; }

    // The copy of GetData and SetData: the five values, InterfaceType
    // included.
    static void CopyProperties(const CNetworkAddMsgSetup &from, CNetworkAddMsgSetup &to);

private:
    // LoadData reads all four keys before it changes anything: a stored
    // text that is not a 16-bit decimal integer throws ProgramError (13 type
    // mismatch, 6 overflow) and leaves the object as it was.
    void LoadValues() override;
    void SaveValues() override;

    std::int16_t m_NetworkAdd = 1;
    std::int16_t m_ModeConfig = 0;
    std::int16_t m_SelNetworkAdd = 0;
    std::int16_t m_TotalInstrNetwork = 255;
    std::int16_t m_InterfaceType = 0;
};
