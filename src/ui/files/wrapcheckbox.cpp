#include "wrapcheckbox.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace zelp {

namespace {
constexpr int kTextFlags =
    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
}

WrapCheckBox::WrapCheckBox(const QString &text, QWidget *parent) : QCheckBox(text, parent) {
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int WrapCheckBox::textIndent() const {
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
           style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

QRect WrapCheckBox::textRect(int width, int height) const {
    return {textIndent(), 0, std::max(1, width - textIndent()), height};
}

int WrapCheckBox::heightForWidth(int width) const {
    const QRect needed = fontMetrics().boundingRect(textRect(width, 0x7fff), kTextFlags, text());
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    return std::max(needed.height() + 2, indicator);
}

QSize WrapCheckBox::sizeHint() const {
    // Keeps the width it was given; only the height follows the caption.
    const int width = std::max(this->width(), textIndent() + 1);
    return {width, heightForWidth(width)};
}

bool WrapCheckBox::hitButton(const QPoint &pos) const {
    return rect().contains(pos);
}

void WrapCheckBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    QStyleOptionButton indicator = option;
    const int w = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int h = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    indicator.rect = QRect(0, (height() - h) / 2, w, h);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &indicator, &painter, this);

    const QRect area = textRect(width(), height());
    style()->drawItemText(&painter, area, kTextFlags, option.palette, isEnabled(), text(),
                          QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = fontMetrics().boundingRect(area, kTextFlags, text()).adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace zelp
