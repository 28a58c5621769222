#include "common/aboutboxlayout.h"
#include "common/appinfo.h"

#include <gtest/gtest.h>

namespace zelp::About {
namespace {

TEST(AboutBoxLayout, FollowsTheBannerSize) {
    const struct {
        const char *name;
        double bitmapW, bitmapH;
        double frameTop, clientW, clientH;
    } cases[] = {
        {"262 x 82 pixels at 15 twips per pixel", 3930, 1230, 1440, 5040, 5520},
        {"262 x 82 pixels at 120 dpi", 3144, 984, 1194, 5040, 5274},
        {"design size changes nothing", 3855, 1110, 1320, 5040, 5400},
        {"exactly fills the width", 4800, 1110, 1320, 5040, 5400},
        {"wider than the client area minus the margins", 4950.4, 600, 810, 5190, 4890},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Layout l = layoutAboutBox(c.bitmapW, c.bitmapH);
        EXPECT_DOUBLE_EQ(l.imageLeft, 120);
        EXPECT_DOUBLE_EQ(l.imageTop, 120);
        EXPECT_DOUBLE_EQ(l.imageWidth, c.bitmapW);
        EXPECT_DOUBLE_EQ(l.imageHeight, c.bitmapH);
        EXPECT_DOUBLE_EQ(l.frameLeft, 120);
        EXPECT_DOUBLE_EQ(l.frameTop, c.frameTop);
        EXPECT_DOUBLE_EQ(l.clientWidth, c.clientW);
        EXPECT_DOUBLE_EQ(l.clientHeight, c.clientH);
    }
}

TEST(AboutBoxLayout, ReleaseText) {
    EXPECT_EQ(AppInfo::releaseText("2000", 4, 0, 132), " Release 2000 (4.0.132) ");
    EXPECT_EQ(AppInfo::releaseText("", 4, 0, 132), " Release  (4.0.132) ");
    EXPECT_EQ(AppInfo::releaseText("SP1", 10, 2, 7), " Release SP1 (10.2.7) ");
}

} // namespace
} // namespace zelp::About
