#include "debuglog.h"

#include "appinfo.h"
#include "errors.h"
#include "workfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zelp {

namespace {
QString stateFolder() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return base + QStringLiteral("/zelpdev2k/");
}
} // namespace

QString debugLogPath() {
    const QString name = QString::fromStdString(AppInfo::executableName()) + QStringLiteral(".log");
    const QString program = workFolders().program;
    // An installed program keeps no log among the system's programs.
    if (!program.isEmpty() && !isSystemFolder(program)) {
        return program + name;
    }
    return stateFolder() + name;
}

void DebugLog(const std::string &text) {
    const QString path = debugLogPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The log keeps its last megabyte or two: a full one moves aside to ".1".
    if (QFileInfo(path).size() >= kLogRotateBytes) {
        QFile::remove(path + QStringLiteral(".1"));
        QFile::rename(path, path + QStringLiteral(".1"));
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        raiseError(ErrNum::PathFileAccess, "Path/File access error: " + path.toStdString());
    }
    const std::string line = text + "\r\n";
    if (file.write(line.data(), static_cast<qint64>(line.size())) !=
            static_cast<qint64>(line.size()) ||
        !file.flush()) {
        raiseError(ErrNum::PathFileAccess, "Path/File access error: " + path.toStdString());
    }
}

} // namespace zelp
