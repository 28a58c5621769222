#include "posixfiles.h"

#include "common/filereplace.h"
#include "common/fileutil.h"
#include "common/osfiles.h"
#include "common/replacebatch.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace zelp {

namespace {

enum class Lookup { Exists, Missing, Failed };

// Distinguishes "no such file" from "cannot tell" (a folder that is not there, no access).
Lookup lookUp(const QString &path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0) {
        return Lookup::Exists;
    }
    if (errno != ENOENT) {
        return Lookup::Failed;
    }
    struct stat parent {};
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::stat(folder.constData(), &parent) != 0 || !S_ISDIR(parent.st_mode)) {
        return Lookup::Failed; // the path itself is not found
    }
    return Lookup::Missing;
}

// Copies source onto target through a fresh file beside target.
bool copyOver(const QString &source, const QString &target, QString *error) {
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (in < 0 || ::fstat(in, &st) != 0) {
        const int code = errno;
        if (in >= 0) {
            ::close(in);
        }
        return fail(error, os::reasonOf(code));
    }
    const bool copied = replaceFile(
        target, st.st_size,
        [&](int out) {
            char buffer[1 << 16];
            int64_t total = 0;
            for (;;) {
                const ssize_t n = ::read(in, buffer, sizeof buffer);
                if (n < 0 && errno == EINTR) {
                    continue;
                }
                if (n < 0) {
                    return false;
                }
                if (n == 0) {
                    break;
                }
                if (!writeAllBytes(out, buffer, n)) {
                    return false;
                }
                total += n;
            }
            if (total != st.st_size) {
                errno = EIO; // the source changed while it was copied
                return false;
            }
            return true;
        },
        error);
    ::close(in);
    return copied;
}

// Whether a file of that stat is regular and at most maxSize bytes; else *reason says why.
bool fitsLimit(const struct stat &st, qint64 maxSize, QString *reason) {
    if (!S_ISREG(st.st_mode)) {
        *reason = QStringLiteral("not a regular file");
        return false;
    }
    if (st.st_size > maxSize) {
        *reason = QStringLiteral("larger than %1 bytes").arg(maxSize);
        return false;
    }
    return true;
}

// Reads fd to its end, refusing (not cutting) more than maxSize bytes.
std::optional<QByteArray> readUpTo(int fd, qsizetype expected, qint64 maxSize, QString *reason) {
    QByteArray bytes(expected, Qt::Uninitialized);
    qsizetype done = 0;
    // One byte more than the limit allows: a file that grew is refused, not cut.
    while (done <= maxSize) {
        if (done == bytes.size()) {
            bytes.resize(std::min<qsizetype>(bytes.size() + 4096, maxSize + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *reason = os::reasonOf(errno);
            return std::nullopt;
        }
        if (n == 0) {
            bytes.truncate(done);
            return bytes;
        }
        done += n;
    }
    *reason = QStringLiteral("larger than %1 bytes").arg(maxSize);
    return std::nullopt;
}

} // namespace

bool FileExists(const QString &path) {
    return !path.isEmpty() && lookUp(path) == Lookup::Exists;
}

QByteArray ReadWholeFile(const QString &path) {
    // Decided before opening: a named pipe or a device would block or never end.
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        uint64_t(st.st_size) > uint64_t(std::numeric_limits<qsizetype>::max())) {
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const qint64 size = st.st_size;
    QByteArray bytes;
    try {
        bytes.resize(static_cast<qsizetype>(size));
    } catch (const std::bad_alloc &) {
        return {};
    }
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(bytes.data() + done, size - done);
        if (n <= 0) {
            return {};
        }
        done += n;
    }
    return bytes;
}

bool IsReadOnly(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && isWriteProtected(st.st_mode);
}

bool MakeWritable(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        return false;
    }
    return (st.st_mode & (S_IWUSR | S_IRUSR)) == (S_IWUSR | S_IRUSR) ||
           ::chmod(name.constData(), (st.st_mode & 07777) | S_IWUSR | S_IRUSR) == 0;
}

std::optional<QByteArray> ReadRegularFile(const QString &path, qint64 maxSize, QString *reason) {
    // Decided from stat() before opening, so that a device or a pipe is never read, and again
    // on the open descriptor in case the name was replaced in between.
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        *reason = os::reasonOf(errno);
        return std::nullopt;
    }
    if (!fitsLimit(st, maxSize, reason)) {
        return std::nullopt;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = os::reasonOf(errno);
        return std::nullopt;
    }
    std::optional<QByteArray> out;
    if (::fstat(fd, &st) != 0) {
        *reason = os::reasonOf(errno);
    } else if (fitsLimit(st, maxSize, reason)) {
        out = readUpTo(fd, qsizetype(st.st_size), maxSize, reason);
    }
    ::close(fd);
    return out;
}

QString NewWorkFileName(const QString &folder) {
    const QString base = withTrailingSeparator(folder);
    QString result;
    for (int attempt = 0; attempt < 999; ++attempt) {
        const int n = workFileCounter() + 1;
        const QString name = base + QStringLiteral("Work%1.ats").arg(n);
        // Taken by creating it, so that two programs never get the same name.
        const int fd = os::createExclusive(name);
        setWorkFileCounter(static_cast<int16_t>((workFileCounter() + 1) % 999));
        if (fd >= 0) {
            ::close(fd);
            result = name;
            break;
        }
    }
    return result;
}

bool MoveFileOver(const QString &source, const QString &requested, QString *error) {
    if (source.isEmpty() || requested.isEmpty() || !QFileInfo(source).isFile()) {
        return fail(error, QStringLiteral("there is no file to move"));
    }
    const QString target = finalTarget(requested);
    if (QFileInfo(source).absoluteFilePath() == QFileInfo(target).absoluteFilePath()) {
        return true;
    }
    // A target that is there must be one the caller may replace, as for every other write.
    struct stat old {};
    const QByteArray to = QFile::encodeName(target);
    if (::stat(to.constData(), &old) == 0) {
        const QString refusal = refusalFor(old);
        if (!refusal.isEmpty()) {
            return fail(error, refusal);
        }
        // The replaced file keeps its mode and, where the caller may, its owner.
        const int fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            keepModeOf(fd, old);
            ::close(fd);
        }
    }
    ReplaceBatch *batch = ReplaceBatch::active();
    if (batch && batch->isScratch(source) &&
        FileStamp::of(source).device == FileStamp::of(QFileInfo(target).absolutePath()).device) {
        // The batch flushes the work file and renames it when it commits.
        batch->unmarkScratch(source);
        return batch->stage(source, target, requested, error);
    }
    // rename() replaces the target in one step on the same file system.
    if (::rename(QFile::encodeName(source).constData(), to.constData()) == 0) {
        return true;
    }
    if (!copyOver(source, target, error)) {
        return false;
    }
    QFile::remove(source);
    return true;
}

} // namespace zelp
