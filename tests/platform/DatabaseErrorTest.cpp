// The kind of a database failure from SQLite's result code, as the SQLite
// driver hands it over: a primary code, or an extended one (a folder that
// cannot take the journal is 1544, a busy snapshot 517).
#include "DatabaseError.h"

#include <QSqlError>
#include <gtest/gtest.h>

namespace {

TEST(DatabaseError, KindFollowsSQLitesPrimaryResultCode)
{
    struct Case {
        const char *code;
        DatabaseFailure kind;
    };
    const Case cases[] = {
        {"5", DatabaseFailure::Busy},        {"517", DatabaseFailure::Busy},    {"6", DatabaseFailure::Busy},
        {"262", DatabaseFailure::Busy},      {"13", DatabaseFailure::DiskFull}, {"8", DatabaseFailure::ReadOnly},
        {"1544", DatabaseFailure::ReadOnly}, {"11", DatabaseFailure::Damaged},  {"26", DatabaseFailure::Damaged},
        {"1", DatabaseFailure::Other},       {"10", DatabaseFailure::Other},    {"14", DatabaseFailure::Other},
        {"", DatabaseFailure::Other},        {"x", DatabaseFailure::Other},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        const QSqlError error(QStringLiteral("driver text"), QStringLiteral("database text"), QSqlError::StatementError,
                              QString::fromLatin1(c.code));
        const DatabaseError e = DatabaseError::FromSql(QStringLiteral("CModInstr"), error);
        EXPECT_EQ(e.Kind(), c.kind);
        EXPECT_EQ(e.Busy(), c.kind == DatabaseFailure::Busy);
        // The description keeps what SQLite said, for the trace.
        EXPECT_TRUE(e.Description().startsWith(QLatin1String("CModInstr: "))) << e.Description().toStdString();
    }
}

} // namespace
