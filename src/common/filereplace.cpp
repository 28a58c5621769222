#include "filereplace.h"

#include <QFileInfo>

namespace zelp {

QString finalTarget(const QString &path) {
    // A chain of links is followed to the file it ends at, so that every link stays a link;
    // a loop gives up where the system would.
    QString current = path;
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(current);
        if (!info.isSymLink()) {
            return current;
        }
        const QString next = info.symLinkTarget();
        if (next.isEmpty()) {
            return current;
        }
        current = next;
    }
    return current;
}

} // namespace zelp
