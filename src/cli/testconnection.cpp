#include "batch.h"
#include "commands.h"
#include "filelist.h"
#include "fleetcommands.h"
#include "output.h"

#include "client/connection/sessiontexts.h"
#include "client/connection/telnetsession.h"
#include "client/core/clientdocument.h"
#include "client/widgets/terminalscreen.h"
#include "common/ansi.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zelp::cli {

namespace {

// The host has said what it has to say once it has been quiet this long.
constexpr int kQuietMs = 500;
constexpr int kDefaultTimeoutSeconds = 10;
constexpr int kMaxTimeoutSeconds = 3600;
constexpr int kDefaultJobs = 16;
constexpr int kMaxJobs = 256;
// So that a fleet of one host does not hammer it.
constexpr int kPerHostPort = 2;

QString textOf(const ClientDocument &doc, const char *name) {
    return Ansi::toUnicode(formatValue(*doc.Settings()->value(name))).trimmed();
}

int numberOf(const ClientDocument &doc, const char *name) {
    const auto number = convertTo(ValueType::Int32, *doc.Settings()->value(name));
    return number ? std::get<int32_t>(*number) : 0;
}

// One file's test connection: connect, wait until the host is quiet or the time-out ends,
// keep what the screen shows.
class Probe : public QObject {
    Q_OBJECT
public:
    Probe(QString file, const ClientDocument &doc, int timeoutSeconds)
        : file_(std::move(file)), host_(textOf(doc, "sHostName")), port_(textOf(doc, "sHostPort")),
          termType_(textOf(doc, "sHostTermType").toLatin1()), timeout_(timeoutSeconds),
          screen_(numberOf(doc, "sNormRows"), numberOf(doc, "sNormCols")) {
        const std::optional<quint16> number = SessionTexts::ParsePort(port_);
        key_ = host_.toLower() + u':' + (number ? QString::number(*number) : port_);
        deadline_.setSingleShot(true);
        quiet_.setSingleShot(true);
        connect(&deadline_, &QTimer::timeout, this, [this] {
            timedOut_ = true;
            end();
        });
        connect(&quiet_, &QTimer::timeout, this, &Probe::end);
        connect(&session_, &TelnetSession::received, this, [this](const QByteArray &data) {
            screen_.feed(data);
            answerMs_ = clock_.elapsed();
            if (firstByteMs_ < 0) {
                firstByteMs_ = answerMs_;
            }
            quiet_.start(kQuietMs);
        });
        connect(&screen_, &TerminalScreen::answer, &session_, &TelnetSession::send);
        connect(&session_, &TelnetSession::stateChanged, this, [this](TelnetSession::State s) {
            if (s == TelnetSession::State::Connected) {
                connectMs_ = clock_.elapsed();
            } else if (s != TelnetSession::State::Connecting) {
                end();
            }
        });
    }

    const QString &file() const { return file_; }
    // "host:port" as the limit per host counts it.
    const QString &hostKey() const { return key_; }
    bool done() const { return done_; }

    void start() {
        clock_.start();
        deadline_.start(timeout_ * 1000);
        session_.connectToHost(host_, port_, termType_, timeout_);
        if (session_.state() != TelnetSession::State::Connecting &&
            session_.state() != TelnetSession::State::Connected) {
            // Failed at once (no host, a bad port); finished is still sent from the loop.
            QTimer::singleShot(0, this, &Probe::end);
        }
    }

    // Why the file failed, or empty when the host answered.
    QString failure() const {
        if (connectMs_ < 0) {
            return timedOut_ ? QStringLiteral("Unable to connect to %1 - no answer within %2 "
                                              "seconds")
                                   .arg(hostPort_)
                                   .arg(timeout_)
                             : error_;
        }
        if (ended_ == TelnetSession::State::Failed) {
            return error_; // dropped after connecting, with its own reason
        }
        if (firstByteMs_ < 0) {
            return QStringLiteral("connected to %1 in %2 ms, but the host %3")
                .arg(hostPort_)
                .arg(connectMs_)
                .arg(timedOut_ ? QStringLiteral("said nothing within %1 seconds").arg(timeout_)
                               : QStringLiteral("closed the connection without a word"));
        }
        return {};
    }

    QStringList screenLines() const {
        QStringList lines;
        for (int row = 0; row < screen_.rows(); ++row) {
            lines << screen_.rowText(row);
        }
        while (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast();
        }
        return lines;
    }

