#include "documentclasses.h"

#include "app/profile.h"
#include "common/ansi.h"

namespace zelp {

QString normalizedClassId(const QString &classId) {
    QString id = classId.trimmed().toUpper();
    if (id.startsWith(QLatin1Char('{'))) {
        id.remove(0, 1);
    }
    if (id.endsWith(QLatin1Char('}'))) {
        id.chop(1);
    }
    return id;
}

void DocumentClasses::add(const QString &progId, DocumentFactory factory) {
    factories_[progId] = std::move(factory);
}

DocumentFactory DocumentClasses::factoryFor(const QString &classId) const {
    const QString wanted = normalizedClassId(classId);
    if (wanted.isEmpty()) {
        return {};
    }
    for (const auto &[progId, factory] : factories_) {
        const std::string key = Ansi::fromUnicode(progId) + "\\Clsid";
        const QString registered = Ansi::toUnicode(ReadRegistryValue(kHiveClassesRoot, key, ""));
        if (!registered.isEmpty() && normalizedClassId(registered) == wanted) {
            return factory;
        }
    }
    return {};
}

DocumentClasses &DocumentClasses::instance() {
    static DocumentClasses classes;
    return classes;
}

} // namespace zelp
