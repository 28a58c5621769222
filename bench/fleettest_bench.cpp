// "zelpdev2k-cli test" over a fleet: 300 connections, 200 to busybox telnetd (a banner, then
// quiet) and 100 to listeners that accept and never say a word, all on 127.0.0.1, spread over
// ports so that the limit of two connections per host and port is not what rules. Prints the
// wall time of each --jobs value against the time-out, the least a silent host can take.
// Usage: bench_fleettest [TIMEOUT] [JOBS...]   (defaults 5, then 16 and 100)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kAnswering = 200;
constexpr int kSilent = 100;
constexpr int kTelnetPorts = 25;
constexpr int kSilentPorts = 50;

bool run(const QStringList &args, QByteArray *err = nullptr, int *exitCode = nullptr) {
    QProcess p;
    p.start(QStringLiteral(ZELP_CLI), args);
    if (!p.waitForFinished(600000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (err) {
        *err = p.readAllStandardError();
    }
    if (exitCode) {
        *exitCode = p.exitCode();
    }
    return p.exitStatus() == QProcess::NormalExit;
}

quint16 freePort() {
    QTcpServer s;
    return s.listen(QHostAddress::LocalHost) ? s.serverPort() : 0;
}

bool waitListening(quint16 port) {
    for (int i = 0; i < 50; ++i) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(100)) {
            return true;
        }
        QThread::msleep(100);
    }
    return false;
}

// Files host0000.ats ... in the folder, each group of them set to one port.
bool makeGroup(const QString &dir, const QString &seed, int first, int count, quint16 port) {
    QStringList files;
    for (int i = first; i < first + count; ++i) {
        const QString f = QStringLiteral("%1/host%2.ats").arg(dir).arg(i, 4, 10, QChar(u'0'));
        if (!QFile::copy(seed, f)) {
            return false;
        }
        files << f;
    }
    int code = -1;
    return run(QStringList{"set", "--value", "sHostName=127.0.0.1", "--value",
                           QStringLiteral("sHostPort=%1").arg(port)} +
                   files,
               nullptr, &code) &&
           code == 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int timeout = args.isEmpty() ? 5 : args.first().toInt();
    QList<int> jobs;
    for (const QString &a : args.mid(1)) {
        jobs << a.toInt();
    }
    if (jobs.isEmpty()) {
        jobs = {16, 100};
    }
    const QString busybox = QStandardPaths::findExecutable(QStringLiteral("busybox"));
    if (busybox.isEmpty()) {
        std::fprintf(stderr, "busybox is not installed (busybox-static)\n");
        return 1;
    }
    QTemporaryDir work;
    const QString fleet = work.filePath(QStringLiteral("fleet"));
    const QString seed = work.filePath(QStringLiteral("seed.ats"));
    const QString login = work.filePath(QStringLiteral("login.sh"));
    QDir().mkpath(fleet);
    QFile script(login);
    if (!script.open(QIODevice::WriteOnly) ||
        script.write("#!/bin/sh\nprintf 'BENCH HOST\\r\\nready> '\nsleep 10\n") < 0) {
        return 1;
    }
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    if (!run({QStringLiteral("new"), seed})) {
        return 1;
    }

    std::vector<std::unique_ptr<QProcess>> telnetds;
    int made = 0;
    for (int i = 0; i < kTelnetPorts; ++i) {
        const quint16 port = freePort();
        auto d = std::make_unique<QProcess>();
        d->start(busybox, {"telnetd", "-F", "-b", QStringLiteral("127.0.0.1:%1").arg(port), "-l",
                           login, "-f", "/dev/null"});
        if (!waitListening(port) ||
            !makeGroup(fleet, seed, made, kAnswering / kTelnetPorts, port)) {
            std::fprintf(stderr, "telnetd on port %u did not come up\n", port);
            return 1;
        }
        made += kAnswering / kTelnetPorts;
        telnetds.push_back(std::move(d));
    }
    // The kernel completes the handshakes of a listener; nobody reads or writes.
    std::vector<std::unique_ptr<QTcpServer>> silent;
    for (int i = 0; i < kSilentPorts; ++i) {
        auto s = std::make_unique<QTcpServer>();
        if (!s->listen(QHostAddress::LocalHost) ||
            !makeGroup(fleet, seed, made, kSilent / kSilentPorts, s->serverPort())) {
            return 1;
        }
        made += kSilent / kSilentPorts;
        silent.push_back(std::move(s));
    }

    std::printf("%d connections (%d never answer) on 127.0.0.1, --timeout %d\n", made, kSilent,
                timeout);
    std::printf("%-12s %9s %12s  %s\n", "", "seconds", "x time-out", "summary");
    for (const int j : jobs) {
        QByteArray err;
        QElapsedTimer clock;
        clock.start();
        if (!run({"test", "--timeout", QString::number(timeout), "--jobs", QString::number(j),
                  fleet},
                 &err)) {
            return 1;
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        const QByteArray summary = err.trimmed().split('\n').last();
        std::printf("--jobs %-5d %9.2f %12.2f  %s\n", j, seconds, seconds / timeout,
                    summary.constData());
    }
    for (auto &d : telnetds) {
        d->kill();
        d->waitForFinished(5000);
    }
    return 0;
}
