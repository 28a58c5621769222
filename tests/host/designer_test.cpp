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

namespace zelp::test {
namespace {

// A document host whose navigations the test completes: a file hosts the document loaded from
// it (or a plain object); "about:blank" lets it go, saving it if changed as the real host does.
class FakeBrowser : public HostBrowser {
public:
    void Navigate(const QString &url) override { navigations << url; }
    void Stop() override {}
    QObject *Document() const override {
        return hosted ? hosted.get() : location.isEmpty() ? nullptr : &nonClient;
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
        hosted = location.isEmpty() ? nullptr : ClientDocument::load(url);
    }
    QStringList navigations;
    QString location;
    std::unique_ptr<ClientDocument> hosted;
    mutable QObject nonClient;
};

constexpr const char *kNoDocument = "NO------";
constexpr const char *kBusy = "--------";
constexpr const char *kDocument = "--SCEgx-";
const QString kLoadError = "49 " + QLatin1String(CycleMessages::kLoadError) + u'\n';

// The test is the cycle's window and the commands'
class HostTest : public ::testing::Test, public HostWindow, public DesignerDialogs {
protected:
    void ShowPreview() override { preview = true; }
    void HidePreview() override { preview = false; }
    void UpdateCaption() override { ++captions; }
    // "NOSCEgxd" with "-" for each command whose button is off.
    void setCommandEnabled(Command command, bool button, bool menu) override {
        buttons[int(command)] = button ? "NOSCEgxd"[int(command)] : '-';
        menus[int(command)] = menu;
    }
    ConnectionType askConnectionType() override { return type; }
    int16_t askSave(QString &session, QString &html) override {
        savedSession = session;
        html = derivedHtml;
        return saveResult;
    }
    void showSettings(ClientDocument &document) override { settingsEdit(document); }
    // The messages asked so far, "style text" a line each; forgets them.
    QString said() {
        QString out;
        for (const auto &m : services.messages.asked) {
            out += QString::number(m.style) + u' ' + m.text + u'\n';
        }
        services.messages.asked.clear();
        return out;
    }
    bool preview = false;
    int captions = 0;
    std::string buttons = kBusy;
    bool menus[kCommandCount] = {};
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
        ASSERT_TRUE(registry->mergeFile(QStringLiteral(ZELP_CLASSES_REG)));
        setSystemRegistry(std::move(registry));
    }
    void TearDown() override { setFileDialogService(nullptr); }
    QString path(const std::string &name) const {
        return services.dir.filePath(QString::fromStdString(name));
    }
    QString file(const std::string &name) const {
        return writeFile(path(name), templateResource(kTemplateSafeConnection));
    }
    // Lets the browser arrive and notify, as the real host does from its event loop.
    void settle() {
        browser.arrive();
        cycle.navigateComplete();
    }
    void openHosted(const std::string &name, const char *host = nullptr) {
        files.answers.push_back(file(name));
        commands.Open();
        settle();
        ASSERT_NE(cycle.document(), nullptr);
        if (host) {
            ASSERT_TRUE(cycle.document()->Settings()->setValue("sHostName", std::string(host)));
        }
    }
    void dropHosted() {
        browser.hosted->DiscardChanges();
        cycle.dropDocument();
    }
};

TEST_F(HostTest, WhicheverOfNotificationAndWatchdogComesFirstEndsTheLoad) {
    const struct {
        const char *what, *content; // of the file; "": a connection, nullptr: no file at all
        // the browser reaches the file; says so at 1999 ms; shows its path in other letters
        bool arrives, notifies, otherCase, hosted;
    } cases[] = {
        {"notification at 1999 ms", "", true, true, false, true},
        {"silent load found by the watchdog", "", true, false, false, true},
        {"location in other letters", "", true, false, true, true},
        {"nothing within 2000 ms", "", false, false, false, false},
        {"a file that is no connection", "plain text", true, true, false, false},
        {"a file that does not exist", nullptr, true, true, false, false},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        preview = false;
        browser.hosted.reset();
        const std::string name = "Conn" + std::to_string(++n) + ".ats";
        const QString f = !c.content   ? path(name)
                          : *c.content ? writeFile(path(name), c.content)
                                       : file(name);
        cycle.currentFile = f;
        cycle.BeginLoad(f);
        if (c.arrives) {
            browser.arrive();
        }
        if (c.otherCase) {
            browser.location = f.toUpper();
        }
        timer->advance(1999);
        EXPECT_EQ(buttons, kBusy);
        EXPECT_EQ(said(), QString());
        c.notifies ? cycle.navigateComplete() : timer->advance(1);
        EXPECT_EQ(cycle.document() != nullptr, c.hosted);
        EXPECT_EQ(buttons, c.hosted ? kDocument : kNoDocument);
        EXPECT_EQ(preview, c.hosted);
        const QString missing = "49 " + QLatin1String(CycleMessages::kMissingFile).arg(f) + u'\n';
        EXPECT_EQ(said(), c.hosted ? QString() : c.content ? kLoadError : missing);
        if (!c.hosted) {
            // A file that loads but is no connection is forgotten; one that never came is kept.
            EXPECT_EQ(cycle.currentFile, c.content && !*c.content ? f : QString());
            EXPECT_EQ(browser.navigations.last(), QStringLiteral("about:blank"));
        }
    }
}

TEST_F(HostTest, NewAndOpenLoadTheChosenFileWhoseSettingsTheDialogEdits) {
    const struct {
        const char *what;
        bool open; // else New of the kind asked
        DesignerDialogs::ConnectionType type;
        const char *target; // nullptr: the file dialog is cancelled
        int template_;      // written by New; 0: nothing loaded
        const char *message;
    } cases[] = {
        {"safe", false, {false, false}, "new1", kTemplateSafeConnection, ""},
        {"unsafe", false, {false, true}, "new2", kTemplateUnsafeConnection, ""},
        {"cancelled type", false, {true, false}, "new3", 0, ""},
        {"cancelled file dialog", false, {false, false}, nullptr, 0, ""},
        {"missing folder", false, {}, "gone/x.ats", 0, ":\r\nNo such file or directory\n"},
        {"open", true, {}, "Conn/a.ats", kTemplateSafeConnection, ""},
        {"cancelled open", true, {}, nullptr, 0, ""},
    };
    QDir(services.dir.path()).mkdir(QStringLiteral("Conn"));
    {
        auto doc = ClientDocument::load(file("Conn/a.ats"));
        doc->Settings()->setPinned(9);
        ASSERT_TRUE(doc->save());
    }
    settingsEdit = [](ClientDocument &doc) { doc.Settings()->setPinned(12); };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString target = c.target ? path(c.target) : QString();
        type = c.type;
        files.answers = {c.target ? std::optional<QString>(target) : std::nullopt};
        browser.navigations.clear();
        commands.launchPage() = {QStringLiteral("/old.htm"), true, true};
        const QString homeBefore = workFolders().home;
        c.open ? commands.Open() : commands.New();
        const QString written = target.endsWith(QLatin1String(".ats")) ? target : target + ".ats";
        EXPECT_EQ(said(), *c.message ? "49 Unable to write file " + target + c.message : "");
        if (!c.template_) {
            EXPECT_FALSE(QFile::exists(written));
            EXPECT_TRUE(cycle.currentFile.isEmpty());
            EXPECT_TRUE(browser.navigations.isEmpty());
            EXPECT_TRUE(*c.message || workFolders().home == homeBefore);
            continue;
        }
        EXPECT_TRUE(c.open || ReadWholeFile(written) == templateResource(c.template_));
        EXPECT_EQ(cycle.currentFile, written);
        EXPECT_EQ(workFolders().home, written.left(written.lastIndexOf(u'/') + 1));
        EXPECT_EQ(cycle.newFile, !c.open);
        EXPECT_TRUE(commands.launchPage().fileName.isEmpty());
        EXPECT_FALSE(commands.launchPage().intranet);
        EXPECT_EQ(files.requests.back().confirmOverwrite, !c.open);
        settle();
        ASSERT_NE(cycle.document(), nullptr);
        EXPECT_EQ(cycle.document()->Script(), c.open ? "" : defaultScript());
        EXPECT_EQ(cycle.safeClient, !c.type.unsafe);
        EXPECT_EQ(cycle.pinned, c.open ? 9 : 0);
        commands.Settings();
        EXPECT_EQ(cycle.pinned, 12);
        commands.Connect();
        EXPECT_EQ(buttons, "--SCEg-d");
        commands.Disconnect();
        EXPECT_EQ(buttons, kDocument);
        browser.hosted->DiscardChanges();
        commands.Close();
    }
}

