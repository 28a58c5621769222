#include "oneshottimer.h"

namespace zelp {

QtOneShotTimer::QtOneShotTimer() {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
}

void QtOneShotTimer::start(int milliseconds) {
    timer_.start(milliseconds);
}

} // namespace zelp
