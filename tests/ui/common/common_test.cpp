#include "ui/common/buttonpicture.h"
#include "ui/common/frmaboutbox.h"
#include "ui/common/frmerrhndlr.h"
#include "ui/common/frmmsgbox.h"
#include "ui/common/pointerdisplay.h"

#include "common/appinfo.h"
#include "common/errhndlr.h"
#include "common/errors.h"
#include "common/mousepointer.h"
#include "support/modal.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <set>

namespace zelp::test {
namespace {

class FrmMsgBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        FrmMsgBox::setBeeper([this](int code) { beeps.push_back(code); });
    }
    void TearDown() override { FrmMsgBox::setBeeper({}); }
    // Asks once; act runs inside the modal wait, and a box it leaves open is closed.
    int16_t ask(const QString &text, int16_t style, std::function<void()> act = {}) {
        leftOpen = whenModal<FrmMsgBox>([act](FrmMsgBox &) { act ? act() : void(); });
        return box.showMessage(text, style);
    }
    template <class W = QPushButton> W *get(const char *name) { return child<W>(&box, name); }
    ServiceScope scope;
    FrmMsgBox box;
    std::vector<int> beeps;
    std::shared_ptr<bool> leftOpen;
};

struct LetterInfo {
    char letter; // and its key
    const char *button;
    int16_t answer;
} const kLetters[] = {{'A', "cmdAll", 8}, {'C', "cmdCancel", 2}, {'N', "cmdNo", 7},
                      {'O', "cmdOK", 1},  {'R', "cmdRetry", 4},  {'Y', "cmdYes", 6}};

TEST_F(FrmMsgBoxTest, EachStyleShowsItsIconAndButtonsAndAnswersClicksKeysAndTheCloseBox) {
    const struct {
        int16_t style;
        std::string buttons; // by their key letters; the first is the default
        int16_t escape;
        const char *icon;
        int beep;
    } styles[] = {
        {0, "O", 1, "imgInfo", 0},       {1, "O", 1, "imgInfo", 0},
        {2, "O", 1, "imgInfo", 0},       {3, "YNC", 2, "imgInfo", 0},
        {4, "YN", 7, "imgInfo", 0},      {5, "RC", 2, "imgInfo", 0},
        {6, "YAN", 7, "imgInfo", 0},     {7, "YANC", 7, "imgInfo", 0},
        {8, "O", 1, "imgInfo", 0},       {15, "O", 1, "imgInfo", 0},
        {48, "O", 1, "imgExcl", 48},     {49, "O", 1, "imgExcl", 48},
        {32, "O", 1, "imgQuest", 32},    {35, "YNC", 2, "imgQuest", 32},
        {16 + 4, "YN", 7, "imgInfo", 0}, {64 + 5, "RC", 2, "imgInfo", 0},
    };
    for (const auto &c : styles) {
        SCOPED_TRACE(testing::Message() << "style " << c.style);
        std::set<std::string> visible, expected{c.icon};
        QWidget *focused = nullptr;
        beeps.clear();
        // The close box gives the Escape answer.
        EXPECT_EQ(ask(QStringLiteral("Question?"), c.style,
                      [&] {
                          for (QWidget *w : box.findChildren<QWidget *>()) {
                              if (w->isVisible() && (qobject_cast<QPushButton *>(w) ||
                                                     w->objectName().startsWith("img"))) {
                                  visible.insert(w->objectName().toStdString());
                              }
                          }
                          focused = box.focusWidget();
                          box.close();
                      }),
                  c.escape);
        EXPECT_FALSE(*leftOpen);
        EXPECT_FALSE(get<QLabel>(c.icon)->pixmap().isNull());
        EXPECT_EQ(beeps, std::vector<int>{c.beep});
        int16_t enter = 0;
        // 0: the key does nothing.
        std::vector<std::pair<Qt::Key, int16_t>> keys = {{Qt::Key_Escape, c.escape},
                                                         {Qt::Key_W, 0}};
        for (const LetterInfo &l : kLetters) {
            const bool shown = c.buttons.find(l.letter) != std::string::npos;
            keys.emplace_back(Qt::Key(l.letter), shown ? l.answer : 0);
            if (shown) {
                expected.insert(l.button);
                EXPECT_EQ(ask(QStringLiteral("Pick"), c.style,
                              [&] { QTest::mouseClick(get(l.button), Qt::LeftButton); }),
                          l.answer)
                    << l.button;
            }
            if (l.letter == c.buttons[0]) {
                enter = l.answer;
                EXPECT_EQ(focused, get(l.button));
            }
        }
        EXPECT_EQ(visible, expected);
        // Space presses the focused button, which is the default one.
        keys.insert(keys.end(),
                    {{Qt::Key_Return, enter}, {Qt::Key_Enter, enter}, {Qt::Key_Space, enter}});
        for (const Qt::KeyboardModifiers mod :
             {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
            for (const auto &[key, answer] : keys) {
                SCOPED_TRACE(testing::Message() << "key " << key << " modifiers " << mod.toInt());
                EXPECT_EQ(ask(QStringLiteral("Go on?"), c.style,
                              [&] {
                                  QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, key,
                                                  mod);
                              }),
                          answer == 0 ? c.escape : answer);
                EXPECT_EQ(*leftOpen, answer == 0);
            }
        }
    }
}

