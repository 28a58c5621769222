#include "fileutil.h"

#include "workfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <sys/stat.h>

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

// Copies source to a fresh file beside target and renames it over target.
bool copyOver(const QString &source, const QString &target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0) {
            break;
        }
        if (out.write(buffer, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    out.setPermissions(in.permissions());
    return out.commit();
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const qint64 size = file.size();
    if (size <= 0 || size > std::numeric_limits<qsizetype>::max()) {
        return {};
    }
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

bool WriteWholeFile(const QString &path, const QByteArray &content, bool byteMode) {
    Q_UNUSED(byteMode); // both modes write the bytes as given; text arrives already encoded
    if (path.isEmpty()) {
        return false;
    }
    // A link is written through, so that the link stays; only regular files are replaced,
    // since renaming over a device or a folder would destroy it.
    const QFileInfo link(path);
    const QString target = link.isSymLink() ? link.symLinkTarget() : path;
    const QFileInfo info(target);
    if (info.exists() && !info.isFile()) {
        return false;
    }
    QSaveFile file(target);
    // A folder where no new file can be made still lets an existing file be rewritten.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString NewWorkFileName(const QString &folder) {
    const QString base = withTrailingSeparator(folder);
    QString result;
    for (int attempt = 0; attempt < 999; ++attempt) {
        const int n = g_workFileCounter + 1;
        const QString name = base + QStringLiteral("Work%1.ats").arg(n);
        const bool free = lookUp(name) == Lookup::Missing;
        g_workFileCounter = static_cast<int16_t>((g_workFileCounter + 1) % 999);
        if (free) {
            result = name;
            break;
        }
    }
    return result;
}

bool MoveFileOver(const QString &source, const QString &target) {
    if (source.isEmpty() || target.isEmpty() || !QFileInfo(source).isFile()) {
        return false;
    }
    if (QFileInfo(source).absoluteFilePath() == QFileInfo(target).absoluteFilePath()) {
        return true;
    }
    // rename() replaces the target in one step on the same file system.
    if (::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) ==
        0) {
        return true;
    }
    if (!copyOver(source, target)) {
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
