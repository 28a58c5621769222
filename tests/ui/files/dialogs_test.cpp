#include "ui/files/frmdoctype.h"
#include "ui/files/frmsave.h"

#include "common/workfolders.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace zelp::test {
namespace {

// Runs whileShown once the modal dialog is up; a dialog it left open is closed, so that a
// failed check cannot hang the test.
struct ModalDriver {
    bool ran = false, leftOpen = false;
    ModalDriver(QDialog &d, std::function<void()> whileShown) {
        QTimer::singleShot(0, &d, [this, &d, whileShown] {
            ran = true;
            whileShown();
            if ((leftOpen = d.isVisible())) {
                d.done(QDialog::Rejected);
            }
        });
    }
};

QPushButton *button(QDialog &dialog, const char *name) {
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

// Each control, given in tab order, carries its help topic, lies inside the fixed-size dialog
// and shows its whole text; a label's buddy is the control after it.
void checkControls(QDialog &d, int help,
                   const std::vector<std::pair<const char *, int>> &controls) {
    EXPECT_EQ(d.property("helpContextId").toInt(), help);
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(d.size(), d.minimumSize());
    QWidget *previous = nullptr;
    QLabel *label = nullptr;
    for (const auto &[name, context] : controls) {
        SCOPED_TRACE(name);
        auto *control = d.findChild<QWidget *>(QLatin1String(name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->property("helpContextId").toInt(), context);
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
        if (previous) {
            QWidget *next = previous->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus)) {
                next = next->nextInFocusChain();
            }
            EXPECT_EQ(next, control);
        }
        previous = control;
    }
}

TEST(FrmDocType, EachWayOutSetsBothFlags) {
    ServiceScope scope;
    const auto click = [](const char *name) {
        return [name](QDialog &d) { QTest::mouseClick(button(d, name), Qt::LeftButton); };
    };
    const struct {
        const char *how;
        std::function<void(QDialog &)> act;
        bool cancelled, unsafe;
    } cases[] = {
        {"cmdSafe", click("cmdSafe"), false, false},
        {"cmdUnsafe", click("cmdUnsafe"), false, true},
        {"cmdCancel", click("cmdCancel"), true, false},
        {"Escape", [](QDialog &d) { QTest::keyClick(d.focusWidget(), Qt::Key_Escape); }, true,
         false},
        {"Enter on the focused cmdSafe",
         [](QDialog &d) { QTest::keyClick(d.focusWidget(), Qt::Key_Return); }, false, false},
        {"Alt+U",
         [](QDialog &d) {
             // Mnemonics reach only the active window, and press with a short animation.
             ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
             QTest::keyClick(d.focusWidget(), Qt::Key_U, Qt::AltModifier);
             EXPECT_TRUE(QTest::qWaitFor([&d] { return !d.isVisible(); }, 2000));
         },
         false, true},
        {"closed by the frame", [](QDialog &d) { d.close(); }, false, false},
    };
    FrmDocType dialog;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        // The last answer (or a stale one) must not survive into the next showing.
        dialog.Cancelled = dialog.Unsafe = true;
        QWidget *focused = nullptr;
        bool staleWhileShown = true;
        ModalDriver driver(dialog, [&] {
            focused = dialog.focusWidget();
            staleWhileShown = dialog.Cancelled || dialog.Unsafe;
            c.act(dialog);
        });
        dialog.exec();
        EXPECT_TRUE(driver.ran);
        EXPECT_FALSE(driver.leftOpen);
        EXPECT_FALSE(staleWhileShown);
        EXPECT_EQ(focused, button(dialog, "cmdSafe"));
        EXPECT_EQ(dialog.Cancelled, c.cancelled);
        EXPECT_EQ(dialog.Unsafe, c.unsafe);
    }
}

