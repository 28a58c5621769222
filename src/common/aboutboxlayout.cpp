#include "aboutboxlayout.h"

#include <cmath>

namespace zelp::About {

Layout layoutAboutBox(double bitmapWidthTwips, double bitmapHeightTwips) {
    Layout l;
    const double h0 = std::round(l.imageHeight);
    l.imageWidth = bitmapWidthTwips;
    l.imageHeight = bitmapHeightTwips;
    const double dh = std::round(l.imageHeight - h0);
    l.frameTop += dh;
    l.clientHeight += dh;
    const double needW = std::round(2 * l.imageLeft + l.imageWidth);
    if (l.clientWidth < needW) {
        l.clientWidth = needW;
    }
    return l;
}

} // namespace zelp::About
