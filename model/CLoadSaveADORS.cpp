#include "CLoadSaveADORS.h"

#include "ADORecordset.h"
#include "DatabaseError.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace {

[[noreturn]] void badColumn(const ADORecordset &rs, const QString &name, const QString &why)
{
    // A stored value the member cannot hold: this configuration's row is
    // not usable, the rest of the archive may well be.
    throw DatabaseError::StoredRow(QStringLiteral("Column %1 of table %2 %3").arg(name, rs.Source(), why), rs.Source(),
                                   name);
}

// A whole number from a column: an integer, a real without fraction, or a
// text of decimal digits. Anything else is not a stored parameter value.
qint64 columnInteger(const ADORecordset &rs, const QString &name, const QVariant &v, qint64 min, qint64 max)
{
    if (v.isNull())
        badColumn(rs, name, QStringLiteral("is empty"));
    qint64 x = 0;
    bool ok = false;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        ok = std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15;
        x = ok ? static_cast<qint64>(d) : 0;
        break;
    }
    case QMetaType::QString: {
        const QString t = v.toString();
        ok = !t.isEmpty();
        for (qsizetype i = 0; ok && i < t.size(); ++i)
            ok = (t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9')) ||
                 (i == 0 && t[i] == QLatin1Char('-') && t.size() > 1);
        if (ok)
            x = t.toLongLong(&ok);
        break;
    }
    default: x = v.toLongLong(&ok); break;
    }
    if (!ok)
        badColumn(rs, name, QStringLiteral("does not hold a number"));
    if (x < min || x > max)
        badColumn(rs, name, QStringLiteral("holds %1, out of range").arg(x));
    return x;
}

} // namespace

void CLoadSaveADORS::SaveVariable(const QString &name, const QVariant &value)
{
    if (m_Recordset == nullptr)
        return;
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Bool: m_Recordset->SetValue(name, QVariant::fromValue<qint64>(value.toLongLong())); break;
    case QMetaType::Float:
    case QMetaType::Double: m_Recordset->SetValue(name, QVariant(value.toDouble())); break;
    case QMetaType::QDateTime: m_Recordset->SetValue(name, QVariant(value.toDateTime().toString(Qt::ISODate))); break;
    case QMetaType::QString:
        if (!value.toString().isEmpty())
            m_Recordset->SetValue(name, value);
        break;
    default: break;
    }
    m_Recordset->Update();
}

void CLoadSaveADORS::LoadVariable(const QString &name, QVariant &value)
{
    if (m_Recordset == nullptr)
        return;
    const ADORecordset &rs = *m_Recordset;
    switch (value.typeId()) {
    case QMetaType::Short:
        value = QVariant::fromValue(
            static_cast<std::int16_t>(columnInteger(rs, name, rs.Value(name), std::numeric_limits<std::int16_t>::min(),
                                                    std::numeric_limits<std::int16_t>::max())));
        break;
    case QMetaType::Int:
        value = QVariant::fromValue(
            static_cast<std::int32_t>(columnInteger(rs, name, rs.Value(name), std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max())));
        break;
    case QMetaType::Bool:
        value = QVariant(columnInteger(rs, name, rs.Value(name), std::numeric_limits<qint64>::min(),
                                       std::numeric_limits<qint64>::max()) != 0);
        break;
    case QMetaType::Float:
    case QMetaType::Double: {
        const QVariant v = rs.Value(name);
        bool ok = false;
        const double d = v.isNull() ? 0.0 : v.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            badColumn(rs, name, QStringLiteral("does not hold a number"));
        if (value.typeId() == QMetaType::Float)
            value = QVariant::fromValue(static_cast<float>(d));
        else
            value = QVariant(d);
        break;
    }
    case QMetaType::QDateTime: {
        const QVariant v = rs.Value(name);
        const QDateTime d = QDateTime::fromString(v.toString(), Qt::ISODate);
        if (v.isNull() || !d.isValid())
            badColumn(rs, name, QStringLiteral("does not hold a date"));
        value = QVariant(d);
        break;
    }
    case QMetaType::QString: {
        const QVariant v = rs.Value(name);
        value = QVariant(v.isNull() ? QString() : v.toString());
        break;
    }
    default: break;
    }
}
