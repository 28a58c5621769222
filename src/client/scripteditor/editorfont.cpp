#include "editorfont.h"

#include <QFontDatabase>
#include <QFontMetricsF>

namespace zelp {

bool isMonospaced(const QFont &font) {
    const QFontMetricsF metrics(font);
    const qreal narrow = metrics.horizontalAdvance(QLatin1Char('i'));
    return narrow > 0 && qFuzzyCompare(narrow, metrics.horizontalAdvance(QLatin1Char('W')));
}

QFont firstMonospaced(const QList<QFont> &candidates) {
    for (const QFont &font : candidates) {
        if (isMonospaced(font)) {
            return font;
        }
    }
    return candidates.isEmpty() ? QFont() : candidates.first();
}

QFont editorFont() {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // fontconfig's "monospace" may name a font that reports no fixed pitch, or none at all.
    QList<QFont> candidates{system};
    for (const char *family :
         {"DejaVu Sans Mono", "Liberation Mono", "Noto Mono", "Courier New", "Courier"}) {
        QFont font(QString::fromLatin1(family), system.pointSize());
        font.setStyleHint(QFont::TypeWriter);
        candidates << font;
    }
    QFont typewriter(system);
    typewriter.setFamilies({});
    typewriter.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
    typewriter.setFixedPitch(true);
    candidates << typewriter;
    return firstMonospaced(candidates);
}

} // namespace zelp
