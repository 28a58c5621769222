#include "hostfakes.h"

#include "app/regfile.h"
#include "app/registry.h"
#include "common/fileutil.h"
#include "common/workfolders.h"
#include "files/resources.h"
#include "support/testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

class FakeDialogs : public DesignerDialogs {
public:
    ConnectionType askConnectionType() override {
        ++typeAsked;
        return type;
    }
    int16_t askSave(QString &session, QString &html) override {
        savedSession = session;
        if (html.isEmpty()) {
            html = derivedHtml;
        }
        return saveResult;
    }
    void showSettings(ClientDocument &document) override {
        if (settingsEdit) {
            settingsEdit(document);
        }
    }
    ConnectionType type;
    int typeAsked = 0;
    int16_t saveResult = 1;
    QString derivedHtml, savedSession;
    std::function<void(ClientDocument &)> settingsEdit;
};

class CommandsTest : public ::testing::Test {
protected:
    ServiceScope services;
    ScriptedFileDialog files;
    FakeBrowser browser;
    FakeWindow window;
    ManualTimer *timer = new ManualTimer;
    DocumentCycle cycle{browser, window, std::unique_ptr<OneShotTimer>(timer),
                        [] { return defaultScript(); }};
    FakeDialogs dialogs;
    DesignerCommands commands{cycle, dialogs};

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

