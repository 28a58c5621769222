// Draws the designer's artwork into the folder given as first argument: the eight button
// pictures at 32 and 48 pixels (cmdNew-32.png, cmdNew-48.png, ...), the background tile
// 9002.png (402 x 327, seamless), the program icon icon.png (64 x 64) and the same icon for
// the desktop's theme, hicolor/<n>x<n>/apps/zelpdev2k.png, and the icon of connection files,
// hicolor/<n>x<n>/mimetypes/application-x-zelpdev2k-connection.png. With a second
// argument it also writes a contact sheet of everything on the tile.
// Build and run:
//   g++ -std=c++20 -fPIC drawartwork.cpp $(pkg-config --cflags --libs Qt6Gui) -o drawartwork
//   QT_QPA_PLATFORM=offscreen ./drawartwork ../../resources/images
//   ../../docs/screenshots/artwork.png
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace {

// One palette, one stroke, light from the top left for every picture.
const QColor kInk(28, 44, 70);         // outlines
const QColor kPaperTop(255, 255, 255); // pages
const QColor kPaperBottom(222, 230, 240);
const QColor kFolderTop(250, 210, 120); // folder
const QColor kFolderBottom(214, 150, 52);
const QColor kBlueTop(96, 150, 214); // disk
const QColor kBlueBottom(34, 78, 146);
const QColor kSteelTop(200, 210, 222); // gear, shutter
const QColor kSteelBottom(104, 120, 142);
const QColor kGreenTop(112, 208, 120); // connected
const QColor kGreenBottom(30, 132, 58);
const QColor kRedTop(244, 120, 100); // apart, close
const QColor kRedBottom(178, 40, 32);
const QColor kGoldTop(255, 232, 110); // star, pen
const QColor kGoldBottom(226, 160, 20);
const QColor kLine(120, 140, 168); // text lines on a page
constexpr double kStroke = 1.5;    // in the 32-unit grid

QBrush shade(const QRectF &r, const QColor &top, const QColor &bottom) {
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    return g;
}

QPen ink(double width = kStroke) {
    QPen pen(kInk, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// Every shape casts the same soft shadow down and to the right.
void shadowed(QPainter &p, const QPainterPath &path) {
    p.save();
    p.translate(0.9, 1.1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 46));
    p.drawPath(path);
    p.restore();
}

void fillShape(QPainter &p, const QPainterPath &path, const QColor &top, const QColor &bottom) {
    shadowed(p, path);
    p.setPen(ink());
    p.setBrush(shade(path.boundingRect(), top, bottom));
    p.drawPath(path);
}

QPainterPath page(double left, double top, double right, double bottom, double ear = 6) {
    QPainterPath path;
    path.moveTo(left, top);
    path.lineTo(right - ear, top);
    path.lineTo(right, top + ear);
    path.lineTo(right, bottom);
    path.lineTo(left, bottom);
    path.closeSubpath();
    return path;
}

void drawPage(QPainter &p, double left, double top, double right, double bottom) {
    const double ear = 6;
    fillShape(p, page(left, top, right, bottom, ear), kPaperTop, kPaperBottom);
    QPainterPath fold;
    fold.moveTo(right - ear, top);
    fold.lineTo(right - ear, top + ear);
    fold.lineTo(right, top + ear);
    fold.closeSubpath();
    p.setBrush(QColor(196, 208, 224));
    p.setPen(ink(1.0));
    p.drawPath(fold);
}

void drawBadge(QPainter &p, QPointF centre, double radius, const QColor &top,
               const QColor &bottom) {
    QPainterPath circle;
    circle.addEllipse(centre, radius, radius);
    fillShape(p, circle, top, bottom);
    // A highlight where the light falls.
    QRadialGradient gloss(centre - QPointF(radius * 0.4, radius * 0.45), radius * 0.8);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 120));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(centre, radius - 1, radius - 1);
}

void drawNew(QPainter &p) {
    drawPage(p, 6, 3, 24, 29);
    // A star where the new page sparkles.
    QPainterPath star;
    const QPointF c(22.5, 9.5);
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? 7.2 : 3.0;
        const double a = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i == 0 ? star.moveTo(pt) : star.lineTo(pt);
    }
    star.closeSubpath();
    fillShape(p, star, kGoldTop, kGoldBottom);
}

