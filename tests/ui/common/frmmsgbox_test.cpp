#include "ui/common/frmmsgbox.h"
#include "ui/common/pointerdisplay.h"

#include "common/mousepointer.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace zelp::test {
namespace {

int px(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

class FrmMsgBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        FrmMsgBox::setBeeper([this](int code) { beeps.push_back(code); });
    }
    void TearDown() override { FrmMsgBox::setBeeper({}); }

    // Asks once; whileShown runs inside the modal wait and must answer.
    int16_t ask(const QString &text, int16_t style, std::function<void()> whileShown = {}) {
        QTimer::singleShot(0, &box, [&box = box, whileShown] {
            if (whileShown) {
                whileShown();
            }
            if (box.isVisible()) { // never hang a test on a box nobody answered
                box.close();
            }
        });
        return box.showMessage(text, style);
    }
    QPushButton *button(const char *name) { return box.findChild<QPushButton *>(name); }
    template <class W> W *get(const char *name) { return box.findChild<W *>(name); }

    ServiceScope scope;
    FrmMsgBox box;
    std::vector<int> beeps;
};

struct LetterInfo {
    char letter;
    Qt::Key key;
    const char *button;
    int16_t answer;
};
const LetterInfo kLetters[] = {
    {'A', Qt::Key_A, "cmdAll", 8}, {'C', Qt::Key_C, "cmdCancel", 2}, {'N', Qt::Key_N, "cmdNo", 7},
    {'O', Qt::Key_O, "cmdOK", 1},  {'R', Qt::Key_R, "cmdRetry", 4},  {'Y', Qt::Key_Y, "cmdYes", 6},
};

TEST_F(FrmMsgBoxTest, EachButtonSetAnswersItsButtonsKeysAndTheCloseBox) {
    const struct {
        int16_t style;
        std::string buttons; // by their key letters
        int16_t enter, escape;
        const char *defaultButton;
    } sets[] = {
        {0, "O", 1, 1, "cmdOK"},        {1, "O", 1, 1, "cmdOK"},
        {2, "O", 1, 1, "cmdOK"},        {3, "YNC", 6, 2, "cmdYes"},
        {4, "YN", 6, 7, "cmdYes"},      {5, "RC", 4, 2, "cmdRetry"},
        {6, "YAN", 6, 7, "cmdYes"},     {7, "YANC", 6, 7, "cmdYes"},
        {8, "O", 1, 1, "cmdOK"},        {15, "O", 1, 1, "cmdOK"},
        {49, "O", 1, 1, "cmdOK"},       {35, "YNC", 6, 2, "cmdYes"},
        {16 + 4, "YN", 6, 7, "cmdYes"}, {64 + 5, "RC", 4, 2, "cmdRetry"},
    };
    for (const auto &c : sets) {
        SCOPED_TRACE(testing::Message() << "style " << c.style);
        std::vector<std::string> visible, expected;
        QWidget *focused = nullptr;
        // The close box gives the Escape answer.
        EXPECT_EQ(ask(QStringLiteral("Question?"), c.style,
                      [&] {
                          for (QPushButton *b : box.findChildren<QPushButton *>()) {
                              if (b->isVisible()) {
                                  visible.push_back(b->objectName().toStdString());
                              }
                          }
                          focused = box.focusWidget();
                          box.close();
                      }),
                  c.escape);
        EXPECT_FALSE(box.isVisible());
        for (const LetterInfo &l : kLetters) {
            if (c.buttons.find(l.letter) != std::string::npos) {
                expected.emplace_back(l.button);
                EXPECT_EQ(ask(QStringLiteral("Pick"), c.style,
                              [&] { QTest::mouseClick(button(l.button), Qt::LeftButton); }),
                          l.answer)
                    << l.button;
            }
        }
        std::sort(visible.begin(), visible.end());
        EXPECT_EQ(visible, expected);
        EXPECT_EQ(focused, button(c.defaultButton));
        EXPECT_TRUE(button(c.defaultButton)->isDefault());

        for (const Qt::KeyboardModifiers mod :
             {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
            // Space presses the focused button, which is the default one; 0: the key does nothing.
            std::vector<std::pair<Qt::Key, int16_t>> keys = {{Qt::Key_Return, c.enter},
                                                             {Qt::Key_Enter, c.enter},
                                                             {Qt::Key_Escape, c.escape},
                                                             {Qt::Key_Space, c.enter},
                                                             {Qt::Key_W, 0}};
            for (const LetterInfo &l : kLetters) {
                keys.emplace_back(l.key,
                                  c.buttons.find(l.letter) != std::string::npos ? l.answer : 0);
            }
            for (const auto &[key, answer] : keys) {
                SCOPED_TRACE(testing::Message() << "key " << key << " modifiers " << mod.toInt());
                bool stayedOpen = false;
                const int16_t got = ask(QStringLiteral("Go on?"), c.style, [&] {
                    QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, key, mod);
                    stayedOpen = box.isVisible();
                    if (stayedOpen) {
                        QTest::keyClick(&box, Qt::Key_Escape);
                    }
                });
                EXPECT_EQ(stayedOpen, answer == 0);
                EXPECT_EQ(got, answer == 0 ? c.escape : answer);
            }
        }
    }
}

