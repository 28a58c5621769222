#include "files/htmlfilename.h"
#include "files/launchpage.h"
#include "files/pageurl.h"

#include "app/regfile.h"
#include "common/errhndlr.h"
#include "common/fileutil.h"
#include "support/testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zelp {
namespace {

const QString kTestDir = QStringLiteral(ZELP_FILES_TEST_DIR);

// A registry from the test export plus extra REGEDIT4 lines.
RegFileRegistry testRegistry(const QByteArray &extra = {}) {
    RegFileRegistry registry;
    EXPECT_TRUE(registry.mergeFile(kTestDir + QStringLiteral("/data/classes.reg")));
    if (!extra.isEmpty()) {
        EXPECT_TRUE(registry.merge("REGEDIT4\r\n\r\n" + extra));
    }
    return registry;
}

class LaunchPageTest : public ::testing::Test {
protected:
    test::ServiceScope services;
    QTemporaryDir web;

    QString inWeb(const QString &name) const { return web.filePath(name); }

    // The page written by hand, with the download server the build was configured with.
    static QByteArray expected(const char *name) {
        QByteArray page =
            ReadWholeFile(kTestDir + QStringLiteral("/expected/") + QString::fromLatin1(name));
        EXPECT_FALSE(page.isEmpty()) << name;
        return page.replace("https://download.velmaris.example", ZELP_DOWNLOAD_BASE_CONFIGURED);
    }

