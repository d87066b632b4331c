#include "ResourceText.h"

#include "StringTable.h"

QString GetResourceText(std::int32_t id, const QVariantList &values)
{
    return SubstitutePlaceholders(LoadResourceString(id), values);
}

QString SubstitutePlaceholders(QString text, const QVariantList &values)
{
    int k = 1;
    for (const QVariant &v : values) {
        text.replace(QLatin1Char('|') + QString::number(k), v.toString());
        ++k;
    }
    return text;
}
