#include "ui/help/helpcontroller.h"
#include "ui/help/helplookup.h"
#include "ui/help/helpondemand.h"
#include "ui/help/helpservice.h"
#include "ui/help/helptopics.h"
#include "ui/help/helpwindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zelp {
namespace {

void setContext(QObject *object, const QVariant &context) {
    object->setProperty("helpContextId", context);
}

QUrl topic(int context) {
    return QUrl(QStringLiteral("qrc:/help/%1.html").arg(context));
}
const QUrl kContents(QStringLiteral("qrc:/help/contents.html"));

QString readResource(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList linksOf(const QString &html) {
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    QStringList links;
    for (auto it = href.globalMatch(html); it.hasNext();) {
        links << it.next().captured(1);
    }
    return links;
}

bool hasTitle(const QString &html) {
    static const QRegularExpression title(QStringLiteral("<title>\\s*[^<\\s][^<]*</title>"));
    return title.match(html).hasMatch();
}

TEST(HelpTopics, EveryContextHasATitledTopicAndEveryLinkResolves) {
    // Every help context the windows, buttons, menu items and dialog controls carry.
    const int contexts[] = {100, 101, 102, 103, 200, 201, 202, 203, 204, 205, 206, 207,
                            208, 209, 300, 301, 302, 303, 304, 305, 306, 307, 308, 310,
                            311, 312, 313, 314, 315, 320, 321, 322, 323, 324};
    const QString contents = readResource(Help::contentsPath());
    EXPECT_TRUE(hasTitle(contents));
    const QStringList fromContents = linksOf(contents);
    QStringList links = fromContents;
    for (int context : contexts) {
        SCOPED_TRACE(context);
        const QString path = Help::topicPath(context);
        ASSERT_EQ(path, QStringLiteral(":/help/%1.html").arg(context));
        EXPECT_EQ(Help::topicUrl(context), topic(context));
        EXPECT_TRUE(fromContents.contains(QStringLiteral("%1.html").arg(context)));
        const QString html = readResource(path);
        EXPECT_TRUE(hasTitle(html));
        EXPECT_TRUE(linksOf(html).contains(QStringLiteral("contents.html")));
        links += linksOf(html);
    }
    for (const QString &link : links) {
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + link)) << link.toStdString();
    }
    for (int context : {0, -1, 99, 309, 325, 9002}) {
        EXPECT_TRUE(Help::topicPath(context).isEmpty()) << context;
        EXPECT_EQ(Help::topicUrl(context), kContents) << context;
    }
    EXPECT_EQ(Help::contentsUrl(), kContents);
}

