#include "commands.h"
#include "documentcommands.h"

#include "common/fileutil.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"
#include "convert/conv97.h"

#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace zelp::cli {

namespace {

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
            return yes_ ? 6 : 7;
        }
        return 1;
    }

private:
    bool yes_;
    MessageBoxService *previous_;
};

struct Job {
    QString source;
    QString target;
};

QString oneLine(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String(" "));
}

// The files of a folder and its subfolders, in name order; hidden ones too, links followed.
QStringList filesUnder(const QString &folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) {
        files << it.next();
    }
    std::sort(files.begin(), files.end());
    return files;
}

ConversionReport convertOne(const Job &job) {
    Conv97 converter;
    if (!converter.Test(job.source)) {
        ConversionReport report;
        report.source = job.source;
        report.target = job.target;
        report.result = ConversionReport::Result::Failed;
        const QFileInfo info(job.source);
        report.message =
            !info.exists() ? QStringLiteral("Unable to open %1").arg(job.source)
            : !info.isFile()
                ? QStringLiteral("%1 is no regular file").arg(job.source)
                : QStringLiteral("%1 is no Velmaris 97 connection file").arg(job.source);
        return report;
    }
    converter.Convert(job.source, job.target);
    return converter.report();
}

} // namespace

int runConvert(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "convert", args)) {
        return kUsage;
    }
    const QString yes = QStringLiteral("yes");
    const QString into = QStringLiteral("into");
    const QString reportFile = QStringLiteral("report");
    const QStringList given = parser.positionalArguments();
    const bool batch = parser.isSet(into);
    std::vector<Job> jobs;
    if (!batch) {
        if (given.size() != 2) {
            return usageError("convert",
                              QStringLiteral("OLD NEW, or --into DIR and OLD..., expected"));
        }
        jobs.push_back({given[0], given[1]});
    } else {
        if (given.isEmpty()) {
            return usageError("convert",
                              QStringLiteral("OLD NEW, or --into DIR and OLD..., expected"));
        }
        const QString dir = parser.value(into);
        if (!QDir().mkpath(dir)) {
            return fail(QStringLiteral("unable to create the folder %1").arg(dir));
        }
        const QString folder = withTrailingSeparator(QDir(dir).absolutePath());
        for (const QString &old : given) {
            const QStringList sources = QFileInfo(old).isDir() ? filesUnder(old) : QStringList{old};
            for (const QString &source : sources) {
                jobs.push_back(
                    {source, folder + FileNameOf(source, false) + QStringLiteral(".ats")});
            }
        }
    }

    const bool showProgress = ::isatty(STDERR_FILENO) == 1;
    QElapsedTimer clock;
    clock.start();
    std::vector<ConversionReport> reports;
    reports.reserve(jobs.size());
    int converted = 0, skipped = 0, failed = 0;
    {
        ConvertAnswers answers(parser.isSet(yes));
        for (const Job &job : jobs) {
            if (showProgress) {
                std::fprintf(stderr, "\r[%zu/%zu] ", reports.size() + 1, jobs.size());
                std::fflush(stderr);
            }
            reports.push_back(convertOne(job));
            const ConversionReport &r = reports.back();
            switch (r.result) {
            case ConversionReport::Result::Converted:
                ++converted;
                continue;
            case ConversionReport::Result::Skipped:
                ++skipped;
                break;
            case ConversionReport::Result::Failed:
                ++failed;
                break;
            }
            std::fprintf(
                stderr, "%s%s: %s: %s%s\n", showProgress ? "\r" : "", resultName(r.result),
                r.source.toLocal8Bit().constData(), oneLine(r.message).toLocal8Bit().constData(),
                r.result == ConversionReport::Result::Skipped ? " (--yes overwrites)" : "");
        }
        if (showProgress) {
            std::fprintf(stderr, "\n");
        }
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("converted %d, skipped %d, failed %d of %zu files in %.3f seconds\n", converted,
                skipped, failed, jobs.size(), seconds);

    if (parser.isSet(reportFile)) {
        QJsonArray files;
        for (const ConversionReport &r : reports) {
            files.append(r.toJson());
        }
        const QJsonObject summary{{QStringLiteral("files"), qint64(jobs.size())},
                                  {QStringLiteral("converted"), converted},
                                  {QStringLiteral("skipped"), skipped},
                                  {QStringLiteral("failed"), failed},
                                  {QStringLiteral("seconds"), seconds}};
        const QJsonObject root{{QStringLiteral("summary"), summary},
                               {QStringLiteral("files"), files}};
        QString why;
        if (!WriteWholeFile(parser.value(reportFile), QJsonDocument(root).toJson(), true, &why)) {
            return fail(QStringLiteral("unable to write the report %1: %2")
                            .arg(parser.value(reportFile), why));
        }
    }
    // A single file that was not converted is a failure; in a batch a skipped file is not.
    return failed > 0 || (!batch && converted == 0) ? kFailed : kOk;
}

} // namespace zelp::cli
