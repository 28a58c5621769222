#include "ui/common/buttonpicture.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>

namespace zelp {
namespace {

TEST(Artwork, PicturesHaveTheirSizes) {
    struct Case {
        QString path;
        QSize size;
    };
    std::vector<Case> cases = {
        {QStringLiteral(":/images/9002.png"), {402, 327}},
        {QStringLiteral(":/images/icon.png"), {64, 64}},
        {QStringLiteral(":/images/9001.png"), {262, 82}},
    };
    for (const char *button : {"cmdNew", "cmdOpen", "cmdClose", "cmdSave", "cmdSettings",
                               "cmdScript", "cmdConnect", "cmdDisconnect"}) {
        for (int size : {32, 48}) {
            cases.push_back(
                {QStringLiteral(":/images/%1-%2.png").arg(QLatin1String(button)).arg(size),
                 {size, size}});
        }
    }
    for (const Case &c : cases) {
        const QImage image(c.path);
        EXPECT_FALSE(image.isNull()) << c.path.toStdString();
        EXPECT_EQ(image.size(), c.size) << c.path.toStdString();
    }
}

TEST(Artwork, ButtonPictureOffersBothSizes) {
    for (const char *button : {"cmdNew", "cmdOpen", "cmdClose", "cmdSave", "cmdSettings",
                               "cmdScript", "cmdConnect", "cmdDisconnect"}) {
        const QIcon icon = buttonPicture(QLatin1String(button));
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{32, 32}, {48, 48}})) << button;
        // Asked for the 150 % size, the icon gives the picture drawn for it, not a scaled one.
        EXPECT_EQ(icon.pixmap(QSize(48, 48)).toImage().convertToFormat(QImage::Format_ARGB32),
                  QImage(QStringLiteral(":/images/%1-48.png").arg(QLatin1String(button)))
                      .convertToFormat(QImage::Format_ARGB32))
            << button;
    }
    EXPECT_TRUE(buttonPicture(QStringLiteral("cmdNothing")).isNull());
}

int lumaDistance(QRgb a, QRgb b) {
    return std::abs(qGray(a) - qGray(b));
}

// Tiled from the top left, the tile's opposite edges meet: the step across an edge is no
// bigger than the steps inside it, and the picture stays quiet behind the buttons.
TEST(Artwork, BackgroundTileIsSeamlessAndQuiet) {
    const QImage tile(QStringLiteral(":/images/9002.png"));
    ASSERT_EQ(tile.size(), QSize(402, 327));
    const int w = tile.width(), h = tile.height();
    double inner = 0, acrossX = 0, acrossY = 0;
    int lo = 255, hi = 0;
    for (int y = 0; y < h; ++y) {
        acrossX += lumaDistance(tile.pixel(w - 1, y), tile.pixel(0, y));
        for (int x = 0; x + 1 < w; ++x) {
            inner += lumaDistance(tile.pixel(x, y), tile.pixel(x + 1, y));
        }
        for (int x = 0; x < w; ++x) {
            lo = std::min(lo, qGray(tile.pixel(x, y)));
            hi = std::max(hi, qGray(tile.pixel(x, y)));
        }
    }
    for (int x = 0; x < w; ++x) {
        acrossY += lumaDistance(tile.pixel(x, h - 1), tile.pixel(x, 0));
    }
    inner /= double(h) * (w - 1);
    EXPECT_LE(acrossX / h, 1.5 * inner + 0.5);
    EXPECT_LE(acrossY / w, 1.5 * inner + 0.5);
    EXPECT_LE(hi - lo, 40);
    EXPECT_GE(lo, 180); // light enough for black text
}

} // namespace
} // namespace zelp
