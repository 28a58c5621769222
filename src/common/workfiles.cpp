#include "workfiles.h"

#include "osfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>

namespace zelp {

namespace {

const QRegularExpression &workFilePattern() {
    static const QRegularExpression pattern(QStringLiteral(R"(^\..*\.(\d{1,10})-[0-9a-z]{1,8}~$)"));
    return pattern;
}

} // namespace

int createWorkFile(const QString &folder, const QString &forName, QString *path) {
    const QString base = QDir(folder).absolutePath();
    const qint64 pid = QCoreApplication::applicationPid();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name =
            QStringLiteral("%1/.%2.%3-%4~")
                .arg(base, forName.left(40), QString::number(pid),
                     QString::number(QRandomGenerator::global()->generate() % 0x7fffffff, 36));
        const int fd = os::createExclusive(name);
        if (fd >= 0) {
            *path = name;
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

bool isWorkFileName(const QString &fileName, qint64 *pid) {
    const QRegularExpressionMatch match = workFilePattern().match(fileName);
    if (!match.hasMatch()) {
        return false;
    }
    if (pid) {
        *pid = match.captured(1).toLongLong();
    }
    return true;
}

int removeStaleWorkFiles(const QString &folder) {
    int removed = 0;
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList({QStringLiteral(".*~")}, QDir::Files | QDir::Hidden | QDir::System)) {
        qint64 pid = 0;
        if (isWorkFileName(name, &pid) && os::processIsGone(pid) &&
            QFile::remove(dir.filePath(name))) {
            ++removed;
        }
    }
    return removed;
}

} // namespace zelp
