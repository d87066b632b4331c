#pragma once
#include "CSettingsClass.h"

#include <cstdint>

// How the PC reaches the instruments: the serial port and the interface.
// The main window owns one instance for the run, loads it at start and saves
// it after each confirmed connection wizard; the communication page edits a
// copy, the transfer windows and the live view only read it.
//
// Persisted in the per-user settings store (or the INI file FileName, when
// set), section "CCommConfig": "m_ComPort" and "m_InterfaceType", decimal
// text. A missing key keeps the property's value, so a first run starts from
// the defaults.
class CCommConfig : public CSettingsClass<CCommConfig> {
public:
    // Interface codes of InterfaceType.
    static constexpr std::int16_t kInterfaceAux = 0;   // auxiliary RS232, text protocol
    static constexpr std::int16_t kInterfaceRS232 = 1; // one instrument, Modbus
    static constexpr std::int16_t kInterfaceRS485 = 2; // a network of instruments, Modbus

    // Writes the trace line "Class_Initialize() CCommConfig".
    CCommConfig();

    // Serial port counted from 0: the transfer windows open port number
    // ComPort() + 1. No range check.
    std::int16_t ComPort() const { return m_ComPort; }
    std::int16_t InterfaceType() const { return m_InterfaceType; }
    void SetComPort(std::int16_t v) { m_ComPort = v; }
    void SetInterfaceType(std::int16_t v) { m_InterfaceType = v; }

    // The copy of GetData and SetData: both values.
    static void CopyProperties(const CCommConfig &from, CCommConfig &to);

private:
    // LoadData reads both keys before it changes anything: a stored text
    // that is not a 16-bit decimal integer throws ProgramError (13 type
    // mismatch, 6 overflow) and leaves the object as it was.
    void LoadValues() override;
    void SaveValues() override;

    std::int16_t m_ComPort = 1;
    std::int16_t m_InterfaceType = kInterfaceAux;
};
