#pragma once

#include <QIcon>
#include <QString>

namespace zelp {

// The picture of a button of the main window's column by the button's name ("cmdNew"): drawn
// at 32 pixels for 96 dpi and at 48 for 144 dpi, the icon picks the one that fits.
QIcon buttonPicture(const QString &button);

} // namespace zelp
