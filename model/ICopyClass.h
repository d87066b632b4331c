#pragma once
#include "MemMapTypes.h"
#include "ReportRecordset.h"

#include <QString>
#include <QVariant>
#include <cstdint>

// Row selection of SaveDataInADORS / LoadDataFromADORS, a variant value:
//   - a 16-bit or 32-bit integer (QVariant of std::int16_t or std::int32_t):
//     a new configuration with that IDProgramma, a row is added (save only);
//   - a text "IDProgramma=" + the id in decimal: that configuration's
//     existing row, updated or loaded;
//   - anything else (a double 5.0, a 64-bit integer, ...) is refused.
using RowCriterion = QVariant;

inline RowCriterion NewRowCriterion(std::int32_t idProgramma)
{
    return QVariant::fromValue(idProgramma);
}

inline RowCriterion ExistingRowCriterion(std::int32_t idProgramma)
{
    return QVariant(QStringLiteral("IDProgramma=") + QString::number(idProgramma));
}

// The operations every parameter class and every settings class offers by
// name. Failures of the database or of the row selection throw
// DatabaseError (platform/DatabaseError.h); a settings text that does not
// convert throws ProgramError (type mismatch 13, overflow 6).
class ICopyClass {
public:
    virtual ~ICopyClass() = default;

    virtual QString ClassName() const = 0;
    virtual QString FileName() const = 0;
    virtual void SetFileName(const QString &fileName) = 0;
    virtual bool VerifySameClass(const ICopyClass &first, const ICopyClass &second) const = 0;
    virtual void SaveDataInADORS(const RowCriterion &criterion) = 0;
    virtual void LoadDataFromADORS(const RowCriterion &criterion) = 0;
    virtual void LoadData(const QString &fileName) = 0;
    virtual void SaveData(const QString &fileName) = 0;
    // value's type selects the conversion: std::int16_t, std::int32_t,
    // float, QDateTime, QString, bool. Other types are neither written nor
    // read.
    virtual void SaveVariable(const QString &name, const QVariant &value, const QString &section) = 0;
    virtual void LoadVariable(const QString &name, QVariant &value, const QString &section) = 0;
};

// Typed forms of SaveVariable/LoadVariable for a member: a missing key keeps
// the member's value.
template <class T>
void SaveMember(ICopyClass &obj, const QString &name, const T &member, const QString &section)
{
    obj.SaveVariable(name, QVariant::fromValue(member), section);
}

template <class T>
void LoadMember(ICopyClass &obj, const QString &name, T &member, const QString &section)
{
    QVariant v = QVariant::fromValue(member);
    obj.LoadVariable(name, v, section);
    member = v.value<T>();
}

class CModInstr;

// The operations of a parameter object (one group of a configuration).
// GetData copies this object into obj, SetData copies obj into this object;
// both copy nothing unless obj is of the same C++ class and VerifySameClass
// accepts the pair. The map operations take the configuration's CModInstr
// and write (Get...) or read (Set...) only their own words or lines.
class IParameterObject : public ICopyClass {
public:
    virtual void SetClassName(const QString &className) = 0;
    virtual void GetData(IParameterObject &obj) const = 0;
    virtual void SetData(const IParameterObject &obj) = 0;
    virtual void SetReport(ReportRecordset &report) const = 0;
    virtual void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const = 0;
    virtual void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) = 0;
    virtual void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const = 0;
    virtual void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) = 0;
};
