#include "sessiontexts.h"

#include <QCoreApplication>

namespace zelp::SessionTexts {

namespace {

constexpr quint16 kTelnetPort = 23;

QString tr(const char *text) {
    return QCoreApplication::translate("SessionTexts", text);
}

QString unable(const QString &where, const QString &why) {
    return tr("Unable to connect to %1 - %2").arg(where, why);
}

// Socket texts start in capitals and may end with a stop; ours go after a dash.
QString detailText(const QString &detail) {
    QString text = detail.trimmed();
    while (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    if (text.size() > 1 && text[0].isUpper() && text[1].isLower()) {
        text[0] = text[0].toLower();
    }
    return text.isEmpty() ? tr("network error") : text;
}

} // namespace

std::optional<quint16> ParsePort(const QString &text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return kTelnetPort;
    }
    bool ok = false;
    const uint value = trimmed.toUInt(&ok);
    if (!ok || value > 65535) {
        return std::nullopt;
    }
    return value == 0 ? kTelnetPort : quint16(value);
}

QString HostPort(const QString &host, quint16 port) {
    const QString shown =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shown + QLatin1Char(':') + QString::number(port);
}

QString NotConnected() {
    return tr("Not connected");
}

QString Connecting(const QString &hostPort) {
    return tr("Connecting to %1...").arg(hostPort);
}

QString NoHost() {
    return tr("Unable to connect - no host name is set");
}

QString InvalidPort(const QString &host, const QString &port) {
    return unable(host, tr("\"%1\" is not a port number").arg(port.trimmed()));
}

QString ConnectFailed(const QString &hostPort, QAbstractSocket::SocketError error,
                      const QString &detail) {
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return unable(hostPort, tr("host not found"));
    case QAbstractSocket::ConnectionRefusedError:
        return unable(hostPort, tr("connection refused"));
    case QAbstractSocket::NetworkError:
        return unable(hostPort, tr("network unreachable"));
    case QAbstractSocket::SocketTimeoutError:
        return unable(hostPort, tr("no answer"));
    default:
        return unable(hostPort, detailText(detail));
    }
}

QString TimedOut(const QString &hostPort, int seconds) {
    return unable(hostPort, seconds == 1 ? tr("no answer within 1 second")
                                         : tr("no answer within %1 seconds").arg(seconds));
}

QString NotReading(const QString &hostPort) {
    return tr("Connection to %1 dropped - the host does not read what is sent to it").arg(hostPort);
}

QString Ended(const QString &hostPort, QAbstractSocket::SocketError error, const QString &detail) {
    if (error == QAbstractSocket::RemoteHostClosedError) {
        return tr("Connection closed by %1").arg(hostPort);
    }
    return tr("Connection to %1 lost - %2").arg(hostPort, detailText(detail));
}

} // namespace zelp::SessionTexts