    QString firstLine() const {
        for (const QString &line : screenLines()) {
            if (!line.trimmed().isEmpty()) {
                return line.trimmed();
            }
        }
        return {};
    }

    QJsonObject json() const {
        QJsonObject o{
            {QStringLiteral("file"), file_},
            {QStringLiteral("host"), hostPort_},
            {QStringLiteral("reachable"), connectMs_ >= 0},
            {QStringLiteral("ok"), failure().isEmpty()},
        };
        if (!failure().isEmpty()) {
            o.insert(QStringLiteral("error"), failure());
        }
        if (connectMs_ >= 0) {
            o.insert(QStringLiteral("connectMs"), connectMs_);
        }
        if (firstByteMs_ >= 0) {
            o.insert(QStringLiteral("firstByteMs"), firstByteMs_);
            o.insert(QStringLiteral("answerMs"), answerMs_);
            o.insert(QStringLiteral("closedByHost"), closedByHost());
            o.insert(QStringLiteral("quiet"), !timedOut_);
            o.insert(QStringLiteral("firstLine"), firstLine());
            o.insert(QStringLiteral("screen"), QJsonArray::fromStringList(screenLines()));
        }
        return o;
    }

    // The single file's report: how it went, then the screen between two rules.
    QString report() const {
        return QStringLiteral("Connected to %1 in %2 ms; the host's last output came after %3 "
                              "ms%4.\n----\n%5\n----\n")
            .arg(Output::terminalSafe(hostPort_))
            .arg(connectMs_)
            .arg(answerMs_)
            .arg(closedByHost() ? QStringLiteral(", then it closed the connection")
                 : timedOut_    ? QStringLiteral(" and it was still talking at the time-out")
                                : QString())
            .arg(safeLines().join(u'\n'));
    }

    // One line of a fleet's report.
    QString line() const {
        return QStringLiteral("%1: reached %2 in %3 ms, first byte after %4 ms: %5\n")
            .arg(Output::terminalSafe(file_), Output::terminalSafe(hostPort_))
            .arg(connectMs_)
            .arg(firstByteMs_)
            .arg(Output::terminalSafe(firstLine()));
    }

Q_SIGNALS:
    void finished();

private:
    bool closedByHost() const { return ended_ == TelnetSession::State::Closed; }

    QStringList safeLines() const {
        QStringList lines = screenLines();
        for (QString &l : lines) {
            l = Output::terminalSafe(l);
        }
        return lines;
    }

    void end() {
        if (done_) {
            return;
        }
        done_ = true;
        deadline_.stop();
        quiet_.stop();
        ended_ = session_.state();
        hostPort_ = session_.hostPort();
        error_ = session_.errorText();
        session_.disconnectFromHost();
        Q_EMIT finished();
    }

