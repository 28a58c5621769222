#include "ui/main/frmmain.h"
#include "ui/main/windowplacement.h"

#include "app/terminationsignal.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTest>

#include <csignal>

namespace zelp::test {
namespace {

TEST(TerminationSignal, ArrivesThroughTheEventLoopAndIsUninstalledAfter) {
    {
        TerminationSignal terminated;
        ASSERT_TRUE(terminated.installed());
        int received = 0;
        QObject::connect(&terminated, &TerminationSignal::received, [&] { ++received; });
        ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
        ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return received > 0; }, 5000));
        QTest::qWait(20);
        EXPECT_EQ(received, 1) << "signals that came together are one termination";
    }
    struct sigaction now {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST(SessionEnd, ClosesWithoutAQuestionAndRemembersTheOuterSize) {
    for (const int16_t reason : {kCloseBySessionEnd, kCloseByTaskList}) {
        ServiceScope services;
        QSettings settings(services.dir.filePath(QStringLiteral("settings.ini")),
                           QSettings::IniFormat);
        FrmMain w(&settings);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.resize(900, 600);
        const QRect outer = w.frameGeometry();
        ASSERT_NE(outer.size(), w.size()) << "the platform gives the window a frame";
        w.endSession(reason);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(services.messages.asked.empty());
        const WindowPlacement stored = Placement::read(settings, 0, 0);
        EXPECT_EQ(QSize(stored.width, stored.height), outer.size() * 15);
        // The next start opens the window at that outer size.
        FrmMain again(&settings);
        again.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
        EXPECT_EQ(again.frameGeometry().size(), outer.size());
    }
}

} // namespace
} // namespace zelp::test
