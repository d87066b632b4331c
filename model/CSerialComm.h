#pragma once
#include "CParameterClassBase.h"

#include <cstdint>

class CModInstr;

// The serial-output settings of a configuration: the instrument's network
// address and its baud-rate code (0 = 4800, 1 = 9600, 2 = 19200,
// 3 = 38400 baud). The writes store any value unchanged.
//
// Where the two values go, by the slot-A code of the configuration:
//   0..3, 6   words 86, 87    lines 86, 87
//   4, 5      words 270, 272  lines 135, 136
//   other     nothing
class CSerialComm : public CParameterClass<CSerialComm> {
public:
    // The network address's limits: its rule and the page's spin.
    static constexpr std::int32_t kNetworkAddMin = 1;
    static constexpr std::int32_t kNetworkAddMax = 255;

    CSerialComm();

    std::int16_t NetworkAdd() const { return m_NetworkAdd; }
    std::int16_t BaudRate() const { return m_BaudRate; }
    void SetNetworkAdd(std::int16_t v) { m_NetworkAdd = v; }
    void SetBaudRate(std::int16_t v) { m_BaudRate = v; }

    static void CopyProperties(const CSerialComm &from, CSerialComm &to);

    // Two rows: the address, and the baud rate in baud (a code outside 0..3
    // shows as the code itself).
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    // "S.out>Add=" + address, "S.out>bdr=" + "4.8", "9.6", "19.2" or "38.4".
    // A baud-rate code outside 0..3 raises SetupReadError and writes no line.
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // Finds both lines wherever they are. A missing line, an address that is
    // not a 16-bit decimal integer or an unknown baud-rate text raises
    // SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;

private:
    std::int16_t m_NetworkAdd = 1;
    std::int16_t m_BaudRate = 0;
};
