#pragma once

#include "ui/common/twips.h"

#include <QFont>
#include <QWidget>

#include <algorithm>

namespace zelp::FormLayout {

// The 8-point sans-serif text the twips layouts of the file dialogs were drawn for.
inline QFont formFont(double pointSize = 8, bool bold = false) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// Puts a control at its design rectangle; a font wider than the design's grows it to its
// text, never shrinks it, so that no caption is cut short.
inline void place(QWidget &control, double left, double top, double width, double height,
                  bool growToText = true) {
    const QWidget &form = *control.window();
    QRect r = Twips::toPixels(left, top, width, height, form);
    if (growToText) {
        const QSize hint = control.sizeHint();
        r.setSize(r.size().expandedTo(hint));
    }
    control.setGeometry(r);
}

} // namespace zelp::FormLayout