void drawOpen(QPainter &p) {
    // Back of the folder with its tab.
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(11, 8);
    back.lineTo(13.5, 10.5);
    back.lineTo(25, 10.5);
    back.lineTo(25, 27);
    back.lineTo(3, 27);
    back.closeSubpath();
    fillShape(p, back, kFolderBottom.lighter(115), kFolderBottom.darker(115));
    // A sheet standing in it.
    p.setPen(ink(1.0));
    p.setBrush(shade(QRectF(7, 5, 16, 16), kPaperTop, kPaperBottom));
    p.drawRect(QRectF(7.5, 5.5, 15, 16));
    // The front flap, swung open towards the viewer.
    QPainterPath front;
    front.moveTo(3, 27);
    front.lineTo(8, 15);
    front.lineTo(30, 15);
    front.lineTo(25, 27);
    front.closeSubpath();
    fillShape(p, front, kFolderTop, kFolderBottom);
}

void drawClose(QPainter &p) {
    drawPage(p, 6, 3, 24, 29);
    drawBadge(p, QPointF(21.5, 22.5), 7.2, kRedTop, kRedBottom);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18.8, 19.8), QPointF(24.2, 25.2));
    p.drawLine(QPointF(24.2, 19.8), QPointF(18.8, 25.2));
}

void drawSave(QPainter &p) {
    QPainterPath body;
    body.moveTo(4, 4);
    body.lineTo(25, 4);
    body.lineTo(28, 7);
    body.lineTo(28, 28);
    body.lineTo(4, 28);
    body.closeSubpath();
    fillShape(p, body, kBlueTop, kBlueBottom);
    // Metal shutter with its window.
    p.setPen(ink(1.0));
    p.setBrush(shade(QRectF(9, 4, 14, 9), kSteelTop, kSteelBottom));
    p.drawRect(QRectF(9, 4, 14, 8.5));
    p.setBrush(kBlueBottom.darker(130));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(18, 5.5, 3, 5.5));
    // Label.
    p.setPen(ink(1.0));
    p.setBrush(shade(QRectF(8, 16, 16, 12), kPaperTop, kPaperBottom));
    p.drawRect(QRectF(8, 16, 16, 12));
    p.setPen(QPen(kLine, 1.0));
    p.drawLine(QPointF(10.5, 20), QPointF(21.5, 20));
    p.drawLine(QPointF(10.5, 23.5), QPointF(21.5, 23.5));
}

void drawSettings(QPainter &p) {
    const QPointF c(16, 16);
    const int teeth = 8;
    QPainterPath gear;
    for (int i = 0; i < teeth * 4; ++i) {
        // Each tooth: two points out, two points in.
        const double a = (i - 0.5) * 2 * M_PI / (teeth * 4);
        const double r = (i % 4 == 0 || i % 4 == 1) ? 13.0 : 9.8;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i == 0 ? gear.moveTo(pt) : gear.lineTo(pt);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 4.0, 4.0);
    gear = gear.subtracted(hole);
    fillShape(p, gear, kSteelTop, kSteelBottom);
    // A ring that catches the light.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
    p.drawEllipse(c, 7.0, 7.0);
}

void drawScript(QPainter &p) {
    drawPage(p, 5, 3, 23, 29);
    p.setPen(QPen(kLine, 1.4, Qt::SolidLine, Qt::RoundCap));
    const double ends[] = {16, 19, 14, 18, 11, 15};
    for (int i = 0; i < 6; ++i) {
        p.drawLine(QPointF(8.5, 8.5 + i * 3.3), QPointF(ends[i], 8.5 + i * 3.3));
    }
    // The pen, lying across the lower right corner.
    p.save();
    p.translate(22, 20);
    p.rotate(45);
    QPainterPath pen;
    pen.addRoundedRect(QRectF(-2.6, -10, 5.2, 14), 1.2, 1.2);
    fillShape(p, pen, kGoldTop, kGoldBottom);
    QPainterPath tip;
    tip.moveTo(-2.6, 4);
    tip.lineTo(2.6, 4);
    tip.lineTo(0, 9);
    tip.closeSubpath();
    p.setPen(ink(1.0));
    p.setBrush(QColor(246, 222, 186));
    p.drawPath(tip);
    p.setBrush(kInk);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 7.8), 0.9, 0.9);
    p.setPen(ink(1.0));
    p.drawLine(QPointF(-2.6, -6.5), QPointF(2.6, -6.5));
    p.restore();
}

