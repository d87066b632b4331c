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
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
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
        const QString path = QCoreApplication::applicationFilePath();
        if (!path.isEmpty())
            return QFileInfo(path).completeBaseName();
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
