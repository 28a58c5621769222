#pragma once

#include "helpservice.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace zelp {

// The help viewer: one non-modal window with the topic, Back, Forward and Contents. It is
// the help service of the program and shows every request in the same window.
class HelpWindow : public QWidget, public HelpService {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    void showTopic(int context) override;
    void showContents() override;

    // Where a window of that outer size goes: right of its owner, else left of it, else
    // over its right edge; always inside the screen's available area.
    static QPoint placeBeside(const QRect &owner, const QSize &frame, const QRect &screen);

    QUrl currentSource() const;
    QString currentTitle() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void present(const QUrl &url);
    void placeBesideOwner(QWidget *owner);
    void followModal();
    void leaveModal();

    QTextBrowser *m_browser;
    QPushButton *m_back;
    QPushButton *m_forward;
    QPointer<QWidget> m_modal; // the modal dialog the window is lent to, if any
};

} // namespace zelp
