#include "MsgBox.h"

#include "SettingsStore.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
MsgBoxHook &hookRef()
{
    static MsgBoxHook hook;
    return hook;
}
} // namespace

MsgBoxHook SetMsgBoxHook(MsgBoxHook hook)
{
    MsgBoxHook old = std::move(hookRef());
    hookRef() = std::move(hook);
    return old;
}

int MsgBox(const QString &text, int style, const QString &title, QWidget *parent)
{
    const QString caption = title.isEmpty() ? QString::fromLatin1(kApplicationTitle) : title;
    if (hookRef())
        return hookRef()(MsgBoxRequest{text, style, caption});

    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (style & 0x70) {
    case MsgBoxStyle::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgBoxStyle::Question: box.setIcon(QMessageBox::Question); break;
    case MsgBoxStyle::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgBoxStyle::Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }

    struct Button {
        QMessageBox::StandardButton button;
        int result;
    };
    std::vector<Button> buttons;
    switch (style & 0x7) {
    case MsgBoxStyle::OKCancel:
        buttons = {{QMessageBox::Ok, MsgBoxResult::OK}, {QMessageBox::Cancel, MsgBoxResult::Cancel}};
        break;
    case MsgBoxStyle::AbortRetryIgnore:
        buttons = {{QMessageBox::Abort, MsgBoxResult::Abort},
                   {QMessageBox::Retry, MsgBoxResult::Retry},
                   {QMessageBox::Ignore, MsgBoxResult::Ignore}};
        break;
    case MsgBoxStyle::YesNoCancel:
        buttons = {{QMessageBox::Yes, MsgBoxResult::Yes},
                   {QMessageBox::No, MsgBoxResult::No},
                   {QMessageBox::Cancel, MsgBoxResult::Cancel}};
        break;
    case MsgBoxStyle::YesNo:
        buttons = {{QMessageBox::Yes, MsgBoxResult::Yes}, {QMessageBox::No, MsgBoxResult::No}};
        break;
    case MsgBoxStyle::RetryCancel:
        buttons = {{QMessageBox::Retry, MsgBoxResult::Retry}, {QMessageBox::Cancel, MsgBoxResult::Cancel}};
        break;
    default: buttons = {{QMessageBox::Ok, MsgBoxResult::OK}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const Button &b : buttons)
        all |= b.button;
    box.setStandardButtons(all);
    const std::size_t def = (style & MsgBoxStyle::DefaultButton2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[def].button);
    box.setEscapeButton(buttons.back().button);

    const int pressed = box.exec();
    for (const Button &b : buttons)
        if (b.button == pressed)
            return b.result;
    return buttons.back().result;
}
