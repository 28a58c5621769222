#include "replacebatch.h"

#include "osfiles.h"

#include <QFile>
#include <QFileInfo>

namespace zelp {

namespace {

ReplaceBatch *g_active = nullptr;

QString absolute(const QString &path) {
    return QFileInfo(path).absoluteFilePath();
}

// Why a watched target is not replaced, whether the change came before staging or after it.
QString changedByAnotherProgram() {
    return QStringLiteral("another program changed it while this run worked on it; it was left "
                          "as that program wrote it");
}

} // namespace

bool FileStamp::operator==(const FileStamp &o) const {
    return exists == o.exists && (!exists || (device == o.device && inode == o.inode &&
                                              size == o.size && modified == o.modified));
}

ReplaceBatch::ReplaceBatch() {
    if (!g_active) {
        g_active = this;
    }
}

ReplaceBatch::~ReplaceBatch() {
    for (const Staged &s : staged_) {
        QFile::remove(s.fresh);
    }
    if (g_active == this) {
        g_active = nullptr;
    }
}

ReplaceBatch *ReplaceBatch::active() {
    return g_active;
}

void ReplaceBatch::watch(const QString &path) {
    watch(path, FileStamp::of(path));
}

void ReplaceBatch::watch(const QString &path, const FileStamp &whenRead) {
    watched_.insert(absolute(path), whenRead);
}

void ReplaceBatch::markScratch(const QString &path) {
    scratch_.insert(absolute(path));
}

bool ReplaceBatch::isScratch(const QString &path) const {
    return scratch_.contains(absolute(path));
}

void ReplaceBatch::unmarkScratch(const QString &path) {
    scratch_.remove(absolute(path));
}

bool ReplaceBatch::stage(const QString &fresh, const QString &target, const QString &requested,
                         QString *error) {
    const QString key = absolute(target);
    const FileStamp now = FileStamp::of(target);
    const auto watched = watched_.constFind(key);
    if (watched != watched_.constEnd() && !(*watched == now)) {
        if (error) {
            *error = changedByAnotherProgram();
        }
        return false;
    }
    staged_.push_back({fresh, target, requested, now});
    return true;
}

std::vector<ReplaceBatch::Outcome> ReplaceBatch::commit() {
    std::vector<Staged> staged = std::move(staged_);
    staged_.clear();
    std::vector<Outcome> outcomes;
    outcomes.reserve(staged.size());
    QStringList fresh;
    for (const Staged &s : staged) {
        fresh << s.fresh;
    }
    const bool flushed = os::flushFileSystemsOf(fresh);
    QSet<QString> folders;
    for (const Staged &s : staged) {
        Outcome outcome{s.requested, false, {}};
        // A file system that reported an error has each of its files flushed on its own, so
        // that only those the error concerns fail.
        const QString flushError = flushed ? QString() : os::flushFile(s.fresh);
        if (!flushError.isEmpty()) {
            outcome.error = flushError;
        } else if (!(FileStamp::of(s.target) == s.expected)) {
            outcome.error = changedByAnotherProgram();
        } else if (const QString why = os::renameOver(s.fresh, s.target); !why.isEmpty()) {
            outcome.error = why;
        } else {
            outcome.ok = true;
            folders.insert(QFileInfo(s.target).absolutePath());
        }
        if (!outcome.ok) {
            QFile::remove(s.fresh);
        }
        watched_.remove(absolute(s.target));
        outcomes.push_back(std::move(outcome));
    }
    for (const QString &folder : folders) {
        os::flushFolder(folder);
    }
    return outcomes;
}

} // namespace zelp
