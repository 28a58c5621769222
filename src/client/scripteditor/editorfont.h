#pragma once

#include <QFont>
#include <QList>

namespace zelp {

// True when "i" and "W" advance alike: monospaced in fact, whatever the font claims.
bool isMonospaced(const QFont &font);

// The first candidate that is monospaced in fact; the first candidate when none is.
QFont firstMonospaced(const QList<QFont> &candidates);

// The script editor's font: the system's fixed font, else the first monospaced of a few
// common families.
QFont editorFont();

} // namespace zelp
