#include "batch.h"
#include "commands.h"
#include "convertplan.h"
#include "documentcommands.h"
#include "output.h"
#include "stagedwrites.h"
#include "stoprequest.h"

#include "common/fileutil.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"
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

namespace zelp::cli {

namespace {

using Result = ConversionReport::Result;

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

// Why a file whose target exists was skipped, in a run and in a dry run alike.
QString alreadyThere(const ConvertJob &job) {
    return QStringLiteral("%1 is already there (--yes replaces it)").arg(job.target);
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

// One line on stderr for each file that was not converted, clear of the progress counter when
// there is one.
void tell(const ConversionReport &r, Batch *progress = nullptr) {
    if (r.result == Result::Converted) {
        return;
    }
    const QString what = r.result == Result::Current ? QStringLiteral("already 2000, left alone")
                                                     : QString::fromLatin1(resultName(r.result));
    const QString line = QStringLiteral("%1: %2: %3").arg(what, r.source, oneLine(r.message));
    if (progress) {
        progress->tell(line);
    } else {
        fail(line);
    }
}

// The conversions of a run: staged and renamed into place a few hundred at a time.
class ConvertRun {
public:
    ConvertRun(bool yes, ReportFile &report, Batch &progress)
        : answers_(yes), report_(report), progress_(progress) {
        converter_.setWorkFileMaker([this](const QString &folder) {
            QString path;
            const int fd = createWorkFile(folder, QStringLiteral("convert.ats"), &path);
            if (fd < 0) {
                return QString();
            }
            ::close(fd);
            staged_.markScratch(path);
            return path;
        });
    }

    void convert(const ConvertJob &job) {
        const QString folder = QFileInfo(job.target).absolutePath();
        if (!madeFolders_.contains(folder)) {
            QDir().mkpath(folder);
            madeFolders_.insert(folder);
        }
        staged_.watch(job.target);
        ConversionReport r;
        if (!converter_.Test(job.source)) {
            r = notConvertible(job);
        } else {
            converter_.Convert(job.source, job.target);
            r = converter_.report();
            if (r.result == Result::Skipped) {
                r.message = alreadyThere(job);
            }
        }
        const bool written = r.result == Result::Converted;
        staged_.add(job.target, written, [this, r](const std::optional<QString> &failure) {
            ConversionReport done = r;
            if (failure) {
                done.result = Result::Failed;
                done.message = QStringLiteral("Unable to move the converted file to %1 (%2)")
                                   .arg(done.target, *failure);
            }
            tally.count(done.result);
            tell(done, &progress_);
            report_.add(done.toJson());
        });
    }

    // Renames what is staged into place and reports every file since the last commit.
    void commit() { staged_.commit(); }

    Tally tally;

private:
    StagedWrites staged_;
    ConvertAnswers answers_;
    Conv97 converter_;
    ReportFile &report_;
    Batch &progress_;
    QSet<QString> madeFolders_;
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
            r = reportOf(job, Result::Skipped, alreadyThere(job));
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

struct ConvertArgs {
    bool yes = false;
    bool dry = false;
    bool many = false; // --into DIR OLD...
    QString into;
    QString reportName;
    QStringList given;
};

// nullopt after a usage error.
std::optional<ConvertArgs> parseConvert(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "convert", args)) {
        return std::nullopt;
    }
    ConvertArgs a{parser.isSet(QStringLiteral("yes")),    parser.isSet(QStringLiteral("dry-run")),
                  parser.isSet(QStringLiteral("into")),   parser.value(QStringLiteral("into")),
                  parser.value(QStringLiteral("report")), parser.positionalArguments()};
    if (a.many ? a.given.isEmpty() : a.given.size() != 2) {
        usageError("convert", QStringLiteral("OLD NEW, or --into DIR and OLD..., expected"));
        return std::nullopt;
    }
    return a;
}

// Converts the jobs until all are done or a signal stops the run, with a counter on a terminal;
// *stopped is that signal or 0.
Tally convertAll(const std::vector<ConvertJob> &jobs, bool yes, ReportFile &report, int *stopped) {
    StopRequest stop;
    Batch progress(qsizetype(jobs.size()), false); // the counter only: convert sums up itself
    ConvertRun run(yes, report, progress);
    for (const ConvertJob &job : jobs) {
        if (StopRequest::requested()) {
            break;
        }
        run.convert(job);
        progress.step();
    }
    run.commit();
    *stopped = StopRequest::signal();
    return run.tally;
}

// The summary on stderr and at the end of the report; gives the exit code.
int finishConvert(const ConvertArgs &a, const Tally &tally, qsizetype total, int stopped,
                  double seconds, ReportFile &report) {
    const qsizetype accounted = tally.converted + tally.skipped + tally.current + tally.failed;
    if (stopped) {
        fail(QStringLiteral("stopped by signal %1: %2 not looked at")
                 .arg(stopped)
                 .arg(filesWord(total - accounted)));
    }
    fail(QString(a.dry ? QStringLiteral("would be: ") : QString()) + tally.line(total, seconds));
    QJsonObject summary = tally.json(total, seconds);
    if (stopped) {
        summary.insert(QStringLiteral("stopped by signal"), stopped);
    }
    report.add({{QStringLiteral("summary"), summary}});
    if (report.failed()) {
        return fail(QStringLiteral("unable to write the report %1: %2")
                        .arg(a.reportName, report.errorString()));
    }
    if (stopped) {
        return 128 + stopped;
    }
    // A file skipped because its target is there was not converted either.
    const bool allDone = tally.failed == 0 && tally.skipped == 0;
    return allDone && (a.many || tally.converted == 1) ? kOk : kFailed;
}

} // namespace

int runConvert(const QStringList &args) {
    const std::optional<ConvertArgs> a = parseConvert(args);
    if (!a) {
        return kUsage;
    }
    const ConvertPlan plan =
        a->many ? planInto(a->into, a->given) : planOne(a->given[0], a->given[1]);
    QElapsedTimer clock;
    clock.start();
    ReportFile report;
    QString why;
    if (!a->dry && !a->reportName.isEmpty() && !report.open(a->reportName, &why)) {
        return fail(QStringLiteral("unable to write the report %1: %2; nothing was converted")
                        .arg(a->reportName, why));
    }
    for (const ConvertRefusal &r : plan.refused) {
        const ConversionReport refused = reportOf({r.source, {}}, Result::Failed, r.why);
        tell(refused);
        report.add(refused.toJson());
    }
    int stopped = 0;
    Tally tally =
        a->dry ? dryRun(plan.jobs, a->yes) : convertAll(plan.jobs, a->yes, report, &stopped);
    tally.failed += qsizetype(plan.refused.size());
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return finishConvert(*a, tally, qsizetype(plan.jobs.size() + plan.refused.size()), stopped,
                         seconds, report);
}

} // namespace zelp::cli