TEST_F(FrmMsgBoxTest, CheckBoxTickSurvivesBetweenCalls) {
    auto *check = get<QCheckBox>("chkNotAgain");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("In the future, do not show this &warning"));
    bool shown = false, ticked = false;
    EXPECT_EQ(ask(QStringLiteral("Overwrite?"), 7 + 256,
                  [&] {
                      shown = check->isVisible();
                      QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
                      QTest::mouseClick(button("cmdYes"), Qt::LeftButton);
                  }),
              262);
    EXPECT_TRUE(shown);
    // Not asked for: hidden, and the answer carries no 256 although the box is still ticked.
    EXPECT_EQ(ask(QStringLiteral("Sure?"), 35,
                  [&] {
                      shown = check->isVisible();
                      QTest::keyClick(box.focusWidget(), Qt::Key_N);
                  }),
              7);
    EXPECT_FALSE(shown);
    EXPECT_EQ(ask(QStringLiteral("Again?"), 35 + 256, [&] { ticked = check->isChecked(); }),
              2 + 256);
    EXPECT_TRUE(ticked);
    // Unticked again, the answer loses its 256.
    EXPECT_EQ(ask(QStringLiteral("Once more?"), 4 + 256,
                  [&] {
                      check->click();
                      QTest::keyClick(box.focusWidget(), Qt::Key_Y);
                  }),
              6);
}

TEST_F(FrmMsgBoxTest, IconAndBeepFollowTheStyle) {
    const struct {
        int16_t style;
        const char *image;
        int beep;
    } cases[] = {
        {49, "imgExcl", 48}, {48, "imgExcl", 48}, {35, "imgQuest", 32}, {32, "imgQuest", 32},
        {4, "imgInfo", 0},   {16, "imgInfo", 0},  {64, "imgInfo", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.style);
        beeps.clear();
        std::vector<std::string> visible;
        ask(QStringLiteral("Note"), c.style, [&] {
            for (const char *name : {"imgInfo", "imgQuest", "imgExcl"}) {
                QLabel *image = get<QLabel>(name);
                if (image && image->isVisible()) {
                    visible.emplace_back(name);
                    EXPECT_FALSE(image->pixmap().isNull());
                }
            }
        });
        EXPECT_EQ(visible, std::vector<std::string>{c.image});
        EXPECT_EQ(beeps, std::vector<int>{c.beep});
    }
}

TEST_F(FrmMsgBoxTest, GeometryIsTheTwipsLayoutAtTheScreensResolution) {
    ask(QStringLiteral("Save changes to\r\nC:\\Connections\\Host.ats?"), 7 + 256);
    const int dx = box.logicalDpiX(), dy = box.logicalDpiY();
    const Msg::Layout &l = box.layout();
    auto *message = get<QLabel>("lbMessage");
    // The layout measured the longest line in twips with the message font.
    const double longest =
        std::round(QFontMetricsF(message->font())
                       .horizontalAdvance(QStringLiteral("C:\\Connections\\Host.ats?")) *
                   1440.0 / dx);
    EXPECT_DOUBLE_EQ(l.textWidth, std::max(500.0, longest));
    EXPECT_EQ(l.rows, 2);
    EXPECT_EQ(message->text(), QStringLiteral("Save changes to\nC:\\Connections\\Host.ats?"));
    EXPECT_EQ(message->pos(), QPoint(px(720, dx), px(240, dy)));
    for (const Msg::PlacedButton &p : l.buttons) {
        EXPECT_EQ(button(Msg::buttonInfo(p.button).objectName)->geometry(),
                  QRect(px(p.left, dx), px(p.top, dy), px(p.width, dx), px(320, dy)));
    }
    EXPECT_EQ(get<QCheckBox>("chkNotAgain")->pos(), QPoint(px(240, dx), px(l.checkBoxTop, dy)));
    const Msg::FrameMetrics f = box.frameMetrics();
    EXPECT_EQ(box.size(), QSize(px(l.width, dx) - 2 * f.frameWidth,
                                px(l.height, dy) - 2 * f.frameHeight - f.captionHeight));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Velmaris"));
}

