#include "common/mousepointer.h"
#include "common/msgboxlayout.h"

#include <gtest/gtest.h>

namespace zelp::Msg {
namespace {

// A screen of 1280 x 960 pixels at 15 twips per pixel and a font of 100 twips per character.
Metrics metrics(double charWidth = 100) {
    Metrics m;
    m.screenWidth = 19200;
    m.screenHeight = 14400;
    m.lineHeight = 195;
    m.textWidth = [charWidth](const QString &s) { return charWidth * s.size(); };
    return m;
}

struct GeometryCase {
    const char *name;
    QString text;
    int16_t style;
    double charWidth;
    int rows;
    double textWidth, textHeight, width, height;
};

TEST(MessageBoxLayout, SizesTheWindowToTheText) {
    const QString wide(150, QLatin1Char('w'));
    QString tall;
    for (int i = 0; i < 50; ++i) {
        tall += QStringLiteral("x\n");
    }
    tall += QStringLiteral("x");
    const GeometryCase cases[] = {
        {"empty text, OK only", QString(), 0, 100, 0, 500, 200, 1520, 1550},
        {"empty text raised to the Yes/No/Cancel minimum", QString(), 3, 100, 0, 500, 200, 2880,
         1550},
        {"short line keeps the minimum text area", QStringLiteral("Hello"), 49, 100, 1, 500, 200,
         1520, 1550},
        {"line width rounded to the nearest twip", QStringLiteral("abcdefg"), 4, 99.95, 1, 700, 200,
         2160, 1550},
        {"two lines", QStringLiteral("first line\nsecond line here"), 48, 100, 2, 1600, 390, 2620,
         1630},
        {"carriage return stays in its line", QStringLiteral("abcdefghij\r\nab"), 0, 100, 2, 1100,
         390, 2120, 1630},
        {"wider than half the screen wraps", wide, 0, 100, 2, 9600, 390, 10620, 1630},
        {"exactly half the screen counts two rows", QString(96, QLatin1Char('w')), 0, 100, 2, 9600,
         390, 10620, 1630},
        {"more lines than half the screen is cut", tall, 0, 100, 51, 500, 7200, 1520, 8440},
        {"check box widens and heightens", QStringLiteral("abc"), 256 + 7, 100, 1, 500, 200, 4000,
         2060},
    };
    for (const GeometryCase &c : cases) {
        SCOPED_TRACE(c.name);
        const Layout l = layoutMessage(c.text, c.style, metrics(c.charWidth));
        EXPECT_EQ(l.rows, c.rows);
        EXPECT_DOUBLE_EQ(l.textLeft, 720);
        EXPECT_DOUBLE_EQ(l.textTop, 240);
        EXPECT_DOUBLE_EQ(l.textWidth, c.textWidth);
        EXPECT_DOUBLE_EQ(l.textHeight, c.textHeight);
        EXPECT_DOUBLE_EQ(l.width, c.width);
        EXPECT_DOUBLE_EQ(l.height, c.height);
    }
}

struct ButtonCase {
    const char *name;
    int16_t style;
    std::vector<Button> buttons;
    std::vector<double> lefts;
    double top;
    bool checkBox;
    double checkBoxTop;
};

TEST(MessageBoxLayout, CentresTheButtonsAtTheBottom) {
    const ButtonCase cases[] = {
        {"OK only centred", 49, {Button::OK}, {435}, 750, false, 0},
        {"set 1 shows OK alone", 1, {Button::OK}, {435}, 750, false, 0},
        {"set 15 shows OK alone", 15, {Button::OK}, {435}, 750, false, 0},
        {"Yes/No/Cancel",
         35,
         {Button::Yes, Button::No, Button::Cancel},
         {265, 1115, 1965},
         750,
         false,
         0},
        {"Yes/No", 4, {Button::Yes, Button::No}, {330, 1180}, 750, false, 0},
        {"Retry/Cancel", 5, {Button::Retry, Button::Cancel}, {330, 1180}, 750, false, 0},
        {"Yes/Yes to all/No",
         6,
         {Button::Yes, Button::All, Button::No},
         {86, 936, 2144},
         750,
         false,
         0},
        {"four buttons with the check box",
         7 + 256,
         {Button::Yes, Button::All, Button::No, Button::Cancel},
         {221, 1071, 2279, 3129},
         1260,
         true,
         877.5},
        {"question with the check box",
         35 + 256,
         {Button::Yes, Button::No, Button::Cancel},
         {825, 1675, 2525},
         1260,
         true,
         877.5},
    };
    for (const ButtonCase &c : cases) {
        SCOPED_TRACE(c.name);
        const Layout l = layoutMessage(QStringLiteral("abc"), c.style, metrics());
        ASSERT_EQ(l.buttons.size(), c.buttons.size());
        for (std::size_t i = 0; i < c.buttons.size(); ++i) {
            EXPECT_EQ(l.buttons[i].button, c.buttons[i]);
            EXPECT_DOUBLE_EQ(l.buttons[i].left, c.lefts[i]);
            EXPECT_DOUBLE_EQ(l.buttons[i].top, c.top);
            EXPECT_DOUBLE_EQ(l.buttons[i].width, buttonInfo(c.buttons[i]).widthTwips);
        }
        EXPECT_EQ(l.checkBoxVisible, c.checkBox);
        if (c.checkBox) {
            EXPECT_DOUBLE_EQ(l.checkBoxTop, c.checkBoxTop);
            EXPECT_DOUBLE_EQ(l.checkBoxLeft, 240);
            EXPECT_DOUBLE_EQ(l.checkBoxWidth, 3500);
        }
    }
}

TEST(MessageBoxLayout, MeasuredControlsGrowButNeverShrink) {
    struct Case {
        const char *name;
        int16_t style;
        int wrappedRows;
        double cancelWidth, checkBoxWidth;
        int rows;
        double width, cancelLeft, cancelWidthShown, checkBoxWidthShown;
    };
    const Case cases[] = {
        {"wrapping needs more rows", 7, 3, 0, 0, 3, 3600, 2929, 650, 3500},
        {"fewer wrapped rows keep the count", 7, 0, 0, 0, 1, 3600, 2929, 650, 3500},
        {"a wider Cancel widens the window", 7, 0, 799.5, 0, 1, 3750, 2929, 800, 3500},
        {"a wider check box caption", 3 + 256, 0, 0, 4000, 1, 4500, 2775, 650, 4000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Metrics m = metrics();
        m.wrappedRows = [&c](const QString &, double) { return c.wrappedRows; };
        m.buttonWidth = [&c](const QString &caption) {
            return caption == QLatin1String("&Cancel") ? c.cancelWidth : 10.0;
        };
        m.checkBoxWidth = c.checkBoxWidth;
        const Layout l = layoutMessage(QStringLiteral("abc"), c.style, m);
        EXPECT_EQ(l.rows, c.rows);
        EXPECT_DOUBLE_EQ(l.textHeight, std::max(200.0, 195.0 * c.rows));
        EXPECT_DOUBLE_EQ(l.width, c.width);
        const PlacedButton &cancel = l.buttons.back();
        ASSERT_EQ(cancel.button, Button::Cancel);
        EXPECT_DOUBLE_EQ(cancel.left, c.cancelLeft);
        EXPECT_DOUBLE_EQ(cancel.width, c.cancelWidthShown);
        EXPECT_DOUBLE_EQ(l.checkBoxWidth, c.checkBoxWidthShown);
    }
}

TEST(MessageBoxStyle, IconAndBeepFromTheStyle) {
    const struct {
        int16_t style;
        Icon icon;
        int beep;
    } cases[] = {
        {0, Icon::Information, 0},  {16, Icon::Information, 0},  {32, Icon::Question, 32},
        {35, Icon::Question, 32},   {48, Icon::Exclamation, 48}, {49, Icon::Exclamation, 48},
        {64, Icon::Information, 0}, {4, Icon::Information, 0},   {256 + 48, Icon::Exclamation, 48},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.style);
        EXPECT_EQ(icon(c.style), c.icon);
        EXPECT_EQ(beepCode(c.style), c.beep);
        EXPECT_EQ(layoutMessage(QString(), c.style, metrics()).icon, c.icon);
    }
}

TEST(MessageBoxPointer, HoverRectCoversFrameAndCaption) {
    const HoverRect r = hoverRect(4000, 2060, 15, 15, FrameMetrics{3, 3, 18});
    EXPECT_EQ(r.left, -3);
    EXPECT_EQ(r.top, -21);
    EXPECT_EQ(r.right, 269);  // 266 whole pixels + the frame
    EXPECT_EQ(r.bottom, 140); // 137 whole pixels + the frame
    const struct {
        int x, y;
        int16_t pointer;
    } cases[] = {
        {-3, -21, MousePointer::Default},   {268, 139, MousePointer::Default},
        {269, 50, MousePointer::Hourglass}, {50, 140, MousePointer::Hourglass},
        {-4, 50, MousePointer::Hourglass},  {50, -22, MousePointer::Hourglass},
        {100, 60, MousePointer::Default},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(watchedPointer(r, c.x, c.y, MousePointer::Hourglass), c.pointer);
    }
}

} // namespace
} // namespace zelp::Msg
