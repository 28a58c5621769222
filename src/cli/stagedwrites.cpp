#include "stagedwrites.h"

#include "batch.h"

#include "common/filereplace.h"
#include "common/workfiles.h"

#include <QFileInfo>
#include <QHash>

namespace zelp::cli {

void StagedWrites::watch(const QString &file) {
    const QString target = finalTarget(file);
    watchTarget(target, FileStamp::of(target));
}

void StagedWrites::watch(const QString &file, const FileStamp &whenRead) {
    watchTarget(finalTarget(file), whenRead);
}

void StagedWrites::watchTarget(const QString &target, const FileStamp &whenRead) {
    const QString folder = QFileInfo(target).absolutePath();
    if (!cleaned_.contains(folder)) {
        removeStaleWorkFiles(folder);
        cleaned_.insert(folder);
    }
    replace_.watch(target, whenRead);
}

void StagedWrites::add(const QString &file, bool written, std::function<void()> done) {
    add(file, written, [this, file, done = std::move(done)](const std::optional<QString> &failure) {
        if (failure) {
            batch_->failed(file, QStringLiteral("unable to save: %1").arg(*failure));
        } else if (done) {
            done();
        }
    });
}

void StagedWrites::add(const QString &file, bool written, Outcome outcome) {
    pending_.push_back({file, written, std::move(outcome)});
    if (replace_.pending() >= kFilesPerCommit) {
        commit();
    }
}

void StagedWrites::commit() {
    QHash<QString, QString> failures;
    for (const ReplaceBatch::Outcome &o : replace_.commit()) {
        if (!o.ok) {
            failures.insert(o.path, o.error);
        }
    }
    for (const Pending &p : pending_) {
        const auto failure = failures.constFind(p.file);
        p.outcome(p.written && failure != failures.constEnd() ? std::optional(*failure)
                                                              : std::nullopt);
    }
    pending_.clear();
}

} // namespace zelp::cli
