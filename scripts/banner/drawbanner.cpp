// Draws the About box banner (bitmap 9001, 262 x 82 pixels) into the PNG given as argument.
// Build and run:
//   g++ -std=c++20 -fPIC drawbanner.cpp $(pkg-config --cflags --libs Qt6Gui) -o drawbanner
//   QT_QPA_PLATFORM=offscreen ./drawbanner ../../resources/images/9001.png
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    const int w = 262, h = 82;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Night-blue sky fading to teal.
    QLinearGradient sky(0, 0, w, h);
    sky.setColorAt(0.0, QColor(12, 32, 74));
    sky.setColorAt(0.6, QColor(18, 70, 110));
    sky.setColorAt(1.0, QColor(20, 112, 128));
    p.fillRect(image.rect(), sky);

    // Faint scan lines, as on a terminal screen.
    p.setPen(QColor(255, 255, 255, 14));
    for (int y = 1; y < h; y += 3) {
        p.drawLine(0, y, w, y);
    }

    // A wave of light across the lower part.
    QPainterPath wave;
    wave.moveTo(0, 62);
    wave.cubicTo(70, 44, 150, 84, w, 58);
    wave.lineTo(w, h);
    wave.lineTo(0, h);
    wave.closeSubpath();
    QLinearGradient glow(0, 50, 0, h);
    glow.setColorAt(0.0, QColor(120, 220, 230, 70));
    glow.setColorAt(1.0, QColor(120, 220, 230, 0));
    p.fillPath(wave, glow);

    // The terminal glyph: a small screen with a prompt.
    const QRectF screen(12, 17, 50, 38);
    p.setPen(QPen(QColor(190, 230, 240), 2));
    p.setBrush(QColor(6, 20, 40));
    p.drawRoundedRect(screen, 5, 5);
    p.setBrush(QColor(190, 230, 240));
    p.drawRoundedRect(QRectF(29, 57, 16, 3), 1, 1);
    p.drawRoundedRect(QRectF(22, 61, 30, 3), 1.5, 1.5);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(15);
    mono.setBold(true);
    p.setFont(mono);
    p.setPen(QColor(110, 240, 170));
    p.drawText(screen.adjusted(6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral(">_"));

    // The product name.
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(22);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(75, 39), QStringLiteral("Velmaris 2000"));
    p.setPen(Qt::white);
    p.drawText(QPointF(74, 38), QStringLiteral("Velmaris 2000"));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(13);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(sub);
    p.setPen(QColor(170, 225, 235));
    p.drawText(QPointF(75, 57), QStringLiteral("INTERNET EDITION"));

    // A thin rule under the name.
    p.setPen(QPen(QColor(110, 240, 170, 180), 1));
    p.drawLine(QPointF(75, 44), QPointF(250, 44));
    p.end();
    return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
