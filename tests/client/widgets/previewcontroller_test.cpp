#include "client/widgets/previewcontroller.h"

#include "client/widgets/terminalview.h"
#include "telnethost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace zelp::test {
namespace {

using State = TelnetSession::State;

PreviewParams paramsFor(quint16 port) {
    PreviewParams params;
    params.host = QStringLiteral("127.0.0.1");
    params.port = QString::number(port);
    params.termType = "VT220";
    params.timeoutSeconds = 5;
    params.rows = 25;
    params.cols = 80;
    params.fontSize = 11;
    params.title = QStringLiteral("Stock control");
    return params;
}

bool screenShows(const TerminalView &view, const QString &text) {
    for (int row = 0; row < view.screen()->rows(); ++row) {
        if (view.screen()->rowText(row).contains(text)) {
            return true;
        }
    }
    return false;
}

TEST(PreviewController, TitlePageBeforeConnecting) {
    TerminalView view;
    PreviewController preview(&view);
    EXPECT_TRUE(view.isIdle());
    EXPECT_EQ(view.statusText(), QStringLiteral("Not connected"));
    PreviewParams params = paramsFor(23);
    params.rows = 30;
    params.cols = 100;
    preview.apply(params);
    EXPECT_EQ(view.title(), QStringLiteral("Stock control"));
    EXPECT_EQ(view.screen()->rows(), 30);
    EXPECT_EQ(view.screen()->columns(), 100);
    EXPECT_EQ(view.terminalFont().pointSize(), 11);
    EXPECT_EQ(preview.state(), State::Idle);
}

TEST(PreviewController, SessionWithATelnetHost) {
    TelnetHost host;
    ASSERT_TRUE(host.listen());
    TerminalView view;
    view.show();
    PreviewController preview(&view);
    QSignalSpy states(&preview, &PreviewController::stateChanged);

    preview.Connect(paramsFor(host.port()));
    EXPECT_EQ(view.statusText(), QStringLiteral("Connecting to 127.0.0.1:%1...").arg(host.port()));
    EXPECT_TRUE(preview.isConnected());
    ASSERT_TRUE(WaitUntil([&] { return preview.state() == State::Connected; }));
    EXPECT_FALSE(view.isIdle());
    EXPECT_EQ(view.screen()->rows(), 25);

    // The greeting lands on the screen, the terminal type reaches the host.
    EXPECT_TRUE(WaitUntil([&] { return screenShows(view, "Welcome to the test host"); }));
    EXPECT_EQ(view.screen()->rowText(0), QStringLiteral("Welcome to the test host"));
    EXPECT_TRUE(WaitUntil([&] { return !host.terminalType().isEmpty(); }));
    EXPECT_EQ(host.terminalType(), QByteArray("VT220"));

    // Keys typed in the view reach the host.
    QTest::keyClicks(&view, QStringLiteral("ls"));
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return host.typed().endsWith(QByteArray("ls\r", 4)); }));

    // So do the terminal's answers to the host's queries.
    host.send("\x1b[3;4H\x1b[6n");
    EXPECT_TRUE(WaitUntil([&] { return host.typed().contains("\x1b[3;4R"); }));

    preview.Disconnect();
    EXPECT_TRUE(WaitUntil([&] { return host.clientGone(); }));
    EXPECT_EQ(preview.state(), State::Closed);
    EXPECT_TRUE(view.isIdle());
    EXPECT_EQ(view.statusText(), QStringLiteral("Not connected"));
    ASSERT_GE(states.count(), 3);
    EXPECT_EQ(states[0][0].value<State>(), State::Connecting);
    EXPECT_EQ(states[1][0].value<State>(), State::Connected);
    EXPECT_EQ(states.last()[0].value<State>(), State::Closed);
}

TEST(PreviewController, ErrorsShowInTheView) {
    const quint16 free = TelnetHost::freePort();
    ASSERT_NE(free, 0);
    struct Case {
        QString host;
        QString port;
        QString status;
    };
    const Case cases[] = {
        {"127.0.0.1", QString::number(free),
         QStringLiteral("Unable to connect to 127.0.0.1:%1 - connection refused").arg(free)},
        {"", "", "Unable to connect - no host name is set"},
        {"127.0.0.1", "x23", "Unable to connect to 127.0.0.1 - \"x23\" is not a port number"},
    };
    for (const Case &c : cases) {
        TerminalView view;
        PreviewController preview(&view);
        PreviewParams params = paramsFor(0);
        params.host = c.host;
        params.port = c.port;
        preview.Connect(params);
        EXPECT_TRUE(WaitUntil([&] { return preview.state() == State::Failed; }))
            << c.status.toStdString();
        EXPECT_TRUE(view.isIdle());
        EXPECT_EQ(view.statusText().toStdString(), c.status.toStdString());
        EXPECT_EQ(view.title(), QStringLiteral("Stock control"));
        // No dialog came up for it.
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(PreviewController, HostHangingUpShowsWhy) {
    TelnetHost host;
    ASSERT_TRUE(host.listen());
    TerminalView view;
    PreviewController preview(&view);
    preview.Connect(paramsFor(host.port()));
    ASSERT_TRUE(WaitUntil([&] { return screenShows(view, "Welcome"); }));
    host.hangUp();
    EXPECT_TRUE(WaitUntil([&] { return preview.state() == State::Closed; }));
    EXPECT_TRUE(view.isIdle());
    EXPECT_EQ(view.statusText(),
              QStringLiteral("Connection closed by 127.0.0.1:%1").arg(host.port()));
}

TEST(PreviewController, ReconnectStartsOnAClearScreen) {
    TelnetHost host;
    ASSERT_TRUE(host.listen());
    TerminalView view;
    PreviewController preview(&view);
    preview.Connect(paramsFor(host.port()));
    ASSERT_TRUE(WaitUntil([&] { return screenShows(view, "Welcome"); }));
    TelnetHost second("Second host\r\n");
    ASSERT_TRUE(second.listen());
    preview.Connect(paramsFor(second.port()));
    EXPECT_FALSE(screenShows(view, "Welcome"));
    EXPECT_TRUE(WaitUntil([&] { return screenShows(view, "Second host"); }));
    EXPECT_TRUE(WaitUntil([&] { return host.clientGone(); }));
}

TEST(PreviewController, ViewGoingAwayEndsTheSession) {
    TelnetHost host;
    ASSERT_TRUE(host.listen());
    auto view = std::make_unique<TerminalView>();
    PreviewController preview(view.get());
    preview.Connect(paramsFor(host.port()));
    ASSERT_TRUE(WaitUntil([&] { return preview.state() == State::Connected; }));
    view.reset();
    EXPECT_EQ(preview.view(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return host.clientGone(); }));
    EXPECT_EQ(preview.state(), State::Closed);
    // Without a view nothing is shown, and nothing breaks.
    preview.apply(paramsFor(host.port()));
    preview.Connect(paramsFor(TelnetHost::freePort()));
    EXPECT_TRUE(WaitUntil([&] { return preview.state() == State::Failed; }));
}

} // namespace
} // namespace zelp::test
