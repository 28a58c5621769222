#include "resources.h"

#include <QFile>
#include <QString>

namespace zelp {

namespace {

QByteArray readResource(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

} // namespace

QByteArray templateResource(int id) {
    switch (id) {
    case kTemplateUnsafeConnection:
        return readResource(QStringLiteral(":/templates/new_unsafe.ats"));
    case kTemplateSafeConnection:
        return readResource(QStringLiteral(":/templates/new_safe.ats"));
    case kTemplateInternetPage:
        return readResource(QStringLiteral(":/templates/internet.htm"));
    case kTemplateIntranetPage:
        return readResource(QStringLiteral(":/templates/intranet.htm"));
    default:
        return {};
    }
}

std::string defaultScript() {
    const QByteArray bytes = readResource(QStringLiteral(":/scripts/default.zbs"));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace zelp