    // The Internet page without GUI for a connection of that name, beside it.
    QByteArray pageFor(const QString &connectionName) {
        const QString connection = inWeb(connectionName);
        LaunchPageState page{htmlFileNameFor(connection), false, false};
        EXPECT_TRUE(GenerateLaunchPage(page, connection, true, testRegistry()));
        return ReadWholeFile(page.fileName);
    }
};

TEST_F(LaunchPageTest, WritesTheTemplatesFilledIn) {
    struct Case {
        bool intranet;
        bool gui;
        bool safe;
        const char *expected;
    };
    const Case cases[] = {
        {false, false, true, "internet_safe.htm"},
        {false, true, true, "internet_safe_gui.htm"},
        {false, false, false, "internet_unsafe.htm"},
        {false, true, false, "internet_unsafe_gui.htm"},
        {true, false, true, "intranet_safe.htm"},
        {true, true, true, "intranet_safe_gui.htm"},
        {true, false, false, "intranet_unsafe.htm"},
        {true, true, false, "intranet_unsafe_gui.htm"},
    };
    const RegFileRegistry registry = testRegistry();
    for (const Case &c : cases) {
        LaunchPageState page{inWeb(QStringLiteral("Sales.htm")), c.intranet, c.gui};
        EXPECT_TRUE(GenerateLaunchPage(page, inWeb(QStringLiteral("Sales.ats")), c.safe, registry))
            << c.expected;
        EXPECT_EQ(ReadWholeFile(page.fileName), expected(c.expected)) << c.expected;
        EXPECT_EQ(page.fileName, inWeb(QStringLiteral("Sales.htm")));
    }
    EXPECT_TRUE(services.messages.asked.empty());
    EXPECT_EQ(ErrHndlr::quietDepth(), 0);
}

TEST_F(LaunchPageTest, RegisteredGuiVersionIsUsed) {
    const RegFileRegistry registry =
        testRegistry("[HKEY_CLASSES_ROOT\\CLSID\\{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\\"
                     "InstalledVersion]\r\n@=\"3,1,0,7\"\r\n");
    LaunchPageState page{inWeb(QStringLiteral("Sales.htm")), true, true};
    ASSERT_TRUE(GenerateLaunchPage(page, inWeb(QStringLiteral("Sales.ats")), false, registry));
    EXPECT_TRUE(ReadWholeFile(page.fileName).contains("zlguisvr_install.cab#version=3,1,0,7"));
}

TEST_F(LaunchPageTest, PlaceholdersMatchWithoutRegardToCase) {
    LaunchPageState page{inWeb(QStringLiteral("Sales.htm")), false, false};
    ASSERT_TRUE(GenerateLaunchPageFrom("%zelp_guid%|%Safety%|%ZELP_htm%|%zelp_VBD%\r\n", page,
                                       inWeb(QStringLiteral("Sales.ats")), true, testRegistry()));
    EXPECT_EQ(ReadWholeFile(page.fileName),
              "7F1351CE-90DD-411B-868D-E1BAA3CEBDA8|SAFE|Sales.htm|Sales.ats\r\n");
}

TEST_F(LaunchPageTest, FailuresShowOneMessageAndWriteNoPage) {
    struct Case {
        const char *what;
        QByteArray registry; // replaces the test export when not null
        bool gui;
        QString connection;
        QString pageFile;
        QString message;
    };
    const QString sales = QStringLiteral("Sales.ats");
    const QString salesPage = QStringLiteral("Sales.htm");
    const Case cases[] = {
        {"client not registered", "REGEDIT4\r\n", false, sales, salesPage,
         QString::fromLatin1(LaunchPageText::kNoClientClass)},
        {"GUI server not registered",
         "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\VelmarisInternetClient2.ZLInetSafeCli\\Clsid]\r\n"
         "@=\"7F1351CE-90DD-411B-868D-E1BAA3CEBDA8\"\r\n",
         true, sales, salesPage, QString::fromLatin1(LaunchPageText::kNoGuiClass)},
        {"page name that of the connection",
         {},
         false,
         sales,
         sales,
         QString::fromLatin1(LaunchPageText::kPageIsConnection)},
        {"registered value with markup",
         "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\VelmarisInternetClient2.ZLInetSafeCli\\Clsid]\r\n"
         "@=\"7F13\\\"><script>x</script>\"\r\n",
         false, sales, salesPage,
         QStringLiteral("Unable to generate HTML file - the registered value of "
                        "VelmarisInternetClient2.ZLInetSafeCli\\Clsid cannot be put into a web "
                        "page!")},
    };
    for (const Case &c : cases) {
        services.messages.asked.clear();
        RegFileRegistry registry = testRegistry();
        if (!c.registry.isNull()) {
            registry = RegFileRegistry();
            ASSERT_TRUE(registry.merge(c.registry)) << c.what;
        }
        LaunchPageState page{inWeb(c.pageFile), false, c.gui};
        EXPECT_FALSE(GenerateLaunchPage(page, inWeb(c.connection), true, registry)) << c.what;
        ASSERT_EQ(services.messages.asked.size(), 1u) << c.what;
        EXPECT_EQ(services.messages.asked[0].text, c.message) << c.what;
        EXPECT_EQ(services.messages.asked[0].style, 49) << c.what;
        EXPECT_EQ(page.fileName, inWeb(c.pageFile)) << c.what;
        EXPECT_FALSE(FileExists(inWeb(c.pageFile))) << c.what;
        EXPECT_EQ(ErrHndlr::quietDepth(), 0) << c.what;
    }
}

TEST_F(LaunchPageTest, MissingTemplateAndFailedWrite) {
    LaunchPageState page{inWeb(QStringLiteral("Sales.htm")), false, false};
    EXPECT_FALSE(
        GenerateLaunchPageFrom({}, page, inWeb(QStringLiteral("Sales.ats")), true, testRegistry()));
    EXPECT_EQ(page.fileName, inWeb(QStringLiteral("Sales.htm")));

    const QString unwritable = inWeb(QStringLiteral("missing/Sales.htm"));
    page.fileName = unwritable;
    EXPECT_FALSE(
        GenerateLaunchPage(page, inWeb(QStringLiteral("Sales.ats")), true, testRegistry()));
    EXPECT_TRUE(page.fileName.isEmpty());

    ASSERT_EQ(services.messages.asked.size(), 2u);
    EXPECT_EQ(services.messages.asked[0].text,
              QString::fromLatin1(LaunchPageText::kMissingTemplate));
    EXPECT_EQ(services.messages.asked[1].text,
              QStringLiteral("Unable to write file ") + unwritable +
                  QStringLiteral(":\r\nNo such file or directory"));
    EXPECT_EQ(services.messages.asked[1].style, 49);
}

TEST_F(LaunchPageTest, NeverReplacesTheConnectionFile) {
    const QString connection = inWeb(QStringLiteral("Sales.htm"));
    ASSERT_TRUE(WriteWholeFile(connection, "connection", true));
    LaunchPageState page{htmlFileNameFor(connection), false, false};
    EXPECT_FALSE(GenerateLaunchPage(page, connection, true, testRegistry()));
    EXPECT_EQ(ReadWholeFile(connection), "connection");
    ASSERT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(services.messages.asked[0].text,
              QString::fromLatin1(LaunchPageText::kPageIsConnection));
}

TEST(PageUrl, EncodesWhatCouldEndAStringOrChangeTheUrl) {
    struct Case {
        const char *name;
        const char *url;
    };
    const Case cases[] = {
        {"Sales.ats", "Sales.ats"},
        {"My Sales (2).ats", "My Sales (2).ats"},
        {"100%.ats", "100%25.ats"},
        {"p%20q.ats", "p%2520q.ats"},
        {"Caf\xc3\xa9 \xe2\x82\xac.ats", "Caf\xc3\xa9 \xe2\x82\xac.ats"},
        {"\xe6\x97\xa5.ats", "%E6%97%A5.ats"},
        {"O'Brien & \"Son\".ats", "O%27Brien %26 %22Son%22.ats"},
        {"<b>\\x.ats", "%3Cb%3E%5Cx.ats"},
        {"a#b?c.ats", "a%23b%3Fc.ats"},
        {"a\r\nb\tc\x7f.ats", "a%0D%0Ab%09c%7F.ats"},
        {"x-->y.ats", "x--%3Ey.ats"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(pageUrlOf(QString::fromUtf8(c.name)), QString::fromUtf8(c.url)) << c.name;
    }
}

TEST_F(LaunchPageTest, FileNamesCannotAddMarkupOrScript) {
    const QByteArray reference = pageFor(QStringLiteral("Sales.ats"));
    const char *names[] = {
        "a\"b.ats",        "O'Brien.ats",
        "a<b>c.ats",       "a&quot;b.ats",
        "a\\b.ats",        "a\nb.ats",
        "x-->y.ats",       "<script>alert(1)<.ats",
        "<!--.ats",        "a'); alert(1); ('.ats",
        "x%ZELP_VBD%.ats", // encoded, so the name is no placeholder
    };
    for (const char *name : names) {
        const QString connection = QString::fromUtf8(name);
        const QByteArray page = pageFor(connection);
        for (const char special : QByteArray("\"'<>&\\\n")) {
            EXPECT_EQ(page.count(special), reference.count(special)) << name << " " << special;
        }
        const QByteArray url = pageUrlOf(connection).toLatin1();
        EXPECT_TRUE(page.contains("Location.Replace \"" + url + "\"")) << name;
    }
    EXPECT_TRUE(services.messages.asked.empty());
}

TEST_F(LaunchPageTest, PageIsWrittenInTheSingleByteCodePage) {
    const QByteArray page = pageFor(QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac.ats"));
    EXPECT_TRUE(page.contains("Location.Replace \"Caf\xe9 \x80.ats\""));
    EXPECT_TRUE(page.contains("window.open('Caf\xe9 \x80.htm','demo_window');"));
}

TEST(stripBraces, DropsOneLeadingAndOneTrailingBrace) {
    const std::pair<const char *, const char *> cases[] = {
        {"{ABC}", "ABC"},     {"ABC", "ABC"},     {"{ABC", "ABC"}, {"ABC}", "ABC"},
        {"{{ABC}}", "{ABC}"}, {"}ABC{", "}ABC{"}, {"{", ""},       {"{}", ""},
    };
    for (const auto &[in, out] : cases) {
        EXPECT_EQ(stripBraces(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
    }
}

} // namespace
} // namespace zelp
