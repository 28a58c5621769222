#include "ui/help/helpcontroller.h"
#include "ui/help/helpservice.h"
#include "ui/main/frmmain.h"
#include "ui/main/windowplacement.h"

#include "app/regfile.h"
#include "app/registry.h"
#include "client/browser/webbrowser.h"
#include "common/fileutil.h"
#include "common/workfolders.h"
#include "files/resources.h"
#include "support/manualtimer.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"
#include "telnethost.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace zelp::test {
namespace {

// Acts on the next modal dialog named name once it is up; the dialog must close itself
// through what act does. A dialog that never comes is a failure, not a hang.
void onModal(const char *name, std::function<void(QDialog *)> act) {
    auto *poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog && dialog->objectName() == QLatin1String(name)) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
            return;
        }
        if (++*tries > 200) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal " << name;
            if (dialog) {
                dialog->reject();
            }
        }
    });
    poll->start(10);
}

template <class T> T *child(QWidget *parent, const char *name) {
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class FrmMainTest : public ::testing::Test {
protected:
    ServiceScope services;
    ScriptedFileDialog files;
    QSettings settings{services.dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};

    void SetUp() override {
        setFileDialogService(&files);
        workFolders().home = services.dir.path() + u'/';
        const QString reg = services.dir.filePath(QStringLiteral("user.reg"));
        QFile f(reg);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\ZlGUIServer.ZlGUISvr\\Clsid]\r\n"
                "@=\"{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\"\r\n");
        f.close();
        qputenv("ZELPDEV2K_REGISTRY", reg.toUtf8());
        setSystemRegistry(RegFileRegistry::loadStandard());
    }
    void TearDown() override { setFileDialogService(nullptr); }

    QString path(const char *name) const {
        return services.dir.filePath(QString::fromLatin1(name));
    }
    static QByteArray bytesOf(const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static std::string enabled(FrmMain &w) {
        static const char letters[] = "NOSCEgxd";
        std::string out;
        for (int i = 0; i < kCommandCount; ++i) {
            out += w.button(kAllCommands[i])->isEnabled() ? letters[i] : '-';
        }
        return out;
    }
    static bool waitForState(FrmMain &w, const std::string &state) {
        return WaitUntil([&] { return enabled(w) == state; }, 5000);
    }
    static void click(FrmMain &w, Command command) {
        QTest::mouseClick(w.button(command), Qt::LeftButton);
    }
};

TEST_F(FrmMainTest, ThePositionIsRememberedAndReadBackWithItsFallbacks) {
    const struct {
        const char *what;
        std::map<const char *, const char *> stored;
        int left, top;   // twips expected
        int clientWidth; // twips expected
    } cases[] = {
        {"first start", {}, 720, 720, FrmMain::kDesignClientWidth},
        {"width below the minimum", {{"MainWidth", "1000"}}, 720, 720, FrmMain::kMinClientWidth},
        {"left is no number",
         {{"MainLeft", "abc"}, {"MainTop", "1500"}},
         0,
         1500,
         FrmMain::kDesignClientWidth},
        {"fraction", {{"MainLeft", "1499.6"}}, 1500, 720, FrmMain::kDesignClientWidth},
    };
    for (const auto &c : cases) {
        settings.clear();
        for (const auto &[key, value] : c.stored) {
            settings.setValue(QStringLiteral("Settings/") + QString::fromLatin1(key),
                              QString::fromLatin1(value));
        }
        FrmMain w(&settings);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        const double perPixel = 1440.0 / w.logicalDpiX();
        EXPECT_NEAR(w.frameGeometry().x() * perPixel, c.left, perPixel) << c.what;
        EXPECT_NEAR(w.frameGeometry().y() * perPixel, c.top, perPixel) << c.what;
        EXPECT_NEAR(w.centralWidget()->width() * perPixel, c.clientWidth, perPixel) << c.what;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Velmaris 2000 Internet Edition"));
        EXPECT_FALSE(w.previewShowing());
        EXPECT_EQ(enabled(w), "NO------");
    }
    // Closing stores the window as it stands, frame included.
    QSize outer;
    {
        FrmMain w(&settings);
        w.show();
        w.move(300, 200);
        w.resize(900, 600);
        outer = w.frameGeometry().size();
        w.close();
    }
    const WindowPlacement stored = Placement::read(settings, 0, 0);
    EXPECT_EQ(stored.width, outer.width() * 15);
    EXPECT_EQ(stored.height, outer.height() * 15);
}

