#include "client/connection/telnetprotocol.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <string>
#include <vector>

namespace zelp::test {
namespace {

using P = TelnetProtocol;

QByteArray bytes(std::initializer_list<int> codes) {
    QByteArray out;
    for (const int code : codes) {
        out.append(char(code));
    }
    return out;
}

std::string shown(const QByteArray &data) {
    std::string out;
    for (const char c : data) {
        const auto code = uint8_t(c);
        if (code >= 32 && code < 127) {
            out += c;
        } else {
            out += '<' + std::to_string(code) + '>';
        }
    }
    return out;
}

struct FeedCase {
    const char *name;
    std::vector<QByteArray> feeds; // one call of feed each
    QByteArray screen;             // everything the screen gets, all feeds together
    QByteArray reply;              // everything sent back, all feeds together
};

TEST(TelnetProtocol, SeparatesDataFromNegotiation) {
    const QByteArray ttypeSend = bytes({P::IAC, P::SB, 24, 1, P::IAC, P::SE});
    const QByteArray ttypeIs = bytes({P::IAC, P::SB, 24, 0}) + "VT220" + bytes({P::IAC, P::SE});
    const FeedCase cases[] = {
        {"plain text passes", {"login: "}, "login: ", {}},
        {"IAC IAC is a literal 255",
         {bytes({'a', P::IAC, P::IAC, 'b'})},
         bytes({'a', 255, 'b'}),
         {}},
        {"IAC IAC split across feeds",
         {bytes({'a', P::IAC}), bytes({P::IAC, 'b'})},
         bytes({'a', 255, 'b'}),
         {}},
        {"DO TTYPE is agreed to", {bytes({P::IAC, P::DO, 24})}, {}, bytes({P::IAC, P::WILL, 24})},
        {"DO TTYPE split after IAC",
         {bytes({'x', P::IAC}), bytes({P::DO, 24, 'y'})},
         "xy",
         bytes({P::IAC, P::WILL, 24})},
        {"DO TTYPE split after the verb",
         {bytes({P::IAC, P::DO}), bytes({24})},
         {},
         bytes({P::IAC, P::WILL, 24})},
        {"SB TTYPE SEND answers IS with the type",
         {bytes({P::IAC, P::DO, 24}), ttypeSend},
         {},
         bytes({P::IAC, P::WILL, 24}) + ttypeIs},
        {"SB TTYPE SEND split byte by byte",
         {bytes({P::IAC, P::DO, 24}), bytes({P::IAC}), bytes({P::SB}), bytes({24}), bytes({1}),
          bytes({P::IAC}), bytes({P::SE}), "$ "},
         "$ ",
         bytes({P::IAC, P::WILL, 24}) + ttypeIs},
        {"each SEND is answered",
         {bytes({P::IAC, P::DO, 24}), ttypeSend, ttypeSend},
         {},
         bytes({P::IAC, P::WILL, 24}) + ttypeIs + ttypeIs},
        {"SEND before the option was agreed is not answered", {ttypeSend}, {}, {}},
        {"WILL ECHO and WILL SGA are accepted",
         {bytes({P::IAC, P::WILL, 1, P::IAC, P::WILL, 3})},
         {},
         bytes({P::IAC, P::DO, 1, P::IAC, P::DO, 3})},
        {"unknown DO is refused with WONT",
         {bytes({P::IAC, P::DO, 31})},
         {},
         bytes({P::IAC, P::WONT, 31})},
        {"DO ECHO is refused: the host echoes, not we",
         {bytes({P::IAC, P::DO, 1})},
         {},
         bytes({P::IAC, P::WONT, 1})},
        {"unknown WILL is refused with DONT",
         {bytes({P::IAC, P::WILL, 0})},
         {},
         bytes({P::IAC, P::DONT, 0})},
        {"a repeated request is answered once",
         {bytes({P::IAC, P::DO, 31, P::IAC, P::DO, 31}), bytes({P::IAC, P::WILL, 1}),
          bytes({P::IAC, P::WILL, 1, P::IAC, P::DO, 24, P::IAC, P::DO, 24})},
         {},
         bytes({P::IAC, P::WONT, 31, P::IAC, P::DO, 1, P::IAC, P::WILL, 24})},
        {"the host's confirmation of a refusal is not answered",
         {bytes({P::IAC, P::DO, 31}), bytes({P::IAC, P::DONT, 31, P::IAC, P::WONT, 0})},
         {},
         bytes({P::IAC, P::WONT, 31})},
        {"DONT after agreement is confirmed once",
         {bytes({P::IAC, P::DO, 24, P::IAC, P::DONT, 24, P::IAC, P::DONT, 24})},
         {},
         bytes({P::IAC, P::WILL, 24, P::IAC, P::WONT, 24})},
        {"WONT ECHO after agreement is confirmed",
         {bytes({P::IAC, P::WILL, 1, P::IAC, P::WONT, 1})},
         {},
         bytes({P::IAC, P::DO, 1, P::IAC, P::DONT, 1})},
        {"NOP, go-ahead and data mark vanish",
         {bytes({'a', P::IAC, P::NOP, 'b', P::IAC, 249, 'c', P::IAC, 242})},
         "abc",
         {}},
        {"an unknown sub-negotiation is dropped",
         {bytes({P::IAC, P::SB, 39, 1, 'x', P::IAC, P::IAC, 'y', P::IAC, P::SE}), "ok"},
         "ok",
         {}},
        {"IAC SE outside a sub-negotiation vanishes", {bytes({'a', P::IAC, P::SE, 'b'})}, "ab", {}},
        {"a command inside a sub-negotiation ends it and counts",
         {bytes({P::IAC, P::SB, 24, 1, P::IAC, P::DO, 31}), "z"},
         "z",
         bytes({P::IAC, P::WONT, 31})},
        {"8-bit data other than 255 passes",
         {bytes({0xe9, 0x80, 0x00, 0xfe})},
         bytes({0xe9, 0x80, 0x00, 0xfe}),
         {}},
    };
    for (const FeedCase &c : cases) {
        TelnetProtocol protocol("VT220");
        QByteArray screen;
        QByteArray reply;
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
    protocol.feed(bytes({P::IAC, P::DO, 24}));
    // A "SEND" buried in a flood must not be taken for a request.
    const QByteArray flood =
        bytes({P::IAC, P::SB, 24, 1}) + QByteArray(100000, 'x') + bytes({P::IAC, P::SE}) + "after";
    const TelnetProtocol::Output out = protocol.feed(flood);
    EXPECT_EQ(out.screen, QByteArray("after"));
    EXPECT_TRUE(out.reply.isEmpty());
}

TEST(TelnetProtocol, TerminalTypeIsCleaned) {
    struct Case {
        QByteArray given;
        QByteArray sent;
    };
    const Case cases[] = {
        {"vt220", "vt220"},
        {" ANSI ", "ANSI"},
        {"", "VT100"},
        {bytes({P::IAC, P::SE}), "VT100"},
        {"VT" + bytes({P::IAC}) + "100", "VT100"},
        {QByteArray(60, 'X'), QByteArray(40, 'X')},
    };
    for (const Case &c : cases) {
        TelnetProtocol protocol(c.given);
        EXPECT_EQ(protocol.terminalType(), c.sent) << shown(c.given);
        const auto out =
            protocol.feed(bytes({P::IAC, P::DO, 24, P::IAC, P::SB, 24, 1, P::IAC, P::SE}));
        EXPECT_EQ(shown(out.reply), shown(bytes({P::IAC, P::WILL, 24, P::IAC, P::SB, 24, 0}) +
                                          c.sent + bytes({P::IAC, P::SE})));
    }
}

TEST(TelnetProtocol, RemoteEchoFollowsTheHost) {
    TelnetProtocol protocol;
    EXPECT_FALSE(protocol.remoteEcho());
    protocol.feed(bytes({P::IAC, P::WILL, 1}));
    EXPECT_TRUE(protocol.remoteEcho());
    protocol.feed(bytes({P::IAC, P::WONT, 1}));
    EXPECT_FALSE(protocol.remoteEcho());
    protocol.feed(bytes({P::IAC, P::WILL, 1}));
    protocol.reset();
    EXPECT_FALSE(protocol.remoteEcho());
    // After a reset the same request is answered again.
    EXPECT_EQ(protocol.feed(bytes({P::IAC, P::WILL, 1})).reply, bytes({P::IAC, P::DO, 1}));
}

TEST(TelnetProtocol, EncodeDoublesIacAndPadsBareCarriageReturn) {
    struct Case {
        QByteArray keys;
        QByteArray wire;
    };
    const Case cases[] = {
        {"ls", "ls"},
        {bytes({255}), bytes({255, 255})},
        {bytes({'a', 255, 255, 'b'}), bytes({'a', 255, 255, 255, 255, 'b'})},
        {"\r", bytes({'\r', 0})},
        {"\r\n", "\r\n"},
        {"a\rb", bytes({'a', '\r', 0, 'b'})},
        {"\x1b[A", "\x1b[A"},
        {{}, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(shown(TelnetProtocol::encode(c.keys)), shown(c.wire)) << shown(c.keys);
    }
}

} // namespace
} // namespace zelp::test
