#pragma once
#include <QString>
#include <functional>

class QWidget;

// Message boxes with the classic button/icon codes. A test installs a hook
// that answers instead of a person, so no test ever waits on a box.
namespace MsgBoxStyle {
inline constexpr int OKOnly = 0;
inline constexpr int OKCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
} // namespace MsgBoxStyle

namespace MsgBoxResult {
inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgBoxResult

struct MsgBoxRequest {
    QString text;
    int style = 0;
    QString title;
};

using MsgBoxHook = std::function<int(const MsgBoxRequest &)>;

// Shows a modal box and returns the button pressed. An empty title takes the
// application title.
int MsgBox(const QString &text, int style = MsgBoxStyle::OKOnly, const QString &title = QString(),
           QWidget *parent = nullptr);

// Installs (or, with an empty function, removes) the hook; returns the old one.
MsgBoxHook SetMsgBoxHook(MsgBoxHook hook);
