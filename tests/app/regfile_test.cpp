#include "app/profile.h"
#include "app/regfile.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace zelp::test {
namespace {

QByteArray utf16File(const QString &text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return bytes;
}

std::string read(const Registry &r, int hive, const char *key) {
    return ReadRegistryValue(r, hive, key, "<fallback>");
}

TEST(RegFile, ReadsBothFormats) {
    const QByteArray ansi = "REGEDIT4\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Mirel\\ZELP2K\\HomePath]\r\n"
                            "@=\"My Documents\\\\Velmaris \\\"x\\\" \xE9\"\r\n"
                            "\"Named\"=\"not the default\"\r\n";
    const QString unicode =
        QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                       "[HKEY_CURRENT_USER\\Software\\Mirel\\ZELP2K\\HomePath]\r\n"
                       "@=\"My Documents\\\\Velmaris \\\"x\\\" \u00E9\"\r\n"
                       "\"Named\"=\"not the default\"\r\n");
    for (const QByteArray &file : {ansi, utf16File(unicode)}) {
        RegFileRegistry r;
        ASSERT_TRUE(r.merge(file));
        EXPECT_EQ(read(r, 1, "Software\\Mirel\\ZELP2K\\HomePath"),
                  "My Documents\\Velmaris \"x\" \xE9");
        EXPECT_EQ(read(r, 1, "SOFTWARE\\mirel\\zelp2k\\homepath"),
                  "My Documents\\Velmaris \"x\" \xE9")
            << "keys match without regard to case";
        EXPECT_EQ(read(r, 2, "Software\\Mirel\\ZELP2K\\HomePath"), "<fallback>") << "another hive";
    }
}

struct ValueCase {
    const char *name;
    QByteArray valueLine; // the line after the key, or empty for none
    std::string expected;
};

TEST(RegFile, ValueRules) {
    const std::string v1023(1023, 'v');
    const std::string v1024(1024, 'v');
    const ValueCase cases[] = {
        {"missing value", "", "<fallback>"},
        {"empty value", "@=\"\"", "<fallback>"},
        {"1023 characters fit", "@=\"" + QByteArray::fromStdString(v1023) + "\"", v1023},
        {"1024 characters do not", "@=\"" + QByteArray::fromStdString(v1024) + "\"", "<fallback>"},
        {"a number is not text", "@=dword:00000001", "<fallback>"},
        {"deleted value", "@=\"x\"\r\n@=-", "<fallback>"},
        {"expandable text in hex", "@=hex(2):25,54,4d,50,25,00", "%TMP%"},
        {"hex runs over lines", "@=hex(2):41,\\\r\n  42,00", "AB"},
        {"unterminated string", "@=\"abc", "<fallback>"},
        {"last value wins", "@=\"one\"\r\n@=\"two\"", "two"},
        {"other escapes stay", "@=\"a\\tb\"", "a\\tb"},
    };
    for (const auto &c : cases) {
        RegFileRegistry r;
        ASSERT_TRUE(r.merge("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\Thing\\Clsid]\r\n" + c.valueLine +
                            "\r\n"));
        EXPECT_EQ(read(r, 0, "Thing\\Clsid"), c.expected) << c.name;
    }
}

TEST(RegFile, Utf16HexTextAndUnmappableCharacters) {
    const QString file = QStringLiteral("Windows Registry Editor Version 5.00\r\n"
                                        "[HKEY_CLASSES_ROOT\\A]\r\n@=hex(2):41,00,42,00,00,00\r\n"
                                        "[HKEY_CLASSES_ROOT\\B]\r\n@=\"\u20AC\u4E2D\"\r\n");
    RegFileRegistry r;
    ASSERT_TRUE(r.merge(utf16File(file)));
    EXPECT_EQ(read(r, 0, "A"), "AB");
    EXPECT_EQ(read(r, 0, "B"), "\x80?") << "euro sign in the code page, the rest as ?";
}

TEST(RegFile, MergeOrderAndDeletion) {
    RegFileRegistry r;
    ASSERT_TRUE(r.merge("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\A]\r\n@=\"first\"\r\n"
                        "[HKEY_CLASSES_ROOT\\B]\r\n@=\"kept\"\r\n"
                        "[HKEY_CLASSES_ROOT\\C\\Sub]\r\n@=\"sub\"\r\n"));
    ASSERT_TRUE(r.merge("REGEDIT4\r\n[hkey_classes_root\\a]\r\n@=\"second\"\r\n"
                        "[-HKEY_CLASSES_ROOT\\C]\r\n"));
    EXPECT_EQ(read(r, 0, "A"), "second");
    EXPECT_EQ(read(r, 0, "B"), "kept");
    EXPECT_EQ(read(r, 0, "C\\Sub"), "<fallback>");
    EXPECT_FALSE(r.merge("not a registry file\r\n[HKEY_CLASSES_ROOT\\A]\r\n@=\"third\"\r\n"));
    EXPECT_FALSE(r.merge(QByteArray()));
    EXPECT_EQ(read(r, 0, "A"), "second") << "a rejected file merges nothing";
}

