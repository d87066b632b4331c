#include "CScaleMisuraDisplay.h"

#include "MBytes.h"
#include "ModelError.h"
#include "ModuleCodes.h"
#include "StringTable.h"

#include <cmath>

CScaleMisuraDisplayRef g_Scala;
CScaleMisuraDisplayRef g_ScalaB;

CScaleMisuraDisplay &CScaleMisuraDisplayRef::get()
{
    if (!m_Object)
        m_Object = std::make_unique<CScaleMisuraDisplay>();
    return *m_Object;
}

namespace {

// String-table id of the unit text of unit code 0 ("Hz") of the frequency
// modules; codes 1 to 5 follow it.
constexpr std::int32_t kUnitTextHz = 641;

template <std::size_t N>
const LimitiScalaElettrica &RangeRow(const std::array<LimitiScalaElettrica, N> &table, std::int32_t row,
                                     const char *tableName)
{
    if (row < 0 || row >= static_cast<std::int32_t>(N))
        RaiseSetupReadError(
            QStringLiteral("Codice di range %1 fuori dalla tabella %2").arg(row).arg(QLatin1String(tableName)));
    return table[static_cast<std::size_t>(row)];
}

// Rounds to the nearest integer, a half to the even neighbour, whatever the
// floating-point rounding mode is.
double RoundHalfEven(double x)
{
    const double lower = std::floor(x);
    const double diff = x - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

} // namespace

CScaleMisuraDisplay::CScaleMisuraDisplay()
    // Hz, kHz, rpm, krpm, rph, krph against the count of pulses per second.
    : m_UnitFactor{1.0f, 0.001f, 60.0f, 0.06f, 3600.0f, 3.6f}
{
}

void CScaleMisuraDisplay::SetLimitiScalaElettrica(std::int32_t modello, std::int32_t modulo, std::int32_t rangeOrPulses,
                                                  std::int32_t probeOrUnit)
{
    const std::int32_t r = rangeOrPulses;
    const std::int32_t p = probeOrUnit;
    switch (modello) {
    case ModelCode::Oxa12:
        switch (modulo) {
        case SlotACode::MVA:
        case SlotACode::MVBC: m_Limiti = RangeRow(g_LimitiMVAMVB1999, r, "g_LimitiMVAMVB1999"); break;
        case SlotACode::HVA: m_Limiti = RangeRow(g_LimitiHVA1999, r, "g_LimitiHVA1999"); break;
        case SlotACode::GKP:
            if (p == 0)
                m_Limiti = RangeRow(g_LimitiTC1999, r, "g_LimitiTC1999");
            else if (p == 1)
                m_Limiti = RangeRow(g_LimitiRTD1999, r, "g_LimitiRTD1999");
            else if (p == 2)
                m_Limiti = RangeRow(g_LimitiRES1999, r, "g_LimitiRES1999");
            break;
        case SlotACode::WP1:
        case SlotACode::WP2: SetFrequencyRange(modello, r, p); break;
        default: break;
        }
        break;
    case ModelCode::Oxa14:
    case ModelCode::Ivr:
        switch (modulo) {
        case SlotACode::MVA:
        case SlotACode::MVBC: m_Limiti = RangeRow(g_LimitiMVAMVB2000, r, "g_LimitiMVAMVB2000"); break;
        case SlotACode::HVA: m_Limiti = RangeRow(g_LimitiHVA2000, r, "g_LimitiHVA2000"); break;
        case SlotACode::GKP:
            if (p == 0)
                m_Limiti = RangeRow(g_LimitiTC2000, r, "g_LimitiTC2000");
            else if (p == 1)
                m_Limiti = RangeRow(g_LimitiRTD2000, r, "g_LimitiRTD2000");
            else if (p == 2)
                m_Limiti = RangeRow(g_LimitiRES2000, r, "g_LimitiRES2000");
            break;
        case SlotACode::WP1:
        case SlotACode::WP2: SetFrequencyRange(modello, r, p); break;
        case SlotACode::MVZ: m_Limiti = RangeRow(g_LimitiMVZ2000, r, "g_LimitiMVZ2000"); break;
        default: break;
        }
        break;
    case ModelCode::Oxa16:
        if (ModuleCodes::IsFrequencyModule(modulo))
            SetFrequencyRange(modello, r, p);
        break;
    default: break;
    }
}

void CScaleMisuraDisplay::SetFrequencyRange(std::int32_t modello, std::int32_t pulses, std::int32_t unit)
{
    if (pulses <= 0)
        RaiseSetupReadError(QStringLiteral("Impulsi per giro non validi: %1").arg(pulses));
    if (unit < 0 || unit >= static_cast<std::int32_t>(m_UnitFactor.size()))
        RaiseSetupReadError(QStringLiteral("Unita' di misura non prevista: %1").arg(unit));

    const bool sixDigits = modello == ModelCode::Oxa16;
    const double cap = sixDigits ? kFrequencyCapModel3 : kFrequencyCap;
    // The single-precision unit factor is part of the result: 0.001f x 1562500
    // lies just above 1562.5 and rounds to 1563.
    double full = static_cast<double>(m_UnitFactor[static_cast<std::size_t>(unit)]) * (kFrequencyBase / pulses);
    if (full > cap)
        full = cap;

    LimitiScalaElettrica limiti;
    limiti.InizioScalaElettrica = 0;
    limiti.FineScalaElettrica = static_cast<std::int32_t>(RoundHalfEven(full));
    limiti.UnitaMisuraScalaElettrica = LoadResourceString(kUnitTextHz + unit);
    // For these modules the two fields bound the decimal point the user may
    // choose rather than fixing one.
    limiti.DPScalaElettricaMin = sixDigits ? 0x10000 : 0;
    limiti.DPScalaElettricaMax = sixDigits ? 0x10005 : 3;
    m_Limiti = limiti;
}

void CScaleMisuraDisplay::SetScalaDisplay(std::int32_t digitalPoint, std::int32_t inizio, std::int32_t fine)
{
    m_DigitalPointScalaDisplay = digitalPoint;
    m_InizioScalaDisplay = inizio;
    m_FineScalaDisplay = fine;
}

std::optional<DigitalPointInfo> CScaleMisuraDisplay::FindDigitalPointInfo(std::int32_t digitalPoint)
{
    const std::int32_t decimals = LoWord(digitalPoint);
    if (HiWord(digitalPoint) != 0) {
        if (decimals >= 0 && decimals < static_cast<std::int32_t>(g_DigitalPoint6.size()))
            return g_DigitalPoint6[static_cast<std::size_t>(decimals)];
    } else if (decimals >= 0 && decimals < static_cast<std::int32_t>(g_DigitalPoint4.size())) {
        return g_DigitalPoint4[static_cast<std::size_t>(decimals)];
    }
    return std::nullopt;
}

DigitalPointInfo CScaleMisuraDisplay::GetDigitalPointInfo(std::int32_t digitalPoint)
{
    if (const auto info = FindDigitalPointInfo(digitalPoint))
        return *info;
    RaiseSetupReadError(QStringLiteral("Punto decimale non previsto: &H%1")
                            .arg(QString::number(static_cast<std::uint32_t>(digitalPoint), 16).toUpper()));
}
