#include "convertplan.h"

#include "filelist.h"

#include "client/core/clientclasses.h"
#include "common/fileutil.h"
#include "common/replacebatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace zelp::cli {

namespace {

QString absolute(const QString &path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A file's identity on disk, so that two spellings of one file are seen as one.
QString identityOf(const QString &path) {
    const FileStamp stamp = FileStamp::of(path);
    return stamp.exists ? QStringLiteral("%1:%2").arg(stamp.device).arg(stamp.inode) : QString();
}

// The target of each source; the refusals of the sources that must not be converted.
ConvertPlan refuseClashes(std::vector<ConvertJob> jobs, std::vector<ConvertRefusal> refused) {
    QSet<QString> sourcePaths, sourceIds;
    QHash<QString, QStringList> byTarget; // letter case aside: such names clash elsewhere
    // A file named twice (by itself and in its folder) is one job.
    std::erase_if(jobs, [&, seen = QSet<QString>()](const ConvertJob &job) mutable {
        const QString key = absolute(job.source);
        if (seen.contains(key)) {
            return true;
        }
        seen.insert(key);
        return false;
    });
    for (const ConvertJob &job : jobs) {
        sourcePaths.insert(absolute(job.source));
        sourceIds.insert(identityOf(job.source));
        byTarget[absolute(job.target).toLower()] << job.source;
    }
    sourceIds.remove(QString());
    ConvertPlan plan;
    plan.refused = std::move(refused);
    for (ConvertJob &job : jobs) {
        const QStringList &same = byTarget.value(absolute(job.target).toLower());
        const QString id = identityOf(job.target);
        if (same.size() > 1) {
            QStringList others = same;
            others.removeOne(job.source);
            plan.refused.push_back(
                {job.source, QStringLiteral("it and %1 would both become %2; neither was "
                                            "converted, convert them one by one")
                                 .arg(others.join(QStringLiteral(", ")), job.target)});
        } else if ((sourcePaths.contains(absolute(job.target)) ||
                    (!id.isEmpty() && sourceIds.contains(id))) &&
                   !isCurrentConnection(job.target)) {
            // A 2000 file found on the way (an earlier run's output) is left alone, not
            // converted: it may be replaced like any other target.
            plan.refused.push_back(
                {job.source, QStringLiteral("its new file %1 would replace an original; nothing "
                                            "was written, choose a folder of its own")
                                 .arg(job.target)});
        } else {
            plan.jobs.push_back(std::move(job));
        }
    }
    return plan;
}

} // namespace

bool isCurrentConnection(const QString &path) {
    const auto classId = CompoundFile::readRootClassId(path);
    return classId && ClientClasses::safeModeOf(*classId).has_value();
}

ConvertPlan planInto(const QString &into, const QStringList &given) {
    const QString out = absolute(into);
    std::vector<ConvertJob> jobs;
    std::vector<ConvertRefusal> refused;
    for (const QString &arg : given) {
        if (!QFileInfo(arg).isDir()) {
            jobs.push_back(
                {arg, QDir(out).filePath(FileNameOf(arg, false) + QStringLiteral(".ats"))});
            continue;
        }
        const FileList found = collectFiles({arg}, true);
        for (const QString &line : found.errors) {
            refused.push_back({arg, line.mid(arg.size() + 2)}); // "ARG: why"
        }
        const QDir top(absolute(arg));
        for (const QString &file : found.files) {
            const QString relative = top.relativeFilePath(absolute(file));
            const QString folder = QFileInfo(relative).path();
            const QString name = FileNameOf(relative, false) + QStringLiteral(".ats");
            jobs.push_back({file, QDir(out).filePath(
                                      folder == QLatin1String(".") ? name : folder + u'/' + name)});
        }
    }
    return refuseClashes(std::move(jobs), std::move(refused));
}

ConvertPlan planOne(const QString &source, const QString &target) {
    return refuseClashes({{source, target}}, {});
}

} // namespace zelp::cli
