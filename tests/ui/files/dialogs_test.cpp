#include "ui/files/frmdoctype.h"
#include "ui/files/frmsave.h"

#include "common/workfolders.h"
#include "support/modal.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace zelp::test {
namespace {

template <class W = QAbstractButton> W *get(QDialog &d, const QString &name) {
    return child<W>(&d, name.toLatin1().constData());
}

void click(QAbstractButton *b) {
    ASSERT_TRUE(b && b->isEnabled());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
}

// Each control, given in tab order, lies inside the fixed-size dialog and shows its whole
// text; a label's buddy is the control after it.
void checkControls(QDialog &d, const char *names) {
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(d.size(), d.minimumSize());
    QWidget *previous = nullptr;
    QLabel *label = nullptr;
    for (const QString &name : QString::fromLatin1(names).split(u' ')) {
        SCOPED_TRACE(name.toStdString());
        auto *control = d.findChild<QWidget *>(name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(d.rect().contains(control->geometry()));
        if (control->hasHeightForWidth()) {
            EXPECT_LE(control->heightForWidth(control->width()), control->height());
        } else if (!qobject_cast<QLineEdit *>(control)) {
            EXPECT_GE(control->width(), control->sizeHint().width());
        }
        if (label && label->buddy()) {
            EXPECT_EQ(label->buddy(), control);
        }
        if ((label = qobject_cast<QLabel *>(control))) {
            continue;
        }
        EXPECT_TRUE(!previous || nextTabStop(previous) == control);
        previous = control;
    }
}

TEST(FrmDocType, ControlsAndEachWayOutSetsBothFlagsCentredOverItsOwner) {
    ServiceScope scope;
    const struct {
        const char *how; // a button's name, a key (Return on the focused cmdSafe) or "close"
        bool cancelled, unsafe;
    } cases[] = {
        {"cmdSafe", false, false}, {"cmdUnsafe", false, true}, {"cmdCancel", true, false},
        {"Escape", true, false},   {"Return", false, false},   {"Alt+U", false, true},
        {"close", false, false},
    };
    QWidget owner;
    owner.setGeometry(100, 80, 800, 600);
    owner.show();
    FrmDocType dialog(&owner);
    checkControls(dialog, "Label2 Label1 cmdSafe cmdUnsafe cmdCancel");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        // The last answer (or a stale one) must not survive into the next showing.
        dialog.Cancelled = dialog.Unsafe = true;
        const auto leftOpen = whenModal<QDialog>([&](QDialog &) {
            EXPECT_EQ(dialog.focusWidget(), get(dialog, "cmdSafe"));
            EXPECT_FALSE(dialog.Cancelled || dialog.Unsafe);
            const QPoint off = dialog.frameGeometry().center() - owner.frameGeometry().center();
            EXPECT_LE(off.manhattanLength(), 2);
            const QString how = QLatin1String(c.how);
            if (how.startsWith("cmd")) {
                click(get(dialog, how));
            } else if (how == "close") {
                dialog.close();
            } else {
                // Mnemonics reach only the active window, and press with a short animation.
                ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
                const QKeyCombination key = QKeySequence(how)[0];
                QTest::keyClick(dialog.focusWidget(), key.key(), key.keyboardModifiers());
                EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 2000));
            }
        });
        dialog.exec();
        EXPECT_FALSE(*leftOpen);
        EXPECT_EQ(dialog.Cancelled, c.cancelled);
        EXPECT_EQ(dialog.Unsafe, c.unsafe);
    }
}

// Does what a person does, one letter a step: 0, 1, 2 pick that option; g ticks GUI support;
// t types a name; B, S, C press Browse, Save, Cancel; E and X press Enter and Escape in the
// name box; F closes by the frame. Checks what every fresh dialog shows and that the HTML
// controls follow the options.
void act(QDialog &d, const QString &session, const QString &offered, const char *steps) {
    auto *sessionBox = get<QLineEdit>(d, "txSessionFileName");
    auto *htmlBox = get<QLineEdit>(d, "txHTMLFileName");
    EXPECT_EQ(sessionBox->text(), session);
    EXPECT_TRUE(sessionBox->isReadOnly());
    EXPECT_EQ(htmlBox->text(), offered);
    EXPECT_TRUE(get(d, "optHTML0")->isChecked());
    EXPECT_FALSE(get(d, "chkOptGUI")->isChecked());
    const std::string clicks = "gBSC";
    const char *buttons[] = {"chkOptGUI", "cmdBrowse", "cmdSave", "cmdCancel"};
    for (const char *step = steps; *step; ++step) {
        if (clicks.find(*step) != std::string::npos) {
            click(get(d, QLatin1String(buttons[clicks.find(*step)])));
        } else if (*step == 't') {
            htmlBox->clear();
            QTest::keyClicks(htmlBox, QStringLiteral("/pages/Typed.htm"));
        } else if (*step == 'E' || *step == 'X') {
            htmlBox->setFocus();
            QTest::keyClick(htmlBox, *step == 'E' ? Qt::Key_Return : Qt::Key_Escape);
        } else if (*step == 'F') {
            d.close();
        } else {
            click(get(d, QStringLiteral("optHTML") + QLatin1Char(*step)));
            for (const char *name :
                 {"lbHTMLFileName", "txHTMLFileName", "cmdBrowse", "chkOptGUI"}) {
                EXPECT_EQ(get<QWidget>(d, name)->isEnabled(), *step != '0') << name << *step;
            }
        }
    }
}

