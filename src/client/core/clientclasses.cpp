#include "clientclasses.h"

namespace zelp::ClientClasses {

ClassIdBytes classIdFor(bool safe) {
    return *classIdFromText(QString::fromLatin1(safe ? kSafeClassId : kUnsafeClassId));
}

std::optional<bool> safeModeOf(const ClassIdBytes &classId) {
    if (classId == classIdFor(true)) {
        return true;
    }
    if (classId == classIdFor(false)) {
        return false;
    }
    return std::nullopt;
}

} // namespace zelp::ClientClasses
