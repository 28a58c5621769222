#include "terminalview.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

namespace zelp {

namespace {

const QColor kForeground(0xc0, 0xc0, 0xc0);
const QColor kBackground(0x00, 0x00, 0x00);
const QColor kIdleBackground(0x00, 0x00, 0x80);
const QColor kIdleText(0xff, 0xff, 0xff);

QColor toQColor(const TerminalColor &color, const QColor &fallback) {
    return color.isDefault ? fallback : QColor(color.red, color.green, color.blue);
}

} // namespace

TerminalView::TerminalView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TerminalView"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setTerminalFont(QString(), 0);
    connect(&screen_, &TerminalScreen::changed, this, [this] {
        if (!idle_) {
            update();
        }
    });
}

void TerminalView::setTerminalFont(const QString &family, int pointSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!family.trimmed().isEmpty()) {
        font.setFamily(family.trimmed());
    }
    if (pointSize > 0) {
        font.setPointSize(pointSize);
    }
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setKerning(false);
    font_ = font;
    measure();
}

void TerminalView::setTerminalSize(int rows, int columns) {
    screen_.resize(rows, columns);
    updateGeometry();
    update();
}

void TerminalView::setTitle(const QString &title) {
    title_ = title;
    update();
}

void TerminalView::setStatusText(const QString &text) {
    status_ = text;
    update();
}

void TerminalView::setIdle(bool idle) {
    idle_ = idle;
    update();
}

void TerminalView::measure() {
    const QFontMetrics metrics(font_);
    cell_ = QSize(std::max(1, metrics.horizontalAdvance(QLatin1Char('M'))),
                  std::max(1, metrics.height()));
    ascent_ = metrics.ascent();
    updateGeometry();
    update();
}

QSize TerminalView::sizeHint() const {
    return QSize(cell_.width() * screen_.columns(), cell_.height() * screen_.rows());
}

QSize TerminalView::minimumSizeHint() const {
    return QSize(cell_.width() * 20, cell_.height() * 4);
}

void TerminalView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (idle_) {
        paintIdle(painter);
    } else {
        paintScreen(painter);
    }
}

void TerminalView::paintIdle(QPainter &painter) {
    painter.fillRect(rect(), kIdleBackground);
    painter.setPen(kIdleText);
    QFont big = font_;
    big.setPointSizeF(font_.pointSizeF() * 1.5);
    big.setBold(true);
    const QFontMetrics bigMetrics(big);
    const QFontMetrics metrics(font_);
    const int middle = height() / 2;
    painter.setFont(big);
    painter.drawText(QRect(0, middle - bigMetrics.height(), width(), bigMetrics.height()),
                     Qt::AlignCenter, title_);
    painter.setFont(font_);
    painter.drawText(QRect(0, middle + metrics.height() / 2, width(), metrics.height()),
                     Qt::AlignCenter, status_);
}

void TerminalView::paintScreen(QPainter &painter) {
    painter.fillRect(rect(), kBackground);
    const int w = cell_.width();
    const int h = cell_.height();
    for (int row = 0; row < screen_.rows(); ++row) {
        for (int column = 0; column < screen_.columns(); ++column) {
            const TerminalCell cell = screen_.cell(row, column);
            if (cell.width == 0) {
                continue;
            }
            QColor fore = toQColor(cell.foreground, kForeground);
            QColor back = toQColor(cell.background, kBackground);
            if (cell.reverse) {
                std::swap(fore, back);
            }
            const QRect box(column * w, row * h, w * cell.width, h);
            if (back != kBackground) {
                painter.fillRect(box, back);
            }
            if (cell.text.isEmpty() || cell.text == QLatin1String(" ")) {
                continue;
            }
            QFont font = font_;
            font.setBold(cell.bold);
            font.setItalic(cell.italic);
            font.setUnderline(cell.underline);
            font.setStrikeOut(cell.strike);
            painter.setFont(font);
            painter.setPen(fore);
            painter.drawText(box.left(), box.top() + ascent_, cell.text);
        }
    }
    if (screen_.cursorVisible() && hasFocus()) {
        const QRect cursor(screen_.cursorColumn() * w, screen_.cursorRow() * h, w, h);
        painter.fillRect(cursor,
                         QColor(kForeground.red(), kForeground.green(), kForeground.blue(), 0xa0));
    } else if (screen_.cursorVisible()) {
        painter.setPen(kForeground);
        painter.drawRect(screen_.cursorColumn() * w, screen_.cursorRow() * h, w - 1, h - 1);
    }
}

void TerminalView::keyPressEvent(QKeyEvent *event) {
    if (idle_) {
        QWidget::keyPressEvent(event);
        return;
    }
    const QByteArray bytes = screen_.encodeKey(event->key(), event->modifiers(), event->text());
    if (bytes.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Q_EMIT keyPressed(bytes);
}

bool TerminalView::focusNextPrevChild(bool next) {
    // Tab belongs to the host while a session runs.
    return idle_ ? QWidget::focusNextPrevChild(next) : false;
}

} // namespace zelp