TEST_F(FrmMsgBoxTest, CheckBoxTickSurvivesBetweenCalls) {
    auto *check = get<QCheckBox>("chkNotAgain");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("In the future, do not show this &warning"));
    const struct {
        int16_t style;
        bool toggle;
        Qt::Key key; // 0: the close box
        int16_t answer;
        bool shown;
    } steps[] = {
        {7 + 256, true, Qt::Key_Y, 6 + 256, true},
        {35, false, Qt::Key_N, 7, false}, // not asked for: hidden, no 256 though still ticked
        {35 + 256, false, Qt::Key(0), 2 + 256, true},
        {4 + 256, true, Qt::Key_Y, 6, true}, // unticked again
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.style);
        EXPECT_EQ(ask(QStringLiteral("Overwrite?"), s.style,
                      [&] {
                          EXPECT_EQ(check->isVisible(), s.shown);
                          if (s.toggle) {
                              QTest::mouseClick(check, Qt::LeftButton, {},
                                                QPoint(8, check->height() / 2));
                          }
                          if (s.key) {
                              QTest::keyClick(box.focusWidget(), s.key);
                          }
                      }),
                  s.answer);
    }
}

TEST_F(FrmMsgBoxTest, NothingIsCutAndLineBreaksStay) {
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
        // Four buttons and the check box.
        {QStringLiteral("Save changes to\r\nC:\\Connections\\Host.ats?"), 7 + 256},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.style);
        ask(c.text, c.style);
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Velmaris"));
        EXPECT_EQ(message->text(), QString(c.text).replace(QStringLiteral("\r\n"), "\n"));
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
        for (QAbstractButton *b : box.findChildren<QAbstractButton *>()) {
            if (b->isVisible()) {
                EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
                EXPECT_LE(b->geometry().right(), box.width());
            }
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
    ask(QStringLiteral("Busy?"), 4, [&] {
        EXPECT_TRUE(box.pointerWatchRunning());
        EXPECT_TRUE(pointerAt(box.rect().center(), MousePointer::Default));
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(
            pointerAt(QPoint(box.width() + 100, box.height() + 100), MousePointer::Hourglass));
        EXPECT_TRUE(pointerAt(QPoint(5, 5), MousePointer::Default));
        QTest::mouseClick(get("cmdNo"), Qt::LeftButton);
    });
    EXPECT_FALSE(box.pointerWatchRunning());
    EXPECT_EQ(MousePointer::get(), MousePointer::Hourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // The saved pointer comes back even when someone changed it meanwhile.
    ask(QStringLiteral("Busy?"), 0, [&] { MousePointer::set(13); });
    EXPECT_EQ(MousePointer::get(), MousePointer::Hourglass);
    MousePointer::set(MousePointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ask(QStringLiteral("Idle"), 0, [&] { EXPECT_FALSE(box.pointerWatchRunning()); });
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
    QTimer::singleShot(0, [&] {
        // The first box waits; an event asks again.
        QTimer::singleShot(0, [&] {
            auto *second = qobject_cast<FrmMsgBox *>(QApplication::activeModalWidget());
            ASSERT_NE(second, nullptr);
            EXPECT_NE(second, first);
            QTest::keyClick(second->focusWidget(), Qt::Key_O);
        });
        inner = service.showMessage(QStringLiteral("Error loading"), 49);
        EXPECT_EQ(first->findChild<QLabel *>(QStringLiteral("lbMessage"))->text(), "Save changes?");
        QTest::keyClick(first->focusWidget(), Qt::Key_N);
    });
    EXPECT_EQ(service.showMessage(QStringLiteral("Save changes?"), 35), 7);
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(service.form(), first);
}

const std::string kReport = "Procedure:\tGetIniDir (zelpdev)\r\nError:\t53\r\n"
                            "Description:\tFile not found\r\nSource:\tgsf\r\n";

template <class W = QPushButton> W *get(QWidget &d, const char *name) {
    return child<W>(&d, name);
}

TEST(FrmErrHndlr, ReportTabOrderAndTabStops) {
    FrmErrHndlr d;
    d.setReport(QString::fromStdString(kReport));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("DUDiriDur unanticipated error"));
    auto *details = get<QPlainTextEdit>(d, "txDetails");
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(details->isReadOnly());
    EXPECT_EQ(details->toPlainText(), QStringLiteral("Procedure:\tGetIniDir (zelpdev)\nError:\t53\n"
                                                     "Description:\tFile not found\nSource:\tgsf"));
    QPushButton *fail = get(d, "cmdEnd"), *retry = get(d, "cmdResume"),
                *ignore = get(d, "cmdResumeNext");
    ASSERT_TRUE(fail && retry && ignore);
    EXPECT_TRUE(fail->isDefault());
    EXPECT_EQ(nextTabStop(fail), retry);
    EXPECT_EQ(nextTabStop(retry), ignore);
    EXPECT_EQ(nextTabStop(ignore), details);
    EXPECT_EQ(nextTabStop(details), fail);
    // Evenly spaced tab stops, the first past the longest heading, so the values line up.
    d.resize(d.size());
    const QList<qreal> stops = d.tabStops();
    ASSERT_EQ(stops.size(), 3);
    EXPECT_GT(stops[0], QFontMetricsF(details->font()).horizontalAdvance("Description:"));
    EXPECT_NEAR(stops[1], 2 * stops[0], 1);
    EXPECT_NEAR(stops[2], 3 * stops[0], 1);
}

TEST(FrmErrHndlr, ChoicesByButtonKeyAndCloseBox) {
    const struct {
        const char *how; // a button's name, "Return", "Escape", "close", or text typed
        int16_t choice;
        bool stayedOpen = false, inDetails = false;
    } cases[] = {
        {"cmdEnd", 0},  {"cmdResume", 1}, {"cmdResumeNext", 2},
        {"Return", 0},  {"Escape", 1},    {"F", 0},
        {"f", 0},       {"R", 1},         {"r", 1},
        {"I", 2},       {"i", 2},         {"i", 2, false, true},
        {"x", 0, true}, {"close", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.how << (c.inDetails ? " in the text box" : ""));
        WidgetErrorDialog service;
        const auto stayedOpen = whenModal<FrmErrHndlr>([&](FrmErrHndlr &d) {
            EXPECT_EQ(d.focusWidget(), get(d, "cmdEnd"));
            const QString how = QLatin1String(c.how);
            if (c.inDetails) {
                get<QPlainTextEdit>(d, "txDetails")->setFocus();
            }
            if (how.startsWith("cmd")) {
                QTest::mouseClick(get(d, c.how), Qt::LeftButton);
            } else if (how == "close") {
                d.close();
            } else if (how.size() > 1) {
                QTest::keyClick(d.focusWidget(), how == "Return" ? Qt::Key_Return : Qt::Key_Escape);
            } else {
                QTest::keyClicks(d.focusWidget(), how);
            }
        });
        EXPECT_EQ(service.choose(kReport), std::optional<int16_t>(c.choice));
        EXPECT_EQ(*stayedOpen, c.stayedOpen);
    }
}

TEST(FrmErrHndlr, FallbackIsAPlainStopMessage) {
    WidgetErrorDialog service;
    bool shown = false;
    whenModal<QMessageBox>([&](QMessageBox &box) {
        shown = true;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("DUDiriDur - unanticipated error"));
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box.text(), QString::fromStdString(kReport));
        box.button(QMessageBox::Cancel)->click();
    });
    service.showFallback(kReport);
    EXPECT_TRUE(shown);
}

