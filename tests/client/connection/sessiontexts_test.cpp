#include "client/connection/sessiontexts.h"

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

namespace T = SessionTexts;

TEST(SessionTexts, PortSetting) {
    struct Case {
        QString text;
        std::optional<quint16> port;
    };
    const Case cases[] = {
        {"", 23},
        {"  ", 23},
        {"0", 23},
        {"23", 23},
        {" 2323 ", 2323},
        {"65535", 65535},
        {"65536", std::nullopt},
        {"-1", std::nullopt},
        {"telnet", std::nullopt},
        {"23x", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(T::ParsePort(c.text), c.port) << c.text.toStdString();
    }
}

TEST(SessionTexts, OneLineTexts) {
    struct Case {
        QString text;
        QString expected;
    };
    const QString where = T::HostPort("mainframe", 23);
    const Case cases[] = {
        {where, "mainframe:23"},
        {T::HostPort("::1", 2323), "[::1]:2323"},
        {T::NotConnected(), "Not connected"},
        {T::Connecting(where), "Connecting to mainframe:23..."},
        {T::NoHost(), "Unable to connect - no host name is set"},
        {T::InvalidPort("mainframe", " tel "),
         "Unable to connect to mainframe - \"tel\" is not a port number"},
        {T::ConnectFailed(where, QAbstractSocket::ConnectionRefusedError, "Connection refused"),
         "Unable to connect to mainframe:23 - connection refused"},
        {T::ConnectFailed(where, QAbstractSocket::HostNotFoundError, "Host not found"),
         "Unable to connect to mainframe:23 - host not found"},
        {T::ConnectFailed(where, QAbstractSocket::NetworkError, "Network unreachable"),
         "Unable to connect to mainframe:23 - network unreachable"},
        {T::ConnectFailed(where, QAbstractSocket::SocketAccessError, "Permission denied."),
         "Unable to connect to mainframe:23 - permission denied"},
        {T::ConnectFailed(where, QAbstractSocket::UnknownSocketError, ""),
         "Unable to connect to mainframe:23 - network error"},
        {T::TimedOut(where, 10), "Unable to connect to mainframe:23 - no answer within 10 seconds"},
        {T::TimedOut(where, 1), "Unable to connect to mainframe:23 - no answer within 1 second"},
        {T::Ended(where, QAbstractSocket::RemoteHostClosedError, {}),
         "Connection closed by mainframe:23"},
        {T::Ended(where, QAbstractSocket::NetworkError, "Connection reset by peer"),
         "Connection to mainframe:23 lost - connection reset by peer"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.text.toStdString(), c.expected.toStdString());
    }
}

} // namespace
} // namespace zelp::test
