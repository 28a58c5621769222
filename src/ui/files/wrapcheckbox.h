#pragma once

#include <QCheckBox>

namespace zelp {

// A check box whose caption wraps onto further lines within its width.
class WrapCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit WrapCheckBox(const QString &text, QWidget *parent = nullptr);

    // The height the caption needs at that width.
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    int textIndent() const;
    QRect textRect(int width, int height) const;
};

} // namespace zelp
