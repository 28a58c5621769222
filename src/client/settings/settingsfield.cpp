#include "settingsfield.h"

namespace zelp {

const std::vector<QString> &essentialSettingNames() {
    static const std::vector<QString> names = {
        QStringLiteral("sSessionTitle"), QStringLiteral("sHostName"), QStringLiteral("sHostPort"),
        QStringLiteral("sHostTermType"), QStringLiteral("sNormRows"), QStringLiteral("sNormCols"),
        QStringLiteral("sFontName"),     QStringLiteral("sFontSize"),
    };
    return names;
}

} // namespace zelp
