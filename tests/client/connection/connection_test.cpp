#include "client/connection/sessiontexts.h"
#include "client/connection/telnetprotocol.h"
#include "client/connection/telnetsession.h"

#include "telnethost.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>

namespace zelp::test {
namespace {

// Telnet codes as string pieces, so that a row reads like the bytes on the wire.
#define IAC "\xff"
#define DO "\xfd"
#define DONT "\xfe"
#define WILL "\xfb"
#define WONT "\xfc"
#define SB "\xfa"
#define SE "\xf0"
#define TT "\x18"
#define ECHO1 "\x01"
#define O31 "\x1f"
#define IS "\x00"
#define SEND_TT IAC SB TT "\x01" IAC SE
#define B(literal) QByteArray(literal, sizeof(literal) - 1)

TEST(TelnetProtocol, SeparatesDataFromNegotiation) {
    using Feeds = std::vector<QByteArray>; // one call of feed each
    const QByteArray isVt220 = B(IAC WILL TT IAC SB TT IS "VT220" IAC SE);
    // The name, the feeds, and all that the screen gets and all that goes back.
    const std::tuple<const char *, Feeds, QByteArray, QByteArray> cases[] = {
        {"IAC IAC split: a literal 255", {"a" IAC, IAC "b"}, "a" IAC "b", ""},
        {"DO TTYPE split after IAC", {"x" IAC, DO TT "y"}, "xy", IAC WILL TT},
        {"DO TTYPE split after the verb", {IAC DO, TT}, "", IAC WILL TT},
        {"SEND split", {IAC DO TT, IAC, SB, TT, "\x01", IAC, SE, "$ "}, "$ ", isVt220},
        {"each SEND answered", {IAC DO TT, SEND_TT, SEND_TT}, "", isVt220 + isVt220.mid(3)},
        {"SEND before agreement", {SEND_TT}, "", ""},
        {"ECHO, SGA accepted", {IAC WILL ECHO1 IAC WILL "\x03"}, "", IAC DO ECHO1 IAC DO "\x03"},
        {"DO ECHO refused: the host echoes", {IAC DO ECHO1}, "", IAC WONT ECHO1},
        {"unknown WILL refused", {B(IAC WILL IS)}, "", B(IAC DONT IS)},
        {"answered once", {IAC DO O31 IAC DO O31, IAC DO O31}, "", IAC WONT O31},
        {"confirmed refusals", {IAC DO O31, B(IAC DONT O31 IAC WONT IS)}, "", IAC WONT O31},
        {"DONT after agreement", {IAC DO TT IAC DONT TT IAC DONT TT}, "", IAC WILL TT IAC WONT TT},
        {"WONT ECHO after yes", {IAC WILL ECHO1 IAC WONT ECHO1}, "", IAC DO ECHO1 IAC DONT ECHO1},
        {"NOP, GA and DM vanish", {"a" IAC "\xf1", "b" IAC "\xf9", "c" IAC "\xf2"}, "abc", ""},
        {"unknown SB dropped", {IAC SB "\x27\x01x" IAC IAC "y" IAC SE, "ok"}, "ok", ""},
        {"IAC SE alone vanishes", {"a" IAC SE "b"}, "ab", ""},
        {"a command inside SB ends it", {IAC SB TT "\x01" IAC DO O31, "z"}, "z", IAC WONT O31},
        {"8-bit data passes", {B("\xe9\x80" IS "\xfe")}, B("\xe9\x80" IS "\xfe"), ""},
    };
    for (const auto &[name, feeds, screen, reply] : cases) {
        TelnetProtocol protocol("VT220");
        QByteArray toScreen, replied;
        for (const QByteArray &feed : feeds) {
            const TelnetProtocol::Output out = protocol.feed(feed);
            toScreen += out.screen;
            replied += out.reply;
        }
        EXPECT_EQ(toScreen, screen) << name;
        EXPECT_EQ(replied, reply) << name;
    }
    // A "SEND" buried in an oversized sub-negotiation is not taken for a request.
    TelnetProtocol protocol;
    protocol.feed(IAC DO TT);
    const auto out = protocol.feed(IAC SB TT "\x01" + QByteArray(100000, 'x') + IAC SE "after");
    EXPECT_EQ(out.screen, QByteArray("after"));
    EXPECT_TRUE(out.reply.isEmpty());
}

TEST(TelnetProtocol, TerminalTypeEchoAndEncode) {
    const std::pair<QByteArray, QByteArray> types[] = {{" ANSI ", "ANSI"},
                                                       {IAC SE, "VT100"},
                                                       {"VT" IAC "100", "VT100"},
                                                       {"", "VT100"},
                                                       {QByteArray(60, 'X'), QByteArray(40, 'X')}};
    for (const auto &[given, sent] : types) {
        TelnetProtocol protocol(given);
        EXPECT_EQ(protocol.terminalType(), sent);
        const auto out = protocol.feed(IAC DO TT SEND_TT);
        EXPECT_EQ(out.reply, B(IAC WILL TT IAC SB TT IS) + sent + IAC SE);
    }
    TelnetProtocol protocol;
    protocol.feed(IAC WILL ECHO1);
    EXPECT_TRUE(protocol.remoteEcho());
    protocol.feed(IAC WONT ECHO1);
    EXPECT_FALSE(protocol.remoteEcho());
    protocol.feed(IAC WILL ECHO1);
    protocol.reset();
    EXPECT_FALSE(protocol.remoteEcho());
    EXPECT_EQ(protocol.feed(IAC WILL ECHO1).reply, QByteArray(IAC DO ECHO1)) << "forgotten";

    const std::pair<QByteArray, QByteArray> keys[] = {{"a" IAC IAC "b", "a" IAC IAC IAC IAC "b"},
                                                      {"\r\n", "\r\n"},
                                                      {"a\rb", B("a\r" IS "b")},
                                                      {"\r", B("\r" IS)},
                                                      {"", ""}};
    for (const auto &[typed, wire] : keys) {
        EXPECT_EQ(TelnetProtocol::encode(typed), wire);
    }
}

TEST(SessionTexts, PortsAndTexts) {
    const std::pair<QString, std::optional<quint16>> ports[] = {
        {"  ", 23},           {"0", 23},
        {" 2323 ", 2323},     {"65536", std::nullopt},
        {"-1", std::nullopt}, {"23x", std::nullopt}};
    for (const auto &[text, port] : ports) {
        EXPECT_EQ(SessionTexts::ParsePort(text), port) << text.toStdString();
    }
    using namespace SessionTexts;
    using E = QAbstractSocket::SocketError;
    const QString at = HostPort("mainframe", 23), failed = "Unable to connect to mainframe:23 - ";
    const std::pair<QString, QString> texts[] = {
        {HostPort("::1", 2323), "[::1]:2323"},
        {InvalidPort("mainframe", " tel "),
         "Unable to connect to mainframe - \"tel\" is not a port number"},
        {ConnectFailed(at, E::HostNotFoundError, "Host not found"), failed + "host not found"},
        {ConnectFailed(at, E::NetworkError, "Network unreachable"), failed + "network unreachable"},
        {ConnectFailed(at, E::SocketAccessError, "Permission denied."),
         failed + "permission denied"},
        {ConnectFailed(at, E::UnknownSocketError, ""), failed + "network error"},
        {TimedOut(at, 10), failed + "no answer within 10 seconds"},
        {Ended(at, E::NetworkError, "Connection reset"),
         "Connection to mainframe:23 lost - connection reset"},
    };
    for (const auto &[text, expected] : texts) {
        EXPECT_EQ(text.toStdString(), expected.toStdString());
    }
}

// A socket whose connection attempt never gets an answer.
class SilentSocket : public QTcpSocket {
public:
    using QTcpSocket::QTcpSocket;
    void connectToHost(const QString &, quint16, OpenMode, NetworkLayerProtocol) override {
        setSocketState(QAbstractSocket::ConnectingState);
    }
};

TEST(TelnetSession, SilentHostTimesOut) {
    using State = TelnetSession::State;
    TelnetSession session;
    session.setSocketFactory([](QObject *parent) { return new SilentSocket(parent); });
    QSignalSpy states(&session, &TelnetSession::stateChanged);
    session.connectToHost("127.0.0.1", "", "VT100", 1);
    EXPECT_TRUE(WaitUntil([&] { return session.state() == State::Failed; }, 4000));
    EXPECT_EQ(session.errorText(),
              QStringLiteral("Unable to connect to 127.0.0.1:23 - no answer within 1 second"));
    ASSERT_EQ(states.count(), 2);
    EXPECT_EQ(states[0][0].value<State>(), State::Connecting);
    EXPECT_EQ(states[1][0].value<State>(), State::Failed);
}

TEST(TelnetSession, AHostThatFloodsWithRequestsButNeverReadsIsDropped) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    // Each request is answered, as the protocol wants.
    const QByteArray storm = QByteArray(IAC DO TT IAC DONT TT).repeated(1 << 20);
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *host = server.nextPendingConnection();
        host->setReadBufferSize(1);
        host->write(storm);
    });
    TelnetSession session;
    session.connectToHost("127.0.0.1", QString::number(server.serverPort()), "VT100", 5);
    EXPECT_TRUE(WaitUntil([&] { return session.state() == TelnetSession::State::Failed; }, 20000));
    EXPECT_EQ(session.errorText(),
              SessionTexts::NotReading(SessionTexts::HostPort("127.0.0.1", server.serverPort())));
}

} // namespace
} // namespace zelp::test
