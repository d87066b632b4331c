#pragma once
#include "CCollDatiSetup.h"
#include "CModInstr.h"
#include "CParameterClassBase.h"
#include "ColumnVisitor.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <vector>

// Fixtures of the setup-collection tests: module codings, the stored values
// of a collection's objects, the list of positions whose ValidData is set,
// and the differences between two collections.
namespace colltest {

struct Modules {
    std::int16_t model, a, b, c, d;
};

inline std::int32_t Coding(const Modules &m)
{
    CModInstr mod;
    mod.SetModelloStrumento(m.model);
    mod.SetSlotA(m.a);
    mod.SetSlotB(m.b);
    mod.SetSlotC(m.c);
    mod.SetSlotD(m.d);
    return mod.CodificaModuli();
}

inline CParameterClassBase &Object(const CCollDatiSetup &coll, std::int16_t i)
{
    return dynamic_cast<CParameterClassBase &>(coll.SetupObjects().Item(i));
}

// The position of the object of that key.
inline std::int16_t Index(const CCollDatiSetup &coll, const QString &key)
{
    for (std::int16_t i = 1; i <= coll.SetupObjects().Count(); ++i) {
        if (coll.SetupObjects().Key(i) == key)
            return i;
    }
    ADD_FAILURE() << "no object " << key.toStdString();
    return 1;
}

struct StoredValue {
    QString column; // "CAlarm1.m_AlarmType"
    QString value;
};

// Every stored column of object i, named by its table, in table order.
inline std::vector<StoredValue> StoredValues(const CCollDatiSetup &coll, std::int16_t i)
{
    struct Reader : ColumnVisitor {
        QString table;
        std::vector<StoredValue> values;
        void Column(const QString &n, std::int16_t &m) override
        {
            values.push_back({table + '.' + n, QString::number(m)});
        }
        void Column(const QString &n, std::int32_t &m) override
        {
            values.push_back({table + '.' + n, QString::number(m)});
        }
        void Column(const QString &n, QString &m) override { values.push_back({table + '.' + n, '"' + m + '"'}); }
    } reader;
    CParameterClassBase &object = Object(coll, i);
    reader.table = object.ClassName();
    object.Columns(reader);
    return reader.values;
}

// The rule of the object for that column: its context's first (as the
// collection last pushed it), then its own; none for a free column.
inline std::optional<FieldRule> RuleOfColumn(const CParameterClassBase &object, const QString &name)
{
    for (const FieldRule &rule : object.ContextRules()) {
        if (name == QLatin1String(rule.column))
            return rule;
    }
    for (const FieldRule &rule : object.FieldRules()) {
        if (name == QLatin1String(rule.column))
            return rule;
    }
    return std::nullopt;
}

// Sets every stored column of every object to a value of its own (16-bit
// columns from base, 32-bit columns from base * 1000 so that they need
// their high word, texts "Prova" + n); a column with a rule of its values
// takes one of those (the rule's minimum plus n, wrapped round its range; a
// decimal point one of its table's). The rules of the objects' context, as
// the collection last pushed it, come first.
inline void FillEveryColumn(CCollDatiSetup &coll, int base)
{
    struct Filler : ColumnVisitor {
        int next;
        CParameterClassBase *object = nullptr;
        std::optional<FieldRule> ruleOf(const QString &name) const
        {
            // Asked at each column: a curve's rules follow its number of
            // points, filled first.
            return RuleOfColumn(*object, name);
        }
        std::int32_t value(const QString &name, std::int32_t free)
        {
            const int n = next++;
            const std::optional<FieldRule> rule = ruleOf(name);
            if (!rule)
                return free;
            if (rule->kind == FieldRule::Kind::DigitalPoint) {
                std::vector<std::int32_t> points;
                for (std::int32_t dp : {0, 1, 2, 3, 0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005}) {
                    if (FieldValueFits(*rule, dp))
                        points.push_back(dp);
                }
                return points[static_cast<std::size_t>(n) % points.size()];
            }
            return rule->min + n % (rule->max - rule->min + 1);
        }
        void Column(const QString &name, std::int16_t &m) override { m = static_cast<std::int16_t>(value(name, next)); }
        void Column(const QString &name, std::int32_t &m) override { m = value(name, 1000 * next); }
        void Column(const QString &, QString &m) override { m = QStringLiteral("Prova %1").arg(next++); }
    } filler;
    filler.next = base;
    for (std::int16_t i = 1; i <= coll.SetupObjects().Count(); ++i) {
        filler.object = &Object(coll, i);
        Object(coll, i).Columns(filler);
    }
}

// The positions 1..18 whose ValidData is True.
inline std::vector<int> ValidPositions(const CCollDatiSetup &coll)
{
    std::vector<int> valid;
    for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
        if (coll.ValidData(i))
            valid.push_back(i);
    }
    return valid;
}

// "table.column: first -> second" for every stored value that differs,
// over the objects for which `compare` (position) holds and the columns
// not in `skip`.
inline QStringList Differences(const CCollDatiSetup &first, const CCollDatiSetup &second,
                               const std::function<bool(std::int16_t)> &compare, const std::set<QString> &skip = {})
{
    QStringList diffs;
    for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
        if (!compare(i))
            continue;
        const auto a = StoredValues(first, i);
        const auto b = StoredValues(second, i);
        for (std::size_t k = 0; k < a.size() && k < b.size(); ++k) {
            if (a[k].value != b[k].value && skip.count(a[k].column) == 0)
                diffs << a[k].column + QStringLiteral(": ") + a[k].value + QStringLiteral(" -> ") + b[k].value;
        }
    }
    return diffs;
}

inline QStringList AllDifferences(const CCollDatiSetup &first, const CCollDatiSetup &second)
{
    return Differences(first, second, [](std::int16_t) { return true; });
}

// A list as one text of lines, for readable comparisons.
inline std::string Text(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n')).toStdString();
}

} // namespace colltest
