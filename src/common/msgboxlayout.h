#pragma once

#include "msgboxstyle.h"

#include <QString>

#include <functional>
#include <vector>

namespace zelp::Msg {

// What the layout needs to know of the screen and the message font, in twips.
struct Metrics {
    double screenWidth = 0;
    double screenHeight = 0;
    std::function<double(const QString &)> textWidth;
    double lineHeight = 0; // height of "A" in the message font
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

} // namespace zelp::Msg
