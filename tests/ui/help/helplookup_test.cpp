#include "ui/help/helplookup.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace zelp {
namespace {

void setContext(QObject *object, const QVariant &context) {
    object->setProperty("helpContextId", context);
}

// A main window with a button column, a dialog it owns, and a File menu.
struct Scene {
    QWidget window;
    QWidget *panel = new QWidget(&window);
    QPushButton *withContext = new QPushButton(QStringLiteral("New"), panel);
    QLabel *insideButton = new QLabel(withContext);
    QPushButton *withoutContext = new QPushButton(QStringLiteral("Other"), panel);
    QDialog *dialog = new QDialog(&window);
    QPushButton *dialogButton = new QPushButton(QStringLiteral("&Cancel"), dialog);
    QPushButton *dialogCancel = new QPushButton(QStringLiteral("&Cancel"), dialog);
    QMenu menu;
    QAction *open = menu.addAction(QStringLiteral("&Open"));
    QAction *plain = menu.addAction(QStringLiteral("&Plain"));
    QMenu bareMenu;
    QAction *bareAction = bareMenu.addAction(QStringLiteral("&Bare"));

    Scene() {
        setContext(&window, 300);
        setContext(withContext, 301);
        setContext(dialogCancel, 103);
        setContext(menu.menuAction(), 310);
        setContext(open, 312);
    }
};

TEST(HelpLookup, FocusedWidgetTakesTheNearestContextWithinItsWindow) {
    Scene s;
    const struct {
        const char *name;
        QWidget *focus;
        int expected;
    } cases[] = {
        {"button with its own context", s.withContext, 301},
        {"child widget of a button", s.insideButton, 301},
        {"button without context: its window's", s.withoutContext, 300},
        {"the window itself", &s.window, 300},
        {"dialog control with context", s.dialogCancel, 103},
        {"dialog without context does not borrow its owner's", s.dialogButton, 0},
        {"nothing focused", nullptr, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Help::contextForWidget(c.focus), c.expected) << c.name;
        EXPECT_EQ(Help::contextForF1(nullptr, c.focus), c.expected) << c.name;
    }
}

TEST(HelpLookup, OpenMenuComesBeforeTheFocusedWidget) {
    Scene s;
    s.menu.popup(QPoint(10, 10));
    s.bareMenu.popup(QPoint(200, 10));
    const struct {
        const char *name;
        QMenu *menu;
        QAction *active;
        int expected;
    } cases[] = {
        {"highlighted item with context", &s.menu, s.open, 312},
        {"highlighted item without: the menu's own", &s.menu, s.plain, 310},
        {"nothing highlighted: the menu's own", &s.menu, nullptr, 310},
        {"menu without any context: the focused button", &s.bareMenu, s.bareAction, 301},
        {"no menu open: the focused button", nullptr, nullptr, 301},
    };
    for (const auto &c : cases) {
        if (c.menu) {
            c.menu->setActiveAction(c.active);
            ASSERT_EQ(c.menu->activeAction(), c.active) << c.name;
        }
        EXPECT_EQ(Help::contextForF1(c.menu, s.withContext), c.expected) << c.name;
    }
}

TEST(HelpLookup, HighlightedMenuBarEntryWhenTheBarHasTheKeyboard) {
    QWidget window;
    window.setProperty("helpContextId", 300);
    QMenuBar bar(&window);
    QMenu *file = bar.addMenu(QStringLiteral("&File"));
    file->menuAction()->setProperty("helpContextId", 310);
    QMenu *help = bar.addMenu(QStringLiteral("&Help"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(Help::contextForF1(nullptr, &bar), 300);
    bar.setActiveAction(file->menuAction());
    EXPECT_EQ(Help::contextForF1(nullptr, &bar), 310);
    bar.setActiveAction(help->menuAction());
    EXPECT_EQ(Help::contextForF1(nullptr, &bar), 300);
    file->close();
    help->close();
}

TEST(HelpLookup, OnlyPositiveWholeNumbersCount) {
    const struct {
        QVariant value;
        int expected;
    } cases[] = {
        {QVariant(202), 202}, {QVariant(QStringLiteral("207")), 207},
        {QVariant(), 0},      {QVariant(0), 0},
        {QVariant(-5), 0},    {QVariant(QStringLiteral("Save")), 0},
    };
    for (const auto &c : cases) {
        QObject object;
        object.setProperty("helpContextId", c.value);
        EXPECT_EQ(Help::contextOf(&object), c.expected) << c.value.toString().toStdString();
    }
    EXPECT_EQ(Help::contextOf(nullptr), 0);
}

} // namespace
} // namespace zelp