TEST_F(FrmMsgBoxTest, NothingIsCut) {
    auto *message = get<QLabel>("lbMessage");
    const QFontMetrics fm(message->font());
    // Three words of over a quarter screen each: two rows by their width, three when wrapped.
    QString word = QStringLiteral("C:\\");
    while (fm.horizontalAdvance(word) < box.screen()->geometry().width() * 0.275) {
        word += QLatin1Char('x');
    }
    const struct {
        QString text;
        int16_t style;
    } cases[] = {
        {word + u' ' + word + u' ' + word, 7}, // words wrap to more rows than widths count
        {QString(400, QLatin1Char('W')), 0},   // a word longer than a row
        {QStringLiteral("abc"), 7 + 256},      // four buttons and the check box
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.style);
        ask(c.text, c.style);
        const QRect area = message->contentsRect();
        const int wrapped = fm.boundingRect(area, Qt::TextWrapAnywhere, c.text).height();
        EXPECT_LE(fm.boundingRect(area, Qt::TextWordWrap, c.text).height(), area.height());
        EXPECT_LE(wrapped, area.height());
        // What is painted goes on over every row, not off the right edge of the first.
        const QImage shot = message->grab().toImage();
        int lastInk = -1;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                lastInk = qGray(shot.pixel(x, y)) < 128 ? y : lastInk;
            }
        }
        EXPECT_GT(lastInk, wrapped - 2 * fm.height());
        EXPECT_LE(message->geometry().right(), box.width());
        for (QPushButton *b : box.findChildren<QPushButton *>()) {
            if (b->isVisible()) {
                EXPECT_GE(b->width(), fm.horizontalAdvance(b->text().remove(u'&')) +
                                          b->style()->pixelMetric(QStyle::PM_ButtonMargin));
                EXPECT_LE(b->geometry().right(), box.width());
            }
        }
        auto *check = get<QCheckBox>("chkNotAgain");
        if (check->isVisible()) {
            EXPECT_GE(check->width(), check->sizeHint().width());
            EXPECT_LE(check->geometry().right(), box.width());
        }
    }
}

TEST_F(FrmMsgBoxTest, PointerWatchShowsTheArrowOverTheBoxOnly) {
    installPointerDisplay();
    MousePointer::set(MousePointer::Hourglass);
    const auto pointerAt = [&](QPoint p, int16_t wanted) {
        QCursor::setPos(box.mapToGlobal(p));
        return QTest::qWaitFor([&] { return MousePointer::get() == wanted; }, 2000);
    };
    bool inside = false, outside = false, insideAgain = false, cursorCleared = false;
    ask(QStringLiteral("Busy?"), 4, [&] {
        EXPECT_TRUE(box.pointerWatchRunning());
        inside = pointerAt(box.rect().center(), MousePointer::Default);
        cursorCleared = QGuiApplication::overrideCursor() == nullptr;
        outside = pointerAt(QPoint(box.width() + 100, box.height() + 100), MousePointer::Hourglass);
        insideAgain = pointerAt(QPoint(5, 5), MousePointer::Default);
        QTest::mouseClick(button("cmdNo"), Qt::LeftButton);
    });
    EXPECT_TRUE(inside && cursorCleared && outside && insideAgain);
    EXPECT_FALSE(box.pointerWatchRunning());
    EXPECT_EQ(MousePointer::get(), MousePointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // The saved pointer comes back even when someone changed it meanwhile.
    ask(QStringLiteral("Busy?"), 0, [&] { MousePointer::set(13); });
    EXPECT_EQ(MousePointer::get(), MousePointer::Hourglass);
    MousePointer::set(MousePointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    bool running = true;
    ask(QStringLiteral("Idle"), 0, [&] { running = box.pointerWatchRunning(); });
    EXPECT_FALSE(running);
    MousePointer::setDisplay({});
}

TEST_F(FrmMsgBoxTest, ServiceKeepsOneWindowAndAQuestionAskedMeanwhileGetsItsOwn) {
    WidgetMessageBox service;
    EXPECT_EQ(service.form(), nullptr);
    QTimer::singleShot(0, [&] { QTest::keyClick(service.form()->focusWidget(), Qt::Key_Y); });
    EXPECT_EQ(service.showMessage(QStringLiteral("First"), 4), 6);
    FrmMsgBox *first = service.form();
    ASSERT_NE(first, nullptr);
    int16_t inner = 0;
    QString outerText;
    QTimer::singleShot(0, [&] {
        // The first box waits; an event asks again.
        QTimer::singleShot(0, [&] {
            auto *second = qobject_cast<FrmMsgBox *>(QApplication::activeModalWidget());
            ASSERT_NE(second, nullptr);
            EXPECT_NE(second, first);
            QTest::keyClick(second->focusWidget(), Qt::Key_O);
        });
        inner = service.showMessage(QStringLiteral("Error loading"), 49);
        outerText = first->findChild<QLabel *>(QStringLiteral("lbMessage"))->text();
        QTest::keyClick(first->focusWidget(), Qt::Key_N);
    });
    EXPECT_EQ(service.showMessage(QStringLiteral("Save changes?"), 35), 7);
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(outerText, QStringLiteral("Save changes?"));
    EXPECT_EQ(service.form(), first);
}

} // namespace
} // namespace zelp::test
