#include "client/scripteditor/scripteditordialog.h"
#include "ui/help/helpservice.h"
#include "ui/main/frmmain.h"

#include "app/regfile.h"
#include "app/registry.h"
#include "client/browser/webbrowser.h"
#include "client/core/legacy97writer.h"
#include "common/fileutil.h"
#include "common/workfolders.h"
#include "files/resources.h"
#include "support/manualtimer.h"
#include "support/modal.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"
#include "telnethost.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace zelp::test {
namespace {

// Acts on the next modal dialog named name once it has had time to become active; it must close
// through what act does.
void onModal(const char *name, std::function<void(QDialog *)> act) {
    whenModal<QDialog>([act](QDialog &d) { act(&d); }, name, 10);
}

void clickIn(QWidget *parent, const char *name) {
    QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton);
}

constexpr const char *kNoDocument = "NO------";
constexpr const char *kDocument = "--SCEgx-";
QString title(const char *connection = "") {
    return QStringLiteral("Velmaris 2000 Internet Connection") + QLatin1String(connection);
}

class FrmMainTest : public ::testing::Test {
protected:
    ServiceScope services;
    ScriptedFileDialog files;
    QSettings settings{services.dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    void SetUp() override {
        setFileDialogService(&files);
        workFolders().home = services.dir.path() + u'/';
        qputenv("ZELPDEV2K_REGISTRY",
                writeFile(path("user.reg"),
                          "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\ZlGUIServer.ZlGUISvr\\Clsid]\r\n"
                          "@=\"{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\"\r\n")
                    .toUtf8());
        setSystemRegistry(RegFileRegistry::loadStandard());
    }
    void TearDown() override { setFileDialogService(nullptr); }
    QString path(const char *name) const {
        return services.dir.filePath(QString::fromLatin1(name));
    }
    QString connection(const char *name, bool safe = true) const {
        return writeFile(path(name), templateResource(safe ? kTemplateSafeConnection
                                                           : kTemplateUnsafeConnection));
    }
    // A fresh main window, shown.
    FrmMain &window(std::unique_ptr<OneShotTimer> watchdog = nullptr) {
        win.reset();
        win.emplace(&settings, std::move(watchdog));
        win->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&*win));
        return *win;
    }
    // "NOSCEgxd" with "-" for each command whose button is off.
    static std::string enabled(FrmMain &w) {
        std::string out;
        for (int i = 0; i < kCommandCount; ++i) {
            out += w.button(kAllCommands[i])->isEnabled() ? "NOSCEgxd"[i] : '-';
        }
        return out;
    }
    static bool waitForState(FrmMain &w, const std::string &state) {
        return WaitUntil([&] { return enabled(w) == state; }, 5000);
    }
    static void click(FrmMain &w, Command command) {
        QTest::mouseClick(w.button(command), Qt::LeftButton);
    }
    std::optional<FrmMain> win;
};

TEST_F(FrmMainTest, ThePositionIsReadBackWithItsFallbacks) {
    const struct {
        const char *what, *stored;                  // "key=value" pairs under Settings
        int expectedLeft, expectedTop, clientWidth; // twips
    } cases[] = {
        {"first start", "", 720, 720, FrmMain::kDesignClientWidth},
        {"width below the minimum", "MainWidth=1000", 720, 720, FrmMain::kMinClientWidth},
        {"left is no number", "MainLeft=abc MainTop=1500", 0, 1500, FrmMain::kDesignClientWidth},
        {"fraction", "MainLeft=1499.6", 1500, 720, FrmMain::kDesignClientWidth},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        settings.clear();
        for (const QString &pair : QString::fromLatin1(c.stored).split(u' ', Qt::SkipEmptyParts)) {
            settings.setValue("Settings/" + pair.section(u'=', 0, 0), pair.section(u'=', 1));
        }
        FrmMain &w = window();
        const double perPixel = 1440.0 / w.logicalDpiX();
        EXPECT_NEAR(w.frameGeometry().x() * perPixel, c.expectedLeft, perPixel);
        EXPECT_NEAR(w.frameGeometry().y() * perPixel, c.expectedTop, perPixel);
        EXPECT_NEAR(w.centralWidget()->width() * perPixel, c.clientWidth, perPixel);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Velmaris 2000 Internet Edition"));
        EXPECT_FALSE(w.previewShowing());
        EXPECT_EQ(enabled(w), kNoDocument);
    }
}

