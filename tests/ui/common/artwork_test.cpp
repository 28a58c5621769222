#include "ui/common/buttonpicture.h"

#include <gtest/gtest.h>

#include <QImage>

namespace zelp {
namespace {

QImage argb(const QImage &image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

TEST(Artwork, ButtonPicturesComeInBothSizes) {
    EXPECT_EQ(QImage(QStringLiteral(":/images/icon.png")).size(), QSize(64, 64));
    for (const char *button : {"cmdNew", "cmdOpen", "cmdClose", "cmdSave", "cmdSettings",
                               "cmdScript", "cmdConnect", "cmdDisconnect"}) {
        const QString path = QStringLiteral(":/images/%1-%2.png").arg(QLatin1String(button));
        EXPECT_EQ(QImage(path.arg(32)).size(), QSize(32, 32)) << button;
        EXPECT_EQ(QImage(path.arg(48)).size(), QSize(48, 48)) << button;
        const QIcon icon = buttonPicture(QLatin1String(button));
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{32, 32}, {48, 48}})) << button;
        // Asked for the 150 % size, the icon gives the picture drawn for it, not a scaled one.
        EXPECT_EQ(argb(icon.pixmap(QSize(48, 48)).toImage()), argb(QImage(path.arg(48)))) << button;
    }
    EXPECT_TRUE(buttonPicture(QStringLiteral("cmdNothing")).isNull());
}

// Tiled from the top left, the tile's opposite edges meet: the step across an edge is no
// bigger than the steps inside it, and the picture stays quiet behind the buttons.
TEST(Artwork, BackgroundTileIsSeamlessAndQuiet) {
    const QImage tile(QStringLiteral(":/images/9002.png"));
    ASSERT_EQ(tile.size(), QSize(402, 327));
    const int w = tile.width(), h = tile.height();
    const auto step = [&](int x0, int y0, int x1, int y1) {
        return std::abs(qGray(tile.pixel(x0, y0)) - qGray(tile.pixel(x1, y1)));
    };
    double inner = 0, acrossX = 0, acrossY = 0;
    int lo = 255, hi = 0;
    for (int y = 0; y < h; ++y) {
        acrossX += step(w - 1, y, 0, y);
        for (int x = 0; x < w; ++x) {
            inner += x + 1 < w ? step(x, y, x + 1, y) : 0;
            lo = std::min(lo, qGray(tile.pixel(x, y)));
            hi = std::max(hi, qGray(tile.pixel(x, y)));
            acrossY += y == 0 ? step(x, h - 1, x, 0) : 0;
        }
    }
    inner /= double(h) * (w - 1);
    EXPECT_LE(acrossX / h, 1.5 * inner + 0.5);
    EXPECT_LE(acrossY / w, 1.5 * inner + 0.5);
    EXPECT_LE(hi - lo, 40);
    EXPECT_GE(lo, 180); // light enough for black text
}

} // namespace
} // namespace zelp
