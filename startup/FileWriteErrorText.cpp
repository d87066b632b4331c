#include "FileWriteErrorText.h"

#include "DatabaseErrorText.h"
#include "FileReplacement.h"
#include "ResourceText.h"

#include <QDir>

namespace {

std::int32_t textOf(FileWriteFailure kind)
{
    switch (kind) {
    case FileWriteFailure::DiskFull: return kTextFileDiskFull;
    case FileWriteFailure::ReadOnly: return kTextFileReadOnly;
    case FileWriteFailure::Other: break;
    }
    return kTextFileNotWritten;
}

} // namespace

QString FileWriteErrorText(const FileWriteError &error)
{
    return GetResourceText(textOf(error.kind), {QDir::toNativeSeparators(error.fileName)});
}

QString FileWriteErrorText(const FileWriteError &error, const QString &outcome)
{
    return WithOutcome(FileWriteErrorText(error), outcome);
}
