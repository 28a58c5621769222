#include "fileutil.h"

#include "filereplace.h"
#include "workfolders.h"

namespace zelp {

namespace {
int16_t g_workFileCounter = 0;
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

bool WriteWholeFile(const QString &path, const QByteArray &content, QString *error) {
    return replaceFile(
        path, content.size(),
        [&](int fd) { return writeAllBytes(fd, content.constData(), content.size()); }, error);
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
