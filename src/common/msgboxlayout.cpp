#include "msgboxlayout.h"

#include "mousepointer.h"
#include "strfunc.h"

#include <algorithm>
#include <cmath>

namespace zelp::Msg {

namespace {

// The text's area: its widest line up to half the screen, its rows up to half its height.
void layoutText(const QString &text, const Metrics &m, Layout &l) {
    const double halfW = std::floor(m.screenWidth / 2);
    const double halfH = std::floor(m.screenHeight / 2);
    const std::string bytes = text.toStdString();
    const int lines = Strfunc::Dcount(bytes, "\n");
    double maxW = 0;
    for (int i = 1; i <= lines; ++i) {
        const double w =
            std::round(m.textWidth(QString::fromStdString(Strfunc::Field(bytes, "\n", i))));
        l.rows += static_cast<int>(halfW > 0 ? std::floor(w / halfW) : 0) + 1;
        maxW = std::max(maxW, std::min(w, halfW));
    }
    maxW = std::max(maxW, 500.0);
    // Counting rows from widths alone misses what wrapping at words adds.
    if (m.wrappedRows) {
        l.rows = std::max(l.rows, m.wrappedRows(text, maxW));
    }
    l.textWidth = maxW;
    l.textHeight = std::max(std::min(std::round(m.lineHeight) * l.rows, halfH), 200.0);
}

struct ButtonRow {
    std::vector<double> widths;
    double total = 0;  // with the gaps between them
    double growth = 0; // what captions wider than the design added
};

ButtonRow measureButtons(const ButtonSet &set, const Metrics &m) {
    ButtonRow row;
    for (const Button b : set.buttons) {
        const ButtonInfo &info = buttonInfo(b);
        double width = info.widthTwips;
        if (m.buttonWidth) {
            width = std::max(width, std::ceil(m.buttonWidth(QString::fromLatin1(info.caption))));
        }
        row.widths.push_back(width);
        row.growth += width - info.widthTwips;
        row.total += width;
    }
    row.total += 200.0 * static_cast<double>(set.buttons.size() - 1);
    return row;
}

} // namespace

Layout layoutMessage(const QString &text, int16_t style, const Metrics &m) {
    Layout l;
    layoutText(text, m, l);
    const ButtonSet &set = buttonSet(style);
    const ButtonRow row = measureButtons(set, m);

    // Wider buttons widen the set's minimum by what they grew.
    double W = std::max(std::round(l.textLeft + l.textWidth + 300), set.minWidthTwips + row.growth);
    double H = std::max(std::round(l.textTop + l.textHeight + 1000), 1550.0);
    if (wantsCheckBox(style)) {
        l.checkBoxWidth = std::max(l.checkBoxWidth, std::ceil(m.checkBoxWidth));
        W = std::max(W, l.checkBoxWidth + 500);
        H = std::round(H + 2 * l.checkBoxHeight);
        l.checkBoxTop = H - 1.5 * l.checkBoxHeight - 800;
        l.checkBoxVisible = true;
    }
    l.width = W;
    l.height = H;
    l.icon = icon(style);

    double left = (W - row.total) / 2;
    for (std::size_t i = 0; i < set.buttons.size(); ++i) {
        l.buttons.push_back({set.buttons[i], left, H - 800, row.widths[i]});
        left += row.widths[i] + 200;
    }
    return l;
}

HoverRect hoverRect(double widthTwips, double heightTwips, double twipsPerPixelX,
                    double twipsPerPixelY, const FrameMetrics &frame) {
    HoverRect r;
    r.left = -frame.frameWidth;
    r.top = -(frame.frameHeight + frame.captionHeight);
    r.right = static_cast<int32_t>(std::floor(widthTwips / twipsPerPixelX)) + frame.frameWidth;
    r.bottom = static_cast<int32_t>(std::floor(heightTwips / twipsPerPixelY)) + frame.frameHeight;
    return r;
}

int16_t watchedPointer(const HoverRect &rect, int32_t x, int32_t y, int16_t savedPointer) {
    return rect.contains(x, y) ? MousePointer::Default : savedPointer;
}

} // namespace zelp::Msg