TEST_F(FrmMainTest, TheRoadOfANewConnectionToItsSaveWithALaunchPage) {
    TelnetHost host("Hello from the test host\r\n");
    ASSERT_TRUE(host.listen());
    FrmMain w(&settings);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    // New, safe, into Sales.ats.
    const QString file = path("Sales.ats");
    files.answers = {file};
    onModal("frmDocType", [](QDialog *d) {
        QTest::mouseClick(child<QAbstractButton>(d, "cmdSafe"), Qt::LeftButton);
    });
    click(w, Command::New);
    ASSERT_TRUE(waitForState(w, "--SCEgx-"));
    EXPECT_TRUE(w.previewShowing());
    EXPECT_EQ(w.windowTitle(),
              QStringLiteral("Velmaris 2000 Internet Connection - [Sales (safe)]"));
    EXPECT_EQ(bytesOf(file), templateResource(kTemplateSafeConnection))
        << "the template, before any save";
    auto *doc = qobject_cast<ClientDocument *>(w.browser()->Document());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Script(), defaultScript());

    // Settings: host, port and rows in the settings dialog.
    onModal("settingsDialog", [&](QDialog *d) {
        child<QLineEdit>(d, "sHostName")->setText(QStringLiteral("127.0.0.1"));
        child<QLineEdit>(d, "sHostPort")->setText(QString::number(host.port()));
        child<QSpinBox>(d, "sNormRows")->setValue(30);
        d->accept();
    });
    click(w, Command::Settings);
    EXPECT_EQ(doc->Settings()->value("sNormRows"), PropertyValue(int16_t(30)));
    EXPECT_TRUE(doc->Changed());

    // A test connection, and back.
    click(w, Command::Connect);
    EXPECT_EQ(enabled(w), "--SCEg-d");
    EXPECT_TRUE(WaitUntil([&] { return host.hasClient(); }));
    click(w, Command::Disconnect);
    EXPECT_EQ(enabled(w), "--SCEgx-");
    EXPECT_TRUE(WaitUntil([&] { return host.clientGone(); }));

    // Save with an Internet page and the GUI box ticked.
    onModal("frmSave", [](QDialog *d) {
        QTest::mouseClick(child<QRadioButton>(d, "optHTML1"), Qt::LeftButton);
        QTest::mouseClick(child<QCheckBox>(d, "chkOptGUI"), Qt::LeftButton);
        QTest::mouseClick(child<QAbstractButton>(d, "cmdSave"), Qt::LeftButton);
    });
    click(w, Command::Save);
    // During the save only the New and Open buttons are on, not their menu items.
    EXPECT_FALSE(w.menuItem(Command::New)->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !w.cycle().saving; }));
    EXPECT_EQ(enabled(w), "NO------");
    EXPECT_TRUE(w.menuItem(Command::Open)->isEnabled());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Velmaris 2000 Internet Connection"));
    EXPECT_TRUE(w.commands().launchPage().guiSupport);
    const QByteArray page = bytesOf(path("Sales.htm"));
    EXPECT_TRUE(page.contains("Sales.ats")) << page.left(200).toStdString();
    EXPECT_TRUE(page.contains("5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10")) << "the GUI object";
    auto saved = ClientDocument::load(file);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Settings()->value("sNormRows"), PropertyValue(int16_t(30)));
    EXPECT_EQ(saved->Settings()->value("sHostName"), PropertyValue(std::string("127.0.0.1")));
    EXPECT_EQ(saved->Script(), defaultScript());
    EXPECT_TRUE(services.messages.asked.empty());
}

TEST_F(FrmMainTest, AFileThatIsNoConnectionShowsTheLoadError) {
    FrmMain w(&settings);
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(WriteWholeFile(path("notes.ats"), "just notes", true));
    files.answers = {path("notes.ats")};
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return !services.messages.asked.empty(); }));
    EXPECT_EQ(
        services.messages.asked[0].text,
        QStringLiteral("Error loading Velmaris Internet configuration file. File may be corrupt!"));
    EXPECT_EQ(enabled(w), "NO------");
    EXPECT_FALSE(w.previewShowing());
}

TEST_F(FrmMainTest, ALateNotificationAfterTheWatchdogChangesNothing) {
    auto *timer = new ManualTimer;
    FrmMain w(&settings, std::unique_ptr<OneShotTimer>(timer));
    w.show();
    const QString file = path("late.ats");
    ASSERT_TRUE(WriteWholeFile(file, templateResource(kTemplateUnsafeConnection), true));
    files.answers = {file};
    w.commands().Open(); // the browser arrives from the event loop, which has not run yet
    timer->advance(2000);
    ASSERT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(enabled(w), "NO------");
    QSignalSpy arrived(w.browser(), &WebBrowser::NavigateComplete2);
    ASSERT_TRUE(arrived.wait(5000));
    QTest::qWait(50);
    EXPECT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(enabled(w), "NO------");
    EXPECT_EQ(w.cycle().document(), nullptr);
    EXPECT_EQ(w.windowTitle(),
              QStringLiteral("Velmaris 2000 Internet Connection - [late (unsafe)]"));
}

