#pragma once
#include <QString>
#include <stdexcept>

// A failure of the configuration database or of a row selection: a file that
// cannot be opened, a table, column or row that is not there, a criterion
// that is not "IDProgramma=" + a decimal id, a statement SQLite refuses.
// Callers catch it, save nothing further and tell the user.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString &description)
        : std::runtime_error(description.toStdString()), m_Description(description) {}

    const QString &Description() const { return m_Description; }

private:
    QString m_Description;
};
