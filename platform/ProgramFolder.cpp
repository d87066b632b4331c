#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString &folderOverride()
{
    static QString folder;
    return folder;
}
QString &nameOverride()
{
    static QString name;
    return name;
}
} // namespace

QString ProgramFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    if (QCoreApplication::instance()) {
        // The executable stays where it is for the run; asked for every
        // trace line, so taken once.
        static const QString folder = QCoreApplication::applicationDirPath();
        return folder;
    }
    return QDir::currentPath();
}

void SetProgramFolder(const QString &folder)
{
    folderOverride() = folder;
}

QString ExecutableName()
{
    if (!nameOverride().isEmpty())
        return nameOverride();
    if (QCoreApplication::instance()) {
        static const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("pelvaro");
}

void SetExecutableName(const QString &name)
{
    nameOverride() = name;
}

QString ProgramFile(const QString &fileName)
{
    return QDir(ProgramFolder()).filePath(fileName);
}
