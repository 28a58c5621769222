#include "ui/files/frmsave.h"

#include "modaldriver.h"

#include "common/filedialog.h"
#include "common/workfolders.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cmath>
#include <deque>
#include <vector>

namespace zelp::test {
namespace {

int px(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// Answers file dialogs from a script and keeps the requests.
class ScriptedFileDialog : public FileDialogService {
public:
    std::deque<std::optional<QString>> answers; // empty: cancelled
    std::vector<FileDialogRequest> asked;

    std::optional<QString> choose(const FileDialogRequest &request) override {
        asked.push_back(request);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// The services and the home folder of one test.
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

    ServiceScope scope;
    ScriptedFileDialog files;
    QString savedHome;
};

// The dialog's controls, found by name, and what a person does with them.
struct Form {
    explicit Form(FrmSave &d) : dialog(d) {}
    template <class W> W *get(const char *name) const {
        return dialog.findChild<W *>(QLatin1String(name));
    }
    QRadioButton *option(int i) const {
        return get<QRadioButton>(QByteArray("optHTML" + QByteArray::number(i)).constData());
    }
    QLineEdit *htmlBox() const { return get<QLineEdit>("txHTMLFileName"); }
    QLineEdit *sessionBox() const { return get<QLineEdit>("txSessionFileName"); }
    QCheckBox *gui() const { return get<QCheckBox>("chkOptGUI"); }
    void click(QAbstractButton *b) const {
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled());
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
    }
    void click(const char *name) const { click(get<QAbstractButton>(name)); }
    void pick(int i) const { click(option(i)); }
    void type(const QString &text) const {
        htmlBox()->clear();
        QTest::keyClicks(htmlBox(), text);
    }
    // The four controls that follow the HTML options.
    bool htmlControlsEnabled() const {
        const bool all = get<QLabel>("lbHTMLFileName")->isEnabled() && htmlBox()->isEnabled() &&
                         get<QPushButton>("cmdBrowse")->isEnabled() && gui()->isEnabled();
        const bool none = !get<QLabel>("lbHTMLFileName")->isEnabled() && !htmlBox()->isEnabled() &&
                          !get<QPushButton>("cmdBrowse")->isEnabled() && !gui()->isEnabled();
        EXPECT_TRUE(all || none) << "the HTML controls disagree";
        return all;
    }

    FrmSave &dialog;
};

struct Outcome {
    int16_t result;
    QString html;
    bool leftOpen;
};

Outcome runSave(const QString &sessionIn, QString &html, const std::function<void(Form &)> &act) {
    FrmSave dialog;
    Form form(dialog);
    ModalDriver driver(dialog, [&] { act(form); });
    QString session = sessionIn;
    const int16_t result = dialog.Save(session, html);
    EXPECT_TRUE(driver.ran);
    EXPECT_EQ(session, sessionIn);
    return {result, html, driver.leftOpen};
}

struct SaveCase {
    const char *what;
    QString session;
    QString htmlIn;
    std::function<void(Form &)> act;
    int16_t result;
    QString htmlOut;
};

const std::vector<SaveCase> &saveCases() {
    static const std::vector<SaveCase> cases = {
        {"first save shows the derived name, no page, greyed HTML controls", "/web/Sales.ats", "",
         [](Form &f) {
             EXPECT_EQ(f.sessionBox()->text(), QStringLiteral("/web/Sales.ats"));
             EXPECT_TRUE(f.sessionBox()->isReadOnly());
             EXPECT_EQ(f.htmlBox()->text(), QStringLiteral("/web/Sales.htm"));
             EXPECT_TRUE(f.option(0)->isChecked());
             EXPECT_FALSE(f.gui()->isChecked());
             for (int i = 0; i < 3; ++i) {
                 EXPECT_TRUE(f.option(i)->isEnabled());
             }
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
             f.type(QStringLiteral("/pages/Typed.htm"));
             f.click("cmdCancel");
         },
         0, "/pages/Old.htm"},
        {"Cancel on a first save keeps the derived name", "/web/Sales.ats", "",
         [](Form &f) { f.click("cmdCancel"); }, 0, "/web/Sales.htm"},
        {"a typed name comes back", "/web/Sales.ats", "",
         [](Form &f) {
             f.pick(1);
             f.type(QStringLiteral("/pages/Typed.htm"));
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
             f.type(QStringLiteral("/pages/Typed.htm"));
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
    return cases;
}

TEST_F(FrmSaveTest, ResultAndNameForEachWayThrough) {
    for (const SaveCase &c : saveCases()) {
        SCOPED_TRACE(c.what);
        QString html = c.htmlIn;
        const Outcome out = runSave(c.session, html, c.act);
        EXPECT_FALSE(out.leftOpen);
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(out.html, c.htmlOut);
    }
    EXPECT_TRUE(files.asked.empty());
}

TEST_F(FrmSaveTest, SecondDialogOffersTheFirstName) {
    QString html;
    Outcome first = runSave(QStringLiteral("/web/Sales.ats"), html, [](Form &f) {
        f.pick(1);
        f.type(QStringLiteral("/pages/Chosen.htm"));
        f.pick(0);
        f.click("cmdSave");
    });
    EXPECT_EQ(first.result, 1);
    QString offered;
    bool noPage = false;
    Outcome second = runSave(QStringLiteral("/web/Sales.ats"), html, [&](Form &f) {
        offered = f.htmlBox()->text();
        noPage = f.option(0)->isChecked();
        f.click("cmdCancel");
    });
    EXPECT_EQ(offered, QStringLiteral("/pages/Chosen.htm"));
    EXPECT_TRUE(noPage);
    EXPECT_EQ(second.result, 0);
    EXPECT_EQ(html, QStringLiteral("/pages/Chosen.htm"));
}

TEST_F(FrmSaveTest, BrowseChosenFillsTheBoxAndMovesHome) {
    files.answers.push_back(QStringLiteral("/srv/pages/Launch"));
    QString html;
    QString shown;
    Outcome out = runSave(QStringLiteral("/web/Sales.ats"), html, [&](Form &f) {
        f.pick(1);
        f.click("cmdBrowse");
        shown = f.htmlBox()->text();
        f.click("cmdSave");
    });
    ASSERT_EQ(files.asked.size(), 1u);
    const FileDialogRequest &r = files.asked[0];
    EXPECT_EQ(r.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(r.title, QStringLiteral("New Velmaris Internet HTML File"));
    EXPECT_EQ(r.initialFolder, QStringLiteral("/home/admin/"));
    EXPECT_EQ(r.fileName, QStringLiteral("/web/Sales.htm"));
    EXPECT_EQ(r.defaultExtension, QStringLiteral("htm"));
    EXPECT_EQ(r.filter,
              QStringLiteral("Velmaris Internet HTML Files (*.htm)|*.htm|All Files (*.*)|*.*"));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_TRUE(r.confirmOverwrite);
    EXPECT_FALSE(r.fileMustExist);
    // A name typed without extension gets the default one.
    EXPECT_EQ(shown, QStringLiteral("/srv/pages/Launch.htm"));
    EXPECT_EQ(workFolders().home, QStringLiteral("/srv/pages/"));
    EXPECT_EQ(out.result, 2);
    EXPECT_EQ(html, QStringLiteral("/srv/pages/Launch.htm"));
}

TEST_F(FrmSaveTest, BrowseCancelledChangesNothing) {
    QString html = QStringLiteral("/pages/Old.htm");
    QString shown;
    Outcome out = runSave(QStringLiteral("/web/Sales.ats"), html, [&](Form &f) {
        f.pick(2);
        f.click("cmdBrowse");
        shown = f.htmlBox()->text();
        f.click("cmdSave");
    });
    EXPECT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(shown, QStringLiteral("/pages/Old.htm"));
    EXPECT_EQ(workFolders().home, QStringLiteral("/home/admin/"));
    EXPECT_EQ(out.result, 3);
    EXPECT_EQ(html, QStringLiteral("/pages/Old.htm"));
}

struct ControlCase {
    const char *name;
    const char *text; // nullptr: a box
    double left, top, width, height;
    int helpContext; // 0: none
};

// The next control that Tab goes to.
QWidget *nextTabStop(QWidget *w) {
    for (QWidget *next = w->nextInFocusChain(); next != w; next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus) {
            return next;
        }
    }
    return w;
}

// In tab order.
const ControlCase kControls[] = {
    {"lbSessionFileName", "Session &Filename:", 120, 240, 1332, 252, 0},
    {"txSessionFileName", nullptr, 1680, 210, 2652, 372, 208},
    {"lbHTMLFileName", "&HTML Filename:", 120, 840, 1332, 252, 0},
    {"txHTMLFileName", nullptr, 1680, 780, 2652, 372, 207},
    {"cmdBrowse", "&Browse...", 4560, 780, 852, 372, 206},
    {"optHTML0", "Do &not save HTML file", 360, 1320, 2172, 252, 205},
    {"optHTML1", "Save &Internet HTML file", 360, 1680, 2172, 252, 204},
    {"optHTML2", "Save i&ntranet HTML file", 360, 2040, 2172, 252, 203},
    {"cmdCancel", "&Cancel", 3360, 1680, 852, 372, 201},
    {"cmdSave", "&Save", 4560, 1680, 852, 372, 202},
    {"chkOptGUI", "Install &GUI support on client machines (increases download time)", 600, 2330,
     3015, 375, 209},
};

TEST_F(FrmSaveTest, ControlsTextsPlacesAndTabOrder) {
    FrmSave dialog;
    const int dx = dialog.logicalDpiX();
    const int dy = dialog.logicalDpiY();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save Velmaris 2000 Internet Connection"));
    EXPECT_EQ(dialog.property("helpContextId").toInt(), 200);
    EXPECT_TRUE(dialog.isModal());
    const QSize client(px(5820, dx), px(3000, dy));
    EXPECT_EQ(dialog.size(), client);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());

    QWidget *previous = nullptr;
    for (const ControlCase &c : kControls) {
        SCOPED_TRACE(c.name);
        auto *control = dialog.findChild<QWidget *>(QLatin1String(c.name));
        ASSERT_NE(control, nullptr);
        if (auto *label = qobject_cast<QLabel *>(control)) {
            EXPECT_EQ(label->text(), QString::fromLatin1(c.text));
        } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            EXPECT_EQ(button->text(), QString::fromLatin1(c.text));
        } else {
            EXPECT_EQ(c.text, nullptr);
        }
        const QRect r = control->geometry();
        EXPECT_EQ(r.topLeft(), QPoint(px(c.left, dx), px(c.top, dy)));
        EXPECT_GE(r.width(), px(c.width, dx));
        EXPECT_GE(r.height(), px(c.height, dy));
        if (c.text == nullptr) {
            EXPECT_EQ(r.size(), QSize(px(c.width, dx), px(c.height, dy)));
        }
        EXPECT_TRUE(QRect(QPoint(), client).contains(r));
        EXPECT_EQ(control->property("helpContextId").toInt(), c.helpContext);
        if (qobject_cast<QLabel *>(control)) {
            continue; // takes no focus; its mnemonic goes to its buddy
        }
        if (previous) {
            EXPECT_EQ(nextTabStop(previous), control);
        }
        previous = control;
    }
    EXPECT_TRUE(dialog.findChild<QPushButton *>(QStringLiteral("cmdSave"))->isDefault());
    // The long caption wraps and is never cut.
    auto *gui = dialog.findChild<QCheckBox *>(QStringLiteral("chkOptGUI"));
    EXPECT_LE(gui->heightForWidth(gui->width()), gui->height());
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("lbSessionFileName"))->buddy(),
              dialog.findChild<QWidget *>(QStringLiteral("txSessionFileName")));
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("lbHTMLFileName"))->buddy(),
              dialog.findChild<QWidget *>(QStringLiteral("txHTMLFileName")));
}

} // namespace
} // namespace zelp::test
