#pragma once

#include <QSettings>
#include <QString>

namespace zelp {

// The main window's outer rectangle in twips, as remembered in the per-user settings store.
struct WindowPlacement {
    int left = 720;
    int top = 720;
    int width = 0;
    int height = 0;
};

namespace Placement {
inline constexpr const char *kGroup = "Settings";
inline constexpr const char *kLeft = "MainLeft";
inline constexpr const char *kTop = "MainTop";
inline constexpr const char *kWidth = "MainWidth";
inline constexpr const char *kHeight = "MainHeight";

// Missing values take the defaults (720, 720 and the design size); a value that is no number
// gives 0 for that coordinate alone; a fraction goes to the nearest whole twip.
WindowPlacement read(QSettings &settings, int designWidth, int designHeight);
void write(QSettings &settings, const WindowPlacement &placement);
} // namespace Placement

} // namespace zelp
