#pragma once

#include <QAbstractSocket>
#include <QString>

#include <optional>

// The port setting and the one-line texts that say how a test connection stands.
namespace zelp::SessionTexts {

// Empty or 0 is the telnet port 23; nullopt when the text is no port number.
std::optional<quint16> ParsePort(const QString &text);
// "host:port", an IPv6 address in brackets.
QString HostPort(const QString &host, quint16 port);

QString NotConnected();
QString Connecting(const QString &hostPort);
QString NoHost();
QString InvalidPort(const QString &host, const QString &port);
// Why a connection could not be made, from the socket's error.
QString ConnectFailed(const QString &hostPort, QAbstractSocket::SocketError error,
                      const QString &detail);
QString TimedOut(const QString &hostPort, int seconds);
// Why an established connection ended without being asked to.
// Why the connection was dropped: the host sends requests but reads none of the answers.
QString NotReading(const QString &hostPort);
QString Ended(const QString &hostPort, QAbstractSocket::SocketError error, const QString &detail);

} // namespace zelp::SessionTexts
