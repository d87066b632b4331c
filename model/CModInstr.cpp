#include "CModInstr.h"

#include "ParameterClassRegistry.h"
#include "StringTable.h"

static const RegisterParameterClass<CModInstr> kRegistration{"CModInstr"};

namespace {

// The text of an enumeration code: base id + code for a code inside the
// table's count, else the code itself (a stored value outside the known
// codes must not pick up an unrelated text).
QString codeText(std::int32_t baseId, std::int16_t code, std::int16_t first, std::int16_t last)
{
    if (code < first || code > last)
        return QString::number(code);
    return LoadResourceString(baseId + code);
}

} // namespace

CModInstr::CModInstr() : CParameterClass<CModInstr>(QStringLiteral("CModInstr"))
{
    m_NomeProgramma = LoadResourceString(383);
}

void CModInstr::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_NomeProgramma"), m_NomeProgramma);
    c.Column(QStringLiteral("m_ModelloStrumento"), m_ModelloStrumento);
    c.Column(QStringLiteral("m_SlotA"), m_SlotA);
    c.Column(QStringLiteral("m_SlotB"), m_SlotB);
    c.Column(QStringLiteral("m_SlotC"), m_SlotC);
    c.Column(QStringLiteral("m_SlotD"), m_SlotD);
}

std::span<const FieldRule> CModInstr::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        CodeRule("m_ModelloStrumento", ModelCode::Oxa16 + 1),
        CodeRule("m_SlotA", SlotACode::MVZ + 1),
        CodeRule("m_SlotB", SlotBCode::BN + 1),
        CodeRule("m_SlotC", SlotCCode::MvzExtraLast + 1),
        CodeRule("m_SlotD", SlotDCode::MvzExtraLast + 1),
    };
    return kRules;
}

std::vector<FieldRule> CModInstr::ContextRules() const
{
    if (m_SlotA == SlotACode::MVZ)
        return {};
    // One BN module: in slot B or in slot C, never both (the module coding
    // carries one, and the model page fits one).
    const std::int32_t slotCCodes = m_SlotB == SlotBCode::BN ? SlotCCode::BN : SlotCCode::MvzExtraFirst;
    return {CodeRule("m_SlotC", slotCCodes), CodeRule("m_SlotD", SlotDCode::MvzExtraFirst)};
}

void CModInstr::CopyProperties(const CModInstr &from, CModInstr &to)
{
    to.SetNomeProgramma(from.NomeProgramma());
    to.SetModelloStrumento(from.ModelloStrumento());
    to.SetSlotA(from.SlotA());
    to.SetSlotB(from.SlotB());
    to.SetSlotC(from.SlotC());
    to.SetSlotD(from.SlotD());
}

std::int32_t CModInstr::CodificaModuli() const
{
    std::uint32_t w = 0;
    switch (m_ModelloStrumento) {
    case ModelCode::Oxa14: w = 0x8000; break;
    case ModelCode::Ivr: w = 0xC000; break;
    case ModelCode::Oxa16: w = 0x4000; break;
    default: break;
    }
    // Slot A owns bits 10-12 only: a code outside 0..7 must not reach the
    // model bits.
    w |= (static_cast<std::uint32_t>(m_SlotA) & 0x7u) << 10;
    if (ModuleCodes::HasAnalogOutput(m_SlotB, m_SlotC, m_SlotD))
        w |= 0x10;
    switch (m_SlotC) {
    case SlotCCode::Y1: w |= 0x1; break;
    case SlotCCode::Y2: w |= 0x3; break;
    case SlotCCode::Y4Y5: w |= 0xF; break;
    default: break;
    }
    if (m_SlotB == SlotBCode::QD)
        w |= 0x200;
    else if (m_SlotB == SlotBCode::QE)
        w |= 0x100;
    if (m_SlotA == SlotACode::MVZ) {
        if (m_SlotC >= SlotCCode::MvzExtraFirst && m_SlotC <= SlotCCode::MvzExtraLast)
            w |= 1u << (16 + m_SlotC - SlotCCode::MvzExtraFirst);
        if (m_SlotD >= SlotDCode::MvzExtraFirst && m_SlotD <= SlotDCode::MvzExtraLast)
            w |= 1u << (19 + m_SlotD - SlotDCode::MvzExtraFirst);
    }
    return static_cast<std::int32_t>(w);
}

