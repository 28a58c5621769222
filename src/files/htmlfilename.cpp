#include "htmlfilename.h"

namespace zelp {

QString htmlFileNameFor(const QString &sessionFileName) {
    const qsizetype dot = sessionFileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return sessionFileName + QStringLiteral(".htm");
    }
    return sessionFileName.left(dot + 1) + QStringLiteral("htm");
}

QString pageFileBeside(const QString &connectionPath) {
    const qsizetype slash = connectionPath.lastIndexOf(QLatin1Char('/'));
    return connectionPath.left(slash + 1) + htmlFileNameFor(connectionPath.mid(slash + 1));
}

} // namespace zelp