    QString path(const char *name) const {
        return services.dir.filePath(QString::fromLatin1(name));
    }
    QByteArray bytesOf(const QString &file) const {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Lets the browser arrive and notify, as the real host does from its event loop.
    void settle() {
        browser.arrive();
        cycle.navigateComplete();
    }
    void openHosted(const char *name, bool safe = true) {
        const QString file = writeTemplate(services.dir, name, safe);
        files.answers.push_back(file);
        commands.Open();
        settle();
        ASSERT_NE(cycle.document(), nullptr);
    }
};

TEST_F(CommandsTest, NewWritesTheTemplateOfTheChosenKindAndLoadsIt) {
    const struct {
        const char *what;
        DesignerDialogs::ConnectionType type;
        std::optional<QString> file;
        int template_; // 0: nothing written
    } cases[] = {
        {"safe", {false, false}, QString(), kTemplateSafeConnection},
        {"unsafe", {false, true}, QString(), kTemplateUnsafeConnection},
        {"cancelled type", {true, false}, QString(), 0},
        {"cancelled file dialog", {false, false}, std::nullopt, 0},
    };
    int n = 0;
    for (const auto &c : cases) {
        const QString target = path("new") + QString::number(++n); // typed without extension
        dialogs.type = c.type;
        files.answers = {c.file ? std::optional<QString>(target) : std::nullopt};
        const QString homeBefore = workFolders().home;
        commands.New();
        const QString written = target + QStringLiteral(".ats");
        if (!c.template_) {
            EXPECT_FALSE(QFile::exists(written)) << c.what;
            EXPECT_EQ(workFolders().home, homeBefore) << c.what;
            EXPECT_TRUE(cycle.currentFile.isEmpty()) << c.what;
            continue;
        }
        EXPECT_EQ(bytesOf(written), templateResource(c.template_)) << c.what;
        EXPECT_EQ(cycle.currentFile, written);
        EXPECT_EQ(browser.navigations.last(), written);
        settle();
        ASSERT_NE(cycle.document(), nullptr) << c.what;
        EXPECT_EQ(cycle.document()->Script(), defaultScript());
        EXPECT_EQ(cycle.safeClient, !c.type.unsafe);
        const FileDialogRequest &asked = files.requests.back();
        EXPECT_EQ(asked.title, QStringLiteral("New Velmaris Internet Configuration File"));
        EXPECT_TRUE(asked.confirmOverwrite);
        browser.hosted->DiscardChanges();
        commands.Close();
    }
}

TEST_F(CommandsTest, NewIntoAFolderThatIsNotThereSaysItCannotWrite) {
    dialogs.type = {false, false};
    const QString target = path("gone/x.ats");
    files.answers = {target};
    commands.New();
    ASSERT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(services.messages.asked[0].text,
              QStringLiteral("Unable to write file ") + target +
                  QStringLiteral(":\r\nNo such file or directory"));
    EXPECT_EQ(services.messages.asked[0].style, 49);
    EXPECT_TRUE(cycle.currentFile.isEmpty());
    EXPECT_TRUE(browser.navigations.isEmpty());
}

TEST_F(CommandsTest, OpenMovesTheHomeFolderAndCancelChangesNothing) {
    files.answers = {std::nullopt};
    commands.Open();
    EXPECT_TRUE(cycle.currentFile.isEmpty());
    EXPECT_TRUE(browser.navigations.isEmpty());

    QDir(services.dir.path()).mkdir(QStringLiteral("Conn"));
    const QString file = writeTemplate(services.dir, "Conn/a.ats", true);
    cycle.newFile = true;
    commands.launchPage() = {QStringLiteral("/old.htm"), true, true};
    files.answers = {file};
    commands.Open();
    EXPECT_EQ(workFolders().home, services.dir.filePath(QStringLiteral("Conn/")));
    EXPECT_FALSE(cycle.newFile);
    EXPECT_TRUE(commands.launchPage().fileName.isEmpty());
    EXPECT_FALSE(commands.launchPage().intranet);
    settle();
    ASSERT_NE(cycle.document(), nullptr);
    EXPECT_TRUE(cycle.document()->Script().empty()) << "no default script for an opened file";
    EXPECT_EQ(files.requests.back().title,
              QStringLiteral("Open Velmaris Internet Connection File"));
    EXPECT_TRUE(files.requests.back().fileMustExist);
}

TEST_F(CommandsTest, CloseAsksOnlyWhenChangedAndFollowsTheAnswer) {
    const struct {
        const char *what;
        bool changed;
        std::optional<int16_t> answer;
        bool stillHosted;
        bool saveAsked;
    } cases[] = {
        {"unchanged", false, std::nullopt, false, false},
        {"No", true, 7, false, false},
        {"Cancel", true, 2, true, false},
        {"Yes", true, 6, false, true},
    };
    int n = 0;
    for (const auto &c : cases) {
        openHosted(("close" + std::to_string(++n) + ".ats").c_str());
        if (c.changed) {
            ASSERT_TRUE(cycle.document()->Settings()->setValue("sHostName", std::string("x")));
        }
        services.messages.asked.clear();
        if (c.answer) {
            services.messages.answers = {*c.answer};
        }
        dialogs.savedSession.clear();
        commands.Close();
        EXPECT_EQ(services.messages.asked.size(), c.changed ? 1u : 0u) << c.what;
        if (c.changed) {
            EXPECT_EQ(services.messages.asked[0].style, 35);
        }
        EXPECT_EQ(cycle.document() != nullptr, c.stillHosted) << c.what;
        EXPECT_EQ(!dialogs.savedSession.isEmpty(), c.saveAsked) << c.what;
        if (c.stillHosted) {
            EXPECT_EQ(window.enabledButtons(), "--SCEgx-");
            browser.hosted->DiscardChanges();
            cycle.dropDocument();
        }
        settle();
        cycle.currentFile.clear();
    }
}

TEST_F(CommandsTest, SaveRunsTheGeneratorByTheDialogsResultAndThenTheSaveCycle) {
    const struct {
        const char *what;
        int16_t result;
        bool pageWritten;
        bool gui;
        bool intranet;
        bool saved;
    } cases[] = {
        {"Internet with GUI", 130, true, true, false, true},
        {"intranet", 3, true, false, true, true},
        {"GUI ticked, no page", 129, false, true, false, true},
        {"cancelled", 0, false, false, false, false},
    };
    int n = 0;
    for (const auto &c : cases) {
        const std::string name = "save" + std::to_string(++n);
        openHosted((name + ".ats").c_str());
        ASSERT_TRUE(cycle.document()->Settings()->setValue("sHostName", std::string("h")));
        cycle.saveStarted = false;
        dialogs.saveResult = c.result;
        dialogs.derivedHtml = path((name + ".htm").c_str());
        services.messages.asked.clear();
        commands.Save();
        EXPECT_EQ(QFile::exists(dialogs.derivedHtml), c.pageWritten) << c.what;
        EXPECT_EQ(commands.launchPage().fileName, dialogs.derivedHtml) << c.what;
        EXPECT_TRUE(services.messages.asked.empty())
            << c.what << " " << services.messages.asked[0].text.toStdString();
        if (!c.saved) {
            EXPECT_NE(cycle.document(), nullptr);
            EXPECT_FALSE(cycle.saveStarted);
            browser.hosted->DiscardChanges();
            cycle.dropDocument();
            settle();
            continue;
        }
        EXPECT_EQ(commands.launchPage().guiSupport, c.gui) << c.what;
        EXPECT_EQ(commands.launchPage().intranet, c.intranet) << c.what;
        EXPECT_TRUE(cycle.saveStarted);
        EXPECT_EQ(window.enabledButtons(), "NO------") << "New and Open buttons during the wait";
        EXPECT_FALSE(window.menus[Command::New]);
        settle();
        EXPECT_TRUE(cycle.currentFile.isEmpty());
        auto saved = ClientDocument::load(path((name + ".ats").c_str()));
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->Settings()->value("sHostName"), PropertyValue(std::string("h"))) << c.what;
        commands.launchPage() = {};
    }
}

