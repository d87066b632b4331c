#pragma once
#include <QIcon>
#include <QImage>
#include <QString>

// The pictures of the main window's tool bar, drawn by the program so that
// they look the same on every desktop. Each picture is in full colour while
// its button can be pressed and pale grey while it cannot, so a disabled
// button is never mistaken for an enabled one (the desktop's own file icons
// are mostly white and grey, and their disabled state hardly differs).
namespace toolbarpictures {

// The picture of the tool-bar button with this key ("ViewIVRVar",
// "NewProg", "EditProg", "DelProg", "SendProg", "RxTxProg"); an empty icon
// for any other key.
QIcon Picture(const QString &key);

// The picture of key drawn at size x size pixels, in colour or as shown
// while its button is disabled.
QImage Draw(const QString &key, int size, bool enabled);

} // namespace toolbarpictures
