#include "messagetext.h"

#include <QPainter>
#include <QTextLayout>

namespace zelp {

namespace {

// Lays out each line of the text at the width and hands every laid-out paragraph to use
// with its top; returns the rows.
template <class Use> int layOut(const QString &text, const QFont &font, qreal width, Use &&use) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    int rows = 0;
    qreal top = 0;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal y = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
            ++rows;
        }
        layout.endLayout();
        use(layout, top);
        top += y;
    }
    return rows;
}

} // namespace

MessageText::MessageText(QWidget *parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

int MessageText::rowsFor(const QString &text, const QFont &font, qreal width) {
    if (text.isEmpty()) {
        return 0;
    }
    return layOut(text, font, width, [](const QTextLayout &, qreal) {});
}

void MessageText::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QRectF area = contentsRect();
    painter.setClipRect(area);
    layOut(text(), font(), area.width(), [&](const QTextLayout &layout, qreal top) {
        layout.draw(&painter, area.topLeft() + QPointF(0, top));
    });
}

} // namespace zelp
