#include "app/profile.h"
#include "app/regfile.h"
#include "app/startup.h"
#include "common/workfolders.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>

namespace zelp::test {
namespace {

QByteArray utf16File(const QString &text) {
    return QByteArray("\xFF\xFE", 2) +
           QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

RegFileRegistry merged(const QByteArray &file) {
    RegFileRegistry r;
    EXPECT_TRUE(r.merge(file));
    return r;
}

std::string read(const Registry &r, int hive, const char *key) {
    return ReadRegistryValue(r, hive, key, "<fallback>");
}

TEST(RegFile, ValuesOfBothFormats) {
    const QString v1023(1023, 'v'), v1024(1024, 'v');
    // the lines after the key, whether in a UTF-16 file; the value read
    const std::tuple<QString, bool, std::string> cases[] = {
        {"@=\"a\\\\b \\\"x\\\" \u00E9\"\r\n\"Named\"=\"no\"", false, "a\\b \"x\" \xE9"},
        {"@=\"a\\\\b \\\"x\\\" \u00E9\"\r\n\"Named\"=\"no\"", true, "a\\b \"x\" \xE9"},
        {"", false, "<fallback>"},
        {"@=\"\"", false, "<fallback>"},
        {"@=\"" + v1023 + "\"", false, v1023.toStdString()},
        {"@=\"" + v1024 + "\"", false, "<fallback>"},
        {"@=dword:00000001", false, "<fallback>"},
        {"@=\"x\"\r\n@=-", false, "<fallback>"}, // deleted
        {"@=hex(2):25,54,4d,50,25,00", false, "%TMP%"},
        {"@=hex(2):41,\\\r\n  42,00", false, "AB"},
        {"@=hex(2):41,00,42,00,00,00", true, "AB"},
        {"@=\"\u20AC\u4E2D\"", true, "\x80?"}, // the euro sign in the code page, the rest as ?
        {"@=\"abc", false, "<fallback>"},
        {"@=\"one\"\r\n@=\"two\"", false, "two"},
        {"@=\"a\\tb\"", false, "a\\tb"}, // other escapes stay
    };
    for (const auto &[lines, unicode, expected] : cases) {
        const QString key = "\r\n\r\n[HKEY_CLASSES_ROOT\\Thing\\Clsid]\r\n" + lines + "\r\n";
        const RegFileRegistry r =
            merged(unicode ? utf16File("Windows Registry Editor Version 5.00" + key)
                           : ("REGEDIT4" + key).toLatin1());
        EXPECT_EQ(read(r, 0, "THING\\clsid"), expected) << lines.left(30).toStdString();
    }
}

TEST(RegFile, MergeOrderDeletionHivesAndTheClassesView) {
    RegFileRegistry r =
        merged("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\A]\r\n@=\"first\"\r\n[HKEY_CLASSES_ROOT\\B]\r\n@="
               "\"kept\"\r\n"
               "[HKEY_CLASSES_ROOT\\C\\Sub]\r\n@=\"sub\"\r\n[HKEY_LOCAL_"
               "MACHINE\\Software\\Classes\\Machine]\r\n"
               "@=\"m\"\r\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\Both]\r\n@=\"machine\"\r\n"
               "[HKEY_CURRENT_USER\\Software\\Classes\\Both]\r\n@=\"user\"\r\n");
    ASSERT_TRUE(r.merge(
        "REGEDIT4\r\n[hkey_classes_root\\a]\r\n@=\"second\"\r\n[-HKEY_CLASSES_ROOT\\C]\r\n"));
    EXPECT_FALSE(r.merge("not a registry file\r\n[HKEY_CLASSES_ROOT\\A]\r\n@=\"third\"\r\n"));
    EXPECT_FALSE(r.merge(QByteArray()));
    EXPECT_EQ(read(r, 0, "A"), "second") << "a rejected file merges nothing";
    EXPECT_EQ(read(r, 0, "B"), "kept");
    EXPECT_EQ(read(r, 0, "C\\Sub"), "<fallback>");
    EXPECT_EQ(read(r, 0, "Machine"), "m");
    EXPECT_EQ(read(r, 7, "Both"), "user") << "any other selector is the classes root";
    EXPECT_EQ(read(r, 2, "Software\\Classes\\Both"), "machine");
    EXPECT_EQ(read(r, 1, "Software\\Classes\\Both"), "user");
}

TEST(RegFile, StandardFilesRefuseWhatIsNoSmallRegularFileAndLogWhy) {
    ServiceScope scope;
    const QString fifo = scope.dir.filePath("pipe.reg");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = writeFile(scope.dir.filePath("big.reg"), "REGEDIT4\r\n");
    ASSERT_TRUE(QFile::resize(big, RegFileRegistry::kMaxFileSize + 1)); // sparse
    const QString bad =
        writeFile(scope.dir.filePath("bad.reg"), "[HKEY_CLASSES_ROOT\\A]\r\n@=\"x\"\r\n");
    const std::pair<QString, const char *> cases[] = {
        {QStringLiteral("/dev/zero"), "not a regular file"},
        {fifo, "not a regular file"},
        {scope.dir.path(), "not a regular file"},
        {big, "larger than 16777216 bytes"},
        {scope.dir.filePath("missing.reg"), nullptr}, // an optional file: no line
        {bad, "not a registry export file"},
    };
    for (const auto &[path, reason] : cases) {
        EXPECT_FALSE(RegFileRegistry().mergeFile(path)) << path.toStdString();
        EXPECT_EQ(scope.log().contains(path + " ignored: " + (reason ? reason : "")), !!reason)
            << scope.log().toStdString();
    }
    // The user's file overrides the built-in one, which registers the bundled clients only;
    // a file that is refused leaves the built-in registry.
    const QString user =
        writeFile(scope.dir.filePath("user.reg"),
                  "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\VelmarisInternetClient2.ZLInetCli\\"
                  "Clsid]\r\n@=\"{00000000-0000-0000-0000-000000000001}\"\r\n");
    for (const QString &file : {user, QStringLiteral("/dev/zero")}) {
        qputenv("ZELPDEV2K_REGISTRY", file.toLocal8Bit());
        const auto r = RegFileRegistry::loadStandard();
        qunsetenv("ZELPDEV2K_REGISTRY");
        EXPECT_EQ(read(*r, 0, "VelmarisInternetClient2.ZLInetCli\\Clsid"),
                  file == user ? "{00000000-0000-0000-0000-000000000001}"
                               : "{E4301D8E-D460-4073-B7DA-600C33F38A01}");
        EXPECT_EQ(read(*r, 0, "VelmarisInternetClient2.ZLInetSafeCli\\Clsid"),
                  "{7F1351CE-90DD-411B-868D-E1BAA3CEBDA8}");
        EXPECT_EQ(read(*r, 0, "ZlGUIServer.ZlGUISvr\\Clsid"), "<fallback>");
    }
    EXPECT_TRUE(scope.errors.reports.empty());
}

TEST(ReadRegistryValue, NeverFailsAndRestoresTheDepth) {
    struct Broken : Registry {
        std::optional<std::string> queryDefaultValue(RegistryRoot, std::string_view,
                                                     std::size_t) const override {
            throw std::runtime_error("registry gone");
        }
    };
    ServiceScope scope;
    EXPECT_EQ(ReadRegistryValue(Broken(), 1, "Any", "fb"), "fb");
    EXPECT_EQ(ErrHndlr::quietDepth(), 0);
    EXPECT_TRUE(scope.errors.reports.empty());
}

struct FakePlatform : StartupPlatform {
    QString current = QStringLiteral("/"), executable = QStringLiteral("/opt/zelp/bin");
    std::optional<QString> personal;
    QSize screen;
    QString currentFolder() const override { return current; }
    QString executableFolder() const override { return executable; }
    std::optional<QString> personalFolder() const override { return personal; }
    QSize screenClientArea() const override { return screen; }
    bool system = false;
    bool isSystemFolder(const QString &) const override { return system; }
};

// A registry holding one HomePath value (none when value is null).
RegFileRegistry homePathRegistry(const QByteArray &value) {
    return merged("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Mirel\\ZELP2K\\HomePath]\r\n" +
                  (value.isNull() ? QByteArray() : "@=\"" + value + "\"\r\n"));
}

TEST(StartUp, HomeFolderFromRegistryAndAWarningToUsersOfSmallScreensOnly) {
    using enum StartMode;
    const QString sessions = QStringLiteral("/opt/zelp/bin/Sessions");
    const QString docs = QStringLiteral("/home/user/Documents");
    // HomePath (null: none), the personal folder, the screen, the mode; the home folder, a warning
    const std::tuple<QByteArray, std::optional<QString>, QSize, StartMode, QString, bool> rows[] = {
        {QByteArray(), docs, {800, 552}, User, sessions, false},
        {"D:\\\\Shared\\\\Connections", docs, {700, 500}, User, sessions, false}, // elsewhere
        {"My Documents", docs, {699, 1000}, User, docs + "/", true},
        {"my documents\\\\", docs, {1000, 499}, User, docs + "/", true}, // in any case
        {"My Documents/x", docs, {0, 0}, User, docs + "/x", true},
        {"My Documentsx", docs, {100, 100}, Automation, sessions, false},
        {"My Documents\\\\x", std::nullopt, {800, 600}, User, sessions, false}, // shell cannot tell
        {"My Documents\\\\x", docs + "/", {800, 600}, User, docs + "/x", false},
        {"My Documents\\\\x", QString(), {800, 600}, Automation, QStringLiteral("x"), false},
    };
    for (const auto &[value, personal, screen, mode, home, warns] : rows) {
        SCOPED_TRACE(value.data());
        ServiceScope scope;
        FakePlatform platform;
        platform.personal = personal;
        platform.screen = screen;
        workFolders() = {};
        bool shown = false;
        startUp(platform, homePathRegistry(value), mode, [&] { shown = true; });
        EXPECT_EQ(shown, mode == User);
        EXPECT_EQ(std::tuple(workFolders().startup, workFolders().program, workFolders().home),
                  std::tuple(QStringLiteral("/"), QStringLiteral("/opt/zelp/bin/"), home))
            << "a trailing separator is added where missing";
        EXPECT_TRUE(scope.errors.reports.empty());
        ASSERT_EQ(scope.messages.asked.size(), warns ? 1u : 0u);
        EXPECT_TRUE(!warns || (scope.messages.asked[0].style == 48 &&
                               scope.messages.asked[0].text == kSmallScreenWarning));
    }
    // An installed program keeps the sessions in the documents folder when there is one.
    FakePlatform installed;
    installed.system = true;
    installed.personal = docs;
    EXPECT_EQ(homeFolderFor("/usr/bin/Sessions/", "/usr/bin/", installed), docs + "/Sessions");
    installed.personal = std::nullopt;
    EXPECT_EQ(homeFolderFor("", "/usr/bin/", installed), QStringLiteral("/usr/bin/Sessions"));
    ServiceScope scope;
    for (const auto &[folder, system] :
         {std::pair(QStringLiteral("/usr/bin/"), true),
          std::pair(QStringLiteral("/opt/zelp"), true),
          std::pair(scope.dir.path() + "/missing", true), std::pair(scope.dir.path(), false)}) {
        EXPECT_EQ(isSystemFolder(folder), system) << folder.toStdString();
    }
}

} // namespace
} // namespace zelp::test
