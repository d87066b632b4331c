#pragma once
#include <QString>
#include <cstdint>

// A parameter class lists its stored columns by handing each member to a
// visitor, in table order, under its whole column name ("m_" + property):
//
//     void CDisplay::Columns(ColumnVisitor &c)
//     {
//         c.Column(QStringLiteral("m_DisplayDigit"), m_DisplayDigit);
//         c.Column(QStringLiteral("m_DisplayColor"), m_DisplayColor);
//         c.Column(QStringLiteral("m_Password"), m_Password);
//     }
//
// The same list drives the row save, the row load and the template schema,
// so the three cannot disagree. The member's C++ type is the column type.
class ColumnVisitor {
public:
    virtual ~ColumnVisitor() = default;
    virtual void Column(const QString &name, std::int16_t &member) = 0;
    virtual void Column(const QString &name, std::int32_t &member) = 0;
    virtual void Column(const QString &name, QString &member) = 0;
};