class FrmSaveTest : public ::testing::Test {
protected:
    void SetUp() override { setFileDialogService(&files); }
    void TearDown() override { setFileDialogService(nullptr); }
    // One Save through the dialog; the session name is only shown. shown: the name box's
    // text when the last step has been taken.
    int16_t save(const char *session, QString &html, const char *offered, const char *steps,
                 QString *shown = nullptr) {
        workFolders().home = QStringLiteral("/home/admin/");
        FrmSave dialog;
        bool ran = false;
        const auto leftOpen = whenModal<FrmSave>([&](FrmSave &) {
            ran = true;
            act(dialog, QLatin1String(session), QLatin1String(offered), steps);
            if (shown) {
                *shown = get<QLineEdit>(dialog, "txHTMLFileName")->text();
            }
        });
        QString sessionInOut = QLatin1String(session);
        const int16_t result = dialog.Save(sessionInOut, html);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(*leftOpen);
        EXPECT_EQ(sessionInOut, QLatin1String(session));
        return result;
    }
    ServiceScope scope; // puts the home folder back
    ScriptedFileDialog files;
};

TEST_F(FrmSaveTest, ResultAndNameForEachWayThrough) {
    const char *S = "/web/Sales.ats", *H = "/web/Sales.htm", *O = "/pages/Old.htm",
               *T = "/pages/Typed.htm";
    const struct {
        const char *what, *session, *htmlIn, *offered, *steps;
        int16_t result;
        const char *htmlOut;
    } cases[] = {
        {"no page", S, "", H, "S", 1, H},
        {"Internet page with GUI support", S, "", H, "1gS", 130, H},
        {"intranet page", S, "", H, "2S", 3, H},
        {"GUI ticked, then no page: the tick counts", S, "", H, "1g0S", 129, H},
        {"Cancel: the name stays as it came", S, O, O, "1gtC", 0, O},
        {"Cancel on a first save keeps the derived name", S, "", H, "C", 0, H},
        {"a typed name comes back", S, "", H, "1tS", 2, T},
        {"Enter in the name box is Save", S, "", H, "2E", 3, H},
        {"Escape is Cancel", S, O, O, "1tX", 0, O},
        {"closing by the frame saves nothing", S, O, O, "2F", 0, O},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QString html = QLatin1String(c.htmlIn);
        EXPECT_EQ(save(c.session, html, c.offered, c.steps), c.result);
        EXPECT_EQ(html, QLatin1String(c.htmlOut));
    }
    EXPECT_TRUE(files.requests.empty());
    // The next dialog offers the name the last one came back with, and no page.
    QString html;
    EXPECT_EQ(save(S, html, H, "1t0S"), 1);
    EXPECT_EQ(save(S, html, T, "C"), 0);
    EXPECT_EQ(html, QLatin1String(T));
}

TEST_F(FrmSaveTest, BrowseFillsTheBoxAndMovesHomeOrChangesNothing) {
    for (const bool chosen : {true, false}) {
        SCOPED_TRACE(chosen);
        files.requests.clear();
        files.answers = {chosen ? std::optional(QStringLiteral("/srv/pages/Launch"))
                                : std::nullopt};
        QString html = chosen ? QString() : QStringLiteral("/pages/Old.htm");
        const QString wanted = chosen ? QStringLiteral("/srv/pages/Launch.htm") : html;
        QString shown;
        EXPECT_EQ(save("/web/Sales.ats", html, chosen ? "/web/Sales.htm" : "/pages/Old.htm",
                       chosen ? "1BS" : "2BS", &shown),
                  chosen ? 2 : 3);
        // A name typed without extension gets the default one.
        EXPECT_EQ(shown, wanted);
        EXPECT_EQ(html, wanted);
        EXPECT_EQ(workFolders().home, chosen ? "/srv/pages/" : "/home/admin/");
        ASSERT_EQ(files.requests.size(), 1u);
        const FileDialogRequest &r = files.requests[0];
        EXPECT_EQ(r.fileName, chosen ? QStringLiteral("/web/Sales.htm") : html);
        EXPECT_TRUE(r.confirmOverwrite) << "an existing page is not replaced unasked";
    }
}

TEST_F(FrmSaveTest, ControlsFitAndTabOrder) {
    FrmSave dialog;
    checkControls(dialog, "lbSessionFileName txSessionFileName lbHTMLFileName txHTMLFileName "
                          "cmdBrowse optHTML0 optHTML1 optHTML2 cmdCancel cmdSave chkOptGUI");
}

} // namespace
} // namespace zelp::test
