#include "telnetsession.h"

#include "sessiontexts.h"

namespace zelp {

namespace {
constexpr int kDefaultTimeout = 10;
}

TelnetSession::TelnetSession(QObject *parent) : QObject(parent) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TelnetSession::onTimeout);
}

TelnetSession::~TelnetSession() {
    dropSocket();
}

void TelnetSession::connectToHost(const QString &host, const QString &port,
                                  const QByteArray &terminalType, int timeoutSeconds) {
    dropSocket();
    protocol_ = TelnetProtocol(terminalType);
    const QString name = host.trimmed();
    const std::optional<quint16> number = SessionTexts::ParsePort(port);
    if (name.isEmpty()) {
        hostPort_.clear();
        setState(State::Failed, SessionTexts::NoHost());
        return;
    }
    if (!number) {
        hostPort_ = name + QLatin1Char(':') + port.trimmed();
        setState(State::Failed, SessionTexts::InvalidPort(name, port));
        return;
    }
    hostPort_ = SessionTexts::HostPort(name, *number);
    timeoutSeconds_ = timeoutSeconds > 0 ? timeoutSeconds : kDefaultTimeout;

    QTcpSocket *socket = makeSocket_ ? makeSocket_(this) : new QTcpSocket(this);
    socket_ = socket;
    socket->setReadBufferSize(kMaxRead);
    connect(socket, &QTcpSocket::connected, this, &TelnetSession::onConnected);
    connect(socket, &QTcpSocket::readyRead, this, &TelnetSession::onReadyRead);
    connect(socket, &QTcpSocket::errorOccurred, this, &TelnetSession::onError);
    connect(socket, &QTcpSocket::disconnected, this, &TelnetSession::onDisconnected);

    setState(State::Connecting);
    timer_.start(timeoutSeconds_ * 1000);
    // The socket may fail at once; its error then arrives before this returns.
    socket->connectToHost(name, *number);
}

void TelnetSession::disconnectFromHost() {
    if (state_ == State::Connecting || state_ == State::Connected) {
        dropSocket();
        setState(State::Closed);
    }
}

void TelnetSession::send(const QByteArray &keys) {
    if (state_ == State::Connected && socket_ && !keys.isEmpty()) {
        write(TelnetProtocol::encode(keys));
    }
}

void TelnetSession::write(const QByteArray &bytes) {
    if (!socket_) {
        return;
    }
    if (socket_->bytesToWrite() + bytes.size() > kMaxUnsent) {
        dropSocket();
        setState(State::Failed, SessionTexts::NotReading(hostPort_));
        return;
    }
    socket_->write(bytes);
}

void TelnetSession::setState(State state, const QString &error) {
    if (state != State::Connecting) {
        timer_.stop();
    }
    // A second failure in a row is news too when its text differs.
    if (state_ != state || errorText_ != error) {
        state_ = state;
        errorText_ = error;
        Q_EMIT stateChanged(state);
    }
}

void TelnetSession::dropSocket() {
    timer_.stop();
    if (QTcpSocket *socket = socket_) {
        socket_.clear();
        // Signals of a socket that is let go never reach a later connection.
        socket->disconnect(this);
        socket->flush();
        socket->abort();
        socket->deleteLater();
    }
}

void TelnetSession::onConnected() {
    if (state_ == State::Connecting) {
        setState(State::Connected);
    }
}

void TelnetSession::onReadyRead() {
    if (!socket_) {
        return;
    }
    const QByteArray bytes = socket_->read(kMaxRead);
    const TelnetProtocol::Output out = protocol_.feed(bytes);
    if (!out.reply.isEmpty()) {
        write(out.reply);
    }
    if (!out.screen.isEmpty()) {
        Q_EMIT received(out.screen);
    }
}

void TelnetSession::onError(QAbstractSocket::SocketError error) {
    if (!socket_) {
        return;
    }
    const QString detail = socket_->errorString();
    const State was = state_;
    if (was == State::Connected) {
        // What the host sent before it went away still belongs on the screen.
        onReadyRead();
        if (!socket_) {
            return; // dropped meanwhile, with its own reason
        }
    }
    dropSocket();
    if (was == State::Connecting) {
        setState(State::Failed, SessionTexts::ConnectFailed(hostPort_, error, detail));
    } else if (was == State::Connected) {
        const bool closed = error == QAbstractSocket::RemoteHostClosedError;
        setState(closed ? State::Closed : State::Failed,
                 SessionTexts::Ended(hostPort_, error, detail));
    }
}

void TelnetSession::onDisconnected() {
    if (!socket_ || state_ != State::Connected) {
        return;
    }
    onReadyRead();
    if (!socket_) {
        return;
    }
    dropSocket();
    setState(State::Closed,
             SessionTexts::Ended(hostPort_, QAbstractSocket::RemoteHostClosedError, {}));
}

void TelnetSession::onTimeout() {
    if (state_ == State::Connecting) {
        dropSocket();
        setState(State::Failed, SessionTexts::TimedOut(hostPort_, timeoutSeconds_));
    }
}

} // namespace zelp
