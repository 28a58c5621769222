#include "host/designercommands.h"
#include "host/documentcycle.h"

#include "app/regfile.h"
#include "app/registry.h"
#include "common/fileutil.h"
#include "common/workfolders.h"
#include "files/resources.h"
#include "support/manualtimer.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>

namespace zelp::test {
namespace {

// A document host whose navigations the test completes: a navigation to a file hosts the
// client document loaded from it (or a plain object), "about:blank" lets it go, saving a
// changed document as the real host does.
class FakeBrowser : public HostBrowser {
public:
    void Navigate(const QString &url) override { navigations << url; }
    void Stop() override {}
    QObject *Document() const override {
        return hosted ? hosted.get() : showsNonClient ? const_cast<QObject *>(&nonClient) : nullptr;
    }
    QString LocationURL() const override { return location; }
    // Makes the last navigation arrive; the notification is left to the test.
    void arrive() {
        const QString url = navigations.last();
        if (hosted && hosted->Changed()) {
            hosted->save();
        }
        hosted.reset();
        location = url == QLatin1String("about:blank") ? QString() : url;
        showsNonClient = false;
        if (!location.isEmpty()) {
            hosted = ClientDocument::load(url);
            showsNonClient = !hosted;
        }
    }
    QStringList navigations;
    QString location;
    std::unique_ptr<ClientDocument> hosted;
    QObject nonClient;
    bool showsNonClient = false;
};

constexpr const char *kNoDocument = "NO------";
constexpr const char *kBusy = "--------";
constexpr const char *kDocument = "--SCEgx-";

// The test is the cycle's window and the commands'
class HostTest : public ::testing::Test, public HostWindow, public DesignerDialogs {
protected:
    void ShowPreview() override { preview = true; }
    void HidePreview() override { preview = false; }
    void UpdateCaption() override { ++captions; }
    void setCommandEnabled(Command command, bool button, bool menu) override {
        buttons[command] = button;
        menus[command] = menu;
    }
    ConnectionType askConnectionType() override { return type; }
    int16_t askSave(QString &session, QString &html) override {
        savedSession = session;
        html = html.isEmpty() ? derivedHtml : html;
        return saveResult;
    }
    void showSettings(ClientDocument &document) override { settingsEdit(document); }

    // "NOSCEgxd" with "-" for each command whose button is off.
    std::string enabled() const {
        std::string out;
        for (int i = 0; i < kCommandCount; ++i) {
            out += buttons.contains(kAllCommands[i]) && buttons.at(kAllCommands[i]) ? "NOSCEgxd"[i]
                                                                                    : '-';
        }
        return out;
    }

    bool preview = false;
    int captions = 0;
    std::map<Command, bool> buttons, menus;
    ConnectionType type;
    int16_t saveResult = 1;
    QString derivedHtml, savedSession;
    std::function<void(ClientDocument &)> settingsEdit;

    ServiceScope services;
    ScriptedFileDialog files;
    FakeBrowser browser;
    ManualTimer *timer = new ManualTimer;
    DocumentCycle cycle{browser, *this, std::unique_ptr<OneShotTimer>(timer),
                        [] { return defaultScript(); }};
    DesignerCommands commands{cycle, *this};

    void SetUp() override {
        setFileDialogService(&files);
        workFolders().home = services.dir.path() + u'/';
        auto registry = std::make_unique<RegFileRegistry>();
        registry->merge(
            "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\VelmarisInternetClient2.ZLInetSafeCli\\Clsid]\r\n"
            "@=\"{7F1351CE-90DD-411B-868D-E1BAA3CEBDA8}\"\r\n"
            "[HKEY_CLASSES_ROOT\\ZlGUIServer.ZlGUISvr\\Clsid]\r\n"
            "@=\"{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\"\r\n");
        setSystemRegistry(std::move(registry));
    }
    void TearDown() override { setFileDialogService(nullptr); }

