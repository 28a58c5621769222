#include "buttonpicture.h"

#include <QFile>

namespace zelp {

QIcon buttonPicture(const QString &button) {
    QIcon icon;
    for (int size : {32, 48}) {
        const QString path = QStringLiteral(":/images/%1-%2.png").arg(button).arg(size);
        if (QFile::exists(path)) {
            icon.addFile(path, QSize(size, size));
        }
    }
    return icon;
}

} // namespace zelp
