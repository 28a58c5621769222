#include "fileutil.h"

#include "filereplace.h"
#include "replacebatch.h"
#include "workfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace zelp {

namespace {

int16_t g_workFileCounter = 0;

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
        if (error) {
            *error = QString::fromLocal8Bit(std::strerror(code));
        }
        return false;
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

bool setError(QString *error, const QString &why) {
    if (error) {
        *error = why;
    }
    return false;
}

} // namespace

bool isPathSeparator(QChar c) {
#ifdef _WIN32
    return c == QLatin1Char('\\') || c == QLatin1Char(':') || c == QLatin1Char('/');
#else
    return c == QLatin1Char('/');
#endif
}

QChar folderSeparator() {
#ifdef _WIN32
    return QLatin1Char('\\');
#else
    return QLatin1Char('/');
#endif
}

QString withTrailingSeparator(const QString &folder) {
    if (!folder.isEmpty() && isPathSeparator(folder.back())) {
        return folder;
    }
    return folder + folderSeparator();
}

QString FolderOf(const QString &path) {
    for (qsizetype i = path.size(); i >= 1; --i) {
        if (isPathSeparator(path.at(i - 1))) {
            return path.left(i);
        }
    }
    return workFolders().startup;
}

QString FileNameOf(const QString &path, bool keepExtension) {
    qsizetype start = 0;
    for (qsizetype i = path.size(); i >= 1; --i) {
        if (isPathSeparator(path.at(i - 1))) {
            start = i;
            break;
        }
    }
    const QString name = path.mid(start);
    if (keepExtension) {
        return name;
    }
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

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

bool WriteWholeFile(const QString &path, const QByteArray &content, QString *error) {
    return replaceFile(
        path, content.size(),
        [&](int fd) { return writeAllBytes(fd, content.constData(), content.size()); }, error);
}

QString NewWorkFileName(const QString &folder) {
    const QString base = withTrailingSeparator(folder);
    QString result;
    for (int attempt = 0; attempt < 999; ++attempt) {
        const int n = g_workFileCounter + 1;
        const QString name = base + QStringLiteral("Work%1.ats").arg(n);
        // Taken by creating it, so that two programs never get the same name.
        const int fd = ::open(QFile::encodeName(name).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        g_workFileCounter = static_cast<int16_t>((g_workFileCounter + 1) % 999);
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
        return setError(error, QStringLiteral("there is no file to move"));
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
            return setError(error, refusal);
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

QByteArray PositionXor(const QByteArray &text) {
    QByteArray out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) ^ ((i + 1) & 15));
    }
    return out;
}

int16_t workFileCounter() {
    return g_workFileCounter;
}
void setWorkFileCounter(int16_t value) {
    g_workFileCounter = value;
}

} // namespace zelp
