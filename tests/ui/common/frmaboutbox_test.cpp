#include "ui/common/frmaboutbox.h"

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
    EXPECT_TRUE(box.findChild<QPushButton *>(QStringLiteral("cmdOK"))->isDefault());
    EXPECT_EQ(box.findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().size(), QSize(262, 82));
    // The frame and the window bottom move with the banner's height (1320 + 120 twips).
    if (box.logicalDpiX() == 96 && box.logicalDpiY() == 96) {
        EXPECT_EQ(box.findChild<QFrame *>(QStringLiteral("Frame1"))->y(), 96);
        EXPECT_EQ(box.size(), QSize(336, 368));
    }
}

TEST(FrmAboutBox, EnterAndEscapeClose) {
    ServiceScope scope;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
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
        EXPECT_TRUE(closed) << key;
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
        EXPECT_TRUE(scope.errors.reports[0].starts_with(
            "Procedure:\tForm_Load (aboutbox)\r\nError:\t326\r\n"));
        // The load goes on with the next step.
        EXPECT_TRUE(box.findChild<QLabel *>(QStringLiteral("pnlRelease"))
                        ->text()
                        .startsWith(QStringLiteral(" Release ")));
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
