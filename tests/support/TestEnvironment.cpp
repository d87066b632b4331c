#include "TestEnvironment.h"

#include "ProgramFolder.h"

#include <QDir>

namespace testenv {

namespace {
QString &rootRef()
{
    static QString root;
    return root;
}
} // namespace

void SetRoot(const QString &root)
{
    rootRef() = root;
}
QString Root()
{
    return rootRef();
}

ScopedProgramFolder::ScopedProgramFolder()
    : m_Dir(std::make_unique<QTemporaryDir>(QDir(Root()).filePath(QStringLiteral("pf-XXXXXX"))))
{
    SetProgramFolder(m_Dir->path());
}

ScopedProgramFolder::~ScopedProgramFolder()
{
    SetProgramFolder(QDir(Root()).filePath(QStringLiteral("program")));
}

QString ScopedProgramFolder::Path() const
{
    return m_Dir->path();
}
QString ScopedProgramFolder::File(const QString &name) const
{
    return QDir(m_Dir->path()).filePath(name);
}

QString SourceFile(const QString &relative)
{
    return QDir(QStringLiteral(PELVARO_SOURCE_DIR)).filePath(relative);
}

} // namespace testenv
