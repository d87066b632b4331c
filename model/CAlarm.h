#pragma once
#include "CParameterClassBase.h"
#include "InstrumentContext.h"

#include <cstdint>

class CModInstr;

// One alarm (set point) of the instrument. Four instances, "CAlarm1" to
// "CAlarm4": the last character of ClassName is the alarm number n, and
// k = n - 1 places the alarm's words and lines. A name without a number 1 to
// 4 (a fresh object is still "CAlarm") makes the map, line and report
// operations raise run-time error 13.
//
// Set point, limits and hysteresis are display counts (the displayed number
// without its decimal point), in the display decimal point of the alarm's
// channel.
//
// Words, by the slot-A code of the configuration:
//   0..3, 6  45 + 9k ..: Min, Max, SetPoint, Isteresi (low 16 bits), then
//            RitDisattivazione, RitAttivazione, RelayStatus, AlarmType and
//            AlarmColor (not with slot A 6); Channel has no word
//   4, 5     178 + 6k ..: Min, Max, SetPoint (32-bit); 202 + 14k: Isteresi
//            (32-bit), Channel, RitDisattivazione, RitAttivazione,
//            RelayStatus, AlarmType, AlarmColor on every second word
// Lines only for the alarms of the fitted relay module (slot C: Y1 alarm 1,
// Y2 alarms 1 and 2, Y4/Y5 alarms 1 to 4): entries 45 + 9k + j (base) or
// 89 + 10k (channel) and 90 + 10k + j (frequency).
class CAlarm : public CParameterClass<CAlarm>, public InstrumentContext {
public:
    // The limits of both delays, in seconds: their rules and the page's spins.
    static constexpr std::int32_t kDelayMin = 0;
    static constexpr std::int32_t kDelayMax = 255;

    CAlarm();

    // True when the display scale of the alarm's channel (g_Scala for
    // Channel 0, g_ScalaB otherwise) runs downward.
    bool ScalaInvertita() const;

    std::int16_t Channel() const { return m_Channel; }
    std::int32_t MinAlarmScale() const { return m_MinAlarmScale; }
    std::int32_t MaxAlarmScale() const { return m_MaxAlarmScale; }
    std::int32_t AlarmSetPoint() const { return m_AlarmSetPoint; }
    std::int32_t Isteresi() const { return m_Isteresi; }
    std::int16_t RitAttivazione() const { return m_RitAttivazione; }
    std::int16_t RitDisattivazione() const { return m_RitDisattivazione; }
    std::int16_t AlarmType() const { return m_AlarmType; }
    std::int16_t RelayStatus() const { return m_RelayStatus; }
    std::int16_t AlarmColor() const { return m_AlarmColor; }

    // The writes store any value unchanged.
    void SetChannel(std::int16_t v) { m_Channel = v; }
    void SetMinAlarmScale(std::int32_t v) { m_MinAlarmScale = v; }
    void SetMaxAlarmScale(std::int32_t v) { m_MaxAlarmScale = v; }
    void SetAlarmSetPoint(std::int32_t v) { m_AlarmSetPoint = v; }
    void SetIsteresi(std::int32_t v) { m_Isteresi = v; }
    void SetRitAttivazione(std::int16_t v) { m_RitAttivazione = v; }
    void SetRitDisattivazione(std::int16_t v) { m_RitDisattivazione = v; }
    void SetAlarmType(std::int16_t v) { m_AlarmType = v; }
    void SetRelayStatus(std::int16_t v) { m_RelayStatus = v; }
    void SetAlarmColor(std::int16_t v) { m_AlarmColor = v; }

    // Context values, never stored, besides the instrument context.
    std::int16_t DisplayDigit() const { return m_DisplayDigit; }
    void SetDisplayDigit(std::int16_t v) { m_DisplayDigit = v; }
    void SetWPxFunction(std::int16_t v) { m_WPxFunction = v; }
    std::int16_t WPxFunction() const { return m_WPxFunction; }

    // The alarm number 1..4 from the last character of ClassName; any other
    // name raises run-time error 13.
    std::int16_t AlarmNumber() const;
    // True when the relay module of slot C carries alarm n: Y1 (code 1)
    // alarm 1, Y2 (2) alarms 1 and 2, Y4/Y5 (3) alarms 1 to 4.
    static bool RelayFitted(std::int16_t slotC, std::int16_t alarmNumber);

    // Alarm type codes 0..5 <-> "oFF", "do", "uP", "d.do", "uP.L", "do.L";
    // colour codes 0..3 <-> "rEd", "orAn", "GrEn", "nonE". A code or text
    // outside the table traces "Errore valore ConvAlarmType" (or
    // "...ConvAlarmColor") as a failed check and raises SetupReadError.
    static QString ConvAlarmType(std::int16_t code);
    // `line`: the command prefix the mnemonic came from, for the error.
    static std::int16_t ConvAlarmType(const QString &mnemonic, const QString &line = QString());
    static QString ConvAlarmColor(std::int16_t code);
    static std::int16_t ConvAlarmColor(const QString &mnemonic, const QString &line = QString());

    // ClassName first, the ten stored values in table order, the context.
    static void CopyProperties(const CAlarm &from, CAlarm &to);

    // Title row, then the channel (model 3), limits, set point, hysteresis,
    // delays, type, relay and colour (model 1) rows. Channel and relay codes
    // outside their tables show as the lines send them (any non-zero code as
    // Ch.F, nd); a type or colour code without a text raises SetupReadError
    // before any row is appended.
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // Reads the lines of a fitted alarm only (the writer's relay rule), so a
    // reply without lines for the alarms of a smaller relay module reads
    // fine. A missing line or a text that does not convert raises
    // SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;
    // The base layout carries the scale values in one 16-bit word each.
    std::vector<FieldRule> ContextRules() const override;

private:
    // Visits alarm k's memory-map words with the member each one carries;
    // Self is CAlarm or const CAlarm (see CAlarm.cpp).
    template <class Self, class Word, class Pair>
    static void forEachWord(Self &self, const CModInstr &modInstr, Word word, Pair pair);

    std::int16_t m_Channel = 0;
    std::int32_t m_MinAlarmScale = 0;
    std::int32_t m_MaxAlarmScale = 0;
    std::int32_t m_AlarmSetPoint = 0;
    std::int32_t m_Isteresi = 0;
    std::int16_t m_RitAttivazione = 0;
    std::int16_t m_RitDisattivazione = 0;
    std::int16_t m_AlarmType = 0;
    std::int16_t m_RelayStatus = 1;
    std::int16_t m_AlarmColor = 3;

    std::int16_t m_DisplayDigit = 0;
    std::int16_t m_WPxFunction = 0;
};
