#pragma once

#include <QLabel>

namespace zelp {

// The message box's text, wrapped at words with a word longer than a row broken, so that
// nothing is clipped; the same wrapping counts the rows the box makes room for.
class MessageText : public QLabel {
public:
    explicit MessageText(QWidget *parent = nullptr);

    // Rows the text takes in the font at the width in pixels; "\n" starts a new row.
    static int rowsFor(const QString &text, const QFont &font, qreal width);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zelp