    QString path(const std::string &name) const {
        return services.dir.filePath(QString::fromStdString(name));
    }
    QString file(const std::string &name, bool safe = true) const {
        WriteWholeFile(path(name),
                       templateResource(safe ? kTemplateSafeConnection : kTemplateUnsafeConnection),
                       true);
        return path(name);
    }
    void load(const QString &path) {
        cycle.currentFile = path;
        cycle.BeginLoad(path);
    }
    // Lets the browser arrive and notify, as the real host does from its event loop.
    void settle() {
        browser.arrive();
        cycle.navigateComplete();
    }
    void openHosted(const std::string &name, bool safe = true) {
        files.answers.push_back(file(name, safe));
        commands.Open();
        settle();
        ASSERT_NE(cycle.document(), nullptr);
    }
    void changeHost(const char *value) {
        ASSERT_TRUE(cycle.document()->Settings()->setValue("sHostName", std::string(value)));
    }
    void dropHosted() {
        browser.hosted->DiscardChanges();
        cycle.dropDocument();
    }
};

TEST_F(HostTest, WhicheverOfNotificationAndWatchdogComesFirstEndsTheLoad) {
    const struct {
        const char *what;
        bool connection; // the file holds a connection, else plain text
        bool arrives;    // the browser reaches the file
        bool notifies;   // and says so at 1999 ms
        bool otherCase;  // the location reads in other letters
        bool hosted;
    } cases[] = {
        {"notification at 1999 ms", true, true, true, false, true},
        {"silent load found by the watchdog", true, true, false, false, true},
        {"location in other letters", true, true, false, true, true},
        {"nothing within 2000 ms", true, false, false, false, false},
        {"a file that is no connection", false, true, true, false, false},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        services.messages.asked.clear();
        preview = false;
        browser.hosted.reset();
        const std::string name = "Conn" + std::to_string(++n) + ".ats";
        const QString f = c.connection ? file(name) : path(name);
        if (!c.connection) {
            ASSERT_TRUE(WriteWholeFile(f, "plain text", true));
        }
        load(f);
        if (c.arrives) {
            browser.arrive();
        }
        if (c.otherCase) {
            browser.location = f.toUpper();
        }
        timer->advance(1999);
        EXPECT_EQ(enabled(), kBusy);
        EXPECT_TRUE(services.messages.asked.empty());
        c.notifies ? cycle.navigateComplete() : timer->advance(1);
        EXPECT_EQ(cycle.document() != nullptr, c.hosted);
        EXPECT_EQ(enabled(), c.hosted ? kDocument : kNoDocument);
        EXPECT_EQ(preview, c.hosted);
        ASSERT_EQ(services.messages.asked.size(), c.hosted ? 0u : 1u);
        if (!c.hosted) {
            EXPECT_EQ(services.messages.asked[0].text,
                      QString::fromLatin1(CycleMessages::kLoadError));
            EXPECT_EQ(services.messages.asked[0].style, 49);
            // A file that loads but is no connection is forgotten; one that never came is kept.
            EXPECT_EQ(cycle.currentFile, c.connection ? f : QString());
            EXPECT_EQ(browser.navigations.last(), QStringLiteral("about:blank"));
        }
        // Whatever ended the wait, nothing ends it twice.
        timer->advance(5000);
        cycle.navigateComplete();
        EXPECT_EQ(services.messages.asked.size(), c.hosted ? 0u : 1u);
        EXPECT_EQ(cycle.document() != nullptr, c.hosted);
        if (c.hosted) {
            cycle.dropDocument();
        }
        cycle.loading = false;
    }
}

TEST_F(HostTest, ASaveWritesTheDocumentOrTheWatchdogReportsItAndKeepsTheFile) {
    for (const bool arrives : {true, false}) {
        SCOPED_TRACE(arrives);
        services.messages.asked.clear();
        const QString path = file(arrives ? "s.ats" : "w.ats", false);
        load(path);
        settle();
        ASSERT_NE(cycle.document(), nullptr);
        EXPECT_FALSE(cycle.safeClient);
        cycle.pinned = 4;
        cycle.BeginSave();
        EXPECT_EQ(enabled(), kBusy);
        EXPECT_FALSE(preview);
        EXPECT_EQ(browser.navigations.last(), QStringLiteral("about:blank"));
        if (arrives) {
            settle(); // unloading writes the file
        } else {
            timer->advance(1999);
            EXPECT_TRUE(services.messages.asked.empty());
            timer->advance(1);
        }
        EXPECT_EQ(enabled(), kNoDocument);
        EXPECT_EQ(cycle.currentFile, arrives ? QString() : path);
        ASSERT_EQ(services.messages.asked.size(), arrives ? 0u : 1u);
        if (!arrives) {
            EXPECT_EQ(services.messages.asked[0].text,
                      QString::fromLatin1(CycleMessages::kSaveError));
        } else {
            auto saved = ClientDocument::load(path);
            ASSERT_TRUE(saved);
            EXPECT_EQ(saved->Settings()->Pinned(), 4);
        }
        // A late or extra notification changes nothing.
        const int captions = captions;
        cycle.navigateComplete();
        EXPECT_EQ(captions, captions);
        EXPECT_EQ(services.messages.asked.size(), arrives ? 0u : 1u);
    }
}

TEST_F(HostTest, NewWritesTheTemplateOfTheChosenKindAndLoadsIt) {
    const struct {
        const char *what;
        DesignerDialogs::ConnectionType type;
        const char *target; // nullptr: the file dialog is cancelled
        int template_;      // 0: nothing written
        const char *message;
    } cases[] = {
        {"safe", {false, false}, "new1", kTemplateSafeConnection, nullptr},
        {"unsafe", {false, true}, "new2", kTemplateUnsafeConnection, nullptr},
        {"cancelled type", {true, false}, "new3", 0, nullptr},
        {"cancelled file dialog", {false, false}, nullptr, 0, nullptr},
        {"missing folder", {false, false}, "gone/x.ats", 0, ":\r\nNo such file or directory"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString target = c.target ? path(c.target) : QString();
        type = c.type;
        files.answers = {c.target ? std::optional<QString>(target) : std::nullopt};
        services.messages.asked.clear();
        browser.navigations.clear();
        const QString homeBefore = workFolders().home;
        commands.New();
        const QString written = target.endsWith(QLatin1String(".ats")) ? target : target + ".ats";
        if (!c.template_) {
            EXPECT_FALSE(QFile::exists(written));
            EXPECT_TRUE(cycle.currentFile.isEmpty());
            EXPECT_TRUE(browser.navigations.isEmpty());
            if (c.message) {
                ASSERT_EQ(services.messages.asked.size(), 1u);
                EXPECT_EQ(services.messages.asked[0].text,
                          "Unable to write file " + target + QLatin1String(c.message));
                EXPECT_EQ(services.messages.asked[0].style, 49);
            } else {
                EXPECT_EQ(workFolders().home, homeBefore);
            }
            continue;
        }
        EXPECT_EQ(ReadWholeFile(written), templateResource(c.template_));
        EXPECT_EQ(cycle.currentFile, written);
        EXPECT_EQ(browser.navigations.last(), written);
        settle();
        ASSERT_NE(cycle.document(), nullptr);
        EXPECT_EQ(cycle.document()->Script(), defaultScript());
        EXPECT_EQ(cycle.safeClient, !c.type.unsafe);
        EXPECT_TRUE(files.requests.back().confirmOverwrite);
        browser.hosted->DiscardChanges();
        commands.Close();
    }
}

TEST_F(HostTest, OpenMovesTheHomeFolderAndCancelChangesNothing) {
    files.answers = {std::nullopt};
    commands.Open();
    EXPECT_TRUE(cycle.currentFile.isEmpty());
    EXPECT_TRUE(browser.navigations.isEmpty());

    QDir(services.dir.path()).mkdir(QStringLiteral("Conn"));
    {
        auto doc = ClientDocument::load(file("Conn/a.ats"));
        doc->Settings()->setPinned(9);
        ASSERT_TRUE(doc->save());
    }
    cycle.newFile = true;
    commands.launchPage() = {QStringLiteral("/old.htm"), true, true};
    files.answers = {path("Conn/a.ats")};
    commands.Open();
    EXPECT_EQ(workFolders().home, services.dir.filePath(QStringLiteral("Conn/")));
    EXPECT_FALSE(cycle.newFile);
    EXPECT_TRUE(commands.launchPage().fileName.isEmpty());
    EXPECT_FALSE(commands.launchPage().intranet);
    settle();
    ASSERT_NE(cycle.document(), nullptr);
    EXPECT_TRUE(cycle.document()->Script().empty()) << "no default script for an opened file";
    EXPECT_EQ(cycle.pinned, 9);
    EXPECT_TRUE(files.requests.back().fileMustExist);
}

TEST_F(HostTest, SaveRunsTheGeneratorByTheDialogsResultAndThenTheSaveCycle) {
    const struct {
        int16_t result;
        bool pageWritten, gui, intranet, saved;
    } cases[] = {
        {130, true, true, false, true},  // Internet page with GUI
        {3, true, false, true, true},    // intranet page
        {129, false, true, false, true}, // GUI ticked, no page
        {0, false, false, false, false}, // cancelled
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.result);
        const std::string name = "save" + std::to_string(++n);
        openHosted(name + ".ats");
        changeHost("h");
        cycle.saveStarted = false;
        saveResult = c.result;
        derivedHtml = path(name + ".htm");
        commands.Save();
        EXPECT_EQ(QFile::exists(derivedHtml), c.pageWritten);
        EXPECT_EQ(commands.launchPage().fileName, derivedHtml);
        EXPECT_TRUE(services.messages.asked.empty());
        EXPECT_EQ(cycle.saveStarted, c.saved);
        if (!c.saved) {
            EXPECT_NE(cycle.document(), nullptr);
            dropHosted();
            settle();
            continue;
        }
        EXPECT_EQ(commands.launchPage().guiSupport, c.gui);
        EXPECT_EQ(commands.launchPage().intranet, c.intranet);
        EXPECT_EQ(enabled(), kNoDocument) << "New and Open buttons during the wait";
        EXPECT_FALSE(menus[Command::New]);
        settle();
        EXPECT_TRUE(cycle.currentFile.isEmpty());
        auto saved = ClientDocument::load(path(name + ".ats"));
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->Settings()->value("sHostName"), PropertyValue(std::string("h")));
        commands.launchPage() = {};
    }
}

TEST_F(HostTest, TheClosingCheckPerReasonAndAnswer) {
    const struct {
        const char *what;
        bool hosted, changed;
        int16_t reason;
        std::optional<int16_t> answer;
        bool staysOpen, stillHosted, written;
    } cases[] = {
        {"nothing open", false, false, kCloseByUser, std::nullopt, false, false, false},
        {"unchanged", true, false, kCloseByUser, std::nullopt, false, false, false},
        {"changed, Yes", true, true, kCloseByUser, 6, true, false, true},
        {"changed, No", true, true, kCloseByUser, 7, false, false, false},
        {"changed, Cancel", true, true, kCloseByUser, 2, true, true, false},
        {"shutdown", true, true, kCloseBySessionEnd, std::nullopt, false, false, false},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QString file;
        if (c.hosted) {
            openHosted("q" + std::to_string(++n) + ".ats");
            file = cycle.currentFile;
            if (c.changed) {
                changeHost("q");
            }
        }
        const QByteArray before = c.hosted ? ReadWholeFile(file) : QByteArray();
        services.messages.asked.clear();
        if (c.answer) {
            services.messages.answers = {*c.answer};
        }
        savedSession.clear();
        EXPECT_EQ(commands.queryClose(c.reason), c.staysOpen);
        ASSERT_EQ(services.messages.asked.size(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_EQ(services.messages.asked[0].style, 35);
        }
        EXPECT_EQ(savedSession, c.answer == 6 ? file : QString());
        EXPECT_EQ(cycle.document() != nullptr, c.stillHosted);
        if (c.stillHosted) {
            EXPECT_EQ(enabled(), kDocument);
            dropHosted();
        }
        if (!browser.navigations.isEmpty()) {
            settle();
        }
        EXPECT_EQ(c.hosted && ReadWholeFile(file) != before, c.written);
        cycle.currentFile.clear();
        cycle.saving = false;
    }
}

TEST_F(HostTest, SettingsChangedInTheDialogSurviveConnectAndSave) {
    openHosted("pin.ats");
    settingsEdit = [](ClientDocument &doc) { doc.Settings()->setPinned(12); };
    commands.Settings();
    EXPECT_EQ(cycle.pinned, 12);
    commands.Connect();
    EXPECT_EQ(enabled(), "--SCEg-d");
    commands.Disconnect();
    EXPECT_EQ(enabled(), kDocument);
    commands.Save();
    settle();
    auto saved = ClientDocument::load(path("pin.ats"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Settings()->Pinned(), 12);
}

} // namespace
} // namespace zelp::test
