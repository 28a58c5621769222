#pragma once

#include "common/msgbox.h"
#include "common/msgboxlayout.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zelp {

// The designer's own message box: sized to its text, with the style's icon, buttons,
// single-key answers and the optional "do not show again" box. Kept for the whole run and
// hidden between calls, so the check box's tick carries over.
class FrmMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit FrmMsgBox(QWidget *parent = nullptr);
    ~FrmMsgBox() override;

    // Shows text modally (owned by owner, when given) and returns the answer, plus 256 when
    // the style asks for the check box and it is ticked.
    int16_t showMessage(const QString &text, int16_t style, QWidget *owner = nullptr);

    // The platform's message beep; tests listen to it instead.
    static void setBeeper(std::function<void(int beepCode)> beeper);

    // The fixed-frame and caption metrics the window's outer size counts with.
    Msg::FrameMetrics frameMetrics() const;
    bool pointerWatchRunning() const;
    // True while a call waits for its answer.
    bool isAsking() const { return showing_; }
    bool notAgainTicked() const;
    void setNotAgainTicked(bool ticked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

public Q_SLOTS:
    void reject() override;

private:
    bool answerKey(int key);
    void answer(int16_t code);
    void activate();
    void applyLayout(const QString &text, int16_t style);
    void watchPointer();
    Msg::Metrics metrics() const;
    static QString shownText(const QString &text);
    int textAreaPixels(double widthTwips) const;

    QLabel *lbMessage_;
    std::map<Msg::Icon, QLabel *> icons_;
    std::map<Msg::Button, QPushButton *> buttons_;
    QCheckBox *chkNotAgain_;
    QTimer timer_;

    Msg::Layout layout_;
    int16_t style_ = 0;
    int16_t answer_ = 0;
    int16_t enterAnswer_ = 0;
    int16_t escapeAnswer_ = 0;
    int16_t savedPointer_ = 0;
    Msg::HoverRect hover_;
    bool showing_ = false;
};

// The message-box service of the designer: one FrmMsgBox, made on the first question. A
// question asked while that box still waits (from a timer or another event) gets a box of
// its own, so that neither answer is lost.
class WidgetMessageBox : public MessageBoxService {
public:
    WidgetMessageBox();
    ~WidgetMessageBox() override;
    int16_t showMessage(const QString &text, int16_t style) override;
    FrmMsgBox *form() const { return form_.get(); }

private:
    std::unique_ptr<FrmMsgBox> form_;
};

} // namespace zelp
