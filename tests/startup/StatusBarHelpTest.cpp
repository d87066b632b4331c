#include "CStatusBarHelp.h"
#include "TraceCapture.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A main window whose designed captions are string ids, as before the menu
// texts are loaded.
struct MenuWindow {
    QMainWindow window;
    QMenu *file = nullptr;
    QMenu *edit = nullptr;
    QMenu *recent = nullptr;
    QAction *newItem = nullptr;
    QAction *open = nullptr;
    QAction *separator = nullptr;
    QAction *exit = nullptr;
    QAction *recentFirst = nullptr;
    QAction *copy = nullptr;

    MenuWindow()
    {
        file = window.menuBar()->addMenu(QStringLiteral("1000"));
        newItem = file->addAction(QStringLiteral("1001\tCtrl+N"));
        open = file->addAction(QStringLiteral("1002"));
        separator = file->addSeparator();
        recent = file->addMenu(QStringLiteral("1003"));
        recentFirst = recent->addAction(QStringLiteral("1004"));
        exit = file->addAction(QStringLiteral("Exit"));
        edit = window.menuBar()->addMenu(QStringLiteral("1010"));
        copy = edit->addAction(QStringLiteral(" 1011 "));
    }
};

struct HelpRecorder {
    std::vector<int> ids;
    void attach(CStatusBarHelp &help)
    {
        QObject::connect(&help, &CStatusBarHelp::HelpID, [this](std::int16_t id) { ids.push_back(id); });
    }
};

} // namespace

TEST(StatusBarHelp, TableTakesIdsFromDesignedCaptions)
{
    MenuWindow w;
    CStatusBarHelp help;
    help.Create(&w.window, 200);

    struct Case {
        const char *what;
        const QAction *item;
        int help;
    };
    const Case cases[] = {
        {"caption with accelerator text", w.newItem, 1201},
        {"plain caption", w.open, 1202},
        {"item of a submenu", w.recentFirst, 1204},
        {"caption with blanks", w.copy, 1211},
        {"caption not a number", w.exit, 0},
        {"separator", w.separator, 0},
        {"submenu title", w.recent->menuAction(), 0},
        {"drop-down title", w.file->menuAction(), 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(help.HelpFor(c.item), c.help) << c.what;
    EXPECT_EQ(help.TableCount(), 4);
}

// Open a drop-down, highlight items, close: -1 for titles and separators, the
// help id for an item with help, nothing for an item without, 0 once the menu
// is closed.
TEST(StatusBarHelp, HelpIdFollowsTheHighlightedItem)
{
    TraceCapture trace;
    MenuWindow w;
    w.window.show();
    CStatusBarHelp help;
    help.Create(&w.window, 200);
    HelpRecorder rec;
    rec.attach(help);

    // The table stays as built when the texts are loaded afterwards.
    w.newItem->setText(QStringLiteral("New\tCtrl+N"));

    w.file->popup(QPoint(0, 0));
    w.file->setActiveAction(w.newItem);
    w.file->setActiveAction(w.exit);
    w.file->setActiveAction(w.open);
    // A separator never becomes the active item: the pointer reaching it is
    // reported once, however often it moves over it.
    const QPoint onSeparator = w.file->actionGeometry(w.separator).center();
    for (int move = 0; move < 2; ++move) {
        QMouseEvent event(QEvent::MouseMove, onSeparator, w.file->mapToGlobal(onSeparator), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(w.file, &event);
    }
    w.file->setActiveAction(w.recent->menuAction());
    w.recent->setActiveAction(w.recentFirst);
    EXPECT_EQ(rec.ids, (std::vector<int>{-1, 1201, 1202, -1, -1, 1204}));

    // Moving to the next drop-down does not close the menu.
    rec.ids.clear();
    w.recent->hide();
    w.file->hide();
    w.edit->popup(QPoint(0, 0));
    QCoreApplication::processEvents();
    w.edit->setActiveAction(w.copy);
    EXPECT_EQ(rec.ids, (std::vector<int>{-1, 1211}));

    rec.ids.clear();
    w.edit->hide();
    QCoreApplication::processEvents();
    EXPECT_EQ(rec.ids, (std::vector<int>{0}));

    const QStringList lines = trace.Lines();
    const QRegularExpression selection(QStringLiteral("^hWnd=\\d+ hMenu=\\d+ ID=-?\\d+ Flags=-?\\d+$"));
    ASSERT_FALSE(lines.isEmpty());
    for (const QString &line : lines) {
        if (line != QStringLiteral("Evento HelpID")) {
            EXPECT_TRUE(selection.match(line).hasMatch()) << line.toStdString();
        }
    }
    EXPECT_EQ(lines.count(QStringLiteral("Evento HelpID")), 4);
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("hWnd=")));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral(" hMenu=0 ID=0 Flags=-1")));
    EXPECT_FALSE(lines.contains(QStringLiteral("Non individuato l'item per l'Help sulla status bar")));
}

// The table holds 101 items; the ones beyond get no help and are traced as
// not found.
TEST(StatusBarHelp, ItemsBeyondTheTableLimitHaveNoHelp)
{
    QMainWindow window;
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("1000"));
    std::vector<QAction *> items;
    for (int id = 1; id <= 105; ++id)
        items.push_back(menu->addAction(QString::number(id)));
    CStatusBarHelp help;
    help.Create(&window, 200);
    EXPECT_EQ(help.TableCount(), CStatusBarHelp::kTableSize);

    TraceCapture trace;
    HelpRecorder rec;
    rec.attach(help);
    menu->setActiveAction(items[100]);
    menu->setActiveAction(items[101]);
    EXPECT_EQ(rec.ids, (std::vector<int>{301}));
    EXPECT_EQ(trace.Lines().last(), QStringLiteral("Non individuato l'item per l'Help sulla status bar"));
}
