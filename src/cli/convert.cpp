#include "batch.h"
#include "commands.h"
#include "convertplan.h"
#include "documentcommands.h"
#include "output.h"
#include "stagedwrites.h"
#include "stoprequest.h"

#include "common/filereplace.h"
#include "common/fileutil.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"
#include "common/replacebatch.h"
#include "common/workfiles.h"
#include "convert/conv97.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <unistd.h>

#include <cstdio>

namespace zelp::cli {

namespace {

using Result = ConversionReport::Result;

// Files are renamed into place this many at a time, after one flush of all of them.
constexpr qsizetype kFilesPerCommit = StagedWrites::kFilesPerCommit;

// Answers the converter's questions as the command line said: every overwrite question Yes
// with --yes, No without it. Notices are kept in the file's report, not printed here.
class ConvertAnswers : public MessageBoxService {
public:
    explicit ConvertAnswers(bool yes) : yes_(yes), previous_(messageBoxService()) {
        setMessageBoxService(this);
    }
    ~ConvertAnswers() override { setMessageBoxService(previous_); }
    int16_t showMessage(const QString &, int16_t style) override {
        if (Msg::buttonSet(style).buttons.size() > 1) {
            return yes_ ? Msg::Yes : Msg::No;
        }
        return Msg::OK;
    }

private:
    bool yes_;
    MessageBoxService *previous_;
};

QString oneLine(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String(" "));
}

ConversionReport reportOf(const ConvertJob &job, Result result, const QString &message) {
    ConversionReport report;
    report.source = job.source;
    report.target = job.target;
    report.result = result;
    report.message = message;
    return report;
}

// What Test alone can tell of a file that is no 97 file.
ConversionReport notConvertible(const ConvertJob &job) {
    const QFileInfo info(job.source);
    if (!info.exists()) {
        return reportOf(job, Result::Failed, QStringLiteral("Unable to open %1").arg(job.source));
    }
    if (!info.isFile()) {
        return reportOf(job, Result::Failed,
                        QStringLiteral("%1 is no regular file").arg(job.source));
    }
    if (isCurrentConnection(job.source)) {
        return reportOf(job, Result::Current,
                        QStringLiteral("it is already a Velmaris 2000 connection file"));
    }
    return reportOf(job, Result::Failed,
                    QStringLiteral("%1 is no Velmaris 97 connection file").arg(job.source));
}

// The report of a run as JSON Lines: a line per file, written as files are done, so that a run
// that is stopped or killed leaves a valid report of what it did.
class ReportFile {
public:
    bool open(const QString &path, QString *error) {
        file_.setFileName(path);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = file_.errorString();
            return false;
        }
        return true;
    }
    void add(const QJsonObject &line) {
        if (!file_.isOpen()) {
            return;
        }
        const QByteArray bytes = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
        failed_ = failed_ || file_.write(bytes) != bytes.size() || !file_.flush();
    }
    bool failed() const { return failed_; }
    QString errorString() const { return file_.errorString(); }

private:
    QFile file_;
    bool failed_ = false;
};

struct Tally {
    qsizetype converted = 0, skipped = 0, current = 0, failed = 0;

    void count(Result result) {
        switch (result) {
        case Result::Converted:
            ++converted;
            break;
        case Result::Skipped:
            ++skipped;
            break;
        case Result::Current:
            ++current;
            break;
        case Result::Failed:
            ++failed;
            break;
        }
    }
    QString line(qsizetype total, double seconds) const {
        return QStringLiteral("converted %1, skipped %2 (already there), left alone %3 (already "
                              "2000), failed %4 of %5 in %6 seconds")
            .arg(converted)
            .arg(skipped)
            .arg(current)
            .arg(failed)
            .arg(filesWord(total))
            .arg(seconds, 0, 'f', 3);
    }
    QJsonObject json(qsizetype total, double seconds) const {
        return {{QStringLiteral("files"), qint64(total)},
                {QStringLiteral("converted"), qint64(converted)},
                {QStringLiteral("skipped"), qint64(skipped)},
                {QStringLiteral("current"), qint64(current)},
                {QStringLiteral("failed"), qint64(failed)},
                {QStringLiteral("seconds"), seconds}};
    }
};

// One line on stderr for each file that was not converted.
void tell(const ConversionReport &r) {
    if (r.result == Result::Converted) {
        return;
    }
    const QString what = r.result == Result::Current ? QStringLiteral("already 2000, left alone")
                                                     : QString::fromLatin1(resultName(r.result));
    std::fprintf(stderr, "zelpdev2k-cli: %s: %s: %s\n", what.toLocal8Bit().constData(),
                 Output::terminalSafe(r.source).toLocal8Bit().constData(),
                 Output::terminalSafe(oneLine(r.message)).toLocal8Bit().constData());
}

// The conversions of a run: staged in a batch and renamed into place a few hundred at a time.
class ConvertRun {
public:
    ConvertRun(bool yes, ReportFile &report) : answers_(yes), report_(report) {
        converter_.setWorkFileMaker([this](const QString &folder) {
            QString path;
            const int fd = createWorkFile(folder, QStringLiteral("convert.ats"), &path);
            if (fd < 0) {
                return QString();
            }
            ::close(fd);
            batch_.markScratch(path);
            return path;
        });
    }