TEST_F(FrmMainTest, TheRoadOfANewConnectionToItsSaveWithALaunchPage) {
    TelnetHost host("Hello from the test host\r\n");
    ASSERT_TRUE(host.listen());
    FrmMain &w = window();
    // New, safe, into Sales.ats.
    const QString file = path("Sales.ats");
    files.answers = {file};
    onModal("frmDocType", [](QDialog *d) { clickIn(d, "cmdSafe"); });
    click(w, Command::New);
    ASSERT_TRUE(waitForState(w, kDocument));
    EXPECT_TRUE(w.previewShowing());
    EXPECT_EQ(w.windowTitle(), title(" - [Sales (safe)]"));
    EXPECT_EQ(ReadWholeFile(file), templateResource(kTemplateSafeConnection))
        << "the template, before any save";
    ClientDocument *doc = w.cycle().document();
    ASSERT_TRUE(doc && doc->Script() == defaultScript());
    onModal("settingsDialog", [&](QDialog *d) {
        child<QLineEdit>(d, "sHostName")->setText(QStringLiteral("127.0.0.1"));
        child<QLineEdit>(d, "sHostPort")->setText(QString::number(host.port()));
        child<QSpinBox>(d, "sNormRows")->setValue(30);
        d->accept();
    });
    click(w, Command::Settings);
    EXPECT_TRUE(doc->Changed());
    onModal("scriptEditor", [](QDialog *d) {
        auto *text = child<QPlainTextEdit>(d, "txScript");
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("Sub Main()"));
        clickIn(d, "cmdOK");
    });
    click(w, Command::Script);
    // A test connection, and back.
    click(w, Command::Connect);
    EXPECT_EQ(enabled(w), "--SCEg-d");
    EXPECT_TRUE(WaitUntil([&] { return host.hasClient(); }));
    click(w, Command::Disconnect);
    EXPECT_EQ(enabled(w), kDocument);
    EXPECT_TRUE(WaitUntil([&] { return host.clientGone(); }));
    // A refused connection gives Connect back by itself.
    const PropertyValue port = *doc->Settings()->value("sHostPort");
    doc->Settings()->setValue("sHostPort", std::to_string(TelnetHost::freePort()));
    click(w, Command::Connect);
    EXPECT_TRUE(waitForState(w, kDocument)) << enabled(w);
    doc->Settings()->setValue("sHostPort", port);
    // Leaving with changes asks first; Cancel keeps the window and the document.
    services.messages.answers = {2};
    w.exitByUser();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.cycle().document(), doc);
    // Save with an Internet page and the GUI box ticked.
    onModal("frmSave", [](QDialog *d) {
        clickIn(d, "optHTML1");
        clickIn(d, "chkOptGUI");
        clickIn(d, "cmdSave");
    });
    click(w, Command::Save);
    // During the save only the New and Open buttons are on, not their menu items.
    EXPECT_FALSE(w.menuItem(Command::New)->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !w.cycle().saving; }));
    EXPECT_EQ(enabled(w), kNoDocument);
    EXPECT_TRUE(w.menuItem(Command::Open)->isEnabled());
    EXPECT_EQ(w.windowTitle(), title());
    const QByteArray page = ReadWholeFile(path("Sales.htm"));
    EXPECT_TRUE(page.contains("Sales.ats")) << page.left(200).toStdString();
    EXPECT_TRUE(page.contains("5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10")) << "the GUI object";
    auto saved = ClientDocument::load(file);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Settings()->value("sNormRows"), PropertyValue(int16_t(30)));
    EXPECT_EQ(saved->Settings()->value("sHostName"), PropertyValue(std::string("127.0.0.1")));
    EXPECT_EQ(saved->Script(), "Sub Main()" + defaultScript());
    EXPECT_EQ(services.messages.asked.size(), 1u) << "only the question on leaving";
}