TEST(FrmAboutBox, ShowsBannerReleaseAndVersionAndClosesOnEnterAndEscape) {
    ServiceScope scope;
    FrmAboutBox box;
    EXPECT_TRUE(scope.errors.reports.empty());
    // What the window system receives: an empty title would be replaced by the program's
    // name, so the box sends one that shows nothing.
    box.winId();
    ASSERT_NE(box.windowHandle(), nullptr);
    EXPECT_FALSE(box.windowHandle()->title().isEmpty());
    EXPECT_TRUE(box.windowHandle()->title().trimmed().isEmpty());
    auto *release = get<QLabel>(box, "pnlRelease");
    ASSERT_NE(release, nullptr);
    EXPECT_EQ(release->text(),
              QString::fromStdString(" Release " + AppInfo::releaseDesignation() + " (4.0.132) "));
    EXPECT_FALSE(get<QLabel>(box, "Image1")->pixmap().isNull());
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        const auto leftOpen = whenModal<FrmAboutBox>([key](FrmAboutBox &b) {
            QTest::keyClick(b.focusWidget() ? b.focusWidget() : &b, key);
        });
        box.exec();
        EXPECT_FALSE(*leftOpen) << key;
    }
}

TEST(FrmAboutBox, MissingBannerGoesToTheErrorHandler) {
    ServiceScope scope;
    const QString saved = FrmAboutBox::bannerResource();
    FrmAboutBox::setBannerResource(QStringLiteral(":/images/none.png"));
    scope.errors.answers = {int16_t{ChoiceIgnore}};
    {
        FrmAboutBox box;
        ASSERT_EQ(scope.errors.reports.size(), 1u);
        EXPECT_TRUE(scope.errors.reports[0].starts_with(
            "Procedure:\tForm_Load (aboutbox)\r\nError:\t326\r\n"));
        // The load goes on with the next step.
        EXPECT_TRUE(get<QLabel>(box, "pnlRelease")->text().startsWith(" Release "));
    }
    ErrHndlr::resetForTests();
    scope.errors.answers = {int16_t{ChoiceFail}};
    try {
        FrmAboutBox box;
        ADD_FAILURE() << "the load should have failed";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 326);
    }
    FrmAboutBox::setBannerResource(saved);
}