TEST_F(HostTest, SaveRunsTheGeneratorThenTheSaveCycleThatTheWatchdogMayEnd) {
    const struct {
        int16_t result;
        bool pageWritten, gui, intranet, saved;
        bool arrives = true; // else the browser keeps the document past the watchdog
    } cases[] = {
        {130, true, true, false, true},  // Internet page with GUI
        {3, true, false, true, true},    // intranet page
        {129, false, true, false, true}, // GUI ticked, no page
        {0, false, false, false, false}, // cancelled
        {1, false, false, false, true, false},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.result);
        const std::string name = "save" + std::to_string(++n);
        openHosted(name + ".ats", "h");
        cycle.saveStarted = false;
        cycle.pinned = 4;
        saveResult = c.result;
        derivedHtml = path(name + ".htm");
        commands.Save();
        EXPECT_EQ(QFile::exists(derivedHtml), c.pageWritten);
        EXPECT_EQ(commands.launchPage().fileName, derivedHtml);
        EXPECT_EQ(cycle.saveStarted, c.saved);
        if (!c.saved) {
            EXPECT_NE(cycle.document(), nullptr);
            dropHosted();
            settle();
            continue;
        }
        EXPECT_EQ(commands.launchPage().guiSupport, c.gui);
        EXPECT_EQ(commands.launchPage().intranet, c.intranet);
        EXPECT_EQ(buttons, kNoDocument) << "New and Open buttons during the wait";
        EXPECT_FALSE(menus[int(Command::New)]);
        EXPECT_FALSE(preview);
        EXPECT_EQ(browser.navigations.last(), QStringLiteral("about:blank"));
        if (c.arrives) {
            settle(); // unloading writes the file
        } else {
            timer->advance(1999);
            EXPECT_EQ(said(), QString());
            timer->advance(1);
        }
        EXPECT_TRUE(menus[int(Command::New)]);
        EXPECT_EQ(cycle.currentFile, c.arrives ? QString() : path(name + ".ats"));
        EXPECT_EQ(said(),
                  c.arrives ? "" : "49 " + QLatin1String(CycleMessages::kSaveError) + u'\n');
        // A late or extra notification changes nothing.
        const int before = captions;
        cycle.navigateComplete();
        EXPECT_EQ(captions, before);
        EXPECT_EQ(said(), QString());
        if (c.arrives) {
            const auto doc = ClientDocument::load(path(name + ".ats"));
            ASSERT_TRUE(doc);
            EXPECT_EQ(doc->Settings()->value("sHostName"), PropertyValue(std::string("h")));
            EXPECT_EQ(doc->Settings()->Pinned(), 4);
        }
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
            openHosted("q" + std::to_string(++n) + ".ats", c.changed ? "q" : nullptr);
            file = cycle.currentFile;
        }
        const QByteArray before = c.hosted ? ReadWholeFile(file) : QByteArray();
        services.messages.answers = {c.answer.value_or(0)};
        savedSession.clear();
        EXPECT_EQ(commands.queryClose(c.reason), c.staysOpen);
        const QString question = "35 " + QLatin1String(CommandTexts::kSaveChanges) + u'\n';
        EXPECT_EQ(said(), c.answer ? question : QString());
        EXPECT_EQ(savedSession, c.answer == 6 ? file : QString());
        EXPECT_EQ(cycle.document() != nullptr, c.stillHosted);
        if (c.stillHosted) {
            EXPECT_EQ(buttons, kDocument);
            dropHosted();
        }
        settle();
        EXPECT_EQ(c.hosted && ReadWholeFile(file) != before, c.written);
    }
}

} // namespace
} // namespace zelp::test