// A plug (prongs out) and a socket (holes) facing each other across the middle; joined,
// the prongs sit inside the socket.
void drawPlug(QPainter &p, double right, const QColor &top, const QColor &bottom) {
    const double cy = 16, width = 8;
    p.setPen(QPen(kInk, 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(1.8, cy), QPointF(right - width, cy));
    p.setPen(ink(1.0));
    p.setBrush(shade(QRectF(right, 11, 6, 10), kSteelTop, kSteelBottom));
    p.drawRect(QRectF(right - 0.5, 11.2, 6, 2.8));
    p.drawRect(QRectF(right - 0.5, 18.0, 6, 2.8));
    QPainterPath body;
    body.moveTo(right - width, cy - 5);
    body.lineTo(right - 2, cy - 8);
    body.quadTo(right, cy - 8, right, cy - 6);
    body.lineTo(right, cy + 6);
    body.quadTo(right, cy + 8, right - 2, cy + 8);
    body.lineTo(right - width, cy + 5);
    body.closeSubpath();
    fillShape(p, body, top, bottom);
    p.setPen(QPen(QColor(255, 255, 255, 130), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(right - 3.2, cy - 4.5), QPointF(right - 3.2, cy + 4.5));
}

void drawSocket(QPainter &p, double left, const QColor &top, const QColor &bottom) {
    const double cy = 16, width = 8;
    p.setPen(QPen(kInk, 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(left + width, cy), QPointF(30.2, cy));
    QPainterPath body;
    body.moveTo(left + width, cy - 5);
    body.lineTo(left + 2, cy - 8);
    body.quadTo(left, cy - 8, left, cy - 6);
    body.lineTo(left, cy + 6);
    body.quadTo(left, cy + 8, left + 2, cy + 8);
    body.lineTo(left + width, cy + 5);
    body.closeSubpath();
    fillShape(p, body, top, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(left, 11.6, 1.8, 2.0));
    p.drawRect(QRectF(left, 18.4, 1.8, 2.0));
}

void drawConnect(QPainter &p) {
    drawPlug(p, 13.0, kGreenTop, kGreenBottom);
    drawSocket(p, 17.0, kGreenTop, kGreenBottom);
}

void drawDisconnect(QPainter &p) {
    drawPlug(p, 11.0, kRedTop, kRedBottom);
    drawSocket(p, 21.0, kRedTop, kRedBottom);
}

struct Button {
    const char *name;
    std::function<void(QPainter &)> draw;
};

const std::vector<Button> &buttons() {
    static const std::vector<Button> list = {
        {"cmdNew", drawNew},           {"cmdOpen", drawOpen},
        {"cmdClose", drawClose},       {"cmdSave", drawSave},
        {"cmdSettings", drawSettings}, {"cmdScript", drawScript},
        {"cmdConnect", drawConnect},   {"cmdDisconnect", drawDisconnect},
    };
    return list;
}

QImage picture(const Button &b, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    b.draw(p);
    p.end();
    return image;
}

// A wave field whose periods divide the tile, so its edges meet.
double field(double x, double y, int w, int h) {
    const double u = 2 * M_PI * x / w, v = 2 * M_PI * y / h;
    return 0.55 * std::sin(u + 2 * v + 0.3) + 0.35 * std::sin(2 * u - v + 1.7) +
           0.25 * std::sin(3 * u + v + 4.1) + 0.2 * std::cos(u - 3 * v + 2.2);
}

QImage tile() {
    const int w = 402, h = 327;
    QImage image(w, h, QImage::Format_RGB32);
    uint32_t seed = 20001;
    auto grain = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 24) % 5) - 2;
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double f = field(x, y, w, h);
            // Soft shading plus faint contour lines, like swell on calm water.
            double level = 4.0 * f;
            const double band = std::fabs(std::fmod(f * 6 + 60.0, 1.0) - 0.5);
            if (band < 0.05) {
                level += 5.0 * (1 - band / 0.05);
            }
            const int g = grain();
            const int r = std::clamp(int(222 + level) + g, 0, 255);
            const int gr = std::clamp(int(229 + level) + g, 0, 255);
            const int b = std::clamp(int(236 + level * 0.8) + g, 0, 255);
            image.setPixel(x, y, qRgb(r, gr, b));
        }
    }
    return image;
}

