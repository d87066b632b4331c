#pragma once
#include <QMap>
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

// The window text and font services: captions, tool tips and menu texts of
// a window from the string-table ids it was designed with, and the program
// font on its controls.

// Menu texts loaded so far: text -> string id (filled by LoadMenuCaptions).
extern QMap<QString, std::int16_t> g_MenuCaptions;
// The program font chosen by LoadProgramFont and applied by SetFormFont.
extern QString g_FontName;
extern std::int16_t g_FontSize;

// Window caption and Label/Frame/OptionButton/CheckBox captions from the ids
// in their Tag.
void LoadFormCaptions(QWidget *form);
// Tool tips of TextBox/ComboBox/ToolBar/Frame/UpDown/OptionButton controls
// from the id that is their designed tool tip.
void LoadFormToolTips(QWidget *form);
// Menu texts from the ids that are their designed texts; the id is kept in
// the item's Tag.
void LoadMenuCaptions(QWidget *form);
// The program font on every control of the window (not on the window).
void SetFormFont(QWidget *form);

// Chooses g_FontName and g_FontSize: "Arial", else "MS Sans Serif", else
// "Curier New", else the controls' default font.
void LoadProgramFont();
// The same with a given availability test and default family.
void LoadProgramFont(const std::function<bool(const QString &)> &available, const QString &defaultFamily);
// True when the font database holds exactly that family (a substituted
// family does not count: fontconfig would otherwise serve "Arial" by a
// look-alike).
bool IsFontAvailable(const QString &family);
