#include "desktopplatform.h"

#include <QGuiApplication>
#include <QScreen>

namespace zelp {

QSize DesktopPlatform::screenClientArea() const {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

} // namespace zelp
