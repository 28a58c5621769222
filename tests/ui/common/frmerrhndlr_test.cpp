#include "ui/common/frmerrhndlr.h"

#include "common/errhndlr.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace zelp::test {
namespace {

const std::string kReport = "Procedure:\tGetIniDir (zelpdev)\r\nError:\t53\r\n"
                            "Description:\tFile not found\r\nSource:\tgsf\r\n";

template <class W = QPushButton> W *get(QWidget &d, const char *name) {
    return d.findChild<W *>(QLatin1String(name));
}

// Runs act on the error dialog once it is up; closes it if act left it open.
void whenShown(std::function<void(FrmErrHndlr &)> act, bool *stayedOpen = nullptr) {
    QTimer::singleShot(0, [act, stayedOpen] {
        auto *dialog = qobject_cast<FrmErrHndlr *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
        if (stayedOpen) {
            *stayedOpen = dialog->isVisible();
        }
        if (dialog->isVisible()) {
            dialog->close();
        }
    });
}

// The next widget that Tab moves the focus to.
QWidget *nextTabStop(QWidget *w) {
    QWidget *next = w->nextInFocusChain();
    while (next != w && !((next->focusPolicy() & Qt::TabFocus) && next->isEnabled())) {
        next = next->nextInFocusChain();
    }
    return next;
}

TEST(FrmErrHndlr, ReportTabOrderAndTabStops) {
    FrmErrHndlr d;
    d.setReport(QString::fromStdString(kReport));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("DUDiriDur unanticipated error"));
    auto *details = get<QPlainTextEdit>(d, "txDetails");
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->parentWidget()->objectName(), QStringLiteral("Frame3D1"));
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
    EXPECT_EQ(d.choice(), ChoiceFail); // no button pressed yet

    // Tab stops of 88, 176 and 264 dialog units; a unit is a quarter of the average
    // character width.
    d.resize(d.size());
    const QList<qreal> stops = d.tabStops();
    ASSERT_EQ(stops.size(), 3);
    const double average = QFontMetricsF(details->font())
                               .horizontalAdvance(QStringLiteral(
                                   "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                           52;
    EXPECT_NEAR(stops[0], 88 * average / 4, 88.0 / 4);
    EXPECT_NEAR(stops[1], 2 * stops[0], 1);
    EXPECT_NEAR(stops[2], 3 * stops[0], 1);
}

TEST(FrmErrHndlr, ChoicesByButtonKeyAndCloseBox) {
    using Act = std::function<void(FrmErrHndlr &)>;
    auto click = [](const char *name) {
        return Act([name](FrmErrHndlr &d) { QTest::mouseClick(get(d, name), Qt::LeftButton); });
    };
    auto key = [](Qt::Key k) {
        return Act([k](FrmErrHndlr &d) { QTest::keyClick(d.focusWidget(), k); });
    };
    auto text = [](const char *c) {
        return Act([c](FrmErrHndlr &d) { QTest::keyClicks(d.focusWidget(), QLatin1String(c)); });
    };
    const struct {
        const char *name;
        Act act;
        int16_t choice;
        bool stayedOpen;
    } cases[] = {
        {"Fail button", click("cmdEnd"), 0, false},
        {"Retry button", click("cmdResume"), 1, false},
        {"Ignore button", click("cmdResumeNext"), 2, false},
        {"Enter", key(Qt::Key_Return), 0, false},
        {"Escape", key(Qt::Key_Escape), 1, false},
        {"F", text("F"), 0, false},
        {"f", text("f"), 0, false},
        {"R", text("R"), 1, false},
        {"r", text("r"), 1, false},
        {"I", text("I"), 2, false},
        {"i", text("i"), 2, false},
        {"i in the text box",
         [](FrmErrHndlr &d) {
             get<QPlainTextEdit>(d, "txDetails")->setFocus();
             QTest::keyClicks(d.focusWidget(), QStringLiteral("i"));
         },
         2, false},
        {"another key does nothing", text("x"), 0, true},
        {"close box", [](FrmErrHndlr &d) { d.close(); }, 0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WidgetErrorDialog service;
        bool stayedOpen = false, focusOnFail = false;
        whenShown(
            [&](FrmErrHndlr &d) {
                focusOnFail = d.focusWidget() == get(d, "cmdEnd");
                c.act(d);
            },
            &stayedOpen);
        EXPECT_EQ(service.choose(kReport), std::optional<int16_t>(c.choice));
        EXPECT_TRUE(focusOnFail);
        EXPECT_EQ(stayedOpen, c.stayedOpen);
    }
}

TEST(FrmErrHndlr, ErrorHandlerShowsTheReportAndLogsTheChoice) {
    ServiceScope scope;
    WidgetErrorDialog service;
    ErrHndlr::setDialogService(&service);
    QString shown;
    whenShown([&](FrmErrHndlr &d) {
        shown = get<QPlainTextEdit>(d, "txDetails")->toPlainText();
        QTest::keyClicks(d.focusWidget(), QStringLiteral("i"));
    });
    EXPECT_EQ(ErrorHandler({-1, "zelpdev2k", "Automation error", 0}, "main", "cmdNew_Click"),
              ChoiceIgnore);
    EXPECT_EQ(
        shown,
        QStringLiteral(
            "Procedure:\tcmdNew_Click (main)\nError:\t0xFFFFFFFF\nDescription:\tAutomation error"));
    EXPECT_TRUE(scope.log().endsWith(QStringLiteral("Action:\tIgnore\r\n")));
    EXPECT_FALSE(ErrHndlr::logOnly());
}

TEST(FrmErrHndlr, FallbackIsAPlainStopMessage) {
    WidgetErrorDialog service;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Cancel)->click();
    });
    service.showFallback(kReport);
    EXPECT_EQ(title, QStringLiteral("DUDiriDur - unanticipated error"));
    EXPECT_EQ(text, QString::fromStdString(kReport));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QMessageBox::Ok | QMessageBox::Cancel);
}

} // namespace
} // namespace zelp::test
