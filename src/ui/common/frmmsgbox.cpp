#include "frmmsgbox.h"

#include "messagetext.h"
#include "twips.h"

#include "common/errhndlr.h"
#include "common/mousepointer.h"
#include "common/msgbox.h"
#include "ui/help/helptopics.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <cmath>

namespace zelp {

namespace {

std::function<void(int)> &beeper() {
    static std::function<void(int)> b;
    return b;
}

struct IconInfo {
    Msg::Icon icon;
    const char *objectName;
    QStyle::StandardPixmap pixmap;
};
const IconInfo kIcons[] = {
    {Msg::Icon::Information, "imgInfo", QStyle::SP_MessageBoxInformation},
    {Msg::Icon::Question, "imgQuest", QStyle::SP_MessageBoxQuestion},
    {Msg::Icon::Exclamation, "imgExcl", QStyle::SP_MessageBoxWarning},
};

const Msg::Button kAllButtons[] = {Msg::Button::OK,    Msg::Button::Yes,    Msg::Button::No,
                                   Msg::Button::Retry, Msg::Button::Cancel, Msg::Button::All};

constexpr double kIconTwips = 480;
constexpr double kButtonHeightTwips = 320;

} // namespace

FrmMsgBox::FrmMsgBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmMsgBox"));
    setWindowTitle(QString::fromLatin1(Msg::kTitle));
    setModal(true);

    lbMessage_ = new MessageText(this);
    lbMessage_->setObjectName(QStringLiteral("lbMessage"));

    for (const IconInfo &info : kIcons) {
        auto *image = new QLabel(this);
        image->setObjectName(QLatin1String(info.objectName));
        image->hide();
        icons_[info.icon] = image;
    }
    for (const Msg::Button b : kAllButtons) {
        const Msg::ButtonInfo &info = Msg::buttonInfo(b);
        auto *button = new QPushButton(QString::fromLatin1(info.caption), this);
        button->setObjectName(QLatin1String(info.objectName));
        button->setAutoDefault(false);
        button->hide();
        const int16_t code = info.answer;
        connect(button, &QPushButton::clicked, this, [this, code] { answer(code); });
        buttons_[b] = button;
    }
    chkNotAgain_ = new QCheckBox(QString::fromLatin1(Msg::kCheckBoxCaption), this);
    chkNotAgain_->setObjectName(QStringLiteral("chkNotAgain"));
    chkNotAgain_->hide();

    timer_.setObjectName(QStringLiteral("Timer"));
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &FrmMsgBox::watchPointer);

    // The window sees key presses before its controls.
    for (QWidget *child : findChildren<QWidget *>()) {
        child->installEventFilter(this);
    }
}

FrmMsgBox::~FrmMsgBox() = default;

void FrmMsgBox::setBeeper(std::function<void(int)> b) {
    beeper() = std::move(b);
}

Msg::FrameMetrics FrmMsgBox::frameMetrics() const {
    const QStyle *s = style();
    const int frame = s->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    return {frame, frame, s->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this)};
}

bool FrmMsgBox::notAgainTicked() const {
    return chkNotAgain_->isChecked();
}
void FrmMsgBox::setNotAgainTicked(bool ticked) {
    chkNotAgain_->setChecked(ticked);
}

bool FrmMsgBox::pointerWatchRunning() const {
    return timer_.isActive();
}

