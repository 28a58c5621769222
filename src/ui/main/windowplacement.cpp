#include "windowplacement.h"

#include <cmath>
#include <limits>

namespace zelp::Placement {

namespace {

int readTwips(QSettings &settings, const char *key, int fallback) {
    const QVariant value = settings.value(QString::fromLatin1(key));
    if (!value.isValid()) {
        return fallback;
    }
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > std::numeric_limits<int>::max()) {
        return 0;
    }
    return static_cast<int>(std::lround(number));
}

} // namespace

WindowPlacement read(QSettings &settings, int designWidth, int designHeight) {
    settings.beginGroup(QString::fromLatin1(kGroup));
    WindowPlacement p;
    p.left = readTwips(settings, kLeft, 720);
    p.top = readTwips(settings, kTop, 720);
    p.width = readTwips(settings, kWidth, designWidth);
    p.height = readTwips(settings, kHeight, designHeight);
    settings.endGroup();
    return p;
}

void write(QSettings &settings, const WindowPlacement &p) {
    settings.beginGroup(QString::fromLatin1(kGroup));
    settings.setValue(QString::fromLatin1(kLeft), QString::number(p.left));
    settings.setValue(QString::fromLatin1(kTop), QString::number(p.top));
    settings.setValue(QString::fromLatin1(kWidth), QString::number(p.width));
    settings.setValue(QString::fromLatin1(kHeight), QString::number(p.height));
    settings.endGroup();
    settings.sync();
}

} // namespace zelp::Placement