class RecordedHelp : public HelpService {
public:
    void showTopic(int context) override { shown.push_back(context); }
    void showContents() override { shown.push_back(0); }
    std::vector<int> shown;
};

TEST_F(FrmMainTest, TabWalksTheButtonsHelpShowsTheContentsAndCtrlOOpens) {
    FrmMain &w = window();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    RecordedHelp help;
    setHelpService(&help);
    // Tab walks the column in its order, past the commands that are off.
    w.button(Command::New)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.button(Command::Open));
    w.findChild<QAction *>(QStringLiteral("MNU_HelpContents"))->trigger();
    setHelpService(nullptr);
    EXPECT_EQ(help.shown, std::vector<int>{0}) << "Help > Contents";
    files.answers = {connection("keys.ats")};
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(waitForState(w, kDocument)) << "Ctrl+O opens";
}

// Every key and menu path that the guide names is one the designer or its script editor has.
TEST_F(FrmMainTest, TheGuidesKeysAndMenuPathsAreThoseOfTheProgram) {
    FrmMain w(&settings);
    ScriptEditorDialog editor(QStringLiteral("Script"), "");
    QStringList known{QStringLiteral("F1")}; // the help's own key
    for (const QAction *a : w.findChildren<QAction *>() + editor.findChildren<QAction *>()) {
        for (const QKeySequence &k : a->shortcuts()) {
            known << k.toString();
        }
        for (const QObject *m : a->associatedObjects()) {
            if (const auto *menu = qobject_cast<const QMenu *>(m)) {
                known << QString(menu->title() + " > " + a->text()).remove(u'&');
            }
        }
    }
    const QRegularExpression named(
        QStringLiteral("\\b(?:(?:Ctrl|Shift|Alt)\\+)+[A-Z0-9]\\b|\\bF\\d+\\b|\\b(?:File|Tools|Help)"
                       " > [A-Z][a-z]+(?: [A-Z][a-z]+)?"));
    const QDir guide(QStringLiteral(ZELP_GUIDE_DIR));
    int found = 0;
    for (const QString &name : guide.entryList({QStringLiteral("*.md")})) {
        QFile file(guide.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        for (auto it = named.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext();
             ++found) {
            const QString k = it.next().captured();
            EXPECT_TRUE(known.contains(k)) << name.toStdString() << ": " << k.toStdString();
        }
    }
    EXPECT_GE(found, 10) << "the guide names keys and menu paths";
}

TEST_F(FrmMainTest, ALateNotificationChangesNothingAndAFailedSaveKeepsTheEdits) {
    auto *timer = new ManualTimer;
    FrmMain &w = window(std::unique_ptr<OneShotTimer>(timer));
    files.answers = {connection("late.ats", false)};
    w.commands().Open(); // the browser arrives from the event loop, which has not run yet
    timer->advance(2000);
    ASSERT_EQ(services.messages.asked.size(), 1u);
    QSignalSpy arrived(w.browser(), &WebBrowser::NavigateComplete2);
    ASSERT_TRUE(arrived.wait(5000));
    QTest::qWait(50);
    EXPECT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(enabled(w), kNoDocument);
    EXPECT_EQ(w.cycle().document(), nullptr);
    EXPECT_EQ(w.windowTitle(), title(" - [late (unsafe)]"));
    const QString file = connection("locked.ats");
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner));
    const QByteArray before = ReadWholeFile(file);
    files.answers = {file};
    click(w, Command::Open);
    ASSERT_TRUE(WaitUntil([&] { return w.cycle().document() != nullptr; }, 5000));
    ClientDocument *doc = w.cycle().document();
    ASSERT_TRUE(doc->Settings()->setValue("sSessionTitle", std::string("edited")));
    const auto save = [&](int16_t answer) {
        services.messages.asked.clear();
        services.messages.answers = {answer};
        onModal("frmSave", [](QDialog *d) { clickIn(d, "cmdSave"); });
        click(w, Command::Save);
        return WaitUntil([&] { return !services.messages.asked.empty(); }, 5000);
    };
    ASSERT_TRUE(save(7)); // No: stay with the edits
    timer->advance(5000);
    QTest::qWait(50);
    ASSERT_EQ(services.messages.asked.size(), 1u) << "one message; the watchdog is silent";
    const QString text = services.messages.asked[0].text;
    EXPECT_TRUE(text.contains(file) && text.contains("read-only")) << text.toStdString();
    EXPECT_EQ(w.cycle().document(), doc);
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(enabled(w), kDocument);
    EXPECT_TRUE(w.previewShowing());
    EXPECT_EQ(w.windowTitle(), title(" - [locked (safe)]"));
    EXPECT_EQ(ReadWholeFile(file), before);
    // Yes: saved under another name, with the edits.
    const QString other = path("elsewhere.ats");
    files.answers = {other};
    ASSERT_TRUE(save(6));
    ASSERT_TRUE(waitForState(w, kNoDocument));
    EXPECT_EQ(ReadWholeFile(file), before);
    const auto saved = ClientDocument::load(other);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Settings()->value("sSessionTitle"), PropertyValue(std::string("edited")));
}

