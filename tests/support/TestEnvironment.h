#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

// Every test process runs with a temporary program folder and a temporary
// per-user settings folder (XDG_CONFIG_HOME), never the user's real ones.
// TestMain sets both up before any test runs.
namespace testenv {

// The process-wide temporary root (holds "config" and "program").
QString Root();

// A fresh, empty program folder for one test; the program folder is pointed
// at it while the object lives and restored to the process default after.
class ScopedProgramFolder {
public:
    ScopedProgramFolder();
    ~ScopedProgramFolder();
    QString Path() const;
    QString File(const QString &name) const;

private:
    std::unique_ptr<QTemporaryDir> m_Dir;
};

// Path of a file in the source tree (for reading resources/strings.txt etc.).
QString SourceFile(const QString &relative);

} // namespace testenv
