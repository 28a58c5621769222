#pragma once

#include "terminalscreen.h"

#include <QFont>
#include <QWidget>

namespace zelp {

// Paints a terminal screen in a monospace font, or, while no session runs, the session's
// title with a line that tells how the connection stands; sends what the keys type.
class TerminalView : public QWidget {
    Q_OBJECT
public:
    explicit TerminalView(QWidget *parent = nullptr);

    TerminalScreen *screen() { return &screen_; }
    const TerminalScreen *screen() const { return &screen_; }

    // An empty family takes the system's fixed font, a size of 0 or less its size.
    void setTerminalFont(const QString &family, int pointSize);
    QFont terminalFont() const { return font_; }
    void setTerminalSize(int rows, int columns);
    void setTitle(const QString &title);
    QString title() const { return title_; }
    void setStatusText(const QString &text);
    QString statusText() const { return status_; }
    // Idle: the title page; otherwise the screen.
    void setIdle(bool idle);
    bool isIdle() const { return idle_; }

    QSize cellSize() const { return cell_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The bytes a key press sends to the host.
    void keyPressed(const QByteArray &bytes);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void paintIdle(QPainter &painter);
    void paintScreen(QPainter &painter);
    void measure();

    TerminalScreen screen_;
    QFont font_;
    QSize cell_;
    int ascent_ = 0;
    QString title_;
    QString status_;
    bool idle_ = true;
};

} // namespace zelp