TEST(FrmDocType, ControlsHelpFitAndTabOrder) {
    ServiceScope scope;
    FrmDocType dialog;
    EXPECT_FALSE(dialog.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    checkControls(
        dialog, 100,
        {{"Label2", 0}, {"Label1", 0}, {"cmdSafe", 102}, {"cmdUnsafe", 101}, {"cmdCancel", 103}});
}

TEST(FrmDocType, OpensCentredOverItsOwner) {
    ServiceScope scope;
    QWidget owner;
    owner.setGeometry(100, 80, 800, 600);
    owner.show();
    FrmDocType dialog(&owner);
    QPoint centre;
    ModalDriver driver(dialog, [&] {
        centre = dialog.frameGeometry().center();
        dialog.close();
    });
    dialog.exec();
    const QPoint off = centre - owner.frameGeometry().center();
    EXPECT_LE(std::abs(off.x()), 2);
    EXPECT_LE(std::abs(off.y()), 2);
}

template <class W = QAbstractButton> W *get(QDialog &d, const QString &name) {
    return d.findChild<W *>(name);
}

void click(QAbstractButton *b) {
    ASSERT_TRUE(b && b->isEnabled());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
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
    for (const char *step = steps; *step; ++step) {
        switch (*step) {
        case '0':
        case '1':
        case '2': {
            click(get(d, QStringLiteral("optHTML") + QLatin1Char(*step)));
            const bool on[] = {get<QLabel>(d, "lbHTMLFileName")->isEnabled(), htmlBox->isEnabled(),
                               get(d, "cmdBrowse")->isEnabled(), get(d, "chkOptGUI")->isEnabled()};
            for (bool each : on) {
                EXPECT_EQ(each, *step != '0') << "HTML controls after option " << *step;
            }
            break;
        }
        case 'g':
            click(get(d, "chkOptGUI"));
            break;
        case 't':
            htmlBox->clear();
            QTest::keyClicks(htmlBox, QStringLiteral("/pages/Typed.htm"));
            break;
        case 'B':
            click(get(d, "cmdBrowse"));
            break;
        case 'S':
            click(get(d, "cmdSave"));
            break;
        case 'C':
            click(get(d, "cmdCancel"));
            break;
        case 'E':
        case 'X':
            htmlBox->setFocus();
            QTest::keyClick(htmlBox, *step == 'E' ? Qt::Key_Return : Qt::Key_Escape);
            break;
        case 'F':
            d.close();
            break;
        }
    }
}

class FrmSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedHome = workFolders().home;
        setFileDialogService(&files);
    }
    void TearDown() override {
        setFileDialogService(nullptr);
        workFolders().home = savedHome;
    }
    // One Save through the dialog; the session name is only shown. shown: the name box's
    // text when the last step has been taken.
    int16_t save(const char *session, QString &html, const char *offered, const char *steps,
                 QString *shown = nullptr) {
        workFolders().home = QStringLiteral("/home/admin/");
        FrmSave dialog;
        ModalDriver driver(dialog, [&] {
            act(dialog, QLatin1String(session), QLatin1String(offered), steps);
            if (shown) {
                *shown = get<QLineEdit>(dialog, "txHTMLFileName")->text();
            }
        });
        QString sessionInOut = QLatin1String(session);
        const int16_t result = dialog.Save(sessionInOut, html);
        EXPECT_TRUE(driver.ran);
        EXPECT_FALSE(driver.leftOpen);
        EXPECT_EQ(sessionInOut, QLatin1String(session));
        return result;
    }

    ScriptedFileDialog files;
    QString savedHome;
};

TEST_F(FrmSaveTest, ResultAndNameForEachWayThrough) {
    const struct {
        const char *what, *session, *htmlIn, *offered, *steps;
        int16_t result;
        const char *htmlOut;
    } cases[] = {
        {"no page", "/web/Sales.ats", "", "/web/Sales.htm", "S", 1, "/web/Sales.htm"},
        {"a path without a dot gets .htm", "/web/Sales", "", "/web/Sales.htm", "S", 1,
         "/web/Sales.htm"},
        {"the last dot of the whole path counts", "/rel.2/Sales", "", "/rel.htm", "S", 1,
         "/rel.htm"},
        {"Internet page with GUI support", "/web/Sales.ats", "", "/web/Sales.htm", "1gS", 130,
         "/web/Sales.htm"},
        {"intranet page", "/web/Sales.ats", "", "/web/Sales.htm", "2S", 3, "/web/Sales.htm"},
        {"GUI ticked, then no page: the tick counts", "/web/Sales.ats", "", "/web/Sales.htm",
         "1g0S", 129, "/web/Sales.htm"},
        {"Cancel: the name stays as it came", "/web/Sales.ats", "/pages/Old.htm", "/pages/Old.htm",
         "1gtC", 0, "/pages/Old.htm"},
        {"Cancel on a first save keeps the derived name", "/web/Sales.ats", "", "/web/Sales.htm",
         "C", 0, "/web/Sales.htm"},
        {"a typed name comes back", "/web/Sales.ats", "", "/web/Sales.htm", "1tS", 2,
         "/pages/Typed.htm"},
        {"Enter in the name box is Save", "/web/Sales.ats", "", "/web/Sales.htm", "2E", 3,
         "/web/Sales.htm"},
        {"Escape is Cancel", "/web/Sales.ats", "/pages/Old.htm", "/pages/Old.htm", "1tX", 0,
         "/pages/Old.htm"},
        {"closing by the frame saves nothing", "/web/Sales.ats", "/pages/Old.htm", "/pages/Old.htm",
         "2F", 0, "/pages/Old.htm"},
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
    EXPECT_EQ(save("/web/Sales.ats", html, "/web/Sales.htm", "1t0S"), 1);
    EXPECT_EQ(save("/web/Sales.ats", html, "/pages/Typed.htm", "C"), 0);
    EXPECT_EQ(html, QStringLiteral("/pages/Typed.htm"));
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
        EXPECT_EQ(r.kind, FileDialogRequest::Kind::Save);
        EXPECT_EQ(r.initialFolder, QStringLiteral("/home/admin/"));
        EXPECT_EQ(r.fileName, chosen ? QStringLiteral("/web/Sales.htm") : html);
        EXPECT_EQ(r.defaultExtension, QStringLiteral("htm"));
        EXPECT_EQ(r.filterIndex, 1);
        EXPECT_TRUE(r.confirmOverwrite);
        EXPECT_FALSE(r.fileMustExist);
    }
}

TEST_F(FrmSaveTest, ControlsHelpFitAndTabOrder) {
    FrmSave dialog;
    checkControls(dialog, 200,
                  {{"lbSessionFileName", 0},
                   {"txSessionFileName", 208},
                   {"lbHTMLFileName", 0},
                   {"txHTMLFileName", 207},
                   {"cmdBrowse", 206},
                   {"optHTML0", 205},
                   {"optHTML1", 204},
                   {"optHTML2", 203},
                   {"cmdCancel", 201},
                   {"cmdSave", 202},
                   {"chkOptGUI", 209}});
    EXPECT_TRUE(button(dialog, "cmdSave")->isDefault());
}

} // namespace
} // namespace zelp::test
