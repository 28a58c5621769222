#pragma once

#include <QPaintDevice>
#include <QRect>

#include <cmath>

// Design lengths are kept in twips (1/1440 inch) and turned into pixels with the logical
// resolution of the screen the window is on.
namespace zelp::Twips {

inline int toPixelsX(double twips, const QPaintDevice &device) {
    return static_cast<int>(std::lround(twips * device.logicalDpiX() / 1440.0));
}
inline int toPixelsY(double twips, const QPaintDevice &device) {
    return static_cast<int>(std::lround(twips * device.logicalDpiY() / 1440.0));
}
inline double fromPixelsX(double pixels, const QPaintDevice &device) {
    return pixels * 1440.0 / device.logicalDpiX();
}
inline double fromPixelsY(double pixels, const QPaintDevice &device) {
    return pixels * 1440.0 / device.logicalDpiY();
}
inline double perPixelX(const QPaintDevice &device) {
    return 1440.0 / device.logicalDpiX();
}
inline double perPixelY(const QPaintDevice &device) {
    return 1440.0 / device.logicalDpiY();
}
inline QRect toPixels(double left, double top, double width, double height,
                      const QPaintDevice &device) {
    return {toPixelsX(left, device), toPixelsY(top, device), toPixelsX(width, device),
            toPixelsY(height, device)};
}

} // namespace zelp::Twips
