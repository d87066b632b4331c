#pragma once
#include "CParameterClassBase.h"

#include <cstdint>

class CModInstr;

// The analogue output (menu "A.out") of the BN option module: signal type
// (0 voltage 0-10 V "U", 1 current 0-20 mA "A"), minimum and maximum output
// in tenths of a percent of the signal interval (Lo.A, Hi.A; 255 is 25.5 %),
// and on model 3 the display channel it follows (0 A, 1 F). One instance,
// "CAnalogOut".
//
// Where the values go, by the slot-A code of the configuration:
//   0..3, 6  words 83 (Min), 84 (Max), 85 (type)      lines 83, 84, 85
//   4, 5     words 258 (Channel), 260, 262, 264       lines 129 (Ch, model 3
//                                                     only), 130, 131, 132
//   other    nothing
class CAnalogOut : public CParameterClass<CAnalogOut> {
public:
    // The limits of both output ends, in tenths of a percent: their rules and
    // the page's spins.
    static constexpr std::int32_t kOutMin = 0;
    static constexpr std::int32_t kOutMax = 1000;

    CAnalogOut();

    std::int16_t Channel() const { return m_Channel; }
    std::int16_t MaxOut() const { return m_MaxOut; }
    std::int16_t MinOut() const { return m_MinOut; }
    std::int16_t TypeSignalOut() const { return m_TypeSignalOut; }
    // The writes store any value unchanged.
    void SetChannel(std::int16_t v) { m_Channel = v; }
    void SetMaxOut(std::int16_t v) { m_MaxOut = v; }
    void SetMinOut(std::int16_t v) { m_MinOut = v; }
    void SetTypeSignalOut(std::int16_t v) { m_TypeSignalOut = v; }

    // Context values, never stored.
    std::int16_t ModelloStrumento() const { return m_ModelloStrumento; }
    void SetModelloStrumento(std::int16_t v) { m_ModelloStrumento = v; }
    void SetWPxFunction(std::int16_t v) { m_WPxFunction = v; }
    std::int16_t WPxFunction() const { return m_WPxFunction; }

    // Channel, MaxOut, MinOut, TypeSignalOut, the context; not ClassName.
    static void CopyProperties(const CAnalogOut &from, CAnalogOut &to);

    // The value text of a percentage in tenths: "##0.0" with "." (255 is
    // "25.5", -5 is "-0.5").
    static QString PercentText(std::int16_t tenths);

    // Title, channel (model 3), minimum, maximum, type. A channel or type
    // code other than 0 shows as the lines send it (Ch.F, current).
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // Lo.A and Hi.A (the digits without the point are the tenths), tYPE ("U"
    // voltage, any other text current), and Ch where the writer sends it
    // (frequency/counter modules of model 3). A missing line or a limit that
    // does not convert raises SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;

private:
    std::int16_t m_Channel = 0;
    std::int16_t m_MaxOut = 0;
    std::int16_t m_MinOut = 0;
    std::int16_t m_TypeSignalOut = 0;

    std::int16_t m_ModelloStrumento = 0;
    std::int16_t m_WPxFunction = 0;
};
