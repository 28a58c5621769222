#include "workfolders.h"

#include <QDir>
#include <QFileInfo>

namespace zelp {

WorkFolders &workFolders() {
    static WorkFolders folders;
    return folders;
}

bool isSystemFolder(const QString &folder) {
    const QString path = QDir::cleanPath(folder) + QLatin1Char('/');
    for (const char *prefix : {"/usr/", "/opt/", "/bin/", "/sbin/"}) {
        if (path.startsWith(QLatin1String(prefix))) {
            return true;
        }
    }
    const QFileInfo info(folder);
    return !info.isDir() || !info.isWritable();
}

QString preparedHomeFolder() {
    const QString home = workFolders().home;
    if (!home.isEmpty()) {
        QDir().mkpath(home);
    }
    return home;
}

} // namespace zelp
