#include "helptopics.h"

#include <QFile>

namespace zelp::Help {

QString topicPath(int context) {
    if (context <= 0) {
        return {};
    }
    const QString path = QStringLiteral(":/help/%1.html").arg(context);
    return QFile::exists(path) ? path : QString();
}

QString contentsPath() {
    return QStringLiteral(":/help/contents.html");
}

QUrl topicUrl(int context) {
    const QString path = topicPath(context);
    return path.isEmpty() ? contentsUrl() : QUrl(QStringLiteral("qrc") + path);
}

QUrl contentsUrl() {
    return QUrl(QStringLiteral("qrc") + contentsPath());
}

} // namespace zelp::Help
