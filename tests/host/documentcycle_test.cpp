#include "hostfakes.h"

#include "common/fileutil.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

constexpr const char *kNoDocument = "NO------";
constexpr const char *kBusy = "--------";
constexpr const char *kDocument = "--SCEgx-";

class DocumentCycleTest : public ::testing::Test {
protected:
    ServiceScope services;
    FakeBrowser browser;
    FakeWindow window;
    ManualTimer *timer = new ManualTimer;
    DocumentCycle cycle{browser, window, std::unique_ptr<OneShotTimer>(timer),
                        [] { return std::string("'default\r\n"); }};

    QString file(const char *name = "c.ats", bool safe = true) {
        return writeTemplate(services.dir, name, safe);
    }
    void load(const QString &path) {
        cycle.currentFile = path;
        cycle.BeginLoad(path);
    }
};

TEST_F(DocumentCycleTest, WhicheverOfNotificationAndWatchdogComesFirstEndsTheLoad) {
    const struct {
        const char *what;
        int waitBefore; // ms on the clock before anything arrives
        bool arrives;   // the browser reaches the file
        bool notifies;  // and says so
        bool hosted;
        const char *state;
        int messages;
    } cases[] = {
        {"notification at 1999 ms", 1999, true, true, true, kDocument, 0},
        {"silent load found by the watchdog", 2000, true, false, true, kDocument, 0},
        {"nothing within 2000 ms", 2000, false, false, false, kNoDocument, 1},
    };
    int n = 0;
    for (const auto &c : cases) {
        services.messages.asked.clear();
        const QString path = file(("c" + std::to_string(++n) + ".ats").c_str());
        window.preview = false;
        load(path);
        EXPECT_EQ(window.enabledButtons(), kBusy) << c.what;
        if (c.arrives) {
            browser.arrive();
        }
        timer->advance(c.waitBefore);
        if (c.notifies) {
            cycle.navigateComplete();
        }
        EXPECT_EQ(cycle.document() != nullptr, c.hosted) << c.what;
        EXPECT_EQ(window.enabledButtons(), c.state) << c.what;
        EXPECT_EQ(window.preview, c.hosted) << c.what;
        ASSERT_EQ(int(services.messages.asked.size()), c.messages) << c.what;
        if (c.messages) {
            EXPECT_EQ(services.messages.asked[0].text,
                      QString::fromLatin1(CycleMessages::kLoadError));
            EXPECT_EQ(services.messages.asked[0].style, 49);
            EXPECT_EQ(cycle.currentFile, path) << "the caption still names the file";
        }
        // Whatever ended the wait, nothing ends it twice.
        timer->advance(5000);
        cycle.navigateComplete();
        EXPECT_EQ(int(services.messages.asked.size()), c.messages) << c.what;
        EXPECT_EQ(cycle.document() != nullptr, c.hosted) << c.what;
        if (c.hosted) {
            cycle.dropDocument();
        }
        cycle.loading = false;
    }
}

TEST_F(DocumentCycleTest, TheWatchdogWaitsTheFull2000Milliseconds) {
    load(file());
    timer->advance(1999);
    EXPECT_EQ(window.enabledButtons(), kBusy);
    EXPECT_TRUE(services.messages.asked.empty());
    timer->advance(1);
    EXPECT_EQ(window.enabledButtons(), kNoDocument);
    EXPECT_EQ(services.messages.asked.size(), 1u);
}

TEST_F(DocumentCycleTest, TheLocationIsComparedWithoutRegardToCase) {
    const QString path = file("Conn.ats");
    load(path);
    browser.arrive();
    browser.location = path.toUpper();
    // The host found the document though the location reads in other letters.
    timer->advance(2000);
    EXPECT_NE(cycle.document(), nullptr);
}