void CModInstr::SetCodificaModuli(std::int32_t value)
{
    const auto w = static_cast<std::uint32_t>(value);
    const std::uint32_t lo = w & 0xFFFFu;
    const std::uint32_t hi = w >> 16;

    switch (lo & 0xC000u) {
    case 0xC000u: m_ModelloStrumento = ModelCode::Ivr; break;
    case 0x8000u: m_ModelloStrumento = ModelCode::Oxa14; break;
    case 0x4000u: m_ModelloStrumento = ModelCode::Oxa16; break;
    default: m_ModelloStrumento = ModelCode::Oxa12; break;
    }
    m_SlotA = static_cast<std::int16_t>((lo & 0x1C00u) >> 10);
    switch (lo & 0xFu) {
    case 0x1u: m_SlotC = SlotCCode::Y1; break;
    case 0x3u: m_SlotC = SlotCCode::Y2; break;
    case 0xFu: m_SlotC = SlotCCode::Y4Y5; break;
    default: m_SlotC = SlotCCode::None; break;
    }
    // The extra inputs of the master family: the first set bit wins.
    if (m_SlotA == SlotACode::MVZ && m_SlotC == SlotCCode::None) {
        if (hi & 0x1u)
            m_SlotC = SlotCCode::MvzExtraFirst;
        else if (hi & 0x2u)
            m_SlotC = SlotCCode::MvzExtraFirst + 1;
        else if (hi & 0x4u)
            m_SlotC = SlotCCode::MvzExtraFirst + 2;
    }
    m_SlotD = SlotDCode::None;
    if (m_SlotA == SlotACode::MVZ) {
        if (hi & 0x8u)
            m_SlotD = SlotDCode::MvzExtraFirst;
        else if (hi & 0x10u)
            m_SlotD = SlotDCode::MvzExtraFirst + 1;
        else if (hi & 0x20u)
            m_SlotD = SlotDCode::MvzExtraFirst + 2;
    }
    switch (lo & 0x300u) {
    case 0x100u: m_SlotB = SlotBCode::QE; break;
    case 0x200u: m_SlotB = SlotBCode::QD; break;
    default: m_SlotB = SlotBCode::None; break;
    }
    if (lo & 0x10u) {
        if (m_ModelloStrumento != ModelCode::Ivr) {
            // Relays in slot C put the BN into slot B, but never over a QD or
            // QE already decoded there: the option module stays.
            if (m_SlotC == SlotCCode::None)
                m_SlotC = SlotCCode::BN;
            else if (m_SlotB == SlotBCode::None)
                m_SlotB = SlotBCode::BN;
        } else if (!(m_SlotA == SlotACode::MVZ && m_SlotD != SlotDCode::None)) {
            m_SlotD = SlotDCode::BN;
        } else if (m_SlotB == SlotBCode::None) {
            m_SlotB = SlotBCode::BN;
        } else if (m_SlotC == SlotCCode::None) {
            m_SlotC = SlotCCode::BN;
        }
    }
}

void CModInstr::SetReport(ReportRecordset &report) const
{
    AddReportRow(report, {LoadResourceString(5381), m_NomeProgramma});
    AddReportRow(report,
                 {LoadResourceString(5389), codeText(5360, m_ModelloStrumento, ModelCode::Oxa12, ModelCode::Oxa16)});
    AddReportRow(report, {LoadResourceString(5387), codeText(5364, m_SlotA, SlotACode::MVA, SlotACode::MVZ)});
    AddReportRow(report, {LoadResourceString(5376), codeText(5377, m_SlotB, SlotBCode::None, SlotBCode::BN)});
    const QString slotC = (m_SlotA == SlotACode::MVZ && m_SlotC >= SlotCCode::MvzExtraFirst)
                              ? codeText(5661, m_SlotC, SlotCCode::MvzExtraFirst, SlotCCode::MvzExtraLast)
                              : codeText(5370, m_SlotC, SlotCCode::None, SlotCCode::BN);
    AddReportRow(report, {LoadResourceString(5388), slotC});
    if (m_ModelloStrumento == ModelCode::Ivr) {
        const QString slotD = (m_SlotA == SlotACode::MVZ && m_SlotD >= SlotDCode::MvzExtraFirst)
                                  ? codeText(5664, m_SlotD, SlotDCode::MvzExtraFirst, SlotDCode::MvzExtraLast)
                                  : codeText(5385, m_SlotD, SlotDCode::None, SlotDCode::BN);
        AddReportRow(report, {LoadResourceString(5384), slotD});
    }
}