TEST_F(FrmMainTest, ClosingTheWindowWithChangesFollowsTheAnswerAndShutdownSavesNothing) {
    const struct {
        const char *what;
        bool byUser;
        std::optional<int16_t> answer;
        bool staysOpen;
        bool written;
    } cases[] = {
        {"Yes", true, 6, true, true},
        {"No", true, 7, false, false},
        {"Cancel", true, 2, true, false},
        {"shutdown", false, std::nullopt, false, false},
    };
    int n = 0;
    for (const auto &c : cases) {
        const QString file = path(("close" + std::to_string(++n) + ".ats").c_str());
        ASSERT_TRUE(WriteWholeFile(file, templateResource(kTemplateSafeConnection), true));
        const QByteArray before = bytesOf(file);
        {
            FrmMain w(&settings);
            w.show();
            files.answers = {file};
            click(w, Command::Open);
            ASSERT_TRUE(waitForState(w, "--SCEgx-")) << c.what;
            auto *doc = qobject_cast<ClientDocument *>(w.browser()->Document());
            ASSERT_TRUE(doc->Settings()->setValue("sHostName", std::string("changed")));
            services.messages.asked.clear();
            if (c.answer) {
                services.messages.answers = {*c.answer};
            }
            // Yes goes on to the save dialog: save without a page.
            if (c.answer == 6) {
                onModal("frmSave", [](QDialog *d) {
                    QTest::mouseClick(child<QAbstractButton>(d, "cmdSave"), Qt::LeftButton);
                });
            }
            if (c.byUser) {
                w.exitByUser();
            } else {
                w.close(); // the program or the session closes it
            }
            EXPECT_EQ(w.isVisible(), c.staysOpen) << c.what;
            EXPECT_EQ(services.messages.asked.size(), c.answer ? 1u : 0u) << c.what;
            if (c.answer == 6) {
                EXPECT_TRUE(WaitUntil([&] { return !w.cycle().saving; }));
            }
            QTest::qWait(20);
            if (QApplication::activeModalWidget()) {
                static_cast<QDialog *>(QApplication::activeModalWidget())->reject();
            }
            if (c.staysOpen && !c.written) {
                // The window is still open with its changes; the test ends without them.
                if (auto *still = qobject_cast<ClientDocument *>(w.browser()->Document())) {
                    still->DiscardChanges();
                }
            }
        }
        EXPECT_EQ(bytesOf(file) != before, c.written) << c.what;
    }
}

class RecordedHelp : public HelpService {
public:
    void showTopic(int context) override { shown.push_back(context); }
    void showContents() override { shown.push_back(0); }
    std::vector<int> shown;
};

TEST_F(FrmMainTest, F1ShowsTheTopicOfTheFocusedButtonAndEveryControlHasOne) {
    FrmMain w(&settings);
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    RecordedHelp help;
    setHelpService(&help);
    HelpController f1;
    qApp->installEventFilter(&f1);
    const struct {
        Command command;
        int button, menu;
    } cases[] = {
        {Command::New, 301, 311},     {Command::Open, 302, 312},       {Command::Close, 303, 313},
        {Command::Save, 304, 314},    {Command::Settings, 305, 321},   {Command::Script, 306, 322},
        {Command::Connect, 307, 323}, {Command::Disconnect, 308, 324},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(w.button(c.command)->property("helpContextId").toInt(), c.button);
        EXPECT_EQ(w.menuItem(c.command)->property("helpContextId").toInt(), c.menu);
    }
    w.button(Command::Open)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    // Tab walks the column in its order, past the commands that are off.
    w.button(Command::New)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.button(Command::Open));
    w.findChild<QAction *>(QStringLiteral("MNU_HelpContents"))->trigger();
    qApp->removeEventFilter(&f1);
    setHelpService(nullptr);
    ASSERT_EQ(help.shown.size(), 2u);
    EXPECT_EQ(help.shown[0], 302);
    EXPECT_EQ(help.shown[1], 0) << "Help > Contents";
    EXPECT_EQ(w.property("helpContextId").toInt(), 300);
}

