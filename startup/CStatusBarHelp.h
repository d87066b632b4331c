#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>

class QAction;
class QMenu;

// Tells a window which help text belongs to the menu item the user is
// highlighting: HelpID(help string id) for a command item with help, -1 for
// a drop-down title or a submenu title, 0 when the menu is closed.
//
// The help table is built once at Create from the designed captions (a
// caption is its string id, optionally followed by a tab and an accelerator
// text): help id = caption id + help base. Create must therefore run before
// LoadMenuCaptions replaces the captions by their texts.
//
// It listens to QMenu::hovered (each item handled by its own menu),
// aboutToShow of the drop-downs (-1 for the title), the pointer's moves over
// the menus (-1 once for a separator, which Qt never makes the active item)
// and aboutToHide (0 once, queued, when no menu of the bar is left open:
// moving along the bar does not count as closing).
class CStatusBarHelp : public QObject {
    Q_OBJECT
public:
    static constexpr int kTableSize = 101;

    // Menu-selection flags, as traced: the item highlighted, opening a
    // submenu, a separator; 0xFFFF with no menu for the menu closed.
    static constexpr std::int16_t kFlagHilite = 0x80;
    static constexpr std::int16_t kFlagPopup = 0x10;
    static constexpr std::int16_t kFlagSeparator = 0x800;
    static constexpr std::int16_t kFlagClosed = -1;

    explicit CStatusBarHelp(QObject *parent = nullptr);
    ~CStatusBarHelp() override;

    // Builds the help table from window's menu bar and watches its menus.
    void Create(QWidget *window, std::int16_t helpBase);

    // The help id of a menu item in the table, 0 when it has none.
    std::int16_t HelpFor(const QAction *item) const;
    // The number of used table entries.
    int TableCount() const;

signals:
    void HelpID(std::int16_t id);

protected:
    // Watches the pointer over the menus: a separator is never made the
    // active item, so its highlight is found here.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry {
        const QAction *Item = nullptr;
        std::int16_t HelpId = 0;
    };

    void buildTable(QMenu *menu);
    void addItem(const QAction *item);
    void watch(QMenu *menu, bool topLevel);
    void detach();
    void checkClosed();
    // The menu-selection handler: item highlighted in menu with flags.
    std::int32_t WindowProc(const QObject *menu, const QAction *item, std::int16_t flags);

    QPointer<QWidget> m_Window;
    std::int16_t m_HelpBase = 0;
    std::array<Entry, kTableSize> m_Table{};
    QList<QPointer<QMenu>> m_Menus;
    bool m_Attached = false;
    bool m_CloseCheckPending = false;
    // The item last reported, so a separator is reported once when the
    // pointer reaches it, not at every move over it.
    const QAction *m_Highlighted = nullptr;
};
