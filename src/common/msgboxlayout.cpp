#include "msgboxlayout.h"

#include "mousepointer.h"
#include "strfunc.h"

#include <algorithm>
#include <cmath>

namespace zelp::Msg {

Layout layoutMessage(const QString &text, int16_t style, const Metrics &m) {
    Layout l;
    const double halfW = std::floor(m.screenWidth / 2);
    const double halfH = std::floor(m.screenHeight / 2);
    const double lineH = std::round(m.lineHeight);

    const std::string bytes = text.toStdString();
    const int lines = Strfunc::Dcount(bytes, "\n");
    double maxW = 0;
    for (int i = 1; i <= lines; ++i) {
        double w = std::round(m.textWidth(QString::fromStdString(Strfunc::Field(bytes, "\n", i))));
        l.rows += static_cast<int>(halfW > 0 ? std::floor(w / halfW) : 0) + 1;
        if (w > halfW) {
            w = halfW;
        }
        if (w > maxW) {
            maxW = w;
        }
    }

    if (maxW < 500) {
        maxW = 500;
    }
    // Counting rows from widths alone misses what wrapping at words adds.
    if (m.wrappedRows) {
        l.rows = std::max(l.rows, m.wrappedRows(text, maxW));
    }
    double textH = lineH * l.rows;
    if (textH > halfH) {
        textH = halfH;
    }
    if (textH < 200) {
        textH = 200;
    }
    l.textWidth = maxW;
    l.textHeight = textH;

    const ButtonSet &set = buttonSet(style);
    std::vector<double> widths;
    double designTotal = 0;
    double total = 0;
    for (const Button b : set.buttons) {
        const ButtonInfo &info = buttonInfo(b);
        double width = info.widthTwips;
        if (m.buttonWidth) {
            width = std::max(width, std::ceil(m.buttonWidth(QString::fromLatin1(info.caption))));
        }
        widths.push_back(width);
        designTotal += info.widthTwips;
        total += width;
    }
    const double gaps = 200.0 * static_cast<double>(set.buttons.size() - 1);
    designTotal += gaps;
    total += gaps;

    double W = std::round(l.textLeft + maxW + 300);
    // Wider buttons widen the set's minimum by what they grew.
    const double minWidth = set.minWidthTwips + (total - designTotal);
    if (W < minWidth) {
        W = minWidth;
    }
    double H = std::round(l.textTop + textH + 1000);
    if (H < 1550) {
        H = 1550;
    }

    if (wantsCheckBox(style)) {
        l.checkBoxWidth = std::max(l.checkBoxWidth, std::ceil(m.checkBoxWidth));
        if (l.checkBoxWidth + 500 > W) {
            W = l.checkBoxWidth + 500;
        }
        H = std::round(H + 2 * l.checkBoxHeight);
        l.checkBoxTop = H - 1.5 * l.checkBoxHeight - 800;
        l.checkBoxVisible = true;
    }
    l.width = W;
    l.height = H;
    l.icon = icon(style);

    double left = (W - total) / 2;
    for (std::size_t i = 0; i < set.buttons.size(); ++i) {
        l.buttons.push_back({set.buttons[i], left, H - 800, widths[i]});
        left += widths[i] + 200;
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