TEST(Artwork, ButtonPicturesComeInBothSizes) {
    for (const char *button : {"cmdNew", "cmdOpen", "cmdClose", "cmdSave", "cmdSettings",
                               "cmdScript", "cmdConnect", "cmdDisconnect"}) {
        const QIcon icon = buttonPicture(QLatin1String(button));
        // Each size gives the picture drawn for it, not a scaled one.
        for (const int size : {32, 48}) {
            const QImage drawn(
                QStringLiteral(":/images/%1-%2.png").arg(QLatin1String(button)).arg(size));
            EXPECT_EQ(icon.pixmap(QSize(size, size)).toImage().convertToFormat(drawn.format()),
                      drawn)
                << button << size;
        }
    }
    EXPECT_TRUE(buttonPicture(QStringLiteral("cmdNothing")).isNull());
}

// Tiled from the top left, the tile's opposite edges meet: the step across an edge is no
// bigger than the steps inside it, and the picture stays quiet behind the buttons.
TEST(Artwork, BackgroundTileIsSeamlessAndQuiet) {
    const QImage tile(QStringLiteral(":/images/9002.png"));
    ASSERT_FALSE(tile.isNull());
    const int w = tile.width(), h = tile.height();
    const auto gray = [&](int x, int y) { return qGray(tile.pixel(x % w, y % h)); };
    double inner = 0, acrossX = 0, acrossY = 0;
    int lo = 255, hi = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            (x + 1 < w ? inner : acrossX) += std::abs(gray(x, y) - gray(x + 1, y));
            acrossY += y + 1 < h ? 0 : std::abs(gray(x, y) - gray(x, y + 1));
            lo = std::min(lo, gray(x, y));
            hi = std::max(hi, gray(x, y));
        }
    }
    inner /= double(h) * (w - 1);
    EXPECT_LE(acrossX / h, 1.5 * inner + 0.5);
    EXPECT_LE(acrossY / w, 1.5 * inner + 0.5);
    EXPECT_LE(hi - lo, 40);
    EXPECT_GE(lo, 180); // light enough for black text
}

} // namespace
} // namespace zelp::test