TEST_F(CommandsTest, TheClosingCheckPerReasonAndAnswer) {
    const struct {
        const char *what;
        bool hosted;
        bool changed;
        int16_t reason;
        std::optional<int16_t> answer;
        bool staysOpen;
        bool written;
    } cases[] = {
        {"nothing open", false, false, kCloseByUser, std::nullopt, false, false},
        {"unchanged", true, false, kCloseByUser, std::nullopt, false, false},
        {"changed, Yes", true, true, kCloseByUser, 6, true, true},
        {"changed, No", true, true, kCloseByUser, 7, false, false},
        {"changed, Cancel", true, true, kCloseByUser, 2, true, false},
        {"shutdown", true, true, 1, std::nullopt, false, false},
    };
    int n = 0;
    for (const auto &c : cases) {
        const std::string name = "q" + std::to_string(++n) + ".ats";
        QString file;
        if (c.hosted) {
            openHosted(name.c_str());
            file = cycle.currentFile;
            if (c.changed) {
                ASSERT_TRUE(cycle.document()->Settings()->setValue("sHostName", std::string("q")));
            }
        }
        const QByteArray before = bytesOf(file);
        services.messages.asked.clear();
        if (c.answer) {
            services.messages.answers = {*c.answer};
        }
        EXPECT_EQ(commands.queryClose(c.reason), c.staysOpen) << c.what;
        EXPECT_EQ(services.messages.asked.size(), c.answer ? 1u : 0u) << c.what;
        if (cycle.document()) {
            browser.hosted->DiscardChanges();
            cycle.dropDocument();
        }
        if (!browser.navigations.isEmpty()) {
            settle();
        }
        if (c.hosted) {
            EXPECT_EQ(bytesOf(file) != before, c.written) << c.what;
        }
        cycle.currentFile.clear();
        cycle.saving = false;
    }
}

TEST_F(CommandsTest, SettingsChangedInTheDialogSurviveConnectAndSave) {
    openHosted("pin.ats");
    dialogs.settingsEdit = [](ClientDocument &doc) { doc.Settings()->setPinned(12); };
    commands.Settings();
    EXPECT_EQ(cycle.pinned, 12);
    commands.Connect();
    EXPECT_EQ(window.enabledButtons(), "--SCEg-d");
    commands.Disconnect();
    EXPECT_EQ(window.enabledButtons(), "--SCEgx-");
    dialogs.saveResult = 1;
    commands.Save();
    settle();
    auto saved = ClientDocument::load(path("pin.ats"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Settings()->Pinned(), 12);
}

} // namespace
} // namespace zelp::test
