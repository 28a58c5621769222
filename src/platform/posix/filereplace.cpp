#include "posixfiles.h"

#include "common/filereplace.h"
#include "common/osfiles.h"
#include "common/replacebatch.h"
#include "common/workfiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelp {

namespace {

using os::reasonOf;

bool failWithErrno(QString *error) {
    return fail(error, reasonOf(errno));
}

// A fresh, empty file beside target; -1 with errno set when none can be made.
int createFresh(const QString &target, QString *freshPath) {
    const QFileInfo info(target);
    return createWorkFile(info.absolutePath(), info.fileName(), freshPath);
}

// Rewrites an existing file where it is. The space is reserved before the first byte changes.
bool rewriteInPlace(const QString &target, int64_t size, const FileFiller &fill, QString *error) {
    const int fd = ::open(native(target).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return failWithErrno(error);
    }
    if (size > 0) {
        const int reserved = ::posix_fallocate(fd, 0, size);
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            ::close(fd);
            return fail(error, reasonOf(reserved));
        }
    }
    const bool written = fill(fd) && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
    const int code = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        return fail(error, QStringLiteral("%1; the file was rewritten in place and may be damaged")
                               .arg(reasonOf(written ? errno : code)));
    }
    return true;
}

} // namespace

QString refusalFor(const struct stat &existing) {
    if (!S_ISREG(existing.st_mode)) {
        return QStringLiteral("it is not a regular file");
    }
    if (isWriteProtected(existing.st_mode)) {
        return QStringLiteral("the file is read-only");
    }
    return {};
}

bool keepModeOf(int fd, const struct stat &replaced) {
    if (::fchmod(fd, replaced.st_mode & 07777) != 0) {
        return false;
    }
    if (replaced.st_uid != ::geteuid() || replaced.st_gid != ::getegid()) {
        // Only a privileged caller can hand the file back to its owner; others keep theirs.
        (void)::fchown(fd, replaced.st_uid, replaced.st_gid);
    }
    return true;
}

bool writeAllBytes(int fd, const char *data, int64_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

namespace {

// Fills the fresh file open as fd and closes it; flushed unless a batch or a later step
// flushes it. False with *error set, the fresh file removed, on any failure.
bool fillFresh(int fd, const QString &fresh, const FileFiller &fill, const struct stat *old,
               bool flush, bool startWriteback, QString *error) {
    bool ok = fill(fd);
    if (ok && old) {
        ok = keepModeOf(fd, *old);
    }
    if (ok && startWriteback) {
        // The flush is the batch's; the writeback starts now so that it finds little to do.
        (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    } else if (ok && flush) {
        ok = ::fsync(fd) == 0;
    }
    const int code = errno;
    const bool closed = ::close(fd) == 0;
    if (!ok || !closed) {
        const int why = ok ? errno : code;
        ::unlink(native(fresh).constData());
        return fail(error, reasonOf(why));
    }
    return true;
}

} // namespace

bool replaceFile(const QString &path, int64_t size, const FileFiller &fill, QString *error) {
    if (path.isEmpty()) {
        return fail(error, QStringLiteral("no file name"));
    }
    const QString target = finalTarget(path);
    struct stat old {};
    const bool exists = ::stat(native(target).constData(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return failWithErrno(error);
    }
    if (const QString refusal = exists ? refusalFor(old) : QString(); !refusal.isEmpty()) {
        return fail(error, refusal);
    }
    if (exists && ::access(native(target).constData(), W_OK) != 0) {
        return failWithErrno(error);
    }

    QString fresh;
    const int fd = createFresh(target, &fresh);
    if (fd < 0) {
        if (exists && (errno == EACCES || errno == EPERM)) {
            return rewriteInPlace(target, size, fill, error);
        }
        return failWithErrno(error);
    }
    ReplaceBatch *batch = ReplaceBatch::active();
    const bool scratch = batch && batch->isScratch(target);
    const bool staged = batch && !scratch;
    if (!fillFresh(fd, fresh, fill, exists ? &old : nullptr, !scratch, staged, error)) {
        return false;
    }
    if (staged) {
        if (!batch->stage(fresh, target, path, error)) {
            ::unlink(native(fresh).constData());
            return false;
        }
        return true;
    }
    if (const QString why = os::renameOver(fresh, target); !why.isEmpty()) {
        ::unlink(native(fresh).constData());
        return fail(error, why);
    }
    if (!scratch) {
        os::flushFolder(QFileInfo(target).absolutePath());
    }
    return true;
}

} // namespace zelp
