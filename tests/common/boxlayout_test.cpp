#include "common/aboutboxlayout.h"
#include "common/appinfo.h"
#include "common/mousepointer.h"
#include "common/msgboxlayout.h"

#include <gtest/gtest.h>

namespace zelp {
namespace {

using namespace Msg;
using enum Button;
using Figures = std::vector<double>;

// A screen of 1280 x 960 pixels at 15 twips per pixel and a font of charWidth twips a character.
Metrics metrics(double charWidth = 100) {
    Metrics m;
    m.screenWidth = 19200;
    m.screenHeight = 14400;
    m.lineHeight = 195;
    m.textWidth = [charWidth](const QString &s) { return charWidth * s.size(); };
    return m;
}

TEST(MessageBoxLayout, SizesTheWindowToTheText) {
    const QString tall = QStringLiteral("x\n").repeated(50) + QLatin1Char('x');
    // text, style, character width; rows, text width and height, window width and height
    const std::tuple<QString, int16_t, double, Figures> cases[] = {
        {QString(), 0, 100, {0, 500, 200, 1520, 1550}},
        {QString(), 3, 100, {0, 500, 200, 2880, 1550}}, // raised to the Yes/No/Cancel minimum
        {QStringLiteral("Hello"), 49, 100, {1, 500, 200, 1520, 1550}},
        {QStringLiteral("abcdefg"), 4, 99.95, {1, 700, 200, 2160, 1550}}, // to the nearest twip
        {QStringLiteral("first line\nsecond line here"), 48, 100, {2, 1600, 390, 2620, 1630}},
        {QStringLiteral("abcdefghij\r\nab"), 0, 100, {2, 1100, 390, 2120, 1630}},
        {QString(150, QLatin1Char('w')), 0, 100, {2, 9600, 390, 10620, 1630}}, // wraps
        {QString(96, QLatin1Char('w')), 0, 100, {2, 9600, 390, 10620, 1630}},  // half the screen
        {tall, 0, 100, {51, 500, 7200, 1520, 8440}}, // cut at half the screen's height
        {QStringLiteral("abc"), 256 + 7, 100, {1, 500, 200, 4000, 2060}}, // check box
    };
    for (const auto &[text, style, charWidth, expected] : cases) {
        const Layout l = layoutMessage(text, style, metrics(charWidth));
        EXPECT_EQ(Figures({double(l.rows), l.textWidth, l.textHeight, l.width, l.height}), expected)
            << text.left(20).toStdString();
    }
}

TEST(MessageBoxLayout, CentresTheButtonsAtTheBottom) {
    // style; buttons, their lefts, their top, the check box's top (0: none)
    const std::tuple<int16_t, std::vector<Button>, Figures, double, double> cases[] = {
        {49, {OK}, {435}, 750, 0},
        {15, {OK}, {435}, 750, 0},
        {35, {Yes, No, Cancel}, {265, 1115, 1965}, 750, 0},
        {4, {Yes, No}, {330, 1180}, 750, 0},
        {5, {Retry, Cancel}, {330, 1180}, 750, 0},
        {6, {Yes, All, No}, {86, 936, 2144}, 750, 0},
        {7 + 256, {Yes, All, No, Cancel}, {221, 1071, 2279, 3129}, 1260, 877.5},
        {35 + 256, {Yes, No, Cancel}, {825, 1675, 2525}, 1260, 877.5},
    };
    for (const auto &[style, buttons, lefts, top, checkBoxTop] : cases) {
        SCOPED_TRACE(style);
        const Layout l = layoutMessage(QStringLiteral("abc"), style, metrics());
        std::vector<Button> shown;
        Figures shownLefts;
        for (const PlacedButton &b : l.buttons) {
            shown.push_back(b.button);
            shownLefts.push_back(b.left);
            EXPECT_EQ(b.top, top);
        }
        EXPECT_EQ(shown, buttons);
        EXPECT_EQ(shownLefts, lefts);
        EXPECT_EQ(l.checkBoxVisible, checkBoxTop != 0);
        EXPECT_TRUE(!l.checkBoxVisible || (l.checkBoxTop == checkBoxTop && l.checkBoxLeft == 240));
    }
}

TEST(MessageBoxLayout, MeasuredControlsGrowButNeverShrink) {
    // style, wrapped rows, Cancel's and the check box's measured widths; rows, window width,
    // Cancel's left and width, the check box's width
    const std::tuple<int16_t, int, double, double, Figures> cases[] = {
        {7, 3, 0, 0, {3, 3600, 2929, 650, 3500}},          // wrapping needs more rows
        {7, 0, 0, 0, {1, 3600, 2929, 650, 3500}},          // fewer wrapped rows keep the count
        {7, 0, 799.5, 0, {1, 3750, 2929, 800, 3500}},      // a wider Cancel widens the window
        {3 + 256, 0, 0, 4000, {1, 4500, 2775, 650, 4000}}, // a wider check box caption
    };
    for (const auto &[style, wrapped, cancelWidth, checkBoxWidth, expected] : cases) {
        Metrics m = metrics();
        m.wrappedRows = [&](const QString &, double) { return wrapped; };
        m.buttonWidth = [&](const QString &caption) {
            return caption == QLatin1String("&Cancel") ? cancelWidth : 10.0;
        };
        m.checkBoxWidth = checkBoxWidth;
        const Layout l = layoutMessage(QStringLiteral("abc"), style, m);
        ASSERT_EQ(l.buttons.back().button, Cancel);
        EXPECT_EQ(Figures({double(l.rows), l.width, l.buttons.back().left, l.buttons.back().width,
                           l.checkBoxWidth}),
                  expected);
        EXPECT_EQ(l.textHeight, std::max(200.0, 195.0 * l.rows));
    }
}

TEST(MessageBoxStyle, IconBeepAndPointer) {
    const std::tuple<int16_t, Icon, int> styles[] = {
        {0, Icon::Information, 0},  {16, Icon::Information, 0},  {32, Icon::Question, 32},
        {35, Icon::Question, 32},   {48, Icon::Exclamation, 48}, {49, Icon::Exclamation, 48},
        {64, Icon::Information, 0}, {4, Icon::Information, 0},   {256 + 48, Icon::Exclamation, 48},
    };
    for (const auto &[style, shown, beep] : styles) {
        EXPECT_EQ(icon(style), shown) << style;
        EXPECT_EQ(beepCode(style), beep) << style;
        EXPECT_EQ(layoutMessage(QString(), style, metrics()).icon, shown) << style;
    }
    // The window of 266 x 137 whole pixels with its frame and caption; right and bottom outside.
    const HoverRect r = hoverRect(4000, 2060, 15, 15, FrameMetrics{3, 3, 18});
    EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom), std::tuple(-3, -21, 269, 140));
    const std::tuple<int, int, int16_t> points[] = {
        {-3, -21, MousePointer::Default},   {268, 139, MousePointer::Default},
        {269, 50, MousePointer::Hourglass}, {50, 140, MousePointer::Hourglass},
        {-4, 50, MousePointer::Hourglass},  {50, -22, MousePointer::Hourglass},
        {100, 60, MousePointer::Default},
    };
    for (const auto &[x, y, pointer] : points) {
        EXPECT_EQ(watchedPointer(r, x, y, MousePointer::Hourglass), pointer) << x << "," << y;
    }
}

