#include "DatabaseErrorText.h"

#include "ResourceText.h"
#include "DatabaseError.h"
#include "ProgramFolder.h"

#include <QDir>

QString DatabaseErrorText(const DatabaseError &error)
{
    if (!error.Busy())
        return error.Description();
    const QString file = QDir::toNativeSeparators(ProgramFile(QString::fromLatin1(kDatabaseFileName)));
    return GetResourceText(kTextDatabaseBusy, {file});
}
