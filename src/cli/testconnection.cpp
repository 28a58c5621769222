#include "commands.h"
#include "fleetcommands.h"
#include "output.h"

#include "client/connection/telnetsession.h"
#include "client/core/clientdocument.h"
#include "client/widgets/terminalscreen.h"
#include "common/ansi.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

namespace zelp::cli {

namespace {

// The host has said what it has to say once it has been quiet this long.
constexpr int kQuietMs = 500;
constexpr int kDefaultTimeoutSeconds = 10;
constexpr int kMaxTimeoutSeconds = 3600;

QString textOf(const ClientDocument &doc, const char *name) {
    return Ansi::toUnicode(formatValue(*doc.Settings()->value(name))).trimmed();
}

int numberOf(const ClientDocument &doc, const char *name) {
    const auto number = convertTo(ValueType::Int32, *doc.Settings()->value(name));
    return number ? std::get<int32_t>(*number) : 0;
}

} // namespace

int runTest(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "test", args)) {
        return kUsage;
    }
    if (parser.positionalArguments().size() != 1) {
        return usageError("test", QStringLiteral("one FILE expected"));
    }
    const QString file = parser.positionalArguments().first();
    int timeout = 0;
    if (parser.isSet(QStringLiteral("timeout"))) {
        bool ok = false;
        timeout = parser.value(QStringLiteral("timeout")).toInt(&ok);
        if (!ok || timeout < 1 || timeout > kMaxTimeoutSeconds) {
            return usageError(
                "test", QStringLiteral("--timeout takes 1 to %1 seconds").arg(kMaxTimeoutSeconds));
        }
    }
    QString error;
    const auto doc = ClientDocument::load(file, &error);
    if (!doc) {
        return fail(QStringLiteral("%1: no connection file: %2").arg(file, error));
    }
    if (timeout == 0) {
        const int own = numberOf(*doc, "sConnectTimeout");
        timeout = own > 0 ? std::min(own, kMaxTimeoutSeconds) : kDefaultTimeoutSeconds;
    }

    TelnetSession session;
    TerminalScreen screen(numberOf(*doc, "sNormRows"), numberOf(*doc, "sNormCols"));
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QTimer quiet;
    quiet.setSingleShot(true);
    QElapsedTimer clock;
    qint64 connectMs = -1;
    qint64 answerMs = -1;
    bool timedOut = false;
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&session, &TelnetSession::received, &loop, [&](const QByteArray &data) {
        screen.feed(data);
        answerMs = clock.elapsed();
        quiet.start(kQuietMs);
    });
    QObject::connect(&screen, &TerminalScreen::answer, &session, &TelnetSession::send);
    QObject::connect(&session, &TelnetSession::stateChanged, &loop,
                     [&](TelnetSession::State state) {
                         if (state == TelnetSession::State::Connected) {
                             connectMs = clock.elapsed();
                         } else if (state != TelnetSession::State::Connecting) {
                             loop.quit();
                         }
                     });
    clock.start();
    deadline.start(timeout * 1000);
    session.connectToHost(textOf(*doc, "sHostName"), textOf(*doc, "sHostPort"),
                          textOf(*doc, "sHostTermType").toLatin1(), timeout);
    if (session.state() == TelnetSession::State::Connecting ||
        session.state() == TelnetSession::State::Connected) {
        loop.exec();
    }
    const TelnetSession::State state = session.state();
    const QString hostPort = session.hostPort();
    session.disconnectFromHost();

    if (connectMs < 0) {
        return fail(QStringLiteral("%1: %2").arg(
            file, timedOut ? QStringLiteral("Unable to connect to %1 - no answer within %2 "
                                            "seconds")
                                 .arg(hostPort)
                                 .arg(timeout)
                           : session.errorText()));
    }
    if (answerMs < 0) {
        return fail(QStringLiteral("%1: connected to %2 in %3 ms, but the host %4")
                        .arg(file, hostPort)
                        .arg(connectMs)
                        .arg(timedOut
                                 ? QStringLiteral("said nothing within %1 seconds").arg(timeout)
                                 : QStringLiteral("closed the connection without a word")));
    }
    QStringList lines;
    for (int row = 0; row < screen.rows(); ++row) {
        lines << screen.rowText(row);
    }
    while (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    const bool closed = state == TelnetSession::State::Closed;
    if (parser.isSet(QStringLiteral("json"))) {
        Output::printJson(QJsonObject{
            {QStringLiteral("file"), file},
            {QStringLiteral("host"), hostPort},
            {QStringLiteral("connectMs"), connectMs},
            {QStringLiteral("answerMs"), answerMs},
            {QStringLiteral("closedByHost"), closed},
            {QStringLiteral("quiet"), !timedOut},
            {QStringLiteral("screen"), QJsonArray::fromStringList(lines)},
        });
        return kOk;
    }
    QString out = QStringLiteral("Connected to %1 in %2 ms; the host's last output came after "
                                 "%3 ms%4.\n")
                      .arg(hostPort)
                      .arg(connectMs)
                      .arg(answerMs)
                      .arg(closed     ? QStringLiteral(", then it closed the connection")
                           : timedOut ? QStringLiteral(" and it was still talking at the time-out")
                                      : QString());
    out += QStringLiteral("----\n") + lines.join(u'\n') + QStringLiteral("\n----\n");
    Output::print(out);
    return kOk;
}

} // namespace zelp::cli
