#include "telnethost.h"

#include <QTest>

namespace zelp::test {

namespace {
constexpr char kIac = char(255);
constexpr char kSb = char(250);
constexpr char kSe = char(240);
constexpr char kWill = char(251);
constexpr char kDo = char(253);
constexpr char kTtype = char(24);
} // namespace

TelnetHost::TelnetHost(QByteArray greeting) : greeting_(std::move(greeting)) {
    connect(&server_, &QTcpServer::newConnection, this, &TelnetHost::onConnection);
}

bool TelnetHost::listen() {
    return server_.listen(QHostAddress::LocalHost, 0);
}

quint16 TelnetHost::freePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void TelnetHost::onConnection() {
    QTcpSocket *socket = server_.nextPendingConnection();
    if (!socket || peer_) {
        delete socket;
        return;
    }
    peer_ = socket;
    accepted_ = true;
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        received_ += socket->readAll();
        const QByteArray agreed = QByteArray() + kIac + kWill + kTtype;
        if (!askedType_ && received_.contains(agreed)) {
            askedType_ = true;
            socket->write(QByteArray() + kIac + kSb + kTtype + char(1) + kIac + kSe);
        }
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] { gone_ = true; });
    socket->write(QByteArray() + kIac + kDo + kTtype + greeting_);
}

QByteArray TelnetHost::typed() const {
    QByteArray data;
    for (qsizetype i = 0; i < received_.size(); ++i) {
        const char c = received_[i];
        if (c != kIac) {
            data.append(c);
            continue;
        }
        if (i + 1 >= received_.size()) {
            break;
        }
        const char verb = received_[i + 1];
        if (verb == kIac) {
            data.append(kIac);
            i += 1;
        } else if (verb == kSb) {
            const qsizetype end = received_.indexOf(QByteArray() + kIac + kSe, i + 2);
            if (end < 0) {
                break;
            }
            i = end + 1;
        } else if (uchar(verb) >= 251) {
            i += 2;
        } else {
            i += 1;
        }
    }
    return data;
}

QByteArray TelnetHost::terminalType() const {
    const QByteArray start = QByteArray() + kIac + kSb + kTtype + char(0);
    const qsizetype from = received_.indexOf(start);
    if (from < 0) {
        return {};
    }
    const qsizetype end = received_.indexOf(QByteArray() + kIac + kSe, from);
    if (end < 0) {
        return {};
    }
    return received_.mid(from + start.size(), end - from - start.size());
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

bool WaitUntil(const std::function<bool()> &condition, int milliseconds) {
    return QTest::qWaitFor(condition, milliseconds);
}

} // namespace zelp::test
