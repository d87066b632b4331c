#include "CRangeMVZ.h"

#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "ModuleCodes.h"
#include "ParameterClassRegistry.h"
#include "ParameterCodes.h"
#include "ResourceText.h"
#include "StringTable.h"

#include <array>
#include <vector>

static const RegisterParameterClass<CRangeMVZ> kRegistration{"CRangeMVZ"};

namespace {

// The master range (word and line 1, template 1620 "inSA>CH0=|1") and the
// six extra inputs (words and lines 128..133, templates 1621..1626
// "inSC>CH1=|1" .. "inSd>CH6=|1"), in this order.
constexpr std::size_t kValues = 7;
constexpr std::array<std::size_t, kValues> kIndex{1, 128, 129, 130, 131, 132, 133};
constexpr std::int32_t kFirstLine = 1620;

constexpr std::int32_t kMasterRanges = 3;
constexpr std::int32_t kInputRanges = 2;

// The MVZ table of the scale objects is reached as model 2, slot A 6.
constexpr std::int32_t kScaleModel = ModelCode::Ivr;
constexpr std::int32_t kScaleSlotA = SlotACode::MVZ;

// Module kinds of the extra inputs: k = SlotC - 5 in slot C, SlotD - 2 in
// slot D.
constexpr std::int32_t kModuleKinds = 3;
constexpr std::int16_t kFirstSlotCKind = SlotCCode::MvzExtraFirst;
constexpr std::int16_t kFirstSlotDKind = SlotDCode::MvzExtraFirst;

constexpr std::int32_t kSlotCText = 388; // "Slot C"
constexpr std::int32_t kSlotDText = 384; // "Slot D"

bool appliesTo(const CModInstr &modInstr)
{
    return modInstr.SlotA() == SlotACode::MVZ;
}

std::int32_t tableSize(std::size_t i)
{
    return i == 0 ? kMasterRanges : kInputRanges;
}

const QString &columnName(std::size_t i)
{
    static const std::array<QString, kValues> names{QStringLiteral("m_RangeMasterMVZ"), QStringLiteral("m_Input1C"),
                                                    QStringLiteral("m_Input2C"),        QStringLiteral("m_Input3C"),
                                                    QStringLiteral("m_Input1D"),        QStringLiteral("m_Input2D"),
                                                    QStringLiteral("m_Input3D")};
    return names[i];
}

// One slot's section: title, then the three inputs with the range texts of
// the module kind. A code that names no module kind has no section.
std::vector<QStringList> slotSection(std::int32_t kind, std::int32_t slotText,
                                     const std::array<std::int16_t, 3> &inputs)
{
    if (kind < 0 || kind >= kModuleKinds)
        return {};
    std::vector<QStringList> rows;
    rows.push_back({GetResourceText(5665, {LoadResourceString(5666 + kind), LoadResourceString(slotText)})});
    for (std::size_t n = 0; n < inputs.size(); ++n)
        rows.push_back({LoadResourceString(5669 + static_cast<std::int32_t>(n)),
                        EnumCodeText(5672 + 2 * kind, inputs[n], kInputRanges)});
    return rows;
}

} // namespace

CRangeMVZ::CRangeMVZ() : CParameterClass<CRangeMVZ>(QStringLiteral("CRangeMVZ")) {}

void CRangeMVZ::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_RangeMasterMVZ"), m_RangeMasterMVZ);
    c.Column(QStringLiteral("m_Input1C"), m_Input1C);
    c.Column(QStringLiteral("m_Input2C"), m_Input2C);
    c.Column(QStringLiteral("m_Input3C"), m_Input3C);
    c.Column(QStringLiteral("m_Input1D"), m_Input1D);
    c.Column(QStringLiteral("m_Input2D"), m_Input2D);
    c.Column(QStringLiteral("m_Input3D"), m_Input3D);
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CRangeMVZ::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        CodeRule("m_RangeMasterMVZ", 3), CodeRule("m_Input1C", 2), CodeRule("m_Input2C", 2), CodeRule("m_Input3C", 2),
        CodeRule("m_Input1D", 2),        CodeRule("m_Input2D", 2), CodeRule("m_Input3D", 2),
    };
    return kRules;
}

void CRangeMVZ::CopyProperties(const CRangeMVZ &from, CRangeMVZ &to)
{
    to.SetRangeMasterMVZ(from.RangeMasterMVZ());
    to.SetInput1C(from.Input1C());
    to.SetInput2C(from.Input2C());
    to.SetInput3C(from.Input3C());
    to.SetInput1D(from.Input1D());
    to.SetInput2D(from.Input2D());
    to.SetInput3D(from.Input3D());
    to.SetSlotC(from.SlotC());
    to.SetSlotD(from.SlotD());
}

std::array<std::int16_t, 7> CRangeMVZ::ranges() const
{
    return {m_RangeMasterMVZ, m_Input1C, m_Input2C, m_Input3C, m_Input1D, m_Input2D, m_Input3D};
}

void CRangeMVZ::takeRanges(const std::array<std::int16_t, 7> &values)
{
    g_Scala->SetLimitiScalaElettrica(kScaleModel, kScaleSlotA, values[0], 0);
    m_RangeMasterMVZ = values[0];
    m_Input1C = values[1];
    m_Input2C = values[2];
    m_Input3C = values[3];
    m_Input1D = values[4];
    m_Input2D = values[5];
    m_Input3D = values[6];
}

void CRangeMVZ::SetElettricScale()
{
    g_Scala->SetLimitiScalaElettrica(kScaleModel, kScaleSlotA, m_RangeMasterMVZ, 0);
}

void CRangeMVZ::SetReport(ReportRecordset &report) const
{
    AddReportRow(report, {LoadResourceString(5661), EnumCodeText(5662, m_RangeMasterMVZ, kMasterRanges)});
    if (m_SlotC >= kFirstSlotCKind) {
        for (const QStringList &row :
             slotSection(m_SlotC - kFirstSlotCKind, kSlotCText, {m_Input1C, m_Input2C, m_Input3C}))
            AddReportRow(report, row);
    }
    if (m_SlotD >= kFirstSlotDKind) {
        for (const QStringList &row :
             slotSection(m_SlotD - kFirstSlotDKind, kSlotDText, {m_Input1D, m_Input2D, m_Input3D}))
            AddReportRow(report, row);
    }
}

void CRangeMVZ::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    if (!appliesTo(modInstr))
        return;
    const std::array<std::int16_t, kValues> values = ranges();
    for (std::size_t i = 0; i < kValues; ++i)
        map[kIndex[i]] = values[i];
}

void CRangeMVZ::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    if (!appliesTo(modInstr))
        return;
    std::array<std::int16_t, kValues> values{};
    for (std::size_t i = 0; i < kValues; ++i)
        values[i] = CheckCodeInTable(map[kIndex[i]], tableSize(i), columnName(i));
    takeRanges(values);
}

void CRangeMVZ::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    if (!appliesTo(modInstr))
        return;
    const std::array<std::int16_t, kValues> values = ranges();
    for (std::size_t i = 0; i < kValues; ++i)
        lines[kIndex[i]] =
            AuxLine(kFirstLine + static_cast<std::int32_t>(i), LetteredCode(QLatin1Char('r'), values[i]));
}

void CRangeMVZ::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    if (!appliesTo(modInstr))
        return;
    std::array<std::int16_t, kValues> values{};
    for (std::size_t i = 0; i < kValues; ++i)
        values[i] = ReadLetteredCodeLine(lines, kFirstLine + static_cast<std::int32_t>(i), tableSize(i), columnName(i));
    takeRanges(values);
}
