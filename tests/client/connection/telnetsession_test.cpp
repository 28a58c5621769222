#include "client/connection/telnetsession.h"

#include "telnethost.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace zelp::test {
namespace {

using State = TelnetSession::State;

// A socket whose connection attempt never gets an answer.
class SilentSocket : public QTcpSocket {
public:
    using QTcpSocket::QTcpSocket;
    void connectToHost(const QString &, quint16, OpenMode, NetworkLayerProtocol) override {
        setSocketState(QAbstractSocket::ConnectingState);
    }
};

struct Connected {
    TelnetHost host;
    TelnetSession session;
    QByteArray screen;

    bool start(const QByteArray &type = "VT220") {
        QObject::connect(&session, &TelnetSession::received,
                         [this](const QByteArray &data) { screen += data; });
        if (!host.listen()) {
            return false;
        }
        session.connectToHost("127.0.0.1", QString::number(host.port()), type, 5);
        return WaitUntil([this] { return session.state() == State::Connected; });
    }
};

TEST(TelnetSession, NegotiatesGreetsAndCarriesKeys) {
    Connected c;
    ASSERT_TRUE(c.start("VT220"));
    EXPECT_EQ(c.session.hostPort(), QStringLiteral("127.0.0.1:%1").arg(c.host.port()));
    EXPECT_TRUE(WaitUntil([&] { return c.screen.contains("Welcome to the test host"); }));
    // The host's request never reaches the screen.
    EXPECT_FALSE(c.screen.contains(char(255)));
    EXPECT_TRUE(WaitUntil([&] { return !c.host.terminalType().isEmpty(); }));
    EXPECT_EQ(c.host.terminalType(), QByteArray("VT220"));

    c.session.send(QByteArray("ls\r") + char(255));
    EXPECT_TRUE(WaitUntil([&] { return c.host.typed().endsWith(char(255)); }));
    EXPECT_EQ(c.host.typed(), QByteArray("ls\r") + char(0) + char(255));
    // On the wire the 255 went doubled.
    EXPECT_TRUE(c.host.received().endsWith(QByteArray(2, char(255))));
}

TEST(TelnetSession, SilentHostTimesOut) {
    TelnetSession session;
    session.setSocketFactory([](QObject *parent) { return new SilentSocket(parent); });
    QSignalSpy states(&session, &TelnetSession::stateChanged);
    session.connectToHost("127.0.0.1", "", "VT100", 1);
    EXPECT_EQ(session.state(), State::Connecting);
    EXPECT_EQ(session.hostPort(), QStringLiteral("127.0.0.1:23"));
    EXPECT_TRUE(WaitUntil([&] { return session.state() == State::Failed; }, 4000));
    EXPECT_EQ(session.errorText(),
              QStringLiteral("Unable to connect to 127.0.0.1:23 - no answer within 1 second"));
    ASSERT_EQ(states.count(), 2);
    EXPECT_EQ(states[0][0].value<State>(), State::Connecting);
    EXPECT_EQ(states[1][0].value<State>(), State::Failed);
}

} // namespace
} // namespace zelp::test