Msg::Metrics FrmMsgBox::metrics() const {
    Msg::Metrics m;
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize size = s ? s->geometry().size() : QSize(1024, 768);
    m.screenWidth = Twips::fromPixelsX(size.width(), *this);
    m.screenHeight = Twips::fromPixelsY(size.height(), *this);
    const QFontMetricsF fm(lbMessage_->font(), this);
    m.lineHeight = Twips::fromPixelsY(fm.height(), *this);
    m.textWidth = [this, fm](const QString &line) {
        return Twips::fromPixelsX(fm.horizontalAdvance(line), *this);
    };
    m.wrappedRows = [this](const QString &text, double width) {
        return MessageText::rowsFor(shownText(text), lbMessage_->font(), textAreaPixels(width));
    };
    // The caption with the button's margin and frame around it.
    const QPushButton *button = buttons_.at(Msg::Button::OK);
    const QFontMetricsF buttonFont(button->font(), this);
    const int padding = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                        2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    m.buttonWidth = [this, buttonFont, padding](const QString &caption) {
        return Twips::fromPixelsX(
            std::ceil(buttonFont.horizontalAdvance(QString(caption).remove(u'&'))) + padding,
            *this);
    };
    m.checkBoxWidth = Twips::fromPixelsX(chkNotAgain_->sizeHint().width(), *this);
    return m;
}

QString FrmMsgBox::shownText(const QString &text) {
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

int FrmMsgBox::textAreaPixels(double widthTwips) const {
    // Rounded up: a line measured to fit must not wrap for a lost fraction.
    return static_cast<int>(std::ceil(widthTwips * logicalDpiX() / 1440.0));
}

void FrmMsgBox::applyLayout(const QString &text, int16_t msgStyle) {
    layout_ = Msg::layoutMessage(text, msgStyle, metrics());
    const Msg::Layout &l = layout_;

    lbMessage_->setText(shownText(text));
    lbMessage_->setGeometry(Twips::toPixelsX(l.textLeft, *this), Twips::toPixelsY(l.textTop, *this),
                            textAreaPixels(l.textWidth),
                            static_cast<int>(std::ceil(l.textHeight * logicalDpiY() / 1440.0)));

    if (l.checkBoxVisible) {
        const QRect r = Twips::toPixels(l.checkBoxLeft, l.checkBoxTop, l.checkBoxWidth,
                                        l.checkBoxHeight, *this);
        // A larger font must not cut the caption short.
        chkNotAgain_->setGeometry(r.x(), r.y(),
                                  std::max(r.width(), chkNotAgain_->sizeHint().width()),
                                  std::max(r.height(), chkNotAgain_->sizeHint().height()));
    }
    chkNotAgain_->setVisible(l.checkBoxVisible);

    for (const IconInfo &info : kIcons) {
        QLabel *image = icons_[info.icon];
        const QRect r = Twips::toPixels(120, 120, kIconTwips, kIconTwips, *this);
        image->setGeometry(r);
        image->setPixmap(style()->standardIcon(info.pixmap, nullptr, this).pixmap(r.size()));
        image->setVisible(info.icon == l.icon);
    }

    const Msg::ButtonSet &set = Msg::buttonSet(msgStyle);
    enterAnswer_ = set.enterAnswer;
    escapeAnswer_ = set.escapeAnswer;
    for (const auto &[b, button] : buttons_) {
        button->hide();
        button->setDefault(false);
    }
    for (const Msg::PlacedButton &p : l.buttons) {
        QPushButton *button = buttons_[p.button];
        button->setGeometry(Twips::toPixels(p.left, p.top, p.width, kButtonHeightTwips, *this));
        button->show();
    }
    buttons_[set.buttons.front()]->setDefault(true);

    // The layout counts the outer size; the frame and caption take their share of it.
    const Msg::FrameMetrics f = frameMetrics();
    const int outerW = Twips::toPixelsX(l.width, *this);
    const int outerH = Twips::toPixelsY(l.height, *this);
    setFixedSize(outerW - 2 * f.frameWidth, outerH - 2 * f.frameHeight - f.captionHeight);
    if (const QScreen *s = screen()) {
        const QPoint centre = s->availableGeometry().center();
        move(centre.x() - outerW / 2, centre.y() - outerH / 2);
    }
}

int16_t FrmMsgBox::showMessage(const QString &text, int16_t style, QWidget *owner) {
    Guarded guard("msgbox", "ShowMessage");
    guard.step([&] {
        style_ = style;
        setProperty(Help::kContextProperty, MessageHelpScope::current());
        applyLayout(text, style);
    });
    guard.step([&] {
        savedPointer_ = MousePointer::get();
        if (savedPointer_ != MousePointer::Default) {
            hover_ = Msg::hoverRect(layout_.width, layout_.height, Twips::perPixelX(*this),
                                    Twips::perPixelY(*this), frameMetrics());
            timer_.start(100);
        }
    });
    guard.step([&] {
        if (beeper()) {
            beeper()(Msg::beepCode(style));
        } else {
            QApplication::beep();
        }
    });
    guard.step([&] {
        answer_ = 0;
        if (owner) {
            setParent(owner, windowFlags());
        }
        showing_ = true;
        exec();
        showing_ = false;
        if (owner) {
            setParent(nullptr, windowFlags());
        }
    });
    guard.step([&] {
        timer_.stop();
        MousePointer::set(savedPointer_);
    });
    int16_t result = answer_;
    if (Msg::wantsCheckBox(style) && chkNotAgain_->isChecked()) {
        result = static_cast<int16_t>(result + Msg::CheckBoxBit);
    }
    return result;
}

void FrmMsgBox::answer(int16_t code) {
    answer_ = code;
    done(code);
}

bool FrmMsgBox::answerKey(int key) {
    if (!showing_) {
        return false;
    }
    const int16_t code = Msg::keyAnswer(key, style_);
    if (code == 0) {
        return false;
    }
    answer(code);
    return true;
}

bool FrmMsgBox::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ShortcutOverride && showing_ &&
        Msg::keyAnswer(static_cast<QKeyEvent *>(event)->key(), style_) != 0) {
        // An answering key with Alt must not become a button's delayed mnemonic click.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && answerKey(static_cast<QKeyEvent *>(event)->key())) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmMsgBox::keyPressEvent(QKeyEvent *event) {
    if (!answerKey(event->key())) {
        QDialog::keyPressEvent(event);
    }
}

