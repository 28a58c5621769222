#include "pointerdisplay.h"

#include "common/mousepointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace zelp {

namespace {

Qt::CursorShape shapeOf(int16_t pointer) {
    switch (pointer) {
    case MousePointer::Hourglass:
        return Qt::WaitCursor;
    case 13: // arrow and hourglass
        return Qt::BusyCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

void installPointerDisplay() {
    MousePointer::setDisplay([](int16_t pointer) {
        while (QGuiApplication::overrideCursor()) {
            QGuiApplication::restoreOverrideCursor();
        }
        if (pointer != MousePointer::Default) {
            QGuiApplication::setOverrideCursor(QCursor(shapeOf(pointer)));
        }
    });
}

} // namespace zelp
