#include "MErrors.h"
#include "MUtility.h"

#include <QObject>
#include <QWidget>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>

namespace {

ProgramError caught(const std::function<void()> &raise)
{
    try {
        raise();
    } catch (const ProgramError &e) {
        return e;
    }
    ADD_FAILURE() << "nothing raised";
    return ProgramError(0, QString(), QString());
}

} // namespace

TEST(Errors, NumbersSourcesAndDescriptions)
{
    struct Case {
        const char *what;
        std::function<void()> raise;
        std::int32_t number;
        const char *source;
        QString description;
    };
    const Case cases[] = {
        {"run-time 5", [] { RaiseProgramError(5); }, 5, "pelvaro.VBError",
         QStringLiteral("Invalid procedure call or argument")},
        {"run-time 1000", [] { RaiseProgramError(1000); }, 1000, "pelvaro.VBError", QString()},
        {"utility 13001", [] { RaiseProgramError(13001); }, static_cast<std::int32_t>(0x800432C9u), "pelvaro.Utility",
         QStringLiteral("HourGlass: Object doesn't have mouse pointer")},
        {"utility 13003", [] { RaiseProgramError(13003); }, static_cast<std::int32_t>(0x800432CBu), "pelvaro.Utility",
         QStringLiteral("GetOption: Argument is not a control arrayof OptionButtons")},
        {"utility 1001", [] { RaiseProgramError(1001); }, static_cast<std::int32_t>(0x800403E9u), "pelvaro.Utility",
         QString()},
        {"system ENOENT", [] { RaiseApiError(ENOENT); }, kObjectErrorBase + 29000 + ENOENT, "pelvaro.Windows",
         QStringLiteral("No such file or directory")},
        {"system code unknown", [] { RaiseApiError(99999); }, kObjectErrorBase + 29000 + 99999, "pelvaro.Windows",
         QString()},
        {"system code out of the Long range", [] { RaiseApiError(-2147483647); }, 6, "pelvaro.VBError",
         QStringLiteral("Overflow")},
    };
    for (const Case &c : cases) {
        const ProgramError e = caught(c.raise);
        EXPECT_EQ(e.Number(), c.number) << c.what;
        EXPECT_EQ(e.Source(), QString::fromLatin1(c.source)) << c.what;
        EXPECT_EQ(e.Description(), c.description) << c.what;
    }
    EXPECT_EQ(ObjectErrorCode(29006), static_cast<std::int32_t>(0x8004714Eu));
}

TEST(Errors, HourGlassTogglesAndRaisesForObjectWithoutPointer)
{
    QWidget window;
    window.setCursor(Qt::PointingHandCursor);
    HourGlass(&window);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    HourGlass(&window);
    EXPECT_EQ(window.cursor().shape(), Qt::PointingHandCursor);

    // A control without a pointer of its own goes back to its window's.
    auto *plain = new QWidget(&window);
    HourGlass(plain);
    EXPECT_EQ(plain->cursor().shape(), Qt::WaitCursor);
    window.setCursor(Qt::CrossCursor);
    HourGlass(plain);
    EXPECT_FALSE(plain->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(plain->cursor().shape(), Qt::CrossCursor);

    // The flag toggles even for an object without a pointer: after the
    // failed call the next call restores instead of saving.
    QObject noPointer;
    EXPECT_EQ(caught([&] { HourGlass(&noPointer); }).Number(), ObjectErrorCode(13001));
    HourGlass(&window);
    EXPECT_NE(window.cursor().shape(), Qt::WaitCursor);
    HourGlass(&window);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    HourGlass(&window); // leaves the flag off
}
