#include "client/connection/sessiontexts.h"
#include "client/connection/telnetprotocol.h"
#include "client/connection/telnetsession.h"

#include "telnethost.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

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
#define OECHO "\x01"
#define OSGA "\x03"
#define O31 "\x1f"
#define NOP "\xf1"
#define GA "\xf9"
#define DM "\xf2"
#define SEND "\x01"
#define SEND_TT IAC SB TT SEND IAC SE
#define WILL_TT IAC WILL TT
#define IS_VT220                                                                                   \
    IAC SB TT "\x00"                                                                               \
              "VT220" IAC SE

std::string shown(const QByteArray &data) {
    std::string out;
    for (const char c : data) {
        const auto code = uint8_t(c);
        out += code >= 32 && code < 127 ? std::string(1, c) : '<' + std::to_string(code) + '>';
    }
    return out;
}

#define B(literal) QByteArray(literal, sizeof(literal) - 1)

TEST(TelnetProtocol, SeparatesDataFromNegotiation) {
    const struct {
        const char *name;
        std::vector<QByteArray> feeds; // one call of feed each
        QByteArray screen, reply;      // all feeds together
    } cases[] = {
        {"IAC IAC is a literal 255", {"a" IAC IAC "b"}, "a" IAC "b", ""},
        {"IAC IAC split", {"a" IAC, IAC "b"}, "a" IAC "b", ""},
        {"DO TTYPE split after IAC", {"x" IAC, DO TT "y"}, "xy", WILL_TT},
        {"DO TTYPE split after the verb", {IAC DO, TT}, "", WILL_TT},
        {"SEND answers IS", {IAC DO TT, SEND_TT}, "", B(WILL_TT IS_VT220)},
        {"SEND split", {IAC DO TT, IAC, SB, TT, SEND, IAC, SE, "$ "}, "$ ", B(WILL_TT IS_VT220)},
        {"each SEND answered", {IAC DO TT, SEND_TT, SEND_TT}, "", B(WILL_TT IS_VT220 IS_VT220)},
        {"SEND before agreement", {SEND_TT}, "", ""},
        {"ECHO, SGA accepted", {IAC WILL OECHO IAC WILL OSGA}, "", IAC DO OECHO IAC DO OSGA},
        {"unknown DO refused", {IAC DO O31}, "", IAC WONT O31},
        {"DO ECHO refused: the host echoes", {IAC DO OECHO}, "", IAC WONT OECHO},
        {"unknown WILL refused", {B(IAC WILL "\x00")}, "", B(IAC DONT "\x00")},
        {"answered once", {IAC DO O31 IAC DO O31, IAC DO O31}, "", IAC WONT O31},
        {"confirmed refusals", {IAC DO O31, B(IAC DONT O31 IAC WONT "\x00")}, "", IAC WONT O31},
        {"DONT after agreement", {IAC DO TT IAC DONT TT IAC DONT TT}, "", WILL_TT IAC WONT TT},
        {"WONT ECHO after yes", {IAC WILL OECHO IAC WONT OECHO}, "", IAC DO OECHO IAC DONT OECHO},
        {"NOP, GA and DM vanish", {"a" IAC NOP "b" IAC GA "c" IAC DM}, "abc", ""},
        {"unknown SB dropped", {IAC SB "\x27\x01x" IAC IAC "y" IAC SE, "ok"}, "ok", ""},
        {"IAC SE alone vanishes", {"a" IAC SE "b"}, "ab", ""},
        {"a command inside SB ends it", {IAC SB TT "\x01" IAC DO O31, "z"}, "z", IAC WONT O31},
        {"8-bit data passes", {B("\xe9\x80\x00\xfe")}, B("\xe9\x80\x00\xfe"), ""},
    };
    for (const auto &c : cases) {
        TelnetProtocol protocol("VT220");
        QByteArray screen, reply;
        for (const QByteArray &feed : c.feeds) {
            const TelnetProtocol::Output out = protocol.feed(feed);
            screen += out.screen;
            reply += out.reply;
        }
        EXPECT_EQ(shown(screen), shown(c.screen)) << c.name;
        EXPECT_EQ(shown(reply), shown(c.reply)) << c.name;
    }
}

TEST(TelnetProtocol, OversizedSubNegotiationIsDroppedAndDataResumes) {
    TelnetProtocol protocol("VT100");
    protocol.feed(IAC DO TT);
    // A "SEND" buried in a flood must not be taken for a request.
    const auto out = protocol.feed(IAC SB TT "\x01" + QByteArray(100000, 'x') + IAC SE "after");
    EXPECT_EQ(out.screen, QByteArray("after"));
    EXPECT_TRUE(out.reply.isEmpty());
}

