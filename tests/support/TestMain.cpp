// Entry point of every test executable: the program's application object on
// the offscreen platform, a temporary settings folder and program folder, and
// hooks that turn message boxes, program ends and exceptions that reach the
// application object into test-visible events.
#include "GuardedApplication.h"
#include "MsgBox.h"
#include "ProgramExit.h"
#include "ProgramFolder.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>

namespace testenv {
void SetRoot(const QString &root);
}

namespace {
// What the exception being handled is, for a failure message (called inside
// a catch block).
std::string currentExceptionText()
{
    try {
        throw;
    } catch (const std::exception &e) {
        return std::string("std::exception: ") + e.what();
    } catch (...) {
        return "an exception of a type not derived from std::exception";
    }
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    const QString config = QDir(root.path()).filePath(QStringLiteral("config"));
    const QString program = QDir(root.path()).filePath(QStringLiteral("program"));
    QDir().mkpath(config);
    QDir().mkpath(program);
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    testenv::SetRoot(root.path());

    ::testing::InitGoogleTest(&argc, argv);
    // No handler should let an exception through to the application object:
    // one that does fails the running test. Tests of that guard install
    // their own report.
    GuardedApplication app(argc, argv, [] {
        ADD_FAILURE() << "an exception reached the application object's notify: " << currentExceptionText();
    });
    SetProgramFolder(program);
    SetExecutableName(QStringLiteral("pelvaro"));

    // A box nobody answers would hang the run: fail the test instead. Tests
    // that expect a box install their own hook.
    SetMsgBoxHook([](const MsgBoxRequest &r) {
        ADD_FAILURE() << "unexpected message box: " << r.title.toStdString() << ": " << r.text.toStdString();
        return MsgBoxResult::OK;
    });
    SetEndProgramHook([](int code) { throw std::runtime_error("program ended with code " + std::to_string(code)); });
    return RUN_ALL_TESTS();
}