TEST(HelpLookup, OnlyPositiveWholeNumbersCount) {
    const struct {
        QVariant value;
        int expected;
    } cases[] = {{202, 202}, {"207", 207}, {QVariant(), 0}, {0, 0}, {-5, 0}, {"Save", 0}};
    for (const auto &c : cases) {
        QObject object;
        setContext(&object, c.value);
        EXPECT_EQ(Help::contextOf(&object), c.expected) << c.value.toString().toStdString();
    }
    EXPECT_EQ(Help::contextOf(nullptr), 0);
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
    QMenu menu, bareMenu;
    QAction *open = menu.addAction(QStringLiteral("&Open"));
    QAction *plain = menu.addAction(QStringLiteral("&Plain"));
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
    setContext(&window, 300);
    QMenuBar bar(&window);
    QMenu *file = bar.addMenu(QStringLiteral("&File"));
    setContext(file->menuAction(), 310);
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

// Keeps what was asked for: a topic number, or 0 for the contents.
class RecordedHelp : public HelpService {
public:
    std::vector<int> shown;
    void showTopic(int context) override { shown.push_back(context); }
    void showContents() override { shown.push_back(0); }
};

TEST(HelpController, F1ShowsTheHighlightedMenuItemOrTheFocusedControlsTopic) {
    RecordedHelp help;
    setHelpService(&help);
    HelpController controller;
    qApp->installEventFilter(&controller);
    QWidget window;
    setContext(&window, 300);
    auto *layout = new QVBoxLayout(&window);
    auto *button = new QPushButton(QStringLiteral("Open"));
    auto *plain = new QPushButton(QStringLiteral("Plain"));
    layout->addWidget(button);
    layout->addWidget(plain);
    setContext(button, 302);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto f1 = [](QWidget *w, Qt::Key key = Qt::Key_F1, Qt::KeyboardModifiers mod = {}) {
        w->setFocus();
        QTest::keyClick(w, key, mod);
    };
    f1(button);
    f1(plain);
    f1(button, Qt::Key_F1, Qt::ShiftModifier); // other keys and a modified F1 are left alone
    f1(button, Qt::Key_F2);
    EXPECT_EQ(help.shown, (std::vector<int>{302, 300}));

    QMenu menu(&window);
    setContext(menu.menuAction(), 310);
    QAction *save = menu.addAction(QStringLiteral("&Save"));
    setContext(save, 314);
    menu.popup(window.mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    menu.setActiveAction(save);
    EXPECT_EQ(HelpController::currentContext(), 314);
    QTest::keyClick(&menu, Qt::Key_F1);
    EXPECT_FALSE(menu.isVisible());

    setContext(&window, QVariant());
    f1(plain); // no context anywhere: the contents
    EXPECT_EQ(help.shown, (std::vector<int>{302, 300, 314, 0}));
    setHelpService(nullptr);
    f1(button);
    EXPECT_EQ(help.shown.size(), 4u);
    qApp->removeEventFilter(&controller);
}

TEST(HelpWindow, ShowsTheTopicOfAContextInOneReusedWindowWithItsButtons) {
    HelpWindow help;
    const struct {
        int context;
        QUrl expected;
    } cases[] = {
        {301, topic(301)}, {200, topic(200)}, {309, kContents}, {0, kContents}, {103, topic(103)},
    };
    for (const auto &c : cases) {
        help.showTopic(c.context);
        EXPECT_EQ(help.currentSource(), c.expected) << c.context;
        EXPECT_FALSE(help.currentTitle().isEmpty()) << c.context;
        EXPECT_TRUE(help.isVisible());
    }
    EXPECT_FALSE(help.isModal());
    help.showContents();
    EXPECT_EQ(help.currentSource(), kContents);
    EXPECT_EQ(help.findChild<QTextBrowser *>(QStringLiteral("txTopic"))->documentTitle(),
              QStringLiteral("Contents"));

    HelpWindow fresh;
    auto *back = fresh.findChild<QPushButton *>(QStringLiteral("cmdBack"));
    auto *forward = fresh.findChild<QPushButton *>(QStringLiteral("cmdForward"));
    auto *contents = fresh.findChild<QPushButton *>(QStringLiteral("cmdContents"));
    ASSERT_TRUE(back && forward && contents);
    fresh.showTopic(304);
    EXPECT_FALSE(back->isEnabled());
    fresh.showTopic(200);
    ASSERT_TRUE(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(fresh.currentSource(), topic(304));
    ASSERT_TRUE(forward->isEnabled());
    QTest::mouseClick(forward, Qt::LeftButton);
    EXPECT_EQ(fresh.currentSource(), topic(200));
    QTest::mouseClick(contents, Qt::LeftButton);
    EXPECT_EQ(fresh.currentSource(), kContents);
}

TEST(HelpOnDemand, MakesTheWindowOnTheFirstRequestOnly) {
    HelpOnDemand help;
    EXPECT_EQ(help.window(), nullptr);
    help.showTopic(301);
    HelpWindow *made = help.window();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->currentSource(), topic(301));
    help.showContents();
    EXPECT_EQ(help.window(), made);
    EXPECT_EQ(made->currentSource(), kContents);
}

TEST(HelpWindow, StaysUsableBesideAModalDialogAndOutlivesIt) {
    HelpWindow help;
    help.showTopic(300);
    for (bool deleteWhileShown : {false, true}) {
        SCOPED_TRACE(deleteWhileShown);
        auto *dialog = new QDialog;
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        ASSERT_EQ(QApplication::activeModalWidget(), dialog);
        help.showTopic(200);
        EXPECT_EQ(help.parentWidget(), dialog);
        EXPECT_TRUE(help.isVisible());
        if (!deleteWhileShown) {
            dialog->hide();
        }
        delete dialog;
        EXPECT_EQ(help.parentWidget(), nullptr);
        EXPECT_TRUE(help.isVisible());
        EXPECT_EQ(help.currentSource(), topic(200));
    }
}

} // namespace
} // namespace zelp
