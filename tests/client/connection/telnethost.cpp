#include "telnethost.h"

namespace zelp::test {

namespace {
const QByteArray kDoType("\xff\xfd\x18"), kWillType("\xff\xfb\x18"), kSe("\xff\xf0");
const QByteArray kSendType("\xff\xfa\x18\x01\xff\xf0"), kIsType("\xff\xfa\x18\x00", 4);
} // namespace

TelnetHost::TelnetHost(QByteArray greeting) : greeting_(std::move(greeting)) {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        QTcpSocket *socket = server_.nextPendingConnection();
        if (!socket || peer_ || gone_) {
            delete socket;
            return;
        }
        peer_ = socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            const bool asked = received_.contains(kWillType);
            received_ += socket->readAll();
            if (!asked && received_.contains(kWillType)) {
                socket->write(kSendType);
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this] { gone_ = true; });
        socket->write(kDoType + greeting_);
    });
}

quint16 TelnetHost::freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

QByteArray TelnetHost::terminalType() const {
    const qsizetype from = received_.indexOf(kIsType);
    const qsizetype end = received_.indexOf(kSe, from);
    return from < 0 || end < 0 ? QByteArray() : received_.mid(from + 4, end - from - 4);
}

void TelnetHost::send(const QByteArray &bytes) {
    if (peer_) {
        peer_->write(bytes);
    }
}

void TelnetHost::hangUp() {
    if (peer_) {
        peer_->disconnectFromHost();
    }
}

} // namespace zelp::test
