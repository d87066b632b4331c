#pragma once
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class CParameterClassBase;

// Every parameter class registers itself with one line in its own source
// file, naming the database tables of its instances:
//
//     static const RegisterParameterClass<CDisplay> kRegistration{"CDisplay"};
//     static const RegisterParameterClass<CAlarm> kRegistration{"CAlarm1", "CAlarm2", "CAlarm3", "CAlarm4"};
//
// The registry is the set of table names the row save and load accept, and
// the template database is generated from it (one table per instance, the
// columns of the class, the row with IDProgramma 2).
struct ParameterClassEntry {
    QStringList tables;
    std::function<std::unique_ptr<CParameterClassBase>()> create;
};

class ParameterClassRegistry {
public:
    static void Add(ParameterClassEntry entry);
    static const std::vector<ParameterClassEntry> &Entries();
    // Every instance table of every registered class, sorted.
    static QStringList TableNames();
    static bool IsKnownTable(const QString &name);
    // A fresh object of the class owning the table, its ClassName set to the
    // table name; null for an unknown table.
    static std::unique_ptr<CParameterClassBase> CreateForTable(const QString &name);
};

template <class T>
struct RegisterParameterClass {
    RegisterParameterClass(std::initializer_list<const char *> tables)
    {
        ParameterClassEntry e;
        for (const char *t : tables)
            e.tables << QString::fromLatin1(t);
        e.create = [] { return std::unique_ptr<CParameterClassBase>(std::make_unique<T>()); };
        ParameterClassRegistry::Add(std::move(e));
    }
};