    QString file_;
    QString host_;
    QString port_;
    QByteArray termType_;
    int timeout_ = 0;
    QString key_;
    TelnetSession session_;
    TerminalScreen screen_;
    QTimer deadline_;
    QTimer quiet_;
    QElapsedTimer clock_;
    qint64 connectMs_ = -1;
    qint64 firstByteMs_ = -1;
    qint64 answerMs_ = -1;
    bool timedOut_ = false;
    // The session's state when the probe ended.
    TelnetSession::State ended_ = TelnetSession::State::Idle;
    bool done_ = false;
    QString hostPort_;
    QString error_;
};

struct TestArgs {
    FileList list;
    int timeout = 0; // 0: each file's own
    int jobs = kDefaultJobs;
    bool json = false;
};

std::optional<int> boundedNumber(const QCommandLineParser &parser, const char *name, int low,
                                 int high) {
    bool ok = false;
    const int n = parser.value(QString::fromLatin1(name)).toInt(&ok);
    return ok && n >= low && n <= high ? std::optional(n) : std::nullopt;
}

// nullopt after a usage error.
std::optional<TestArgs> parseTest(const QStringList &args) {
    QCommandLineParser parser;
    std::optional<FileList> list = parseFiles(parser, "test", args);
    if (!list) {
        return std::nullopt;
    }
    TestArgs a{std::move(*list), 0, kDefaultJobs, parser.isSet(QStringLiteral("json"))};
    if (parser.isSet(QStringLiteral("timeout"))) {
        const auto n = boundedNumber(parser, "timeout", 1, kMaxTimeoutSeconds);
        if (!n) {
            usageError("test",
                       QStringLiteral("--timeout takes 1 to %1 seconds").arg(kMaxTimeoutSeconds));
            return std::nullopt;
        }
        a.timeout = *n;
    }
    if (parser.isSet(QStringLiteral("jobs"))) {
        const auto n = boundedNumber(parser, "jobs", 1, kMaxJobs);
        if (!n) {
            usageError("test", QStringLiteral("--jobs takes 1 to %1").arg(kMaxJobs));
            return std::nullopt;
        }
        a.jobs = *n;
    }
    return a;
}

// A file of the run; one that does not load has no probe.
struct Entry {
    QString file;
    QString loadError;
    std::unique_ptr<Probe> probe;
};

// Every file in argument order.
std::vector<Entry> entriesOf(const TestArgs &a) {
    std::vector<Entry> entries;
    entries.reserve(size_t(a.list.files.size()));
    for (const QString &file : a.list.files) {
        QString error;
        const auto doc = ClientDocument::load(file, &error);
        Entry e{file, {}, nullptr};
        if (!doc) {
            e.loadError = QStringLiteral("no connection file: %1").arg(error);
        } else {
            int timeout = a.timeout;
            if (timeout == 0) {
                const int own = numberOf(*doc, "sConnectTimeout");
                timeout = own > 0 ? std::min(own, kMaxTimeoutSeconds) : kDefaultTimeoutSeconds;
            }
            e.probe = std::make_unique<Probe>(file, *doc, timeout);
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

// Results are printed in argument order as soon as all before them are done.
struct Results {
    const std::vector<Entry> &entries;
    const TestArgs &args;
    Batch &batch;
    size_t printed = 0;
    qsizetype reachable = 0;

    void printReady() {
        for (; printed < entries.size(); ++printed) {
            const Entry &e = entries[printed];
            if (e.probe && !e.probe->done()) {
                return;
            }
            print(e);
        }
    }

    void print(const Entry &e) {
        batch.step();
        const QString why = e.probe ? e.probe->failure() : e.loadError;
        if (args.json) {
            const QJsonObject o = e.probe ? e.probe->json()
                                          : QJsonObject{{QStringLiteral("file"), e.file},
                                                        {QStringLiteral("ok"), false},
                                                        {QStringLiteral("error"), why}};
            Output::printJson(o);
        }
        if (!why.isEmpty()) {
            batch.failed(e.file, why);
            return;
        }
        ++reachable;
        if (!args.json) {
            Output::print(args.list.many ? e.probe->line() : e.probe->report());
        }
    }
};

// Runs the probes, at most jobs at once and kPerHostPort to one host and port; after each one
// ends, finished is called.
void runProbes(std::vector<Entry> &entries, int jobs, const std::function<void()> &finished) {
    QEventLoop loop;
    std::deque<Probe *> waiting;
    QHash<QString, int> perHost;
    int running = 0;
    for (Entry &e : entries) {
        if (e.probe) {
            waiting.push_back(e.probe.get());
        }
    }
    std::function<void()> startMore = [&] {
        for (auto it = waiting.begin(); it != waiting.end() && running < jobs;) {
            Probe *p = *it;
            if (perHost.value(p->hostKey()) >= kPerHostPort) {
                ++it;
                continue;
            }
            it = waiting.erase(it);
            ++running;
            ++perHost[p->hostKey()];
            // Queued: a probe that fails at once must not restart this walk from inside it.
            QObject::connect(
                p, &Probe::finished, &loop,
                [&, p] {
                    --running;
                    --perHost[p->hostKey()];
                    finished();
                    startMore();
                    if (running == 0 && waiting.empty()) {
                        loop.quit();
                    }
                },
                Qt::QueuedConnection);
            p->start();
        }
    };
    startMore();
    if (running > 0) {
        loop.exec();
    }
}

} // namespace

int runTest(const QStringList &args) {
    const std::optional<TestArgs> a = parseTest(args);
    if (!a) {
        return kUsage;
    }
    Batch batch(a->list);
    std::vector<Entry> entries = entriesOf(*a);
    Results results{entries, *a, batch};
    results.printReady();
    runProbes(entries, a->jobs, [&results] { results.printReady(); });
    results.printReady();
    return batch.finish(
        QStringLiteral("%1 of %2 hosts answered").arg(results.reachable).arg(a->list.files.size()));
}

} // namespace zelp::cli

#include "testconnection.moc"