    void convert(const ConvertJob &job) {
        const QString folder = QFileInfo(job.target).absolutePath();
        if (!readyFolders_.contains(folder)) {
            // A run that was killed may have left work files here; theirs are of no use now.
            QDir().mkpath(folder);
            removeStaleWorkFiles(QFileInfo(finalTarget(job.target)).absolutePath());
            readyFolders_.insert(folder);
        }
        batch_.watch(finalTarget(job.target));
        ConversionReport r;
        if (!converter_.Test(job.source)) {
            r = notConvertible(job);
        } else {
            converter_.Convert(job.source, job.target);
            r = converter_.report();
            if (r.result == Result::Skipped) {
                r.message =
                    QStringLiteral("%1 is already there (--yes replaces it)").arg(job.target);
            }
        }
        pending_.push_back(std::move(r));
        if (batch_.pending() >= kFilesPerCommit) {
            commit();
        }
    }

    // Renames what is staged into place and reports every file since the last commit.
    void commit() {
        for (const ReplaceBatch::Outcome &o : batch_.commit()) {
            for (ConversionReport &r : pending_) {
                if (r.result == Result::Converted && r.target == o.path && !o.ok) {
                    r.result = Result::Failed;
                    r.message = QStringLiteral("Unable to move the converted file to %1 (%2)")
                                    .arg(r.target, o.error);
                }
            }
        }
        for (const ConversionReport &r : pending_) {
            tally.count(r.result);
            tell(r);
            report_.add(r.toJson());
        }
        pending_.clear();
    }

    Tally tally;

private:
    ReplaceBatch batch_;
    ConvertAnswers answers_;
    Conv97 converter_;
    ReportFile &report_;
    std::vector<ConversionReport> pending_;
    QSet<QString> readyFolders_;
};

// What a run would do, without writing anything.
Tally dryRun(const std::vector<ConvertJob> &jobs, bool yes) {
    Tally tally;
    Conv97 converter;
    for (const ConvertJob &job : jobs) {
        ConversionReport r =
            converter.Test(job.source) ? reportOf(job, Result::Converted, {}) : notConvertible(job);
        const bool exists = QFileInfo::exists(job.target);
        if (r.result == Result::Converted && exists && !yes) {
            r = reportOf(job, Result::Skipped,
                         QStringLiteral("%1 is already there (--yes replaces it)").arg(job.target));
        }
        tally.count(r.result);
        if (r.result == Result::Converted) {
            Output::print(
                QStringLiteral("would %1 %2 -> %3\n")
                    .arg(exists ? QStringLiteral("convert and replace") : QStringLiteral("convert"),
                         Output::terminalSafe(job.source), Output::terminalSafe(job.target)));
        } else {
            tell(r);
        }
    }
    return tally;
}

} // namespace

int runConvert(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "convert", args)) {
        return kUsage;
    }
    const bool yes = parser.isSet(QStringLiteral("yes"));
    const bool dry = parser.isSet(QStringLiteral("dry-run"));
    const QString into = parser.value(QStringLiteral("into"));
    const QString reportName = parser.value(QStringLiteral("report"));
    const QStringList given = parser.positionalArguments();
    const bool batch = parser.isSet(QStringLiteral("into"));
    if (batch ? given.isEmpty() : given.size() != 2) {
        return usageError("convert", QStringLiteral("OLD NEW, or --into DIR and OLD..., expected"));
    }
    const ConvertPlan plan = batch ? planInto(into, given) : planOne(given[0], given[1]);
    const qsizetype total = qsizetype(plan.jobs.size() + plan.refused.size());

    QElapsedTimer clock;
    clock.start();
    ReportFile report;
    QString why;
    if (!dry && !reportName.isEmpty() && !report.open(reportName, &why)) {
        return fail(QStringLiteral("unable to write the report %1: %2; nothing was converted")
                        .arg(reportName, why));
    }
    Tally refusals;
    for (const ConvertRefusal &r : plan.refused) {
        const ConversionReport refused = reportOf({r.source, {}}, Result::Failed, r.why);
        refusals.count(refused.result);
        tell(refused);
        report.add(refused.toJson());
    }

    Tally tally;
    int stopped = 0;
    if (dry) {
        tally = dryRun(plan.jobs, yes);
    } else {
        StopRequest stop;
        ConvertRun run(yes, report);
        const bool showProgress = ::isatty(STDERR_FILENO) == 1 && plan.jobs.size() > 1;
        qsizetype done = 0;
        for (const ConvertJob &job : plan.jobs) {
            if (StopRequest::requested()) {
                break;
            }
            if (showProgress) {
                std::fprintf(stderr, "\r[%lld/%lld] ", static_cast<long long>(++done),
                             static_cast<long long>(plan.jobs.size()));
                std::fflush(stderr);
            }
            run.convert(job);
        }
        run.commit();
        if (showProgress) {
            std::fputs("\r\033[K", stderr);
        }
        tally = run.tally;
        stopped = StopRequest::signal();
    }
    tally.failed += refusals.failed;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const qsizetype accounted = tally.converted + tally.skipped + tally.current + tally.failed;
    if (stopped) {
        fail(QStringLiteral("stopped by signal %1: %2 not looked at")
                 .arg(stopped)
                 .arg(filesWord(total - accounted)));
    }
    fail(QString(dry ? QStringLiteral("would be: ") : QString()) + tally.line(total, seconds));
    QJsonObject summary = tally.json(total, seconds);
    if (stopped) {
        summary.insert(QStringLiteral("stopped by signal"), stopped);
    }
    report.add({{QStringLiteral("summary"), summary}});
    if (report.failed()) {
        return fail(QStringLiteral("unable to write the report %1: %2")
                        .arg(reportName, report.errorString()));
    }
    if (stopped) {
        return 128 + stopped;
    }
    // A file skipped because its target is there was not converted either.
    const bool allDone = tally.failed == 0 && tally.skipped == 0;
    return allDone && (batch || tally.converted == 1) ? kOk : kFailed;
}

} // namespace zelp::cli
