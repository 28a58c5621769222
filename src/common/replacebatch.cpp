#include "replacebatch.h"

#include "fileutil.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelp {

namespace {

ReplaceBatch *g_active = nullptr;

QByteArray native(const QString &path) {
    return QFile::encodeName(path);
}

QString absolute(const QString &path) {
    return QFileInfo(path).absoluteFilePath();
}

QString reasonOf(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// 0 or the errno of a failed flush of the file at path.
int flushFile(const QString &path) {
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int code = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return code;
}

// One flush per file system instead of one per file; false when a file system reported an
// error, which leaves the caller to find the files it concerns.
bool flushFileSystemsOf(const QStringList &files) {
    QSet<dev_t> done;
    bool ok = true;
    for (const QString &file : files) {
        struct stat st {};
        if (::stat(native(file).constData(), &st) != 0 || done.contains(st.st_dev)) {
            continue;
        }
        done.insert(st.st_dev);
        const int fd = ::open(native(file).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::syncfs(fd) != 0) {
            ok = false;
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    return ok;
}

void flushFolders(const QSet<QString> &folders) {
    for (const QString &folder : folders) {
        const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd); // the renames have happened; a folder that cannot flush changes nothing
            ::close(fd);
        }
    }
}

} // namespace

FileStamp FileStamp::of(const QString &path) {
    struct stat st {};
    FileStamp stamp;
    if (::stat(native(path).constData(), &st) == 0) {
        stamp = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    }
    return stamp;
}

bool FileStamp::operator==(const FileStamp &o) const {
    return exists == o.exists &&
           (!exists ||
            (device == o.device && inode == o.inode && size == o.size &&
             modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec));
}

ReplaceBatch::ReplaceBatch() {
    if (!g_active) {
        g_active = this;
    }
}

ReplaceBatch::~ReplaceBatch() {
    for (const Staged &s : staged_) {
        ::unlink(native(s.fresh).constData());
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
            *error = QStringLiteral("another program changed it while this run worked on it; "
                                    "it was left as that program wrote it");
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
    const bool flushed = flushFileSystemsOf(fresh);
    QSet<QString> folders;
    for (const Staged &s : staged) {
        Outcome outcome{s.requested, false, {}};
        // A file system that reported an error has each of its files flushed on its own, so
        // that only those the error concerns fail.
        const int flushError = flushed ? 0 : flushFile(s.fresh);
        if (flushError != 0) {
            outcome.error = reasonOf(flushError);
        } else if (!(FileStamp::of(s.target) == s.expected)) {
            outcome.error = QStringLiteral("another program changed it while this run worked on "
                                           "it; it was left as that program wrote it");
        } else if (::rename(native(s.fresh).constData(), native(s.target).constData()) != 0) {
            outcome.error = reasonOf(errno);
        } else {
            outcome.ok = true;
            folders.insert(QFileInfo(s.target).absolutePath());
        }
        if (!outcome.ok) {
            ::unlink(native(s.fresh).constData());
        }
        watched_.remove(absolute(s.target));
        outcomes.push_back(std::move(outcome));
    }
    flushFolders(folders);
    return outcomes;
}

} // namespace zelp
