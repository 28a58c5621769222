#include "caption.h"

#include "common/fileutil.h"

namespace zelp {

QString captionFor(const QString &currentFile, bool safeClient) {
    QString caption = QStringLiteral("Velmaris 2000 Internet Connection");
    if (!currentFile.isEmpty()) {
        caption += QStringLiteral(" - [") + FileNameOf(currentFile, false) + QStringLiteral(" (") +
                   (safeClient ? QStringLiteral("safe") : QStringLiteral("unsafe")) +
                   QStringLiteral(")]");
    }
    return caption;
}

} // namespace zelp
