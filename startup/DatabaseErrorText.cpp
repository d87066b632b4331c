#include "DatabaseErrorText.h"

#include "ResourceText.h"
#include "DatabaseError.h"
#include "ProgramFolder.h"
#include "StringTable.h"

#include <QDir>

namespace {

std::int32_t textOf(DatabaseFailure kind)
{
    switch (kind) {
    case DatabaseFailure::Busy: return kTextDatabaseBusy;
    case DatabaseFailure::DiskFull: return kTextDatabaseFull;
    case DatabaseFailure::ReadOnly: return kTextDatabaseReadOnly;
    case DatabaseFailure::Damaged: return kTextDatabaseDamaged;
    case DatabaseFailure::ReadFailed: return kTextDatabaseNotRead;
    case DatabaseFailure::WriteFailed: return kTextDatabaseNotWritten;
    case DatabaseFailure::Moved: return kTextDatabaseMoved;
    case DatabaseFailure::CannotCreate: return kTextDatabaseNotCreated;
    case DatabaseFailure::Missing: return kTextDatabaseMissing;
    case DatabaseFailure::DamagedAtReopening: return kTextDatabaseDamagedAtReopening;
    case DatabaseFailure::NoAccess: return kTextDatabaseNoAccess;
    case DatabaseFailure::NotInArchive:
    case DatabaseFailure::Configuration:
    case DatabaseFailure::Other: break;
    }
    return kTextDatabaseOther;
}

// The Retry form of each kind that may pass ("|2" the outcome and its line
// break); 0 for the others.
std::int32_t retryTextOf(DatabaseFailure kind)
{
    switch (kind) {
    case DatabaseFailure::Busy: return 1093;
    case DatabaseFailure::DiskFull: return 1094;
    case DatabaseFailure::ReadOnly: return 1095;
    case DatabaseFailure::ReadFailed: return 1096;
    case DatabaseFailure::WriteFailed: return 1097;
    case DatabaseFailure::Moved: return 1098;
    case DatabaseFailure::Missing: return 1085;
    case DatabaseFailure::DamagedAtReopening: return 1087;
    case DatabaseFailure::NoAccess: return 1089;
    default: return 0;
    }
}

QString databaseFile()
{
    return QDir::toNativeSeparators(ProgramFile(QString::fromLatin1(kDatabaseFileName)));
}

} // namespace

QString DatabaseErrorText(const DatabaseError &error)
{
    // A configuration that is gone is no fault of the file: its text names none.
    if (error.Kind() == DatabaseFailure::NotInArchive)
        return LoadResourceString(kTextConfigurationNotInArchive);
    // Neither is one configuration whose rows do not make a configuration:
    // its text names the configuration, and the field when one is to blame.
    if (error.Kind() == DatabaseFailure::Configuration && error.IDProgramma() >= 0) {
        const QString what = error.FieldCaption().isEmpty()
                                 ? LoadResourceString(kTextStoredRowsUnusable)
                                 : GetResourceText(kTextStoredValueUnusable, {error.FieldCaption()});
        return GetResourceText(kTextConfigurationUnusable, {error.ConfigurationName(), what});
    }
    return GetResourceText(textOf(error.Kind()), {databaseFile()});
}

QString DatabaseErrorText(const DatabaseError &error, const QString &outcome)
{
    return WithOutcome(DatabaseErrorText(error), outcome);
}

QString DatabaseRetryText(const DatabaseError &error, const QString &outcome)
{
    const std::int32_t id = error.MayPass() ? retryTextOf(error.Kind()) : 0;
    if (id == 0)
        return DatabaseErrorText(error, outcome);
    return GetResourceText(id, {databaseFile(), outcome.isEmpty() ? QString() : outcome + QStringLiteral("\n\r")});
}

QString WithOutcome(const QString &text, const QString &outcome)
{
    // The line break of the string table's texts.
    return outcome.isEmpty() ? text : text + QStringLiteral("\n\r") + outcome;
}
