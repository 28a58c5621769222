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
#include <QTest>
#include <QTextBrowser>

namespace zelp {
namespace {

void setContext(QObject *object, const QVariant &context) {
    object->setProperty("helpContextId", context);
}

QUrl topic(int context) {
    return QUrl(QStringLiteral("qrc:/help/%1.html").arg(context));
}
const QUrl kContents(QStringLiteral("qrc:/help/contents.html"));

// The links of a help page, which must have a title.
QStringList linksOf(const QString &path) {
    static const QRegularExpression title(QStringLiteral("<title>\\s*[^<\\s][^<]*</title>")),
        href(QStringLiteral("href=\"([^\"]+)\""));
    QFile file(path);
    const QString html = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "";
    EXPECT_TRUE(title.match(html).hasMatch()) << path.toStdString();
    QStringList links;
    for (auto it = href.globalMatch(html); it.hasNext();) {
        links << it.next().captured(1);
    }
    return links;
}

TEST(HelpTopics, EveryContextHasATitledTopicAndEveryLinkResolves) {
    // Every help context the windows, buttons, menu items and dialog controls carry.
    const int contexts[] = {100, 101, 102, 103, 200, 201, 202, 203, 204, 205, 206, 207, 208, 209,
                            300, 301, 302, 303, 304, 305, 306, 307, 308, 310, 311, 312, 313, 314,
                            315, 320, 321, 322, 323, 324, 400, 410, 420, 430, 440, 450, 460, 470};
    const QStringList fromContents = linksOf(Help::contentsPath());
    QStringList links = fromContents;
    for (int context : contexts) {
        SCOPED_TRACE(context);
        const QString path = Help::topicPath(context);
        ASSERT_FALSE(path.isEmpty());
        EXPECT_TRUE(fromContents.contains(QStringLiteral("%1.html").arg(context)));
        const QStringList own = linksOf(path);
        EXPECT_TRUE(own.contains(QStringLiteral("contents.html")));
        links += own;
    }
    for (const QString &link : links) {
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + link)) << link.toStdString();
    }
    for (int context : {0, -1, 99, 309, 325, 9002}) {
        EXPECT_TRUE(Help::topicPath(context).isEmpty()) << context;
        EXPECT_EQ(Help::topicUrl(context), kContents) << context;
    }
}

TEST(HelpWindow, OpensBesideItsOwnerAndOnTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    const QSize frame(540, 600);
    const struct {
        QRect owner;
        QPoint expected;
    } cases[] = {
        {{100, 100, 600, 400}, {700, 100}}, // room on the right
        {{700, 50, 560, 400}, {160, 50}},   // none on the right: on the left
        {{0, 0, 1280, 1000}, {740, 0}},     // none either side: over the right edge
        {{300, 800, 400, 200}, {700, 424}}, // low owner: the window stays on the screen
        {{-50, -30, 200, 100}, {150, 0}},   // an owner partly off the screen
    };
    for (const auto &c : cases) {
        EXPECT_EQ(HelpWindow::placeBeside(c.owner, frame, screen), c.expected)
            << c.owner.x() << "," << c.owner.y();
    }
}

// A main window with a button column and a menu bar, a dialog it owns, and a File menu.
struct Scene {
    QWidget window;
    QWidget *panel = new QWidget(&window);
    QPushButton *withContext = new QPushButton(QStringLiteral("New"), panel);
    QLabel *insideButton = new QLabel(withContext);
    QPushButton *withoutContext = new QPushButton(QStringLiteral("Other"), panel);
    QDialog *dialog = new QDialog(&window);
    QPushButton *dialogButton = new QPushButton(QStringLiteral("&Cancel"), dialog);
    QPushButton *dialogCancel = new QPushButton(QStringLiteral("&Cancel"), dialog);
    QMenuBar *bar = new QMenuBar(&window);
    QMenu *file = bar->addMenu(QStringLiteral("&File")), *helpMenu = bar->addMenu("&Help");
    QMenu menu, bareMenu;
    QAction *open = menu.addAction(QStringLiteral("&Open"));
    QAction *plain = menu.addAction(QStringLiteral("&Plain"));
    QAction *bareAction = bareMenu.addAction(QStringLiteral("&Bare"));
    Scene() {
        setContext(&window, 300);
        setContext(withContext, 301);
        setContext(dialogCancel, 103);
        setContext(menu.menuAction(), 310);
        setContext(file->menuAction(), 310);
        setContext(open, 312);
    }
};

