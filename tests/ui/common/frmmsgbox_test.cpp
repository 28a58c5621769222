#include "ui/common/frmmsgbox.h"
#include "ui/common/pointerdisplay.h"

#include "common/mousepointer.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace zelp::test {
namespace {

// Processes events until done() holds or two seconds pass.
bool waitFor(const std::function<bool()> &done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000) {
        QTest::qWait(10);
    }
    return done();
}

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
    int16_t ask(const QString &text, int16_t style, std::function<void()> whileShown) {
        QTimer::singleShot(0, &box, [&box = box, whileShown] {
            whileShown();
            if (box.isVisible()) { // never hang a test on a box nobody answered
                box.close();
            }
        });
        return box.showMessage(text, style);
    }
    QPushButton *button(const char *name) { return box.findChild<QPushButton *>(name); }

    ServiceScope scope;
    FrmMsgBox box;
    std::vector<int> beeps;
};

struct SetCase {
    int16_t style;
    std::string buttons; // left to right, by their key letters
    int16_t enter;
    int16_t escape;
    const char *defaultButton;
};

const SetCase kSets[] = {
    {0, "O", 1, 1, "cmdOK"},        {1, "O", 1, 1, "cmdOK"},          {2, "O", 1, 1, "cmdOK"},
    {3, "YNC", 6, 2, "cmdYes"},     {4, "YN", 6, 7, "cmdYes"},        {5, "RC", 4, 2, "cmdRetry"},
    {6, "YAN", 6, 7, "cmdYes"},     {7, "YANC", 6, 7, "cmdYes"},      {8, "O", 1, 1, "cmdOK"},
    {15, "O", 1, 1, "cmdOK"},       {49, "O", 1, 1, "cmdOK"},         {35, "YNC", 6, 2, "cmdYes"},
    {16 + 4, "YN", 6, 7, "cmdYes"}, {64 + 5, "RC", 4, 2, "cmdRetry"},
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

TEST_F(FrmMsgBoxTest, ShowsTheButtonSetWithFocusOnTheDefault) {
    for (const SetCase &c : kSets) {
        SCOPED_TRACE(c.style);
        std::vector<std::string> visible;
        QWidget *focused = nullptr;
        ask(QStringLiteral("Question?"), c.style, [&] {
            for (QPushButton *b : box.findChildren<QPushButton *>()) {
                if (b->isVisible()) {
                    visible.push_back(b->objectName().toStdString());
                }
            }
            focused = box.focusWidget();
        });
        std::vector<std::string> expected;
        for (const char letter : c.buttons) {
            for (const LetterInfo &l : kLetters) {
                if (l.letter == letter) {
                    expected.emplace_back(l.button);
                }
            }
        }
        std::sort(visible.begin(), visible.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(visible, expected);
        EXPECT_EQ(focused, button(c.defaultButton));
        EXPECT_TRUE(button(c.defaultButton)->isDefault());
    }
}

TEST_F(FrmMsgBoxTest, KeysAnswerWhateverTheModifiers) {
    const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                               Qt::ControlModifier, Qt::AltModifier};
    for (const SetCase &c : kSets) {
        for (const Qt::KeyboardModifiers mod : modifiers) {
            struct KeyCase {
                Qt::Key key;
                int16_t answer; // 0: the key does nothing
            };
            std::vector<KeyCase> keys = {{Qt::Key_Return, c.enter},
                                         {Qt::Key_Enter, c.enter},
                                         {Qt::Key_Escape, c.escape},
                                         {Qt::Key_W, 0},
                                         {Qt::Key_Space, 0}};
            for (const LetterInfo &l : kLetters) {
                keys.push_back(
                    {l.key, c.buttons.find(l.letter) != std::string::npos ? l.answer : int16_t{0}});
            }
            for (const KeyCase &k : keys) {
                SCOPED_TRACE(testing::Message() << "style " << c.style << " key " << k.key
                                                << " modifiers " << mod.toInt());
                bool stayedOpen = false;
                const int16_t got = ask(QStringLiteral("Go on?"), c.style, [&] {
                    QWidget *target = box.focusWidget() ? box.focusWidget() : &box;
                    QTest::keyClick(target, k.key, mod);
                    stayedOpen = box.isVisible();
                    if (stayedOpen) {
                        QTest::keyClick(&box, Qt::Key_Escape);
                    }
                });
                if (k.key == Qt::Key_Space) {
                    // Space presses the focused button, which is the default one.
                    EXPECT_EQ(got, c.enter);
                    continue;
                }
                EXPECT_EQ(stayedOpen, k.answer == 0);
                EXPECT_EQ(got, k.answer == 0 ? c.escape : k.answer);
            }
        }
    }
}

TEST_F(FrmMsgBoxTest, CloseBoxGivesTheEscapeAnswerAndKeepsTheWindow) {
    for (const SetCase &c : kSets) {
        SCOPED_TRACE(c.style);
        const int16_t got = ask(QStringLiteral("Close me"), c.style, [&] { box.close(); });
        EXPECT_EQ(got, c.escape);
        EXPECT_FALSE(box.isVisible());
    }
}

TEST_F(FrmMsgBoxTest, ButtonsAnswerWithTheirCodes) {
    for (const SetCase &c : kSets) {
        for (const char letter : c.buttons) {
            const LetterInfo *info = nullptr;
            for (const LetterInfo &l : kLetters) {
                if (l.letter == letter) {
                    info = &l;
                }
            }
            ASSERT_NE(info, nullptr);
            SCOPED_TRACE(testing::Message() << c.style << " " << info->button);
            const int16_t got = ask(QStringLiteral("Pick"), c.style, [&] {
                QTest::mouseClick(button(info->button), Qt::LeftButton);
            });
            EXPECT_EQ(got, info->answer);
        }
    }
}

TEST_F(FrmMsgBoxTest, CheckBoxTickSurvivesBetweenCalls) {
    QCheckBox *check = box.findChild<QCheckBox *>(QStringLiteral("chkNotAgain"));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("In the future, do not show this &warning"));

    bool shown = false;
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

    bool ticked = false;
    EXPECT_EQ(ask(QStringLiteral("Again?"), 35 + 256,
                  [&] {
                      ticked = check->isChecked();
                      box.close();
                  }),
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
                QLabel *image = box.findChild<QLabel *>(QLatin1String(name));
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
    const QString text = QStringLiteral("Save changes to\r\nC:\\Connections\\Host.ats?");
    ask(text, 7 + 256, [] {});
    const int dx = box.logicalDpiX();
    const int dy = box.logicalDpiY();
    const Msg::Layout &l = box.layout();

    // The layout measured the text in twips with the message font.
    QLabel *message = box.findChild<QLabel *>(QStringLiteral("lbMessage"));
    const QFontMetricsF fm(message->font());
    const double longest = std::round(
        fm.horizontalAdvance(QStringLiteral("C:\\Connections\\Host.ats?")) * 1440.0 / dx);
    EXPECT_DOUBLE_EQ(l.textWidth, std::max(500.0, longest));
    EXPECT_EQ(l.rows, 2);
    EXPECT_EQ(message->text(), QStringLiteral("Save changes to\nC:\\Connections\\Host.ats?"));
    EXPECT_EQ(message->x(), px(720, dx));
    EXPECT_EQ(message->y(), px(240, dy));
    EXPECT_GE(message->width(), px(l.textWidth, dx));

    for (const Msg::PlacedButton &p : l.buttons) {
        QPushButton *b = button(Msg::buttonInfo(p.button).objectName);
        SCOPED_TRACE(b->objectName().toStdString());
        EXPECT_EQ(b->geometry(),
                  QRect(px(p.left, dx), px(p.top, dy), px(p.width, dx), px(320, dy)));
    }
    QCheckBox *check = box.findChild<QCheckBox *>(QStringLiteral("chkNotAgain"));
    EXPECT_EQ(check->x(), px(240, dx));
    EXPECT_EQ(check->y(), px(l.checkBoxTop, dy));

    const Msg::FrameMetrics f = box.frameMetrics();
    EXPECT_EQ(box.width(), px(l.width, dx) - 2 * f.frameWidth);
    EXPECT_EQ(box.height(), px(l.height, dy) - 2 * f.frameHeight - f.captionHeight);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Velmaris"));
}

TEST_F(FrmMsgBoxTest, NothingIsCut) {
    QLabel *message = box.findChild<QLabel *>(QStringLiteral("lbMessage"));
    const QFontMetrics fm(message->font());
    // Three words of over a quarter screen each: two rows by their width, three when wrapped.
    const int halfScreen = box.screen()->geometry().width() / 2;
    QString word = QStringLiteral("C:\\");
    while (fm.horizontalAdvance(word) < halfScreen * 0.55) {
        word += QLatin1Char('x');
    }
    const struct {
        const char *what;
        QString text;
        int16_t style;
    } cases[] = {
        {"words wrap to more rows than widths count", word + u' ' + word + u' ' + word, 7},
        {"a word longer than a row", QString(400, QLatin1Char('W')), 0},
        {"four buttons and the check box", QStringLiteral("abc"), 7 + 256},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ask(c.text, c.style, [] {});
        const QRect area = message->contentsRect();
        EXPECT_LE(fm.boundingRect(area, Qt::TextWordWrap, c.text).height(), area.height());
        EXPECT_LE(fm.boundingRect(area, Qt::TextWrapAnywhere, c.text).height(), area.height());
        // What is painted goes on over every row, not off the right edge of the first.
        const QImage shot = message->grab().toImage();
        int lastInk = -1;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                lastInk = qGray(shot.pixel(x, y)) < 128 ? y : lastInk;
            }
        }
        EXPECT_GT(lastInk,
                  fm.boundingRect(area, Qt::TextWrapAnywhere, c.text).height() - 2 * fm.height());
        EXPECT_LE(message->geometry().right(), box.width());
        for (QPushButton *b : box.findChildren<QPushButton *>()) {
            if (b->isVisible()) {
                EXPECT_GE(b->width(), fm.horizontalAdvance(b->text().remove(u'&')) +
                                          b->style()->pixelMetric(QStyle::PM_ButtonMargin))
                    << b->objectName().toStdString();
                EXPECT_LE(b->geometry().right(), box.width());
            }
        }
        QCheckBox *check = box.findChild<QCheckBox *>(QStringLiteral("chkNotAgain"));
        if (check->isVisible()) {
            EXPECT_GE(check->width(), check->sizeHint().width());
            EXPECT_LE(check->geometry().right(), box.width());
        }
    }
}