TEST_F(FrmMainTest, AFileOnTheCommandLineIsOpenedAsTheMenuWould) {
    const QString good = connection("given.ats", false);
    for (const QString &file :
         {good, writeFile(path("notes.ats"), "just notes"), path("missing.ats")}) {
        SCOPED_TRACE(file.toStdString());
        services.messages.asked.clear();
        FrmMain &w = window();
        w.openFromCommandLine(file);
        const bool ok = file == good;
        ASSERT_TRUE(ok ? waitForState(w, kDocument)
                       : WaitUntil([&] { return !services.messages.asked.empty(); }, 5000));
        QTest::qWait(20);
        EXPECT_EQ(enabled(w), ok ? kDocument : kNoDocument);
        EXPECT_EQ(services.messages.asked.size(), ok ? 0u : 1u);
        EXPECT_TRUE(files.requests.empty()) << "no file dialog";
        EXPECT_EQ(w.windowTitle(), ok ? title(" - [given (unsafe)]") : title());
    }
}

TEST_F(FrmMainTest, Opening97FileAsksConvertsAndOpensTheConvertedFile) {
    const QString old97 = path("old.ats"), converted = path("converted.ats");
    ASSERT_TRUE(write97File(
        old97, kSafe97ClassId,
        {{"HostName", std::string("legacy.example")}, {"Script", std::string("Sub Main()")}}));
    files.answers = {old97, converted};
    services.messages.answers = {6};
    FrmMain &w = window();
    click(w, Command::Open);
    ASSERT_TRUE(WaitUntil([&] { return w.cycle().document() != nullptr; }, 10000));
    ASSERT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(services.messages.asked[0].text,
              old97 + QStringLiteral(" is an Velmaris 97 Internet Connection file.\r\nDo you "
                                     "want to convert this file for use with Velmaris 2000 "
                                     "Internet Edition?"));
    EXPECT_EQ(services.messages.asked[0].style, 35);
    EXPECT_EQ(files.requests.size(), 2u) << "the file to open, then the name to convert to";
    EXPECT_EQ(w.cycle().currentFile, converted);
    EXPECT_EQ(w.cycle().document()->Settings()->value("sHostName"),
              PropertyValue(std::string("legacy.example")));
    EXPECT_EQ(w.windowTitle(), title(" - [converted (safe)]"));
    EXPECT_TRUE(QDir(services.dir.path()).entryList({QStringLiteral("Work*")}).isEmpty());
    EXPECT_TRUE(services.log().contains(QStringLiteral("Conversion converted: ") + old97));
}

} // namespace
} // namespace zelp::test
