#pragma once
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "ICopyClass.h"
#include "MemMapTypes.h"
#include "ReportRecordset.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>
#include <utility>
#include <vector>

// Small fixtures of the parameter-class tests: fresh maps, a CModInstr for
// a model and slot-A code, what an object writes on both, lines placed in
// arrival order, report rows as plain pairs, and a marker range on the scale
// objects to see whether a call touched them.
namespace paramtest {

inline MemMapAuxLines NoSendLines()
{
    MemMapAuxLines lines;
    lines.fill(QStringLiteral("NoSend"));
    return lines;
}

// A configuration's CModInstr with that model and slot-A code (parameter
// objects are not copyable, so fixtures are built in place).
struct ModInstr : CModInstr {
    ModInstr(std::int16_t model, std::int16_t slotA)
    {
        SetModelloStrumento(model);
        SetSlotA(slotA);
    }
};

// What `obj` writes for `mod`: its words on a zeroed map and its lines on
// "NoSend" lines.
struct MapAndLines {
    MemMapWords map{};
    MemMapAuxLines lines = NoSendLines();
};

inline MapAndLines MapAndLinesOf(const IParameterObject &obj, const CModInstr &mod)
{
    MapAndLines written;
    obj.GetMemoryMap(mod, written.map);
    obj.GetMemoryMapAux(mod, written.lines);
    return written;
}

// Lines as an instrument's reply stores them: from index 0 in arrival order.
inline MemMapAuxLines ReplyLines(const QStringList &given)
{
    MemMapAuxLines lines = NoSendLines();
    for (qsizetype i = 0; i < given.size(); ++i)
        lines[static_cast<std::size_t>(i)] = given[i];
    return lines;
}

// The lines of `lines` that are not "NoSend", by index.
inline std::map<std::size_t, QString> SentLines(const MemMapAuxLines &lines)
{
    std::map<std::size_t, QString> sent;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != QLatin1String("NoSend"))
            sent[i] = lines[i];
    }
    return sent;
}

// The non-zero words of `map`, by index.
inline std::map<std::size_t, std::int16_t> SetWords(const MemMapWords &map)
{
    std::map<std::size_t, std::int16_t> words;
    for (std::size_t i = 0; i < map.size(); ++i) {
        if (map[i] != 0)
            words[i] = map[i];
    }
    return words;
}

using Row = std::pair<QString, QString>; // one column: second is empty

inline std::vector<Row> Rows(const ReportRecordset &report)
{
    std::vector<Row> rows;
    for (const ReportRowRecord &r : report.Rows()) {
        EXPECT_EQ(r.nColumn, r.Column2.isEmpty() ? 1 : 2) << r.Column1.toStdString();
        rows.emplace_back(r.Column1, r.Column2);
    }
    return rows;
}

// A range no class under test sets by accident (the 0.0..200.0 mV range of
// model 1), put on both scale objects.
inline void MarkScales()
{
    g_Scala->SetLimitiScalaElettrica(1, 0, 3, 0);
    g_ScalaB->SetLimitiScalaElettrica(1, 0, 3, 0);
}

inline LimitiScalaElettrica MarkedRange()
{
    CScaleMisuraDisplay s;
    s.SetLimitiScalaElettrica(1, 0, 3, 0);
    return s.Limiti();
}

inline LimitiScalaElettrica RangeOf(std::int32_t model, std::int32_t slotA, std::int32_t range, std::int32_t probe)
{
    CScaleMisuraDisplay s;
    s.SetLimitiScalaElettrica(model, slotA, range, probe);
    return s.Limiti();
}

} // namespace paramtest

// Readable failures for the maps above.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
