#include "ui/files/frmdoctype.h"

#include "modaldriver.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cmath>

namespace zelp::test {
namespace {

QPushButton *button(QDialog &dialog, const char *name) {
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

TEST(FrmDocType, EachWayOutSetsBothFlags) {
    ServiceScope scope;
    const auto click = [](const char *name) {
        return [name](QDialog &d) { QTest::mouseClick(button(d, name), Qt::LeftButton); };
    };
    const struct {
        const char *how;
        std::function<void(QDialog &)> act;
        bool cancelled, unsafe;
    } cases[] = {
        {"cmdSafe", click("cmdSafe"), false, false},
        {"cmdUnsafe", click("cmdUnsafe"), false, true},
        {"cmdCancel", click("cmdCancel"), true, false},
        {"Escape", [](QDialog &d) { QTest::keyClick(d.focusWidget(), Qt::Key_Escape); }, true,
         false},
        {"Enter on the focused cmdSafe",
         [](QDialog &d) { QTest::keyClick(d.focusWidget(), Qt::Key_Return); }, false, false},
        {"Alt+U",
         [](QDialog &d) {
             // Mnemonics reach only the active window, and press with a short animation.
             ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
             QTest::keyClick(d.focusWidget(), Qt::Key_U, Qt::AltModifier);
             EXPECT_TRUE(QTest::qWaitFor([&d] { return !d.isVisible(); }, 2000));
         },
         false, true},
        {"closed by the frame", [](QDialog &d) { d.close(); }, false, false},
    };
    FrmDocType dialog;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        // The last answer (or a stale one) must not survive into the next showing.
        dialog.Cancelled = dialog.Unsafe = true;
        QWidget *focused = nullptr;
        bool staleWhileShown = true;
        ModalDriver driver(dialog, [&] {
            focused = dialog.focusWidget();
            staleWhileShown = dialog.Cancelled || dialog.Unsafe;
            c.act(dialog);
        });
        dialog.exec();
        EXPECT_TRUE(driver.ran);
        EXPECT_FALSE(driver.leftOpen);
        EXPECT_FALSE(staleWhileShown);
        EXPECT_EQ(focused, button(dialog, "cmdSafe"));
        EXPECT_EQ(dialog.Cancelled, c.cancelled);
        EXPECT_EQ(dialog.Unsafe, c.unsafe);
    }
}

TEST(FrmDocType, ControlsKeepTheirTwipsPlacesAndFitTheirTexts) {
    ServiceScope scope;
    FrmDocType dialog;
    const auto px = [](double twips, int dpi) { return int(std::lround(twips * dpi / 1440.0)); };
    const int dx = dialog.logicalDpiX(), dy = dialog.logicalDpiY();
    EXPECT_EQ(dialog.property("helpContextId").toInt(), 100);
    const QSize client(px(4170, dx), px(4005, dy));
    EXPECT_EQ(dialog.size(), client);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const struct {
        const char *name;
        double left, top, width, height;
        int helpContext; // 0: none
    } controls[] = {
        {"Label2", 360, 0, 3252, 372, 0},          {"Label1", 120, 480, 3855, 2655, 0},
        {"cmdSafe", 120, 3120, 2292, 372, 102},    {"cmdUnsafe", 120, 3600, 2292, 372, 101},
        {"cmdCancel", 2880, 3600, 1092, 372, 103},
    };
    for (const auto &c : controls) {
        SCOPED_TRACE(c.name);
        auto *control = dialog.findChild<QWidget *>(QLatin1String(c.name));
        ASSERT_NE(control, nullptr);
        const QRect r = control->geometry();
        EXPECT_EQ(r.topLeft(), QPoint(px(c.left, dx), px(c.top, dy)));
        // Never smaller than designed; larger only as far as its text needs.
        EXPECT_GE(r.width(), px(c.width, dx));
        EXPECT_GE(r.height(), px(c.height, dy));
        EXPECT_LE(r.width(), std::max(px(c.width, dx), control->sizeHint().width()));
        EXPECT_LE(r.height(), std::max(px(c.height, dy), control->sizeHint().height()));
        EXPECT_LE(r.right(), client.width());
        EXPECT_EQ(control->property("helpContextId").toInt(), c.helpContext);
    }
    // The whole explanation fits its design height.
    auto *explanation = dialog.findChild<QLabel *>(QStringLiteral("Label1"));
    EXPECT_FALSE(explanation->text().isEmpty());
    EXPECT_LE(explanation->heightForWidth(explanation->width()), explanation->height());
    EXPECT_EQ(button(dialog, "cmdSafe")->nextInFocusChain(), button(dialog, "cmdUnsafe"));
    EXPECT_EQ(button(dialog, "cmdUnsafe")->nextInFocusChain(), button(dialog, "cmdCancel"));
}

TEST(FrmDocType, OpensCentredOverItsOwner) {
    ServiceScope scope;
    QWidget owner;
    owner.setGeometry(100, 80, 800, 600);
    owner.show();
    FrmDocType dialog(&owner);
    QPoint centre;
    ModalDriver driver(dialog, [&] {
        centre = dialog.frameGeometry().center();
        dialog.close();
    });
    dialog.exec();
    const QPoint off = centre - owner.frameGeometry().center();
    EXPECT_LE(std::abs(off.x()), 2);
    EXPECT_LE(std::abs(off.y()), 2);
}

} // namespace
} // namespace zelp::test
