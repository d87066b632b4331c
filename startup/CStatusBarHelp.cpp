#include "CStatusBarHelp.h"

#include "CTraceCode.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QMenuBar>
#include <limits>

namespace {
// A caption is read as the classic 20-character buffer held it.
constexpr qsizetype kCaptionChars = 19;

QString handleText(const void *p)
{
    return QString::number(static_cast<qulonglong>(reinterpret_cast<quintptr>(p)));
}
} // namespace

CStatusBarHelp::CStatusBarHelp(QObject *parent) : QObject(parent) {}

CStatusBarHelp::~CStatusBarHelp()
{
    detach();
}

void CStatusBarHelp::Create(QWidget *window, std::int16_t helpBase)
{
    detach();
    m_Window = window;
    m_HelpBase = helpBase;
    m_Table.fill(Entry{});
    if (window == nullptr)
        return;
    QMenuBar *bar = window->findChild<QMenuBar *>();
    if (bar == nullptr)
        return;

    for (QAction *title : bar->actions()) {
        if (QMenu *menu = title->menu()) {
            buildTable(menu);
            watch(menu, /*topLevel=*/true);
        } else {
            addItem(title);
        }
    }
    m_Attached = true;
}

void CStatusBarHelp::buildTable(QMenu *menu)
{
    for (QAction *item : menu->actions()) {
        if (QMenu *sub = item->menu())
            buildTable(sub);
        else
            addItem(item);
    }
}

void CStatusBarHelp::addItem(const QAction *item)
{
    QString caption = item->text().left(kCaptionChars);
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
        caption.truncate(tab);
    bool numeric = false;
    const int id = caption.trimmed().toInt(&numeric);
    if (!numeric)
        return;
    // An id whose help id leaves the 16-bit range has no help text.
    const int help = id + m_HelpBase;
    if (help < std::numeric_limits<std::int16_t>::min() || help > std::numeric_limits<std::int16_t>::max())
        return;
    for (Entry &entry : m_Table) {
        if (entry.Item == nullptr) {
            entry.Item = item;
            entry.HelpId = static_cast<std::int16_t>(help);
            return;
        }
    }
    // Table full: the item gets no help.
}

void CStatusBarHelp::watch(QMenu *menu, bool topLevel)
{
    m_Menus.append(menu);
    menu->installEventFilter(this);
    connect(menu, &QMenu::hovered, this, [this, menu](QAction *item) {
        // A submenu's highlight is also reported by the menus that opened it:
        // each item is handled by its own menu only.
        if (item == nullptr || !menu->actions().contains(item))
            return;
        std::int16_t flags = kFlagHilite;
        if (item->menu() != nullptr)
            flags |= kFlagPopup;
        if (item->isSeparator())
            flags |= kFlagSeparator;
        WindowProc(menu, item, flags);
    });
    connect(menu, &QMenu::aboutToHide, this, [this] {
        // Moving along the menu bar hides one drop-down and shows the next:
        // the menu counts as closed only when none is left open.
        m_Highlighted = nullptr;
        if (m_CloseCheckPending)
            return;
        m_CloseCheckPending = true;
        QMetaObject::invokeMethod(this, &CStatusBarHelp::checkClosed, Qt::QueuedConnection);
    });
    if (topLevel) {
        // A drop-down opening means its title on the menu bar is highlighted.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            const QAction *title = menu->menuAction();
            WindowProc(menu->parentWidget(), title, static_cast<std::int16_t>(kFlagHilite | kFlagPopup));
        });
    }
    for (QAction *item : menu->actions()) {
        if (QMenu *sub = item->menu())
            watch(sub, /*topLevel=*/false);
    }
}

void CStatusBarHelp::detach()
{
    if (!m_Attached)
        return;
    for (const QPointer<QMenu> &menu : std::as_const(m_Menus)) {
        if (menu) {
            menu->removeEventFilter(this);
            menu->disconnect(this);
        }
    }
    m_Menus.clear();
    m_Attached = false;
    m_CloseCheckPending = false;
    m_Highlighted = nullptr;
    m_Window = nullptr;
}

bool CStatusBarHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        auto *menu = qobject_cast<QMenu *>(watched);
        const QAction *item = menu ? menu->actionAt(static_cast<QMouseEvent *>(event)->position().toPoint()) : nullptr;
        if (item != nullptr && item->isSeparator() && item != m_Highlighted)
            WindowProc(menu, item, static_cast<std::int16_t>(kFlagHilite | kFlagSeparator));
    }
    return QObject::eventFilter(watched, event);
}

void CStatusBarHelp::checkClosed()
{
    m_CloseCheckPending = false;
    if (!m_Attached)
        return;
    for (const QPointer<QMenu> &menu : std::as_const(m_Menus)) {
        if (menu && menu->isVisible())
            return;
    }
    WindowProc(nullptr, nullptr, kFlagClosed);
}

std::int32_t CStatusBarHelp::WindowProc(const QObject *menu, const QAction *item, std::int16_t flags)
{
    m_Highlighted = item;
    // The item as traced: its position in its menu (0 with no menu).
    std::int16_t position = 0;
    if (item != nullptr && menu != nullptr) {
        if (const auto *widget = qobject_cast<const QWidget *>(menu))
            position = static_cast<std::int16_t>(widget->actions().indexOf(const_cast<QAction *>(item)));
    }
    g_Trace.BugMessage(QStringLiteral("hWnd=") + handleText(m_Window.data()) + QStringLiteral(" hMenu=") +
                       handleText(menu) + QStringLiteral(" ID=") + QString::number(position) +
                       QStringLiteral(" Flags=") + QString::number(flags));

    if (menu == nullptr && flags == kFlagClosed) {
        emit HelpID(0);
        return 0;
    }
    if (flags & (kFlagPopup | kFlagSeparator)) {
        emit HelpID(-1);
        return 0;
    }
    for (const Entry &entry : m_Table) {
        if (entry.Item == nullptr)
            return 0;
        if (entry.Item == item) {
            g_Trace.BugMessage(QStringLiteral("Evento HelpID"));
            emit HelpID(entry.HelpId);
            return 0;
        }
    }
    g_Trace.BugMessage(QStringLiteral("Non individuato l'item per l'Help sulla status bar"));
    return 0;
}

std::int16_t CStatusBarHelp::HelpFor(const QAction *item) const
{
    for (const Entry &entry : m_Table) {
        if (entry.Item == nullptr)
            break;
        if (entry.Item == item)
            return entry.HelpId;
    }
    return 0;
}

int CStatusBarHelp::TableCount() const
{
    int n = 0;
    for (const Entry &entry : m_Table) {
        if (entry.Item == nullptr)
            break;
        ++n;
    }
    return n;
}