TEST_F(FrmMainTest, ASaveThatFailsKeepsTheConnectionOpenWithItsEdits) {
    auto *timer = new ManualTimer;
    FrmMain w(&settings, std::unique_ptr<OneShotTimer>(timer));
    w.show();
    const QString file = path("locked.ats");
    ASSERT_TRUE(WriteWholeFile(file, templateResource(kTemplateSafeConnection), true));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner));
    const QByteArray before = bytesOf(file);
    files.answers = {file};
    click(w, Command::Open);
    ASSERT_TRUE(WaitUntil([&] { return w.cycle().document() != nullptr; }, 5000));
    ClientDocument *doc = w.cycle().document();
    ASSERT_TRUE(doc->Settings()->setValue("sSessionTitle", std::string("edited")));
    const auto save = [&](int16_t answer) {
        services.messages.asked.clear();
        services.messages.answers = {answer};
        onModal("frmSave", [](QDialog *d) {
            QTest::mouseClick(child<QAbstractButton>(d, "cmdSave"), Qt::LeftButton);
        });
        click(w, Command::Save);
        return WaitUntil([&] { return !services.messages.asked.empty(); }, 5000);
    };

    ASSERT_TRUE(save(7)); // No: stay with the edits
    timer->advance(5000);
    QTest::qWait(50);
    ASSERT_EQ(services.messages.asked.size(), 1u) << "one message; the watchdog is silent";
    const QString text = services.messages.asked[0].text;
    EXPECT_TRUE(text.contains(file) && text.contains(QStringLiteral("read-only")))
        << text.toStdString();
    EXPECT_EQ(w.cycle().document(), doc);
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(enabled(w), "--SCEgx-");
    EXPECT_TRUE(w.previewShowing());
    EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("locked")))
        << w.windowTitle().toStdString();
    EXPECT_EQ(bytesOf(file), before);

    // Yes: saved under another name, with the edits.
    const QString other = path("elsewhere.ats");
    files.answers = {other};
    ASSERT_TRUE(save(6));
    ASSERT_TRUE(waitForState(w, "NO------"));
    EXPECT_EQ(bytesOf(file), before);
    const auto saved = ClientDocument::load(other);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Settings()->value("sSessionTitle"), PropertyValue(std::string("edited")));
}

TEST_F(FrmMainTest, AFileOnTheCommandLineIsOpenedAsTheMenuWould) {
    const QString good = path("given.ats");
    ASSERT_TRUE(WriteWholeFile(good, templateResource(kTemplateUnsafeConnection), true));
    ASSERT_TRUE(WriteWholeFile(path("notes.ats"), "just notes", true));
    for (const QString &file : {good, path("notes.ats"), path("missing.ats")}) {
        services.messages.asked.clear();
        FrmMain w(&settings);
        w.show();
        w.openFromCommandLine(file);
        const bool hosted = file == good;
        ASSERT_TRUE(hosted ? waitForState(w, "--SCEgx-")
                           : WaitUntil([&] { return !services.messages.asked.empty(); }, 5000))
            << file.toStdString();
        QTest::qWait(20);
        EXPECT_EQ(enabled(w), hosted ? "--SCEgx-" : "NO------");
        EXPECT_EQ(w.cycle().document() != nullptr, hosted) << file.toStdString();
        EXPECT_EQ(services.messages.asked.size(), hosted ? 0u : 1u) << file.toStdString();
        EXPECT_TRUE(files.requests.empty()) << "no file dialog";
        if (hosted) {
            EXPECT_EQ(w.windowTitle(),
                      QStringLiteral("Velmaris 2000 Internet Connection - [given (unsafe)]"));
        }
    }
}

TEST_F(FrmMainTest, ScriptOpensTheEditorAndAnEditMarksTheConnectionChanged) {
    FrmMain w(&settings);
    w.show();
    const QString file = path("script.ats");
    ASSERT_TRUE(WriteWholeFile(file, templateResource(kTemplateSafeConnection), true));
    files.answers = {file};
    click(w, Command::Open);
    ASSERT_TRUE(waitForState(w, "--SCEgx-"));
    auto *doc = qobject_cast<ClientDocument *>(w.browser()->Document());
    ASSERT_NE(doc, nullptr);
    onModal("scriptEditor", [](QDialog *d) {
        auto *text = child<QPlainTextEdit>(d, "txScript");
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("Sub Main()"));
        QTest::mouseClick(child<QAbstractButton>(d, "cmdOK"), Qt::LeftButton);
    });
    click(w, Command::Script);
    EXPECT_EQ(doc->Script(), "Sub Main()");
    EXPECT_TRUE(doc->Changed());
    doc->DiscardChanges();
}

} // namespace
} // namespace zelp::test
