#pragma once

#include "telnetprotocol.h"

#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace zelp {

// One test connection to a telnet host: connects with a time-out, negotiates, hands the
// host's data on for the screen and sends keys to the host.
class TelnetSession : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Connecting, Connected, Closed, Failed };
    Q_ENUM(State)

    // Makes the socket of each connection; tests hand in their own.
    using SocketFactory = std::function<QTcpSocket *(QObject *parent)>;

    explicit TelnetSession(QObject *parent = nullptr);
    ~TelnetSession() override;

    // Port empty or 0: 23; time-out 0 or less: 10 seconds. A connection still open is
    // dropped first. Ends in Connected, or in Failed with errorText.
    void connectToHost(const QString &host, const QString &port, const QByteArray &terminalType,
                       int timeoutSeconds);
    // Closes the connection (or the attempt); Closed with an empty errorText.
    void disconnectFromHost();
    // Sends keys to the host while connected; ignored otherwise.
    void send(const QByteArray &keys);

    State state() const { return state_; }
    // Why the connection failed or ended; empty after a disconnect asked for.
    QString errorText() const { return errorText_; }
    // "host:port" of the last connection asked for.
    QString hostPort() const { return hostPort_; }
    bool remoteEcho() const { return protocol_.remoteEcho(); }

    void setSocketFactory(SocketFactory factory) { makeSocket_ = std::move(factory); }

Q_SIGNALS:
    // The host's output for the screen, negotiation removed.
    void received(const QByteArray &data);
    void stateChanged(zelp::TelnetSession::State state);

private:
    // The most read from the host at a time, and the most waiting to go to it: a host that
    // floods the connection is read in steps, one that does not read is dropped.
    static constexpr qint64 kMaxRead = 64 * 1024;
    static constexpr qint64 kMaxUnsent = 256 * 1024;

    void setState(State state, const QString &error = {});
    void write(const QByteArray &bytes);
    void dropSocket();
    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onTimeout();

    TelnetProtocol protocol_;
    SocketFactory makeSocket_;
    QPointer<QTcpSocket> socket_;
    QTimer timer_;
    State state_ = State::Idle;
    QString errorText_;
    QString hostPort_;
    int timeoutSeconds_ = 0;
};

} // namespace zelp
