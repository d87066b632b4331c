#pragma once
#include "ColumnVisitor.h"

#include <QStringList>
#include <cstdint>
#include <variant>
#include <vector>

// One stored column's value, of its member's type.
using ColumnValue = std::variant<std::int16_t, std::int32_t, QString>;

// The stored columns of one object read out in table order: their names and
// values.
class ColumnValues : public ColumnVisitor {
public:
    void Column(const QString &name, std::int16_t &member) override
    {
        names << name;
        values.push_back(member);
    }
    void Column(const QString &name, std::int32_t &member) override
    {
        names << name;
        values.push_back(member);
    }
    void Column(const QString &name, QString &member) override
    {
        names << name;
        values.push_back(member);
    }

    QStringList names;
    std::vector<ColumnValue> values;
};

// Writes values read from another object of the same class (in table order)
// into the object it visits: every column, or only those `take` marks.
class AssignColumns : public ColumnVisitor {
public:
    explicit AssignColumns(const std::vector<ColumnValue> &values, std::vector<bool> take = {})
        : m_Values(values), m_Take(std::move(take))
    {
    }
    void Column(const QString &, std::int16_t &member) override { assign(member); }
    void Column(const QString &, std::int32_t &member) override { assign(member); }
    void Column(const QString &, QString &member) override { assign(member); }

private:
    template <class T>
    void assign(T &member)
    {
        const std::size_t i = m_Next++;
        if (m_Take.empty() || (i < m_Take.size() && m_Take[i]))
            member = std::get<T>(m_Values.at(i));
    }

    const std::vector<ColumnValue> &m_Values;
    std::vector<bool> m_Take;
    std::size_t m_Next = 0;
};
