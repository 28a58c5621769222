#include "ui/files/frmsave.h"

#include "modaldriver.h"

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

#include <cmath>

namespace zelp::test {
namespace {

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

TEST_F(FrmSaveTest, ControlsPlacesHelpAndTabOrder) {
    FrmSave dialog;
    const auto px = [](double twips, int dpi) { return int(std::lround(twips * dpi / 1440.0)); };
    const int dx = dialog.logicalDpiX(), dy = dialog.logicalDpiY();
    EXPECT_EQ(dialog.property("helpContextId").toInt(), 200);
    const QSize client(px(5820, dx), px(3000, dy));
    EXPECT_EQ(dialog.size(), client);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const struct {
        const char *name;
        double left, top, width, height;
        int helpContext; // 0: none
    } controls[] = {
        // In tab order; labels take no focus, their mnemonics go to their buddies.
        {"lbSessionFileName", 120, 240, 1332, 252, 0},
        {"txSessionFileName", 1680, 210, 2652, 372, 208},
        {"lbHTMLFileName", 120, 840, 1332, 252, 0},
        {"txHTMLFileName", 1680, 780, 2652, 372, 207},
        {"cmdBrowse", 4560, 780, 852, 372, 206},
        {"optHTML0", 360, 1320, 2172, 252, 205},
        {"optHTML1", 360, 1680, 2172, 252, 204},
        {"optHTML2", 360, 2040, 2172, 252, 203},
        {"cmdCancel", 3360, 1680, 852, 372, 201},
        {"cmdSave", 4560, 1680, 852, 372, 202},
        {"chkOptGUI", 600, 2330, 3015, 375, 209},
    };
    QWidget *previous = nullptr;
    QLabel *label = nullptr;
    for (const auto &c : controls) {
        SCOPED_TRACE(c.name);
        auto *control = dialog.findChild<QWidget *>(QLatin1String(c.name));
        ASSERT_NE(control, nullptr);
        const QRect r = control->geometry();
        EXPECT_EQ(r.topLeft(), QPoint(px(c.left, dx), px(c.top, dy)));
        EXPECT_GE(r.width(), px(c.width, dx));
        EXPECT_GE(r.height(), px(c.height, dy));
        EXPECT_TRUE(QRect(QPoint(), client).contains(r));
        EXPECT_EQ(control->property("helpContextId").toInt(), c.helpContext);
        if (label) {
            EXPECT_EQ(label->buddy(), control);
        }
        if ((label = qobject_cast<QLabel *>(control))) {
            continue;
        }
        if (qobject_cast<QLineEdit *>(control)) {
            EXPECT_EQ(r.size(), QSize(px(c.width, dx), px(c.height, dy)));
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
    EXPECT_TRUE(dialog.findChild<QPushButton *>(QStringLiteral("cmdSave"))->isDefault());
    // The long caption wraps and is never cut.
    auto *gui = dialog.findChild<QCheckBox *>(QStringLiteral("chkOptGUI"));
    EXPECT_LE(gui->heightForWidth(gui->width()), gui->height());
}

} // namespace
} // namespace zelp::test
