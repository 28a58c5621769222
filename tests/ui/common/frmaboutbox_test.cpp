#include "ui/common/frmaboutbox.h"

#include "common/aboutboxlayout.h"
#include "common/appinfo.h"
#include "common/errors.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace zelp::test {
namespace {

int px(double twips, int dpi) {
    return qRound(twips * dpi / 1440.0);
}

TEST(FrmAboutBox, ShowsBannerReleaseAndVersion) {
    ServiceScope scope;
    FrmAboutBox box;
    EXPECT_TRUE(scope.errors.reports.empty());
    // What the window system receives: an empty title would be replaced by the program's
    // name, so the box sends one that shows nothing.
    box.winId();
    ASSERT_NE(box.windowHandle(), nullptr);
    EXPECT_FALSE(box.windowHandle()->title().isEmpty());
    EXPECT_TRUE(box.windowHandle()->title().trimmed().isEmpty());

    auto *release = box.findChild<QLabel *>(QStringLiteral("pnlRelease"));
    ASSERT_NE(release, nullptr);
    EXPECT_EQ(release->text(),
              QString::fromStdString(" Release " + AppInfo::releaseDesignation() + " (4.0.132) "));
    EXPECT_EQ(release->parentWidget()->objectName(), QStringLiteral("Frame1"));

    auto *ok = box.findChild<QPushButton *>(QStringLiteral("cmdOK"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());

    auto *image = box.findChild<QLabel *>(QStringLiteral("Image1"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixmap().size(), QSize(262, 82));

    // The frame and the window bottom move with the banner's height.
    const int dx = box.logicalDpiX();
    const int dy = box.logicalDpiY();
    const About::Layout l = About::layoutAboutBox(262 * 1440.0 / dx, 82 * 1440.0 / dy);
    EXPECT_EQ(image->geometry(),
              QRect(px(120, dx), px(120, dy), px(l.imageWidth, dx), px(l.imageHeight, dy)));
    auto *frame = box.findChild<QFrame *>(QStringLiteral("Frame1"));
    EXPECT_EQ(frame->geometry(),
              QRect(px(120, dx), px(l.frameTop, dy), px(4850, dx), px(4020, dy)));
    EXPECT_EQ(box.size(), QSize(px(l.clientWidth, dx), px(l.clientHeight, dy)));
    if (dx == 96 && dy == 96) {
        EXPECT_EQ(frame->y(), 96); // 1320 + 120 twips
        EXPECT_EQ(box.size(), QSize(336, 368));
    }
}

TEST(FrmAboutBox, EnterAndEscapeClose) {
    ServiceScope scope;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        FrmAboutBox box;
        bool closed = false;
        QTimer::singleShot(0, &box, [&] {
            QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, key);
            closed = !box.isVisible();
            if (!closed) {
                box.done(0);
            }
        });
        box.exec();
        EXPECT_TRUE(closed);
    }
}

TEST(FrmAboutBox, MissingBannerGoesToTheErrorHandler) {
    ServiceScope scope;
    const QString saved = FrmAboutBox::bannerResource();
    FrmAboutBox::setBannerResource(QStringLiteral(":/images/none.png"));

    scope.errors.answers = {int16_t{ChoiceIgnore}};
    {
        FrmAboutBox box;
        ASSERT_EQ(scope.errors.reports.size(), 1u);
        EXPECT_EQ(
            scope.errors.reports[0].rfind("Procedure:\tForm_Load (aboutbox)\r\nError:\t326\r\n", 0),
            0u);
        // The load goes on with the next step.
        EXPECT_EQ(box.findChild<QLabel *>(QStringLiteral("pnlRelease"))->text().left(9),
                  QStringLiteral(" Release "));
    }

    ErrHndlr::resetForTests();
    scope.errors.answers = {int16_t{ChoiceFail}};
    try {
        FrmAboutBox box;
        ADD_FAILURE() << "the load should have failed";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 326);
    }
    FrmAboutBox::setBannerResource(saved);
}

} // namespace
} // namespace zelp::test
