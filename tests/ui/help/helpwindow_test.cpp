#include "ui/help/helpondemand.h"
#include "ui/help/helpwindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

namespace zelp {
namespace {

QUrl topic(int context) {
    return QUrl(QStringLiteral("qrc:/help/%1.html").arg(context));
}
const QUrl kContents(QStringLiteral("qrc:/help/contents.html"));

int visibleHelpWindows() {
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        n += qobject_cast<HelpWindow *>(w) && w->isVisible() ? 1 : 0;
    }
    return n;
}

TEST(HelpWindow, ShowsTheTopicOfAContextInOneReusedWindow) {
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
        EXPECT_EQ(visibleHelpWindows(), 1);
    }
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Velmaris 2000 Internet Edition Help"));
    EXPECT_FALSE(help.isModal());
    help.showContents();
    EXPECT_EQ(help.currentSource(), kContents);
    EXPECT_EQ(help.findChild<QTextBrowser *>(QStringLiteral("txTopic"))->documentTitle(),
              QStringLiteral("Contents"));
}

TEST(HelpOnDemand, MakesTheWindowOnTheFirstRequestOnly) {
    HelpOnDemand help;
    EXPECT_EQ(help.window(), nullptr);
    help.showTopic(301);
    ASSERT_NE(help.window(), nullptr);
    HelpWindow *made = help.window();
    EXPECT_EQ(made->currentSource(), topic(301));
    help.showContents();
    EXPECT_EQ(help.window(), made);
    EXPECT_EQ(made->currentSource(), kContents);
}

TEST(HelpWindow, BackForwardAndContentsButtons) {
    HelpWindow help;
    auto *back = help.findChild<QPushButton *>(QStringLiteral("cmdBack"));
    auto *forward = help.findChild<QPushButton *>(QStringLiteral("cmdForward"));
    auto *contents = help.findChild<QPushButton *>(QStringLiteral("cmdContents"));
    ASSERT_TRUE(back && forward && contents);
    help.showTopic(304);
    EXPECT_FALSE(back->isEnabled());
    help.showTopic(200);
    ASSERT_TRUE(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(help.currentSource(), topic(304));
    ASSERT_TRUE(forward->isEnabled());
    QTest::mouseClick(forward, Qt::LeftButton);
    EXPECT_EQ(help.currentSource(), topic(200));
    QTest::mouseClick(contents, Qt::LeftButton);
    EXPECT_EQ(help.currentSource(), kContents);
}

TEST(HelpWindow, StaysUsableBesideAModalDialogAndOutlivesIt) {
    HelpWindow help;
    help.showTopic(300);
    for (bool deleteWhileShown : {false, true}) {
        auto *dialog = new QDialog;
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        ASSERT_EQ(QApplication::activeModalWidget(), dialog);
        help.showTopic(200);
        EXPECT_EQ(help.parentWidget(), dialog) << deleteWhileShown;
        EXPECT_TRUE(help.isVisible());
        if (!deleteWhileShown) {
            dialog->hide();
        }
        delete dialog;
        EXPECT_EQ(help.parentWidget(), nullptr) << deleteWhileShown;
        EXPECT_TRUE(help.isVisible()) << deleteWhileShown;
        EXPECT_EQ(help.currentSource(), topic(200));
    }
}

} // namespace
} // namespace zelp