TEST(TelnetProtocol, TerminalTypeIsCleaned) {
    const std::pair<QByteArray, QByteArray> cases[] = {{" ANSI ", "ANSI"},
                                                       {"", "VT100"},
                                                       {IAC SE, "VT100"},
                                                       {"VT" IAC "100", "VT100"},
                                                       {QByteArray(60, 'X'), QByteArray(40, 'X')}};
    for (const auto &[given, sent] : cases) {
        TelnetProtocol protocol(given);
        const auto out = protocol.feed(IAC DO TT SEND_TT);
        EXPECT_EQ(shown(out.reply), shown(B(WILL_TT IAC SB TT "\x00") + sent + IAC SE));
    }
}

TEST(TelnetProtocol, RemoteEchoFollowsTheHostAndResetForgets) {
    TelnetProtocol protocol;
    EXPECT_FALSE(protocol.remoteEcho());
    protocol.feed(IAC WILL OECHO);
    EXPECT_TRUE(protocol.remoteEcho());
    protocol.feed(IAC WONT OECHO IAC WILL OECHO);
    protocol.reset();
    EXPECT_FALSE(protocol.remoteEcho());
    EXPECT_EQ(protocol.feed(IAC WILL OECHO).reply, QByteArray(IAC DO OECHO));
}

TEST(TelnetProtocol, EncodeDoublesIacAndPadsBareCarriageReturn) {
    const std::pair<QByteArray, QByteArray> cases[] = {{"a" IAC IAC "b", "a" IAC IAC IAC IAC "b"},
                                                       {"\r\n", "\r\n"},
                                                       {"a\rb", B("a\r\x00"
                                                                  "b")},
                                                       {"\r", B("\r\x00")},
                                                       {"\x1b[A", "\x1b[A"},
                                                       {"", ""}};
    for (const auto &[keys, wire] : cases) {
        EXPECT_EQ(shown(TelnetProtocol::encode(keys)), shown(wire)) << shown(keys);
    }
}

TEST(SessionTexts, PortsAndTexts) {
    const std::pair<QString, std::optional<quint16>> ports[] = {{"  ", 23},
                                                                {"0", 23},
                                                                {" 2323 ", 2323},
                                                                {"65535", 65535},
                                                                {"65536", std::nullopt},
                                                                {"-1", std::nullopt},
                                                                {"23x", std::nullopt}};
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
        {Ended(at, E::NetworkError, "Connection reset by peer"),
         "Connection to mainframe:23 lost - connection reset by peer"},
    };
    for (const auto &[text, expected] : texts) {
        EXPECT_EQ(text.toStdString(), expected.toStdString());
    }
}

TEST(TelnetSession, NegotiatesGreetsAndCarriesKeys) {
    TelnetHost host;
    ASSERT_TRUE(host.listen());
    TelnetSession session;
    QByteArray screen;
    QObject::connect(&session, &TelnetSession::received, [&](const QByteArray &d) { screen += d; });
    session.connectToHost("127.0.0.1", QString::number(host.port()), "VT220", 5);
    ASSERT_TRUE(WaitUntil([&] { return session.state() == TelnetSession::State::Connected; }));
    EXPECT_EQ(session.hostPort(), QStringLiteral("127.0.0.1:%1").arg(host.port()));
    EXPECT_TRUE(WaitUntil([&] { return screen.contains("Welcome to the test host"); }));
    EXPECT_FALSE(screen.contains(char(255))) << "the host's request never reaches the screen";
    EXPECT_TRUE(WaitUntil([&] { return host.terminalType() == "VT220"; }));
    session.send(QByteArray("ls\r" IAC));
    EXPECT_TRUE(WaitUntil([&] { return host.typed().endsWith(char(255)); }));
    EXPECT_EQ(host.typed(), B("ls\r\x00" IAC));
    EXPECT_TRUE(host.received().endsWith(IAC IAC)); // doubled on the wire
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
    EXPECT_EQ(session.state(), State::Connecting);
    EXPECT_TRUE(WaitUntil([&] { return session.state() == State::Failed; }, 4000));
    EXPECT_EQ(session.errorText(),
              QStringLiteral("Unable to connect to 127.0.0.1:23 - no answer within 1 second"));
    ASSERT_EQ(states.count(), 2);
    EXPECT_EQ(states[0][0].value<State>(), State::Connecting);
    EXPECT_EQ(states[1][0].value<State>(), State::Failed);
}

} // namespace
} // namespace zelp::test
