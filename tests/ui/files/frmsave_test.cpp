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

// The dialog's controls, found by name, and what a person does with them.
struct Form {
    FrmSave &dialog;
    template <class W = QAbstractButton> W *get(const char *name) const {
        return dialog.findChild<W *>(QLatin1String(name));
    }
    QRadioButton *option(int i) const {
        return get<QRadioButton>(QByteArray("optHTML" + QByteArray::number(i)).constData());
    }
    QLineEdit *htmlBox() const { return get<QLineEdit>("txHTMLFileName"); }
    QCheckBox *gui() const { return get<QCheckBox>("chkOptGUI"); }
    void click(QAbstractButton *b) const {
        ASSERT_TRUE(b && b->isEnabled());
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
    }
    void click(const char *name) const { click(get(name)); }
    void pick(int i) const { click(option(i)); }
    void type(const char *text) const {
        htmlBox()->clear();
        QTest::keyClicks(htmlBox(), QLatin1String(text));
    }
    // The four controls that follow the HTML options, all on or all off.
    bool htmlControlsEnabled() const {
        const bool on[] = {get<QLabel>("lbHTMLFileName")->isEnabled(), htmlBox()->isEnabled(),
                           get("cmdBrowse")->isEnabled(), gui()->isEnabled()};
        EXPECT_TRUE(std::equal(on + 1, on + 4, on)) << "the HTML controls disagree";
        return on[0];
    }
};

class FrmSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedHome = workFolders().home;
        workFolders().home = QStringLiteral("/home/admin/");
        setFileDialogService(&files);
    }
    void TearDown() override {
        setFileDialogService(nullptr);
        workFolders().home = savedHome;
    }
    // Shows the dialog for one Save; act answers it. The session name is only shown.
    int16_t save(const QString &session, QString &html, const std::function<void(Form &)> &act) {
        FrmSave dialog;
        Form form{dialog};
        ModalDriver driver(dialog, [&] { act(form); });
        QString sessionInOut = session;
        const int16_t result = dialog.Save(sessionInOut, html);
        EXPECT_TRUE(driver.ran);
        EXPECT_FALSE(driver.leftOpen);
        EXPECT_EQ(sessionInOut, session);
        return result;
    }

    ServiceScope scope;
    ScriptedFileDialog files;
    QString savedHome;
};

