#include "ui/files/frmdoctype.h"

#include "modaldriver.h"

#include "files/strings.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cmath>

namespace zelp::test {
namespace {

int px(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QPushButton *button(QDialog &dialog, const char *name) {
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

struct OutcomeCase {
    const char *how;
    std::function<void(QDialog &)> act;
    bool cancelled;
    bool unsafe;
};

const OutcomeCase kOutcomes[] = {
    {"cmdSafe", [](QDialog &d) { QTest::mouseClick(button(d, "cmdSafe"), Qt::LeftButton); }, false,
     false},
    {"cmdUnsafe", [](QDialog &d) { QTest::mouseClick(button(d, "cmdUnsafe"), Qt::LeftButton); },
     false, true},
    {"cmdCancel", [](QDialog &d) { QTest::mouseClick(button(d, "cmdCancel"), Qt::LeftButton); },
     true, false},
    {"Escape", [](QDialog &d) { QTest::keyClick(d.focusWidget(), Qt::Key_Escape); }, true, false},
    {"Enter on the focused cmdSafe",
     [](QDialog &d) { QTest::keyClick(d.focusWidget(), Qt::Key_Return); }, false, false},
    {"Alt+U",
     [](QDialog &d) {
         // Mnemonics reach only the active window.
         ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
         QTest::keyClick(d.focusWidget(), Qt::Key_U, Qt::AltModifier);
         // A mnemonic presses its button with a short animation.
         EXPECT_TRUE(QTest::qWaitFor([&d] { return !d.isVisible(); }, 2000));
     },
     false, true},
    {"closed by the frame", [](QDialog &d) { d.close(); }, false, false},
};

TEST(FrmDocType, EachWayOutSetsBothFlags) {
    ServiceScope scope;
    for (const OutcomeCase &c : kOutcomes) {
        SCOPED_TRACE(c.how);
        FrmDocType dialog;
        // A stale answer must not survive the showing.
        dialog.Cancelled = true;
        dialog.Unsafe = true;
        QWidget *focused = nullptr;
        ModalDriver driver(dialog, [&] {
            focused = dialog.focusWidget();
            c.act(dialog);
        });
        dialog.exec();
        EXPECT_TRUE(driver.ran);
        EXPECT_FALSE(driver.leftOpen);
        EXPECT_EQ(focused, button(dialog, "cmdSafe"));
        EXPECT_EQ(dialog.Cancelled, c.cancelled);
        EXPECT_EQ(dialog.Unsafe, c.unsafe);
    }
}

TEST(FrmDocType, ShownAgainStartsWithoutAnAnswer) {
    ServiceScope scope;
    FrmDocType dialog;
    {
        ModalDriver driver(dialog,
                           [&] { QTest::mouseClick(button(dialog, "cmdUnsafe"), Qt::LeftButton); });
        dialog.exec();
    }
    ASSERT_TRUE(dialog.Unsafe);
    bool cancelledWhileShown = true;
    bool unsafeWhileShown = true;
    {
        ModalDriver driver(dialog, [&] {
            cancelledWhileShown = dialog.Cancelled;
            unsafeWhileShown = dialog.Unsafe;
            dialog.close();
        });
        dialog.exec();
        EXPECT_FALSE(driver.leftOpen);
    }
    EXPECT_FALSE(cancelledWhileShown);
    EXPECT_FALSE(unsafeWhileShown);
    EXPECT_FALSE(dialog.Cancelled);
    EXPECT_FALSE(dialog.Unsafe);
}

struct ControlCase {
    const char *name;
    const char *text; // nullptr: string resource 1001
    double left, top, width, height;
    int helpContext; // 0: none
};

const ControlCase kControls[] = {
    {"Label2", "New Connection Safety", 360, 0, 3252, 372, 0},
    {"Label1", nullptr, 120, 480, 3855, 2655, 0},
    {"cmdSafe", "Create &Safe Connection", 120, 3120, 2292, 372, 102},
    {"cmdUnsafe", "Create &Unsafe Connection", 120, 3600, 2292, 372, 101},
    {"cmdCancel", "&Cancel", 2880, 3600, 1092, 372, 103},
};

TEST(FrmDocType, ControlsTextsAndPlacesInTwips) {
    ServiceScope scope;
    FrmDocType dialog;
    const int dx = dialog.logicalDpiX();
    const int dy = dialog.logicalDpiY();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Velmaris 2000 Internet Connection Type"));
    EXPECT_EQ(dialog.property("helpContextId").toInt(), 100);
    EXPECT_TRUE(dialog.isModal());
    const QSize client(px(4170, dx), px(4005, dy));
    EXPECT_EQ(dialog.size(), client);
    EXPECT_EQ(dialog.minimumSize(), client);
    EXPECT_EQ(dialog.maximumSize(), client);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);

    for (const ControlCase &c : kControls) {
        SCOPED_TRACE(c.name);
        auto *control = dialog.findChild<QWidget *>(QLatin1String(c.name));
        ASSERT_NE(control, nullptr);
        const QString text =
            c.text ? QString::fromLatin1(c.text) : stringResource(kStringConnectionSafety);
        if (auto *label = qobject_cast<QLabel *>(control)) {
            EXPECT_EQ(label->text(), text);
        } else {
            EXPECT_EQ(qobject_cast<QPushButton *>(control)->text(), text);
        }
        const QRect r = control->geometry();
        EXPECT_EQ(r.topLeft(), QPoint(px(c.left, dx), px(c.top, dy)));
        // Never smaller than designed; larger only as far as its text needs.
        EXPECT_GE(r.width(), px(c.width, dx));
        EXPECT_GE(r.height(), px(c.height, dy));
        EXPECT_LE(r.width(), std::max(px(c.width, dx), control->sizeHint().width()));
        EXPECT_LE(r.height(), std::max(px(c.height, dy), control->sizeHint().height()));
        EXPECT_LE(r.right(), client.width());
        if (c.helpContext != 0) {
            EXPECT_EQ(control->property("helpContextId").toInt(), c.helpContext);
        }
    }

    auto *heading = dialog.findChild<QLabel *>(QStringLiteral("Label2"));
    EXPECT_TRUE(heading->font().bold());
    EXPECT_EQ(heading->font().pointSize(), 12);
    EXPECT_TRUE(heading->alignment() & Qt::AlignHCenter);
    auto *explanation = dialog.findChild<QLabel *>(QStringLiteral("Label1"));
    EXPECT_TRUE(explanation->wordWrap());
    // The whole explanation fits its design height.
    EXPECT_LE(explanation->heightForWidth(explanation->width()), explanation->height());

    // Tab order: Safe, Unsafe, Cancel, and round again.
    QPushButton *safe = button(dialog, "cmdSafe");
    EXPECT_EQ(safe->nextInFocusChain(), button(dialog, "cmdUnsafe"));
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
    const QPoint wanted = owner.frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - wanted.x()), 2);
    EXPECT_LE(std::abs(centre.y() - wanted.y()), 2);
}

} // namespace
} // namespace zelp::test