// Drawn on a 32-unit grid, at any size.
QImage programIcon(int side = 64) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 32.0, side / 32.0);
    // The terminal screen of the banner, with the designer's pen.
    QPainterPath frame;
    frame.addRoundedRect(QRectF(2, 3, 27, 21), 3, 3);
    fillShape(p, frame, kSteelTop, kSteelBottom);
    QLinearGradient glass(4, 5, 27, 22);
    glass.setColorAt(0.0, QColor(18, 70, 110));
    glass.setColorAt(1.0, QColor(6, 20, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawRoundedRect(QRectF(4.5, 5.5, 22, 16), 1.5, 1.5);
    p.setPen(QPen(QColor(110, 240, 170), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QVector<QPointF>{{8, 9.5}, {11.5, 13}, {8, 16.5}});
    p.drawLine(QPointF(13.5, 17), QPointF(18.5, 17));
    QPainterPath stand;
    stand.addRoundedRect(QRectF(10, 25, 11, 3.5), 1.5, 1.5);
    fillShape(p, stand, kSteelTop, kSteelBottom);
    p.save();
    p.translate(24.5, 20.5);
    p.rotate(45);
    QPainterPath pen;
    pen.addRoundedRect(QRectF(-2.6, -9, 5.2, 13), 1.2, 1.2);
    fillShape(p, pen, kGoldTop, kGoldBottom);
    QPainterPath tip;
    tip.moveTo(-2.6, 4);
    tip.lineTo(2.6, 4);
    tip.lineTo(0, 8.5);
    tip.closeSubpath();
    p.setPen(ink(1.0));
    p.setBrush(QColor(246, 222, 186));
    p.drawPath(tip);
    p.restore();
    p.end();
    return image;
}

// Roughly how the widget style greys a picture on a disabled button.
// A connection file: a page with a folded corner carrying the program's icon, so that the
// file manager tells the files from the program.
QImage documentIcon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double u = side / 16.0, fold = 4 * u;
    const QRectF page(2.5 * u, 0.5 * u, 11 * u, 15 * u);
    QPainterPath outline;
    outline.moveTo(page.topLeft());
    outline.lineTo(page.right() - fold, page.top());
    outline.lineTo(page.right(), page.top() + fold);
    outline.lineTo(page.bottomRight());
    outline.lineTo(page.bottomLeft());
    outline.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x78, 0x80), std::max(1.0, u / 2)));
    p.setBrush(QColor(0xfb, 0xfb, 0xf8));
    p.drawPath(outline);
    QPainterPath corner;
    corner.moveTo(page.right() - fold, page.top());
    corner.lineTo(page.right() - fold, page.top() + fold);
    corner.lineTo(page.right(), page.top() + fold);
    p.setBrush(QColor(0xd8, 0xdc, 0xe0));
    p.drawPath(corner);
    const int badge = int(std::round(8 * u));
    p.drawImage(
        QPointF(page.center().x() - badge / 2.0, page.bottom() - badge - 1.5 * u),
        programIcon(64).scaled(badge, badge, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return image;
}

QImage disabled(const QImage &image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
    return out;
}

// A plain push button face with a picture centred on it.
void drawButton(QPainter &p, const QRect &r, const QPixmap &pix, double scale) {
    p.save();
    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0, QColor(250, 250, 250));
    face.setColorAt(1, QColor(226, 226, 226));
    p.setPen(QPen(QColor(140, 140, 140), scale));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 2 * scale, 2 * scale);
    p.drawPixmap(r.x() + (r.width() - pix.width()) / 2, r.y() + (r.height() - pix.height()) / 2,
                 pix);
    p.restore();
}