TEST_F(DocumentCycleTest, AFileThatIsNoConnectionShowsTheLoadErrorWithNewAndOpenOn) {
    const QString path = services.dir.filePath(QStringLiteral("text.ats"));
    ASSERT_TRUE(WriteWholeFile(path, "plain text", true));
    load(path);
    browser.arrive();
    cycle.navigateComplete();
    EXPECT_EQ(cycle.document(), nullptr);
    EXPECT_TRUE(cycle.currentFile.isEmpty());
    EXPECT_EQ(window.enabledButtons(), kNoDocument);
    EXPECT_EQ(browser.navigations.last(), QStringLiteral("about:blank"));
    ASSERT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(services.messages.asked[0].text, QString::fromLatin1(CycleMessages::kLoadError));
}

TEST_F(DocumentCycleTest, ANewFileGetsTheDefaultScriptAndThePinnedValueIsTaken) {
    const QString path = file();
    {
        auto doc = ClientDocument::load(path);
        doc->Settings()->setPinned(9);
        ASSERT_TRUE(doc->save());
    }
    for (bool isNew : {true, false}) {
        cycle.newFile = isNew;
        load(path);
        browser.arrive();
        cycle.navigateComplete();
        ASSERT_NE(cycle.document(), nullptr);
        EXPECT_EQ(cycle.document()->Script(), isNew ? "'default\r\n" : "");
        EXPECT_EQ(cycle.pinned, 9);
        EXPECT_TRUE(cycle.safeClient);
        browser.hosted->DiscardChanges();
        cycle.dropDocument();
    }
}

TEST_F(DocumentCycleTest, ASaveWritesTheDocumentAndEndsWithNoFile) {
    const QString path = file("s.ats", false);
    load(path);
    browser.arrive();
    cycle.navigateComplete();
    ASSERT_NE(cycle.document(), nullptr);
    EXPECT_FALSE(cycle.safeClient);
    cycle.pinned = 4;
    cycle.BeginSave();
    EXPECT_EQ(window.enabledButtons(), kBusy);
    EXPECT_FALSE(window.preview);
    EXPECT_EQ(browser.navigations.last(), QStringLiteral("about:blank"));
    browser.arrive(); // unloading writes the file
    cycle.navigateComplete();
    EXPECT_TRUE(cycle.currentFile.isEmpty());
    EXPECT_EQ(window.enabledButtons(), kNoDocument);
    EXPECT_TRUE(services.messages.asked.empty());
    auto saved = ClientDocument::load(path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Settings()->Pinned(), 4);
    // The extra navigation of the finished save notifies too, and changes nothing.
    const int captions = window.captions;
    cycle.navigateComplete();
    EXPECT_EQ(window.captions, captions);
}

TEST_F(DocumentCycleTest, ASaveTheWatchdogEndsAwayFromBlankIsAnErrorThatKeepsTheFile) {
    const QString path = file();
    load(path);
    browser.arrive();
    cycle.navigateComplete();
    cycle.BeginSave();
    timer->advance(1999);
    EXPECT_TRUE(services.messages.asked.empty());
    timer->advance(1);
    ASSERT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(services.messages.asked[0].text, QString::fromLatin1(CycleMessages::kSaveError));
    EXPECT_EQ(cycle.currentFile, path);
    EXPECT_EQ(window.enabledButtons(), kNoDocument);
    cycle.navigateComplete(); // late: nothing more
    EXPECT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(cycle.currentFile, path);
}

TEST(CommandStates, TheTableOfTheFourStates) {
    const struct {
        CommandState state;
        const char *on;
    } cases[] = {
        {CommandState::NoDocument, "NO------"},
        {CommandState::Busy, "--------"},
        {CommandState::Document, "--SCEgx-"},
        {CommandState::Connected, "--SCEg-d"},
    };
    static const char letters[] = "NOSCEgxd";
    for (const auto &c : cases) {
        std::string on;
        for (int i = 0; i < kCommandCount; ++i) {
            on += commandEnabled(c.state, kAllCommands[i]) ? letters[i] : '-';
        }
        EXPECT_EQ(on, c.on);
    }
}

} // namespace
} // namespace zelp::test
