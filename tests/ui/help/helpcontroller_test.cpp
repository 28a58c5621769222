#include "ui/help/helpcontroller.h"
#include "ui/help/helpservice.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <vector>

namespace zelp {
namespace {

// Keeps what was asked for: a topic number, or 0 for the contents.
class RecordedHelp : public HelpService {
public:
    std::vector<int> shown;
    void showTopic(int context) override { shown.push_back(context); }
    void showContents() override { shown.push_back(0); }
};

class HelpControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setHelpService(&help);
        qApp->installEventFilter(&controller);
        setContextOf(&window, 300);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(plain);
        setContextOf(button, 302);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override {
        qApp->removeEventFilter(&controller);
        setHelpService(nullptr);
    }
    static void setContextOf(QObject *object, int context) {
        object->setProperty("helpContextId", context);
    }

    RecordedHelp help;
    HelpController controller;
    QWidget window;
    QPushButton *button = new QPushButton(QStringLiteral("Open"));
    QPushButton *plain = new QPushButton(QStringLiteral("Plain"));
};

TEST_F(HelpControllerTest, F1ShowsTheFocusedControlsTopic) {
    button->setFocus();
    QTest::keyClick(button, Qt::Key_F1);
    plain->setFocus();
    QTest::keyClick(plain, Qt::Key_F1);
    EXPECT_EQ(help.shown, (std::vector<int>{302, 300}));
}

TEST_F(HelpControllerTest, F1WithoutAnyContextShowsTheContents) {
    window.setProperty("helpContextId", QVariant());
    plain->setFocus();
    QTest::keyClick(plain, Qt::Key_F1);
    EXPECT_EQ(help.shown, (std::vector<int>{0}));
}

TEST_F(HelpControllerTest, F1InAnOpenMenuShowsTheHighlightedItemAndClosesTheMenu) {
    QMenu menu(&window);
    setContextOf(menu.menuAction(), 310);
    QAction *save = menu.addAction(QStringLiteral("&Save"));
    setContextOf(save, 314);
    menu.popup(window.mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    menu.setActiveAction(save);
    EXPECT_EQ(HelpController::currentContext(), 314);
    QTest::keyClick(&menu, Qt::Key_F1);
    EXPECT_EQ(help.shown, (std::vector<int>{314}));
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(HelpControllerTest, OtherKeysAndModifiedF1AreLeftAlone) {
    button->setFocus();
    QTest::keyClick(button, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(button, Qt::Key_F2);
    EXPECT_TRUE(help.shown.empty());
}

TEST_F(HelpControllerTest, NoServiceNoHelp) {
    setHelpService(nullptr);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_F1);
    EXPECT_TRUE(help.shown.empty());
}

} // namespace
} // namespace zelp