QImage contactSheet(const QImage &background) {
    const int w = 980, h = 700;
    QImage sheet(w, h, QImage::Format_RGB32);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawTiledPixmap(sheet.rect(), QPixmap::fromImage(background));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);

    // The button column as the main window places it (twips / 15 at 96 dpi), enabled and
    // disabled, at 100 % and 150 %.
    const int tops[] = {120, 891, 1662, 2433, 3204, 3975, 4746, 5520};
    auto column = [&](int x0, double scale, int size, QIcon::Mode mode, const QString &title) {
        p.setPen(QColor(30, 40, 60));
        p.drawText(x0, 16, title);
        for (size_t i = 0; i < buttons().size(); ++i) {
            const QPixmap pix =
                QPixmap::fromImage(mode == QIcon::Disabled ? disabled(picture(buttons()[i], size))
                                                           : picture(buttons()[i], size));
            const QRect r(x0 + int(100 / 15.0 * scale), 24 + int(tops[i] / 15.0 * scale),
                          int(750 / 15.0 * scale), int(600 / 15.0 * scale));
            drawButton(p, r, pix, scale);
        }
    };
    column(10, 1.0, 32, QIcon::Normal, QStringLiteral("100 %"));
    column(90, 1.0, 32, QIcon::Disabled, QStringLiteral("disabled"));
    column(190, 1.5, 48, QIcon::Normal, QStringLiteral("150 %"));
    column(310, 1.5, 48, QIcon::Disabled, QStringLiteral("disabled"));

    // Every picture by name at both sizes, the icon, and a frame like the preview's.
    int y = 40;
    for (const Button &b : buttons()) {
        p.drawImage(450, y, picture(b, 32));
        p.drawImage(500, y - 8, picture(b, 48));
        p.setPen(QColor(30, 40, 60));
        p.drawText(565, y + 20, QString::fromLatin1(b.name));
        y += 62;
    }
    p.drawImage(700, 40, programIcon());
    p.drawText(700, 124, QStringLiteral("icon.png"));
    p.setPen(QPen(QColor(90, 100, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(700, 150, 260, 200));
    p.fillRect(QRect(701, 151, 259, 16), QColor(0, 84, 153));
    p.setPen(Qt::white);
    p.drawText(QRect(701, 151, 259, 16), Qt::AlignCenter, QStringLiteral("Preview"));
    p.setPen(QColor(30, 40, 60));
    p.drawText(700, 380, QStringLiteral("Tile 402 x 327, repeated from the top left"));
    p.end();
    return sheet;
}

bool save(const QImage &image, const QString &path) {
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (const Button &b : buttons()) {
        for (int size : {32, 48}) {
            ok = save(picture(b, size), QStringLiteral("%1/%2-%3.png")
                                            .arg(dir, QString::fromLatin1(b.name))
                                            .arg(size)) &&
                 ok;
        }
    }
    const QImage background = tile();
    ok = save(background, dir + QStringLiteral("/9002.png")) && ok;
    ok = save(programIcon(), dir + QStringLiteral("/icon.png")) && ok;
    // The desktop's icon theme, at the sizes menus and file managers ask for.
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(side);
        ok = QDir().mkpath(folder) &&
             save(programIcon(side), folder + QStringLiteral("/zelpdev2k.png")) && ok;
        const QString types = QStringLiteral("%1/hicolor/%2x%2/mimetypes").arg(dir).arg(side);
        ok = QDir().mkpath(types) &&
             save(documentIcon(side),
                  types + QStringLiteral("/application-x-zelpdev2k-connection.png")) &&
             ok;
    }
    if (argc == 3) {
        ok = save(contactSheet(background), QString::fromLocal8Bit(argv[2])) && ok;
    }
    return ok ? 0 : 1;
}
