#include "FieldLabels.h"

#include "ResourceText.h"
#include "StringTable.h"

#include <array>

namespace {

constexpr std::int32_t kTextQuoted = 3160;      // "\"|1\""
constexpr std::int32_t kTextQualified = 3161;   // "\"|1\" (|2)"
constexpr std::int32_t kTextAlarmNumber = 3162; // "alarm |1"
constexpr std::int32_t kTextPointNumber = 3163; // "point |1"
constexpr std::int32_t kTextChannelF = 492;     // "channel F"
constexpr std::int32_t kTextOneOfThree = 1256;  // "\"|1\", \"|2\" or \"|3\""

struct FieldLabel {
    const char *table;
    const char *column; // for the curve's points, the column without its number
    std::int32_t label;
    std::int32_t qualifier;   // what tells the field apart, 0 for nothing
    std::int32_t refusalText; // a text of its own for a refused value, 0 for none
};

constexpr FieldLabel kLabels[] = {
    {"CModInstr", "m_ModelloStrumento", 389, 0, 0}, // "Instrument type"
    {"CModInstr", "m_SlotA", 387, 0, 0},
    {"CModInstr", "m_SlotB", 376, 0, 0},
    {"CModInstr", "m_SlotC", 388, 0, 0},
    // The model page does not show slot D; the MVZ page's frame of its
    // extra inputs does.
    {"CModInstr", "m_SlotD", 384, 0, 0},        // "Slot D"
    {"CRangeWP12", "m_WPxFunction", 621, 0, 0}, // "Function"
    {"CRangeWP12", "m_ImpGiroA", 639, 637, 0},  // "Pulse for revolution:", "Input A"
    {"CRangeWP12", "m_UnitaIngA", 640, 637, 0}, // "Engineering unit:"
    {"CRangeWP12", "m_ImpGiroB", 639, 638, 0},  // "Input B"
    {"CRangeWP12", "m_UnitaIngB", 640, 638, 0},
    {"CRangeWP12", "m_DigitalInFunction", 650, 0, 0}, // "Digital input"
    {"CRangeMVAHVA", "m_Range", 441, 0, 0},           // "Measuring range"
    {"CRangeMVAHVA", "m_MeasureType", 434, 0, 0},     // "Measuring mode"
    {"CRangeMVAHVA", "m_IntegrationTime", 438, 0, 0}, // "Integration time"
    {"CRangeMVAHVA", "m_IntTime", 438, 0, 0},
    {"CRangeMVAHVA", "m_DigitalInFunction", 430, 0, 0}, // "External command"
    {"CRangeGKP", "m_ProbeSelect", 392, 0, 0},          // "Probe selection"
    {"CRangeGKP", "m_CJC", 406, 0, 0},                  // "Cold junction compensation"
    {"CRangeGKP", "m_TempCJC", 406, 0, 0},
    {"CRangeGKP", "m_DigitalInFunction", 390, 0, 0}, // "External command function"
    {"CRangeMVZ", "m_RangeMasterMVZ", 661, 0, 0},    // "MVZ measuring range"
    {"CRangeMVZ", "m_Input1C", 669, 388, 0},         // "Input 1:", "Slot C"
    {"CRangeMVZ", "m_Input2C", 670, 388, 0},
    {"CRangeMVZ", "m_Input3C", 671, 388, 0},
    {"CRangeMVZ", "m_Input1D", 669, 384, 0}, // "Slot D"
    {"CRangeMVZ", "m_Input2D", 670, 384, 0},
    {"CRangeMVZ", "m_Input3D", 671, 384, 0},
    {"CDisplay", "m_DisplayDigit", 511, 0, 0}, // "Display choice"
    {"CDisplay", "m_DisplayColor", 514, 0, 0}, // "Basic display colour"
    {"CDisplay", "m_Password", 510, 0, 0},
    {"CInOutScale", "m_ElectricDigitalPoint", 493, 480, 0}, // "Decimal point position:", "Electrical scale"
    {"CInOutScale", "m_MinElectricScale", 482, 0, 0},
    {"CInOutScale", "m_MaxElectricScale", 481, 0, 0},
    {"CInOutScale", "m_MeasureDigitalPoint", 484, 483, 0}, // "Displayed scale"
    {"CInOutScale", "m_MinMeasureScale", 486, 0, 0},
    {"CInOutScale", "m_MaxMeasureScale", 485, 0, 0},
    {"CInOutScale", "m_Linearizzazione", 487, 0, 0},       // "Linearization"
    {"CLinearize", "m_NumSpezzate", 470, 0, 0},            // "Number of points:"
    {"CLinearize", "m_CoordinateIn", 471, 0, 0},           // "Input"
    {"CLinearize", "m_CoordinateOut", 472, 0, 0},          // "Output"
    {"CCounterAB", "m_ElectricDigitalPoint", 729, 721, 0}, // "Decimal point position:", "Electrical range"
    {"CCounterAB", "m_MinElectricScale", 723, 0, 0},
    {"CCounterAB", "m_MaxElectricScale", 722, 0, 0},
    {"CCounterAB", "m_MeasureDigitalPointCounterA", 725, 724, 0}, // "Settings of channel A"
    {"CCounterAB", "m_CounterAPulseWeight", 727, 724, 0},
    {"CCounterAB", "m_CounterADigitalPoint", 726, 724, 0},
    {"CCounterAB", "m_MeasureDigitalPointCounterB", 725, 728, 0}, // "Settings of channel F"
    {"CCounterAB", "m_CounterBPulseWeight", 727, 728, 0},
    {"CCounterAB", "m_CounterBDigitalPoint", 726, 728, 0},
    {"CAlarm", "m_Channel", 527, 0, 0},
    {"CAlarm", "m_MinAlarmScale", 546, 0, 0},
    {"CAlarm", "m_MaxAlarmScale", 547, 0, 0},
    {"CAlarm", "m_AlarmSetPoint", 544, 0, 0},
    {"CAlarm", "m_Isteresi", 543, 0, 0},
    {"CAlarm", "m_RitAttivazione", 541, 0, 0},
    {"CAlarm", "m_RitDisattivazione", 542, 0, 0},
    {"CAlarm", "m_AlarmType", 556, 0, 0},
    {"CAlarm", "m_RelayStatus", 553, 0, 0},
    {"CAlarm", "m_AlarmColor", 548, 0, 0},
    {"CAnalogOut", "m_Channel", 527, 0, 0},
    {"CAnalogOut", "m_MaxOut", 521, 0, 0},
    {"CAnalogOut", "m_MinOut", 522, 0, 0},
    {"CAnalogOut", "m_TypeSignalOut", 523, 0, 0},
    {"CFiltroDigitale", "m_Campo", 501, 0, 0},
    {"CFiltroDigitale", "m_Coeff", 502, 0, 0},
    {"CSerialComm", "m_NetworkAdd", 350, 0, 3153}, // "the network address |1 is not one of 1 to 255"
    {"CSerialComm", "m_BaudRate", 351, 0, 3154},   // "the baud-rate code |1 is not one of 0 (4800) to 3 (38400)"
};

// A field its page shows in one of three groups, as another value of the
// object chooses: the temperature input's range, in the group of the probe
// type ("Thermocouple range", "RTD Range", "Resistance range"). A refusal
// carries the table, the field and the value only, and the map and line
// readers check the range before they read the probe, so the name gives
// the three captions.
struct GroupedField {
    const char *table;
    const char *column;
    std::array<std::int32_t, 3> groups;
};

constexpr GroupedField kGrouped[] = {
    {"CRangeGKP", "m_Range", {417, 409, 397}},
};

constexpr const char kPointsIn[] = "m_CoordinateIn";
constexpr const char kPointsOut[] = "m_CoordinateOut";

// A table name split into its class's table and the instance: "CAlarm3" is
// alarm 3, "CInOutScaleB" and "CLinearizeB" channel F.
struct Instance {
    QString table;
    QString qualifier;
};

Instance instanceOf(const QString &table)
{
    if (table == QLatin1String("CInOutScaleB") || table == QLatin1String("CLinearizeB"))
        return {table.chopped(1), LoadResourceString(kTextChannelF)};
    if (table.size() == 7 && table.startsWith(QLatin1String("CAlarm")) && table[6] >= QLatin1Char('1') &&
        table[6] <= QLatin1Char('4'))
        return {table.left(6), GetResourceText(kTextAlarmNumber, {QString(table[6])})};
    return {table, QString()};
}

// A point of the curve: its column without the two digits, and the point
// number from 1.
struct Column {
    QString name;
    int point = 0;
};

Column columnOf(const QString &column)
{
    for (const char *prefix : {kPointsIn, kPointsOut}) {
        const QLatin1String p(prefix);
        if (column.size() == p.size() + 2 && column.startsWith(p)) {
            bool ok = false;
            const int index = column.right(2).toInt(&ok);
            if (ok)
                return {p, index + 1};
        }
    }
    return {column, 0};
}

const FieldLabel *find(const QString &table, const QString &column)
{
    for (const FieldLabel &entry : kLabels) {
        if ((table.isEmpty() || table == QLatin1String(entry.table)) && column == QLatin1String(entry.column))
            return &entry;
    }
    return nullptr;
}

// A caption without the colon that ends the labels of a page, or a report
// label without its layout mark.
QString caption(std::int32_t id)
{
    static const QString reportLabel = QStringLiteral("#SB#");
    QString text = LoadResourceString(id).trimmed();
    if (text.startsWith(reportLabel))
        text.remove(0, reportLabel.size());
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

} // namespace

QString FieldUserName(const QString &table, const QString &column)
{
    const Instance instance = instanceOf(table);
    const Column field = columnOf(column);
    for (const GroupedField &grouped : kGrouped) {
        if (instance.table == QLatin1String(grouped.table) && field.name == QLatin1String(grouped.column))
            return GetResourceText(
                kTextOneOfThree, {caption(grouped.groups[0]), caption(grouped.groups[1]), caption(grouped.groups[2])});
    }
    const FieldLabel *entry = find(instance.table, field.name);
    if (entry == nullptr)
        return QString();
    QStringList qualifiers;
    if (entry->qualifier != 0)
        qualifiers << caption(entry->qualifier);
    if (field.point > 0)
        qualifiers << GetResourceText(kTextPointNumber, {QString::number(field.point)});
    if (!instance.qualifier.isEmpty())
        qualifiers << instance.qualifier;
    const QString label = caption(entry->label);
    if (qualifiers.isEmpty())
        return GetResourceText(kTextQuoted, {label});
    return GetResourceText(kTextQualified, {label, qualifiers.join(QStringLiteral(", "))});
}

std::int32_t FieldRefusalTextId(const QString &table, const QString &column)
{
    const FieldLabel *entry = find(instanceOf(table).table, columnOf(column).name);
    return entry != nullptr ? entry->refusalText : 0;
}