TEST(RegFile, ClassesRootIsTheMergedView) {
    RegFileRegistry r;
    ASSERT_TRUE(r.merge("REGEDIT4\r\n"
                        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\Machine]\r\n@=\"m\"\r\n"
                        "[HKEY_LOCAL_MACHINE\\Software\\Classes\\Both]\r\n@=\"machine\"\r\n"
                        "[HKEY_CURRENT_USER\\Software\\Classes\\Both]\r\n@=\"user\"\r\n"));
    EXPECT_EQ(read(r, 0, "Machine"), "m");
    EXPECT_EQ(read(r, 7, "Both"), "user") << "any other selector is the classes root";
    EXPECT_EQ(read(r, 2, "Software\\Classes\\Both"), "machine");
}

TEST(RegFile, StandardFilesAndEnvironment) {
    QTemporaryDir dir;
    const QString user = dir.filePath("user.reg");
    {
        QFile f(user);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\VelmarisInternetClient2.ZLInetCli\\Clsid]\r\n"
                "@=\"{00000000-0000-0000-0000-000000000001}\"\r\n");
    }
    qputenv("ZELPDEV2K_REGISTRY", user.toLocal8Bit());
    const auto r = RegFileRegistry::loadStandard();
    qunsetenv("ZELPDEV2K_REGISTRY");
    EXPECT_EQ(read(*r, 0, "VelmarisInternetClient2.ZLInetCli\\Clsid"),
              "{00000000-0000-0000-0000-000000000001}")
        << "the user's file overrides the built-in one";
    EXPECT_EQ(read(*r, 0, "VelmarisInternetClient2.ZLInetSafeCli\\Clsid"),
              "{7F1351CE-90DD-411B-868D-E1BAA3CEBDA8}")
        << "the built-in file registers the bundled clients";
    EXPECT_EQ(read(*r, 0, "ZlGUIServer.ZlGUISvr\\Clsid"), "<fallback>")
        << "the GUI server is not registered by default";
}

TEST(RegFile, RefusesWhatIsNoSmallRegularFileAndLogsWhy) {
    ServiceScope scope;
    const QString fifo = scope.dir.filePath("pipe.reg");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = scope.dir.filePath("big.reg");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("REGEDIT4\r\n");
        ASSERT_TRUE(f.resize(RegFileRegistry::kMaxFileSize + 1)); // sparse
    }
    const QString bad = scope.dir.filePath("bad.reg");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[HKEY_CLASSES_ROOT\\A]\r\n@=\"x\"\r\n");
    }
    const std::pair<QString, const char *> cases[] = {
        {QStringLiteral("/dev/zero"), "not a regular file"},
        {fifo, "not a regular file"},
        {scope.dir.path(), "not a regular file"},
        {big, "larger than 16777216 bytes"},
        {scope.dir.filePath("missing.reg"), "No such file"},
        {bad, "not a registry export file"},
    };
    for (const auto &[path, reason] : cases) {
        RegFileRegistry r;
        EXPECT_FALSE(r.mergeFile(path)) << path.toStdString();
        EXPECT_TRUE(
            scope.log().contains(path + QStringLiteral(" ignored: ") + QString::fromLatin1(reason)))
            << path.toStdString() << "\n"
            << scope.log().toStdString();
    }
    // Started with such a file, the program keeps the built-in registry.
    qputenv("ZELPDEV2K_REGISTRY", "/dev/zero");
    const auto r = RegFileRegistry::loadStandard();
    qunsetenv("ZELPDEV2K_REGISTRY");
    EXPECT_EQ(read(*r, 0, "VelmarisInternetClient2.ZLInetSafeCli\\Clsid"),
              "{7F1351CE-90DD-411B-868D-E1BAA3CEBDA8}");
    EXPECT_TRUE(scope.errors.reports.empty());
}

TEST(ReadRegistryValue, NeverFailsAndRestoresTheDepth) {
    class Broken : public Registry {
    public:
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

} // namespace
} // namespace zelp::test
