#pragma once

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <functional>

namespace zelp::test {

// A small telnet host on 127.0.0.1 for one client: asks for the terminal type, greets, and
// keeps what the client sends.
class TelnetHost : public QObject {
    Q_OBJECT
public:
    explicit TelnetHost(QByteArray greeting = "Welcome to the test host\r\n");

    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server_.serverPort(); }
    // A port on 127.0.0.1 that nobody listens on (just bound and let go).
    static quint16 freePort();

    bool hasClient() const { return peer_ || gone_; }
    bool clientGone() const { return gone_; }
    // Everything the client sent, negotiation included.
    QByteArray received() const { return received_; }
    // The terminal type of the client's IS answer; empty until there is one.
    QByteArray terminalType() const;

    void send(const QByteArray &bytes);
    void hangUp(); // closes the connection from the host's side

private:
    QByteArray greeting_;
    QTcpServer server_;
    QPointer<QTcpSocket> peer_;
    QByteArray received_;
    bool gone_ = false;
};

// Runs the event loop until the condition holds or the time is up.
inline bool WaitUntil(const std::function<bool()> &condition, int milliseconds = 5000) {
    return QTest::qWaitFor(condition, milliseconds);
}

} // namespace zelp::test
