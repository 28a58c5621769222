#pragma once

#include "msgboxstyle.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace zelp::Msg {

// What the layout needs to know of the screen and the message font, in twips.
struct Metrics {
    double screenWidth = 0;
    double screenHeight = 0;
    std::function<double(const QString &)> textWidth;
    double lineHeight = 0; // height of "A" in the message font
    // What the shown controls need; without them the design sizes stand, and they never
    // make a control smaller than its design size.
    // Rows the text takes when wrapped at words to the width, a word longer than a row
    // broken.
    std::function<int(const QString &text, double width)> wrappedRows;
    // Width a button needs for its caption.
    std::function<double(const QString &caption)> buttonWidth;
    double checkBoxWidth = 0; // width the check box needs for its caption
};

struct PlacedButton {
    Button button;
    double left;
    double top;
    double width;
};

// The message box sized to its text; all in twips, from the design values of its controls.
struct Layout {
    int rows = 0;
    double textLeft = 720;
    double textTop = 240;
    double textWidth = 0;
    double textHeight = 0;
    double width = 0;  // outer width of the window
    double height = 0; // outer height of the window
    bool checkBoxVisible = false;
    double checkBoxLeft = 240;
    double checkBoxTop = 0;
    double checkBoxWidth = 3500;
    double checkBoxHeight = 255;
    Icon icon = Icon::Information;
    std::vector<PlacedButton> buttons;
};

Layout layoutMessage(const QString &text, int16_t style, const Metrics &metrics);

// The window frame's system metrics, in pixels: fixed-frame width and height, caption height.
struct FrameMetrics {
    int frameWidth = 0;
    int frameHeight = 0;
    int captionHeight = 0;
};

// Where the pointer watch shows the normal pointer: the whole window, frame and caption
// included, in pixels relative to the top-left corner of its client area.
struct HoverRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    // Left and top edges inside, right and bottom outside.
    bool contains(int32_t x, int32_t y) const {
        return left <= x && x < right && top <= y && y < bottom;
    }
};

HoverRect hoverRect(double widthTwips, double heightTwips, double twipsPerPixelX,
                    double twipsPerPixelY, const FrameMetrics &frame);

// The pointer the watch sets for a client position.
int16_t watchedPointer(const HoverRect &rect, int32_t x, int32_t y, int16_t savedPointer);

} // namespace zelp::Msg
