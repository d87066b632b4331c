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
    case 1: w = 0x8000; break;
    case 2: w = 0xC000; break;
    case 3: w = 0x4000; break;
    default: break;
    }
    // Slot A owns bits 10-12 only: a code outside 0..7 must not reach the
    // model bits.
    w |= (static_cast<std::uint32_t>(m_SlotA) & 0x7u) << 10;
    if (m_SlotB == 3 || m_SlotC == 4 || m_SlotD == 1)
        w |= 0x10;
    switch (m_SlotC) {
    case 1: w |= 0x1; break;
    case 2: w |= 0x3; break;
    case 3: w |= 0xF; break;
    default: break;
    }
    if (m_SlotB == 1)
        w |= 0x200;
    else if (m_SlotB == 2)
        w |= 0x100;
    if (m_SlotA == 6) {
        if (m_SlotC >= 5 && m_SlotC <= 7)
            w |= 1u << (16 + m_SlotC - 5);
        if (m_SlotD >= 2 && m_SlotD <= 4)
            w |= 1u << (19 + m_SlotD - 2);
    }
    return static_cast<std::int32_t>(w);
}

void CModInstr::SetCodificaModuli(std::int32_t value)
{
    const auto w = static_cast<std::uint32_t>(value);
    const std::uint32_t lo = w & 0xFFFFu;
    const std::uint32_t hi = w >> 16;

    switch (lo & 0xC000u) {
    case 0xC000u: m_ModelloStrumento = 2; break;
    case 0x8000u: m_ModelloStrumento = 1; break;
    case 0x4000u: m_ModelloStrumento = 3; break;
    default: m_ModelloStrumento = 0; break;
    }
    m_SlotA = static_cast<std::int16_t>((lo & 0x1C00u) >> 10);
    switch (lo & 0xFu) {
    case 0x1u: m_SlotC = 1; break;
    case 0x3u: m_SlotC = 2; break;
    case 0xFu: m_SlotC = 3; break;
    default: m_SlotC = 0; break;
    }
    if (m_SlotA == 6 && m_SlotC == 0) {
        if (hi & 0x1u)
            m_SlotC = 5;
        else if (hi & 0x2u)
            m_SlotC = 6;
        else if (hi & 0x4u)
            m_SlotC = 7;
    }
    m_SlotD = 0;
    if (m_SlotA == 6) {
        if (hi & 0x8u)
            m_SlotD = 2;
        else if (hi & 0x10u)
            m_SlotD = 3;
        else if (hi & 0x20u)
            m_SlotD = 4;
    }
    switch (lo & 0x300u) {
    case 0x100u: m_SlotB = 2; break;
    case 0x200u: m_SlotB = 1; break;
    default: m_SlotB = 0; break;
    }
    if (lo & 0x10u) {
        if (m_ModelloStrumento != 2) {
            // Relays in slot C put the BN into slot B, but never over a QD or
            // QE already decoded there: the option module stays.
            if (m_SlotC == 0)
                m_SlotC = 4;
            else if (m_SlotB == 0)
                m_SlotB = 3;
        } else if (!(m_SlotA == 6 && m_SlotD != 0)) {
            m_SlotD = 1;
        } else if (m_SlotB == 0) {
            m_SlotB = 3;
        } else if (m_SlotC == 0) {
            m_SlotC = 4;
        }
    }
}

void CModInstr::SetReport(ReportRecordset &report) const
{
    AddReportRow(report, {LoadResourceString(5381), m_NomeProgramma});
    AddReportRow(report, {LoadResourceString(5389), codeText(5360, m_ModelloStrumento, 0, 3)});
    AddReportRow(report, {LoadResourceString(5387), codeText(5364, m_SlotA, 0, 6)});
    AddReportRow(report, {LoadResourceString(5376), codeText(5377, m_SlotB, 0, 3)});
    const QString slotC = (m_SlotA == 6 && m_SlotC >= 5) ? codeText(5661, m_SlotC, 5, 7)
                                                          : codeText(5370, m_SlotC, 0, 4);
    AddReportRow(report, {LoadResourceString(5388), slotC});
    if (m_ModelloStrumento == 2) {
        const QString slotD = (m_SlotA == 6 && m_SlotD >= 2) ? codeText(5664, m_SlotD, 2, 4)
                                                              : codeText(5385, m_SlotD, 0, 1);
        AddReportRow(report, {LoadResourceString(5384), slotD});
    }
}