TEST(HelpLookup, AnOpenMenuThenTheFocusedWidgetsNearestContextWithinItsWindow) {
    Scene s;
    s.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.window));
    s.menu.popup(QPoint(10, 10));
    s.bareMenu.popup(QPoint(200, 10));
    const struct {
        const char *name;
        QWidget *focus;
        int expected;
        QMenu *menu = nullptr;
        QAction *active = nullptr; // in the menu, or on the menu bar when there is no menu
    } cases[] = {
        {"button with its own context", s.withContext, 301},
        {"child widget of a button", s.insideButton, 301},
        {"button without context: its window's", s.withoutContext, 300},
        {"the window itself", &s.window, 300},
        {"dialog control with context", s.dialogCancel, 103},
        {"dialog without context does not borrow its owner's", s.dialogButton, 0},
        {"nothing focused", nullptr, 0},
        {"highlighted item with context", s.withContext, 312, &s.menu, s.open},
        {"highlighted item without: the menu's own", s.withContext, 310, &s.menu, s.plain},
        {"nothing highlighted: the menu's own", s.withContext, 310, &s.menu},
        {"menu without any context: the button", s.withContext, 301, &s.bareMenu, s.bareAction},
        {"menu bar, nothing highlighted", s.bar, 300},
        {"menu bar entry with context", s.bar, 310, nullptr, s.file->menuAction()},
        {"menu bar entry without", s.bar, 300, nullptr, s.helpMenu->menuAction()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.menu) {
            c.menu->setActiveAction(c.active);
            ASSERT_EQ(c.menu->activeAction(), c.active);
        } else if (c.active) {
            s.bar->setActiveAction(c.active);
        }
        EXPECT_EQ(Help::contextForF1(c.menu, c.focus), c.expected);
    }
    s.file->close();
    s.helpMenu->close();
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
    Scene s;
    s.window.show();
    s.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.window));
    const auto f1 = [](QWidget *w, Qt::Key key = Qt::Key_F1, Qt::KeyboardModifiers mod = {}) {
        w->setFocus();
        QTest::keyClick(w, key, mod);
    };
    f1(s.withContext);
    f1(s.withoutContext);
    f1(s.withContext, Qt::Key_F1, Qt::ShiftModifier); // other keys and a modified F1 are left alone
    f1(s.withContext, Qt::Key_F2);
    s.menu.popup(s.window.mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.menu));
    s.menu.setActiveAction(s.open);
    EXPECT_EQ(HelpController::currentContext(), 312);
    QTest::keyClick(&s.menu, Qt::Key_F1);
    EXPECT_FALSE(s.menu.isVisible());
    setContext(&s.window, QVariant());
    f1(s.withoutContext); // no context anywhere: the contents
    EXPECT_EQ(help.shown, (std::vector<int>{301, 300, 312, 0}));
    setHelpService(nullptr);
    f1(s.withContext);
    EXPECT_EQ(help.shown.size(), 4u);
    qApp->removeEventFilter(&controller);
}

TEST(HelpWindow, ShowsTheTopicOfAContextInOneReusedWindowWithItsButtons) {
    HelpOnDemand onDemand; // makes the window on the first request only
    EXPECT_EQ(onDemand.window(), nullptr);
    for (const int context : {301, 309, 200}) {
        onDemand.showTopic(context);
        ASSERT_NE(onDemand.window(), nullptr);
        EXPECT_EQ(onDemand.window()->currentSource(), context == 309 ? kContents : topic(context));
        EXPECT_FALSE(onDemand.window()->currentTitle().isEmpty()) << context;
        EXPECT_TRUE(onDemand.window()->isVisible());
    }
    HelpWindow &help = *onDemand.window();
    EXPECT_FALSE(help.isModal());
    onDemand.showContents();
    EXPECT_EQ(onDemand.window(), &help);
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
