#pragma once
#include "ScaleTables.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

// The current scales of one display channel: the electrical range of the
// fitted input (from the range tables, or computed for the frequency/counter
// modules) and the display scale. The two program-wide instances are g_Scala
// (channel A, first display line) and g_ScalaB (channel F, second line).
class CScaleMisuraDisplay {
public:
    CScaleMisuraDisplay();

    // Chooses the electrical range by model and slot-A module code:
    // rangeOrPulses is the range code (the pulses per revolution for the
    // frequency modules 4 and 5), probeOrUnit the probe of the GKP module (the
    // unit code 0 to 5 for modules 4 and 5). A combination without a table
    // keeps the previous range. A row, probe-table row or unit code outside
    // its table, or pulses of 0 or less, raise SetupReadError and leave the
    // range as it was.
    void SetLimitiScalaElettrica(std::int32_t modello, std::int32_t modulo, std::int32_t rangeOrPulses,
                                 std::int32_t probeOrUnit);

    void SetScalaDisplay(std::int32_t digitalPoint, std::int32_t inizio, std::int32_t fine);

    std::int32_t InizioScalaElettrica() const { return m_Limiti.InizioScalaElettrica; }
    std::int32_t FineScalaElettrica() const { return m_Limiti.FineScalaElettrica; }
    std::int32_t DPScalaElettricaMin() const { return m_Limiti.DPScalaElettricaMin; }
    std::int32_t DPScalaElettricaMax() const { return m_Limiti.DPScalaElettricaMax; }
    QString UnitaMisuraScalaElettrica() const { return m_Limiti.UnitaMisuraScalaElettrica; }
    const LimitiScalaElettrica &Limiti() const { return m_Limiti; }

    // The format record of a decimal-point value: high word 0 selects the
    // four-digit table (low word 0 to 3), any other high word the six-digit
    // table (0 to 5). A low word outside its table raises SetupReadError.
    // The result depends only on the argument.
    static DigitalPointInfo GetDigitalPointInfo(std::int32_t digitalPoint);
    // The same look-up without the error: no record for a low word outside
    // its table.
    static std::optional<DigitalPointInfo> FindDigitalPointInfo(std::int32_t digitalPoint);

    std::int32_t InizioScalaDisplay() const { return m_InizioScalaDisplay; }
    std::int32_t FineScalaDisplay() const { return m_FineScalaDisplay; }
    std::int32_t DigitalPointScalaDisplay() const { return m_DigitalPointScalaDisplay; }

    // Full-scale count of the frequency/counter modules before the cap.
    static constexpr double kFrequencyBase = 50000000.0;
    static constexpr std::int32_t kFrequencyCap = 9999000; // models 0 to 2
    static constexpr std::int32_t kFrequencyCapModel3 = 999999000;

private:
    void SetFrequencyRange(std::int32_t modello, std::int32_t pulses, std::int32_t unit);

    std::array<float, 6> m_UnitFactor;
    LimitiScalaElettrica m_Limiti;
    std::int32_t m_InizioScalaDisplay = 0;
    std::int32_t m_FineScalaDisplay = 0;
    std::int32_t m_DigitalPointScalaDisplay = 0;
};

// A program-wide scale object created on its first use and kept for the whole
// run: g_Scala->FineScalaElettrica(). Reset() is for tests only: it drops the
// instance, so the next use starts from a freshly constructed object.
class CScaleMisuraDisplayRef {
public:
    CScaleMisuraDisplay *operator->() { return &get(); }
    CScaleMisuraDisplay &operator*() { return get(); }
    void Reset() { m_Object.reset(); }

private:
    CScaleMisuraDisplay &get();
    std::unique_ptr<CScaleMisuraDisplay> m_Object;
};

extern CScaleMisuraDisplayRef g_Scala;  // channel A, first display line
extern CScaleMisuraDisplayRef g_ScalaB; // channel F, second display line
