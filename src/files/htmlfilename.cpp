#include "htmlfilename.h"

namespace zelp {

QString htmlFileNameFor(const QString &sessionFileName) {
    const qsizetype dot = sessionFileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return sessionFileName + QStringLiteral(".htm");
    }
    return sessionFileName.left(dot + 1) + QStringLiteral("htm");
}

} // namespace zelp