void FrmMsgBox::closeEvent(QCloseEvent *event) {
    if (!showing_) {
        event->accept(); // the program ends
        return;
    }
    Guarded guard("msgbox", "Form QueryUnload");
    guard.step([&] {
        event->ignore();
        answer(escapeAnswer_);
    });
}

void FrmMsgBox::reject() {
    if (showing_) {
        answer(escapeAnswer_);
    } else {
        QDialog::reject();
    }
}

void FrmMsgBox::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    activate();
}

void FrmMsgBox::activate() {
    QuietErrors quiet;
    quiet.step([&] {
        for (const auto &[b, button] : buttons_) {
            if (button->isDefault()) {
                button->setFocus();
            }
        }
    });
    quiet.step([] {
        if (QWidget *grabber = QWidget::mouseGrabber()) {
            grabber->releaseMouse();
        }
    });
}

void FrmMsgBox::watchPointer() {
    const QPoint p = mapFromGlobal(QCursor::pos());
    const int16_t pointer = Msg::watchedPointer(hover_, p.x(), p.y(), savedPointer_);
    if (pointer != MousePointer::get()) {
        MousePointer::set(pointer);
    }
}

WidgetMessageBox::WidgetMessageBox() = default;
WidgetMessageBox::~WidgetMessageBox() = default;

int16_t WidgetMessageBox::showMessage(const QString &text, int16_t style) {
    if (!form_) {
        form_ = std::make_unique<FrmMsgBox>();
    }
    if (!form_->isAsking()) {
        return form_->showMessage(text, style, nullptr);
    }
    FrmMsgBox nested;
    nested.setNotAgainTicked(form_->notAgainTicked());
    const int16_t result = nested.showMessage(text, style, nullptr);
    form_->setNotAgainTicked(nested.notAgainTicked());
    return result;
}

} // namespace zelp
