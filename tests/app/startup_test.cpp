#include "fakes.h"

#include "app/profile.h"
#include "app/startup.h"
#include "common/workfolders.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

struct HomeCase {
    const char *name;
    QByteArray value; // null: no value in the registry
    std::optional<QString> personal;
    QString home;
};

TEST(GetIniDir, HomeFolderFromRegistry) {
    const QString sessions = QStringLiteral("/opt/zelp/bin/Sessions");
    const std::optional<QString> docs = QStringLiteral("/home/user/Documents");
    const HomeCase cases[] = {
        {"no value", QByteArray(), docs, sessions},
        {"empty value", QByteArray(""), docs, sessions},
        {"outside my documents", "D:\\\\Shared\\\\Connections", docs, sessions},
        {"plain My Documents", "My Documents", docs, QStringLiteral("/home/user/Documents/")},
        {"My Documents with separator", "my documents\\\\", docs,
         QStringLiteral("/home/user/Documents/")},
        {"subfolder", "My Documents\\\\Velmaris Files", docs,
         QStringLiteral("/home/user/Documents/Velmaris Files")},
        {"upper case", "MY DOCUMENTS\\\\x", docs, QStringLiteral("/home/user/Documents/x")},
        {"forward slash", "My Documents/x", docs, QStringLiteral("/home/user/Documents/x")},
        {"no separator", "My Documentsx", docs, sessions},
        {"shell cannot tell", "My Documents\\\\x", std::nullopt, sessions},
        {"personal folder with separator", "My Documents\\\\x",
         QStringLiteral("/home/user/Documents/"), QStringLiteral("/home/user/Documents/x")},
        {"empty personal folder", "My Documents\\\\x", QString(), QStringLiteral("x")},
    };
    for (const auto &c : cases) {
        ServiceScope scope;
        FakePlatform platform;
        platform.personal = c.personal;
        const RegFileRegistry registry = homePathRegistry(c.value);
        GetIniDir(platform, registry);
        EXPECT_EQ(workFolders().home, c.home) << c.name;
        EXPECT_EQ(workFolders().startup, QStringLiteral("/work/here/")) << c.name;
        EXPECT_EQ(workFolders().program, QStringLiteral("/opt/zelp/bin/")) << c.name;
        EXPECT_TRUE(scope.errors.reports.empty()) << c.name;
    }
}

TEST(GetIniDir, KeepsExistingTrailingSeparator) {
    ServiceScope scope;
    FakePlatform platform;
    platform.current = QStringLiteral("/");
    platform.executable = QStringLiteral("/opt/");
    GetIniDir(platform, homePathRegistry(QByteArray()));
    EXPECT_EQ(workFolders().startup, QStringLiteral("/"));
    EXPECT_EQ(workFolders().program, QStringLiteral("/opt/"));
    EXPECT_EQ(workFolders().home, QStringLiteral("/opt/Sessions"));
}

struct ScreenCase {
    QSize screen;
    bool warns;
};

TEST(StartUp, WarnsOnSmallScreensOnly) {
    const ScreenCase cases[] = {
        {{800, 552}, false}, {{700, 500}, false}, {{699, 1000}, true},
        {{1000, 499}, true}, {{0, 0}, true},
    };
    for (const auto &c : cases) {
        ServiceScope scope;
        FakePlatform platform;
        platform.screen = c.screen;
        bool shown = false;
        startUp(platform, homePathRegistry(QByteArray()), StartMode::User, [&] { shown = true; });
        EXPECT_TRUE(shown);
        ASSERT_EQ(scope.messages.asked.size(), c.warns ? 1u : 0u) << c.screen.width();
        if (c.warns) {
            EXPECT_EQ(scope.messages.asked[0].text,
                      QStringLiteral("Velmaris 2000 Internet Edition Designer works best at "
                                     "800x600 resolution or higher!"));
            EXPECT_EQ(scope.messages.asked[0].style, 48);
        }
    }
}

TEST(StartUp, AutomationResolvesFoldersAndShowsNothing) {
    ServiceScope scope;
    FakePlatform platform;
    platform.screen = QSize(100, 100);
    bool shown = false;
    workFolders() = {};
    startUp(platform, homePathRegistry("My Documents"), StartMode::Automation,
            [&] { shown = true; });
    EXPECT_FALSE(shown);
    EXPECT_TRUE(scope.messages.asked.empty());
    EXPECT_EQ(workFolders().home, QStringLiteral("/home/user/Documents/"));
}

} // namespace
} // namespace zelp::test
