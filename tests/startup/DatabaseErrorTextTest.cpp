// Where a command offers Retry, a failure that may pass tells what to do
// before choosing Retry, never to repeat the command; the outcome keeps its
// own line. Other kinds keep their one text.
#include "DatabaseError.h"
#include "DatabaseErrorText.h"
#include "ResourceText.h"

#include <gtest/gtest.h>

namespace {

TEST(DatabaseRetryText, TellsWhatToDoBeforeRetryInsteadOfRepeatingTheCommand)
{
    const QString outcome = QStringLiteral("Nothing has been saved.");
    const QString retry = QStringLiteral("then choose Retry to save your entries again, or Cancel to give them up.");
    const DatabaseFailure passing[] = {
        DatabaseFailure::Busy,       DatabaseFailure::DiskFull,    DatabaseFailure::ReadOnly,
        DatabaseFailure::ReadFailed, DatabaseFailure::WriteFailed, DatabaseFailure::Moved,
        DatabaseFailure::Missing,    DatabaseFailure::NoAccess,    DatabaseFailure::DamagedAtReopening};
    for (const DatabaseFailure kind : passing) {
        const DatabaseError error(QStringLiteral("trace only"), kind);
        SCOPED_TRACE(static_cast<int>(kind));
        ASSERT_TRUE(error.MayPass());
        const QString text = DatabaseRetryText(error, outcome);
        const QStringList lines = text.split(QStringLiteral("\n\r"));
        ASSERT_EQ(lines.size(), 3) << text.toStdString();
        // The fault is the one the kind's own text names.
        EXPECT_EQ(lines[0], DatabaseErrorText(error).split(QStringLiteral("\n\r"))[0]);
        EXPECT_EQ(lines[1], outcome);
        EXPECT_TRUE(lines[2].endsWith(retry)) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("try the command again"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("trace only")));
        EXPECT_EQ(DatabaseRetryText(error, QString()).split(QStringLiteral("\n\r")).size(), 2);
    }
    for (const DatabaseFailure kind : {DatabaseFailure::Damaged, DatabaseFailure::Other}) {
        const DatabaseError error(QString(), kind);
        EXPECT_FALSE(error.MayPass());
        EXPECT_EQ(DatabaseRetryText(error, outcome), DatabaseErrorText(error, outcome));
    }
}

} // namespace
