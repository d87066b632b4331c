#include "ParameterClassRegistry.h"

#include "CParameterClassBase.h"

namespace {

// A function-local static: registrations run during static initialisation,
// in any order of the source files.
std::vector<ParameterClassEntry> &entries()
{
    static std::vector<ParameterClassEntry> list;
    return list;
}

} // namespace

void ParameterClassRegistry::Add(ParameterClassEntry entry)
{
    entries().push_back(std::move(entry));
}

const std::vector<ParameterClassEntry> &ParameterClassRegistry::Entries()
{
    return entries();
}

QStringList ParameterClassRegistry::TableNames()
{
    QStringList names;
    for (const ParameterClassEntry &e : entries())
        names << e.tables;
    names.sort();
    return names;
}

bool ParameterClassRegistry::IsKnownTable(const QString &name)
{
    for (const ParameterClassEntry &e : entries()) {
        if (e.tables.contains(name, Qt::CaseSensitive))
            return true;
    }
    return false;
}

std::unique_ptr<CParameterClassBase> ParameterClassRegistry::CreateForTable(const QString &name)
{
    for (const ParameterClassEntry &e : entries()) {
        if (e.tables.contains(name, Qt::CaseSensitive)) {
            auto obj = e.create();
            obj->SetClassName(name);
            return obj;
        }
    }
    return nullptr;
}