TEST(AboutBoxLayout, FollowsTheBannerSize) {
    // bitmap width and height; frame top, client width and height
    const std::tuple<double, double, Figures> cases[] = {
        {3930, 1230, {1440, 5040, 5520}}, // 262 x 82 pixels at 15 twips per pixel
        {3144, 984, {1194, 5040, 5274}},  // the same at 120 dpi
        {3855, 1110, {1320, 5040, 5400}}, // the design size changes nothing
        {4800, 1110, {1320, 5040, 5400}}, // exactly fills the width
        {4950.4, 600, {810, 5190, 4890}}, // wider than the client area minus the margins
    };
    for (const auto &[width, height, expected] : cases) {
        const About::Layout l = About::layoutAboutBox(width, height);
        EXPECT_EQ(Figures({l.imageLeft, l.imageTop, l.imageWidth, l.imageHeight}),
                  Figures({120, 120, width, height}));
        EXPECT_EQ(Figures({l.frameTop, l.clientWidth, l.clientHeight}), expected) << width;
    }
    EXPECT_EQ(AppInfo::releaseText("2000", 4, 0, 132), " Release 2000 (4.0.132) ");
    EXPECT_EQ(AppInfo::releaseText("", 10, 2, 7), " Release  (10.2.7) ");
}

} // namespace
} // namespace zelp
