#include "app/profile.h"
#include "app/regfile.h"
#include "app/startup.h"
#include "common/workfolders.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

class FakePlatform : public StartupPlatform {
public:
    QString current = QStringLiteral("/work/here");
    QString executable = QStringLiteral("/opt/zelp/bin");
    std::optional<QString> personal = QStringLiteral("/home/user/Documents");
    QSize screen{1024, 768};

    QString currentFolder() const override { return current; }
    QString executableFolder() const override { return executable; }
    std::optional<QString> personalFolder() const override { return personal; }
    QSize screenClientArea() const override { return screen; }
};

// A REGEDIT4 export holding one HomePath value (none when value is null).
RegFileRegistry homePathRegistry(const QByteArray &value) {
    RegFileRegistry registry;
    EXPECT_TRUE(registry.merge(
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Mirel\\ZELP2K\\HomePath]\r\n" +
        (value.isNull() ? QByteArray() : "@=\"" + value + "\"\r\n")));
    return registry;
}

std::tuple<QString, QString, QString> folders() {
    return {workFolders().startup, workFolders().program, workFolders().home};
}

TEST(GetIniDir, HomeFolderFromRegistry) {
    const QString sessions = QStringLiteral("/opt/zelp/bin/Sessions");
    const QString docs = QStringLiteral("/home/user/Documents");
    // HomePath (null: none), the personal folder; the home folder
    const std::tuple<QByteArray, std::optional<QString>, QString> cases[] = {
        {QByteArray(), docs, sessions},
        {QByteArray(""), docs, sessions},
        {"D:\\\\Shared\\\\Connections", docs, sessions}, // outside My Documents
        {"My Documents", docs, docs + "/"},
        {"my documents\\\\", docs, docs + "/"}, // without regard to case
        {"My Documents/x", docs, docs + "/x"},
        {"My Documentsx", docs, sessions},
        {"My Documents\\\\x", std::nullopt, sessions}, // the shell cannot tell
        {"My Documents\\\\x", docs + "/", docs + "/x"},
        {"My Documents\\\\x", QString(), QStringLiteral("x")},
    };
    for (const auto &[value, personal, home] : cases) {
        ServiceScope scope;
        FakePlatform platform;
        platform.personal = personal;
        GetIniDir(platform, homePathRegistry(value));
        EXPECT_EQ(folders(),
                  std::tuple(QStringLiteral("/work/here/"), QStringLiteral("/opt/zelp/bin/"), home))
            << value.data() << " in " << personal.value_or("?").toStdString();
        EXPECT_TRUE(scope.errors.reports.empty());
    }
}

TEST(StartUp, ResolvesFoldersAndWarnsUsersOfSmallScreensOnly) {
    const std::tuple<QSize, StartMode, bool> cases[] = {
        {{800, 552}, StartMode::User, false}, {{700, 500}, StartMode::User, false},
        {{699, 1000}, StartMode::User, true}, {{1000, 499}, StartMode::User, true},
        {{0, 0}, StartMode::User, true},      {{100, 100}, StartMode::Automation, false},
    };
    for (const auto &[screen, mode, warns] : cases) {
        SCOPED_TRACE(testing::Message() << screen.width() << "x" << screen.height());
        ServiceScope scope;
        FakePlatform platform;
        platform.screen = screen;
        platform.current = QStringLiteral("/");
        platform.executable = QStringLiteral("/opt/");
        workFolders() = {};
        bool shown = false;
        startUp(platform, homePathRegistry({}), mode, [&] { shown = true; });
        EXPECT_EQ(shown, mode == StartMode::User);
        EXPECT_EQ(folders(), std::tuple(QStringLiteral("/"), QStringLiteral("/opt/"),
                                        QStringLiteral("/opt/Sessions")))
            << "a trailing separator is kept";
        ASSERT_EQ(scope.messages.asked.size(), warns ? 1u : 0u);
        EXPECT_TRUE(!warns || (scope.messages.asked[0].style == 48 &&
                               scope.messages.asked[0].text ==
                                   QStringLiteral("Velmaris 2000 Internet Edition Designer works "
                                                  "best at 800x600 resolution or higher!")));
    }
}

} // namespace
} // namespace zelp::test
