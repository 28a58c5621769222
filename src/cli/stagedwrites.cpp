#include "stagedwrites.h"

#include "batch.h"

#include "common/filereplace.h"
#include "common/workfiles.h"

#include <QFileInfo>
#include <QHash>

namespace zelp::cli {

void StagedWrites::watch(const QString &file) {
    watch(file, FileStamp::of(finalTarget(file)));
}

void StagedWrites::watch(const QString &file, const FileStamp &whenRead) {
    const QString target = finalTarget(file);
    const QString folder = QFileInfo(target).absolutePath();
    if (!cleaned_.contains(folder)) {
        removeStaleWorkFiles(folder);
        cleaned_.insert(folder);
    }
    replace_.watch(target, whenRead);
}

void StagedWrites::add(const QString &file, bool written, std::function<void()> done) {
    pending_.push_back({file, written, std::move(done)});
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
        if (p.written && failure != failures.constEnd()) {
            batch_.failed(p.file, QStringLiteral("unable to save: %1").arg(*failure));
        } else if (p.done) {
            p.done();
        }
    }
    pending_.clear();
}

} // namespace zelp::cli