TEST_F(FrmMsgBoxTest, PointerWatchShowsTheArrowOverTheBoxOnly) {
    installPointerDisplay();
    MousePointer::set(MousePointer::Hourglass);
    bool inside = false, outside = false, insideAgain = false, cursorCleared = false;
    ask(QStringLiteral("Busy?"), 4, [&] {
        EXPECT_TRUE(box.pointerWatchRunning());
        QCursor::setPos(box.mapToGlobal(box.rect().center()));
        inside = waitFor([] { return MousePointer::get() == MousePointer::Default; });
        cursorCleared = QGuiApplication::overrideCursor() == nullptr;
        QCursor::setPos(box.mapToGlobal(QPoint(box.width() + 100, box.height() + 100)));
        outside = waitFor([] { return MousePointer::get() == MousePointer::Hourglass; });
        QCursor::setPos(box.mapToGlobal(QPoint(5, 5)));
        insideAgain = waitFor([] { return MousePointer::get() == MousePointer::Default; });
        QTest::mouseClick(button("cmdNo"), Qt::LeftButton);
    });
    EXPECT_TRUE(inside);
    EXPECT_TRUE(cursorCleared);
    EXPECT_TRUE(outside);
    EXPECT_TRUE(insideAgain);
    EXPECT_FALSE(box.pointerWatchRunning());
    EXPECT_EQ(MousePointer::get(), MousePointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

    // The saved pointer comes back even when someone changed it meanwhile.
    ask(QStringLiteral("Busy?"), 0, [&] {
        MousePointer::set(13);
        box.close();
    });
    EXPECT_EQ(MousePointer::get(), MousePointer::Hourglass);

    MousePointer::set(MousePointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    bool running = true;
    ask(QStringLiteral("Idle"), 0, [&] {
        running = box.pointerWatchRunning();
        box.close();
    });
    EXPECT_FALSE(running);
    MousePointer::setDisplay({});
}

TEST_F(FrmMsgBoxTest, ServiceKeepsOneWindow) {
    WidgetMessageBox service;
    EXPECT_EQ(service.form(), nullptr);
    QTimer::singleShot(0, [&] { QTest::keyClick(service.form()->focusWidget(), Qt::Key_Y); });
    EXPECT_EQ(service.showMessage(QStringLiteral("First"), 4), 6);
    FrmMsgBox *first = service.form();
    ASSERT_NE(first, nullptr);
    QTimer::singleShot(0, [&] { service.form()->close(); });
    EXPECT_EQ(service.showMessage(QStringLiteral("Second"), 3), 2);
    EXPECT_EQ(service.form(), first);
}

TEST_F(FrmMsgBoxTest, QuestionAskedWhileTheBoxWaitsGetsItsOwnBox) {
    WidgetMessageBox service;
    int16_t inner = 0;
    QString outerText;
    QTimer::singleShot(0, [&] {
        // The first box waits; an event asks again.
        QTimer::singleShot(0, [&] {
            auto *second = qobject_cast<FrmMsgBox *>(QApplication::activeModalWidget());
            ASSERT_NE(second, nullptr);
            EXPECT_NE(second, service.form());
            QTest::keyClick(second->focusWidget(), Qt::Key_O);
        });
        inner = service.showMessage(QStringLiteral("Error loading"), 49);
        outerText = service.form()->findChild<QLabel *>(QStringLiteral("lbMessage"))->text();
        QTest::keyClick(service.form()->focusWidget(), Qt::Key_N);
    });
    EXPECT_EQ(service.showMessage(QStringLiteral("Save changes?"), 35), 7);
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(outerText, QStringLiteral("Save changes?"));
}

} // namespace
} // namespace zelp::test
