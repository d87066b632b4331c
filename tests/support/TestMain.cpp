// Entry point of every test executable: a QApplication on the offscreen
// platform, a temporary settings folder and program folder, and hooks that
// turn message boxes and program ends into test-visible events.
#include "MsgBox.h"
#include "ProgramExit.h"
#include "ProgramFolder.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testenv {
void SetRoot(const QString &root);
}

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
    QApplication app(argc, argv);
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
