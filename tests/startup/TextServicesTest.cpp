#include "ControlKinds.h"
#include "FormText.h"
#include "MErrors.h"
#include "Pause.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "TraceCapture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

TEST(TextServices, GetResourceTextReplacesPlaceholdersInOrder)
{
    struct Case {
        const char *text;
        QVariantList values;
        const char *expected;
    };
    const Case cases[] = {
        {"|1 and |1", {QStringLiteral("a")}, "a and a"},
        {"|1 (|2)", {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, "a (b)"},
        {"|1 (|2)", {QStringLiteral("a")}, "a (|2)"},
        {"|1 (|2)", {QStringLiteral("|2"), QStringLiteral("b")}, "b (b)"}, // a value is replaced later on
        {"no placeholder", {QStringLiteral("a")}, "no placeholder"},
        {"|1 V", {QVariant(5)}, "5 V"},
        {"|10", {QStringLiteral("a")}, "a0"}, // "|1" is replaced before "|10" would be
    };
    for (const Case &c : cases)
        EXPECT_EQ(SubstitutePlaceholders(QString::fromUtf8(c.text), c.values), QString::fromUtf8(c.expected)) << c.text;

    EXPECT_EQ(GetResourceText(231, {QStringLiteral("X")}),
              QStringLiteral("System file X not found !!!\n\rReinstall the program or contact the supplier."));
    EXPECT_THROW(GetResourceText(-4711, {QStringLiteral("X")}), ProgramError);
}

// One window with a control of every kind: captions from the Tag, tool tips
// from the designed tool-tip id, menu texts from the designed captions.
TEST(TextServices, LoadersReplaceDesignedIdsByTexts)
{
    TraceCapture trace;
    g_MenuCaptions.clear();

    QMainWindow form;
    SetControlTag(&form, QStringLiteral("301"));
    auto *central = new QWidget(&form);
    form.setCentralWidget(central);

    auto *label = new QLabel(QStringLiteral("designed"), central);
    SetControlTag(label, 302);
    label->setToolTip(QStringLiteral("301")); // a label takes no tool tip from the table
    auto *labelText = new QLabel(QStringLiteral("kept"), central);
    SetControlTag(labelText, QStringLiteral("abc"));
    auto *labelMissing = new QLabel(QStringLiteral("kept too"), central);
    SetControlTag(labelMissing, QStringLiteral("31999"));
    auto *frame = new QGroupBox(QStringLiteral("frame"), central);
    SetControlTag(frame, QStringLiteral("303"));
    frame->setToolTip(QStringLiteral("240"));
    auto *option = new QRadioButton(QStringLiteral("option"), frame);
    SetControlTag(option, QStringLiteral(" 240 "));
    auto *check = new QCheckBox(QStringLiteral("check"), central);
    SetControlTag(check, QStringLiteral("301"));
    auto *button = new QPushButton(QStringLiteral("button"), central);
    SetControlTag(button, QStringLiteral("301")); // not a caption kind
    auto *textEmpty = new QLineEdit(central);
    textEmpty->setToolTip(QString());
    auto *comboZero = new QComboBox(central);
    comboZero->setToolTip(QStringLiteral("0"));
    auto *spin = new QSpinBox(central);
    spin->setToolTip(QStringLiteral("302 (designed)"));
    auto *toolBar = form.addToolBar(QStringLiteral("tools"));
    toolBar->setToolTip(QStringLiteral("301"));

    QMenu *file = form.menuBar()->addMenu(QStringLiteral("301"));
    QAction *first = file->addAction(QStringLiteral("302"));
    QAction *dash = file->addAction(QStringLiteral("-"));
    QAction *again = file->addAction(QStringLiteral("302")); // the same text a second time
    QAction *unknown = file->addAction(QStringLiteral("31999"));

    LoadFormCaptions(&form);
    LoadFormToolTips(&form);
    LoadMenuCaptions(&form);

    EXPECT_EQ(form.windowTitle(), LoadResourceString(301));
    EXPECT_EQ(label->text(), LoadResourceString(302));
    EXPECT_EQ(labelText->text(), QStringLiteral("kept"));
    EXPECT_EQ(labelMissing->text(), QStringLiteral("kept too"));
    EXPECT_EQ(frame->title(), LoadResourceString(303));
    EXPECT_EQ(option->text(), LoadResourceString(240));
    EXPECT_EQ(check->text(), LoadResourceString(301));
    EXPECT_EQ(button->text(), QStringLiteral("button"));

    EXPECT_EQ(label->toolTip(), QStringLiteral("301"));
    EXPECT_EQ(frame->toolTip(), LoadResourceString(240));
    EXPECT_EQ(textEmpty->toolTip(), QString());
    EXPECT_EQ(comboZero->toolTip(), QStringLiteral("0"));
    EXPECT_EQ(spin->toolTip(), LoadResourceString(302));
    EXPECT_EQ(toolBar->toolTip(), LoadResourceString(301));

    EXPECT_EQ(file->title(), LoadResourceString(301));
    EXPECT_EQ(first->text(), LoadResourceString(302));
    EXPECT_EQ(ControlTag(first).toInt(), 302);
    EXPECT_EQ(dash->text(), QStringLiteral("-"));
    EXPECT_FALSE(ControlTag(dash).isValid());
    EXPECT_EQ(again->text(), LoadResourceString(302));
    EXPECT_EQ(unknown->text(), QStringLiteral("31999"));
    const QMap<QString, std::int16_t> expected{{LoadResourceString(301), std::int16_t{301}},
                                               {LoadResourceString(302), std::int16_t{302}}};
    EXPECT_EQ(g_MenuCaptions, expected);

    const QStringList lines = trace.Lines();
    EXPECT_EQ(lines.value(0), QStringLiteral("Inizio caricamento dei caption dei controlli"));
    EXPECT_EQ(lines.value(1), QStringLiteral("Fine caricamento delle risorse"));
    EXPECT_EQ(lines.value(2), QStringLiteral("Caricamento testi menu"));
    EXPECT_EQ(lines.value(3),
              QStringLiteral("Caricamento dalle risorse del testo del menu 301=") + LoadResourceString(301));
    EXPECT_EQ(lines.size(), 4 + 2); // the two items "302"; nothing for "-" or the unknown id
}

TEST(TextServices, ProgramFontFallsBackInItsOrder)
{
    struct Case {
        QStringList installed;
        const char *chosen;
        QStringList misses;
    };
    const QString miss = QStringLiteral("Impossibile caricare il font ");
    const Case cases[] = {
        {{QStringLiteral("Arial"), QStringLiteral("MS Sans Serif")}, "Arial", {}},
        {{QStringLiteral("MS Sans Serif"), QStringLiteral("Curier New")}, "MS Sans Serif", {miss + "Arial"}},
        {{QStringLiteral("Curier New"), QStringLiteral("arial")},
         "Curier New",
         {miss + "Arial", miss + "MS Sans Serif"}},
        {{},
         "Default Sans",
         {miss + "Arial", miss + "MS Sans Serif",
          miss + "Curier New Viene mantenuto il font di default dei controlli"}},
    };
    for (const Case &c : cases) {
        TraceCapture trace;
        LoadProgramFont([&](const QString &name) { return c.installed.contains(name); },
                        QStringLiteral("Default Sans"));
        EXPECT_EQ(g_FontName, QString::fromUtf8(c.chosen));
        EXPECT_EQ(g_FontSize, 8);
        QStringList expected{QStringLiteral("Impostazione del font utilizzato nel programma.")};
        expected << c.misses;
        EXPECT_EQ(trace.Lines(), expected) << c.chosen;
    }

    // With the font database: an installed family counts, a name served only
    // by a substitute does not.
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    EXPECT_TRUE(IsFontAvailable(families.first().section(QStringLiteral(" ["), 0, 0)));
    EXPECT_FALSE(IsFontAvailable(QStringLiteral("No Such Family 4711")));
}

TEST(TextServices, SetFormFontSetsTheControlsNotTheWindow)
{
    TraceCapture trace;
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    g_FontName = families.last().section(QStringLiteral(" ["), 0, 0);
    g_FontSize = 13;
    QWidget form;
    const QFont formFont = form.font();
    auto *label = new QLabel(&form);
    auto *spin = new QSpinBox(&form);
    SetFormFont(&form);
    EXPECT_EQ(form.font(), formFont);
    for (QWidget *w : {static_cast<QWidget *>(label), static_cast<QWidget *>(spin)}) {
        EXPECT_EQ(w->font().family(), g_FontName);
        EXPECT_EQ(w->font().pointSize(), 13);
    }
    EXPECT_EQ(trace.Lines(), QStringList{QStringLiteral("Fine impostazione del font per i controlli del form")});
}

TEST(TextServices, PauseWaitsOnTheEventLoop)
{
    TraceCapture trace;
    QElapsedTimer clock;
    clock.start();
    Pause(0.0f);
    EXPECT_LT(clock.elapsed(), 50);
    EXPECT_EQ(trace.Lines(), (QStringList{QStringLiteral("Inizio pausa 0 sec."), QStringLiteral("Fine pausa 0 sec.")}));

    // Events are handled during the pause, and the pause lasts its time.
    bool timerRan = false;
    QTimer::singleShot(20, [&] { timerRan = true; });
    clock.restart();
    Pause(0.2f);
    EXPECT_TRUE(timerRan);
    EXPECT_GE(clock.elapsed(), 200);
}
