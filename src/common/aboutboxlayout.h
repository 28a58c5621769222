#pragma once

// The About box sized to its banner picture; all in twips, from the design values.
namespace zelp::About {

struct Layout {
    double imageLeft = 120;
    double imageTop = 120;
    double imageWidth = 3855;
    double imageHeight = 1110;
    double frameLeft = 120;
    double frameTop = 1320;
    double frameWidth = 4850;
    double frameHeight = 4020;
    double clientWidth = 5040;
    double clientHeight = 5400;
};

// The picture takes the bitmap's size; the frame and the window bottom follow its height and
// the window widens so that the picture keeps equal margins left and right.
Layout layoutAboutBox(double bitmapWidthTwips, double bitmapHeightTwips);

} // namespace zelp::About