TEST_F(FrmSaveTest, ResultAndNameForEachWayThrough) {
    const struct {
        const char *what;
        const char *session, *htmlIn;
        std::function<void(Form &)> act;
        int16_t result;
        const char *htmlOut;
    } cases[] = {
        {"first save shows the derived name, no page, greyed HTML controls", "/web/Sales.ats", "",
         [](Form &f) {
             EXPECT_EQ(f.get<QLineEdit>("txSessionFileName")->text(), "/web/Sales.ats");
             EXPECT_TRUE(f.get<QLineEdit>("txSessionFileName")->isReadOnly());
             EXPECT_EQ(f.htmlBox()->text(), QStringLiteral("/web/Sales.htm"));
             EXPECT_TRUE(f.option(0)->isChecked());
             EXPECT_FALSE(f.gui()->isChecked());
             EXPECT_TRUE(f.option(1)->isEnabled() && f.option(2)->isEnabled());
             EXPECT_FALSE(f.htmlControlsEnabled());
             f.click("cmdSave");
         },
         1, "/web/Sales.htm"},
        {"a path without a dot gets .htm", "/web/Sales", "", [](Form &f) { f.click("cmdSave"); }, 1,
         "/web/Sales.htm"},
        {"the last dot of the whole path counts", "/rel.2/Sales", "",
         [](Form &f) { f.click("cmdSave"); }, 1, "/rel.htm"},
        {"Internet page with GUI support", "/web/Sales.ats", "",
         [](Form &f) {
             f.pick(1);
             EXPECT_TRUE(f.htmlControlsEnabled());
             f.click(f.gui());
             f.click("cmdSave");
         },
         130, "/web/Sales.htm"},
        {"intranet page", "/web/Sales.ats", "",
         [](Form &f) {
             f.pick(2);
             EXPECT_TRUE(f.htmlControlsEnabled());
             f.click("cmdSave");
         },
         3, "/web/Sales.htm"},
        {"GUI ticked, then no page: the tick stays and counts", "/web/Sales.ats", "",
         [](Form &f) {
             f.pick(1);
             f.click(f.gui());
             f.pick(0);
             EXPECT_FALSE(f.htmlControlsEnabled());
             EXPECT_TRUE(f.gui()->isChecked());
             f.click("cmdSave");
         },
         129, "/web/Sales.htm"},
        {"GUI ticked and Cancel: nothing, the name stays as it came", "/web/Sales.ats",
         "/pages/Old.htm",
         [](Form &f) {
             EXPECT_EQ(f.htmlBox()->text(), QStringLiteral("/pages/Old.htm"));
             f.pick(1);
             f.click(f.gui());
             f.type("/pages/Typed.htm");
             f.click("cmdCancel");
         },
         0, "/pages/Old.htm"},
        {"Cancel on a first save keeps the derived name", "/web/Sales.ats", "",
         [](Form &f) { f.click("cmdCancel"); }, 0, "/web/Sales.htm"},
        {"a typed name comes back", "/web/Sales.ats", "",
         [](Form &f) {
             f.pick(1);
             f.type("/pages/Typed.htm");
             f.click("cmdSave");
         },
         2, "/pages/Typed.htm"},
        {"Enter in the name box is Save", "/web/Sales.ats", "",
         [](Form &f) {
             f.pick(2);
             f.htmlBox()->setFocus();
             QTest::keyClick(f.htmlBox(), Qt::Key_Return);
         },
         3, "/web/Sales.htm"},
        {"Escape is Cancel", "/web/Sales.ats", "/pages/Old.htm",
         [](Form &f) {
             f.pick(1);
             f.type("/pages/Typed.htm");
             QTest::keyClick(f.htmlBox(), Qt::Key_Escape);
         },
         0, "/pages/Old.htm"},
        {"closing by the frame saves nothing", "/web/Sales.ats", "/pages/Old.htm",
         [](Form &f) {
             f.pick(2);
             f.dialog.close();
         },
         0, "/pages/Old.htm"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QString html = QLatin1String(c.htmlIn);
        EXPECT_EQ(save(QLatin1String(c.session), html, c.act), c.result);
        EXPECT_EQ(html, QLatin1String(c.htmlOut));
    }
    EXPECT_TRUE(files.requests.empty());

    // The next dialog offers the name the last one came back with, and no page.
    QString html;
    save(QStringLiteral("/web/Sales.ats"), html, [](Form &f) {
        f.pick(1);
        f.type("/pages/Chosen.htm");
        f.pick(0);
        f.click("cmdSave");
    });
    EXPECT_EQ(save(QStringLiteral("/web/Sales.ats"), html,
                   [](Form &f) {
                       EXPECT_EQ(f.htmlBox()->text(), QStringLiteral("/pages/Chosen.htm"));
                       EXPECT_TRUE(f.option(0)->isChecked());
                       f.click("cmdCancel");
                   }),
              0);
    EXPECT_EQ(html, QStringLiteral("/pages/Chosen.htm"));
}

TEST_F(FrmSaveTest, BrowseFillsTheBoxAndMovesHomeOrChangesNothing) {
    for (const bool chosen : {true, false}) {
        SCOPED_TRACE(chosen);
        files.requests.clear();
        workFolders().home = QStringLiteral("/home/admin/");
        files.answers = {chosen ? std::optional(QStringLiteral("/srv/pages/Launch"))
                                : std::nullopt};
        QString html = chosen ? QString() : QStringLiteral("/pages/Old.htm");
        const QString wanted = chosen ? QStringLiteral("/srv/pages/Launch.htm") : html;
        QString shown;
        EXPECT_EQ(save(QStringLiteral("/web/Sales.ats"), html,
                       [&](Form &f) {
                           f.pick(chosen ? 1 : 2);
                           f.click("cmdBrowse");
                           shown = f.htmlBox()->text();
                           f.click("cmdSave");
                       }),
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
