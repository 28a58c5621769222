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
    EXPECT_TRUE(extra.isEmpty() || registry.merge("REGEDIT4\r\n\r\n" + extra));
    return registry;
}

// The page written by hand for the safe client with the GUI server, with the download server
// the build was configured with. Without the GUI server its object is missing; the unsafe
// client differs in its class identifier, its version and a comment.
QByteArray expectedPage(bool intranet, bool gui, bool safe) {
    QByteArray page = ReadWholeFile(
        kTestDir +
        QStringLiteral("/expected/%1_safe_gui.htm").arg(intranet ? "intranet" : "internet"));
    page.replace("https://download.velmaris.example", ZELP_DOWNLOAD_BASE_CONFIGURED);
    const qsizetype at = page.indexOf("<object ID=\"ZLGUI\"");
    EXPECT_GT(at, 0);
    if (!gui) {
        page.remove(at, page.indexOf("</object>\r\n\r\n", at) + 13 - at);
    }
    if (!safe) {
        page.replace("7F1351CE-90DD-411B-868D-E1BAA3CEBDA8", "E4301D8E-D460-4073-B7DA-600C33F38A01")
            .replace("the SAFE", "the UNSAFE")
            .replace("version=4,0,132,0", "version=2,0,0,0");
    }
    return page;
}

class LaunchPageTest : public ::testing::Test {
protected:
    test::ServiceScope services;
    QTemporaryDir web;
    QString inWeb(const QString &name) const { return web.filePath(name); }
    const QString sales = inWeb(QStringLiteral("Sales.ats"));
    const QString salesPage = inWeb(QStringLiteral("Sales.htm"));

    // The Internet page without GUI for a connection of that name, beside it.
    QByteArray pageFor(const QString &connectionName) {
        const QString connection = inWeb(connectionName);
        LaunchPageState page{htmlFileNameFor(connection), false, false};
        EXPECT_TRUE(GenerateLaunchPage(page, connection, true, testRegistry()));
        return ReadWholeFile(page.fileName);
    }
};

TEST_F(LaunchPageTest, WritesTheTemplatesFilledIn) {
    const RegFileRegistry registry = testRegistry();
    for (const bool intranet : {false, true}) {
        for (const bool gui : {false, true}) {
            for (const bool safe : {true, false}) {
                SCOPED_TRACE(testing::Message() << intranet << gui << safe);
                LaunchPageState page{salesPage, intranet, gui};
                EXPECT_TRUE(GenerateLaunchPage(page, sales, safe, registry));
                EXPECT_EQ(ReadWholeFile(page.fileName), expectedPage(intranet, gui, safe));
                EXPECT_EQ(page.fileName, salesPage);
            }
        }
    }
    EXPECT_TRUE(services.messages.asked.empty());
    EXPECT_EQ(ErrHndlr::quietDepth(), 0);

    const RegFileRegistry versioned =
        testRegistry("[HKEY_CLASSES_ROOT\\CLSID\\{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\\"
                     "InstalledVersion]\r\n@=\"3,1,0,7\"\r\n");
    LaunchPageState page{salesPage, true, true};
    ASSERT_TRUE(GenerateLaunchPage(page, sales, false, versioned));
    EXPECT_TRUE(ReadWholeFile(page.fileName).contains("zlguisvr_install.cab#version=3,1,0,7"));

    ASSERT_TRUE(GenerateLaunchPageFrom("%zelp_guid%|%Safety%|%ZELP_htm%|%zelp_VBD%\r\n", page,
                                       sales, true, registry));
    EXPECT_EQ(ReadWholeFile(page.fileName),
              "7F1351CE-90DD-411B-868D-E1BAA3CEBDA8|SAFE|Sales.htm|Sales.ats\r\n")
        << "placeholders match without regard to case";
}

TEST_F(LaunchPageTest, FailuresShowOneMessageAndWriteNoPage) {
    const QByteArray safeClient =
        "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\VelmarisInternetClient2.ZLInetSafeCli\\Clsid]\r\n@=";
    const QString unwritable = inWeb(QStringLiteral("missing/Sales.htm"));
    const QString writeFailed =
        "Unable to write file " + unwritable + ":\r\nNo such file or directory";
    // the registry (null: the test export), GUI, connection, page (empty: emptied), message
    const std::tuple<QByteArray, bool, QString, QString, QString> cases[] = {
        {"REGEDIT4\r\n", false, sales, salesPage, LaunchPageText::kNoClientClass},
        {safeClient + "\"7F1351CE-90DD-411B-868D-E1BAA3CEBDA8\"\r\n", true, sales, salesPage,
         LaunchPageText::kNoGuiClass},
        {{}, false, salesPage, salesPage, LaunchPageText::kPageIsConnection},
        {safeClient + "\"7F13\\\"><script>x</script>\"\r\n", false, sales, salesPage,
         "Unable to generate HTML file - the registered value of "
         "VelmarisInternetClient2.ZLInetSafeCli\\Clsid cannot be put into a web page!"},
        {{}, false, sales, QString(), writeFailed},
    };
    ASSERT_TRUE(WriteWholeFile(salesPage, "connection", true));
    for (const auto &[text, gui, connection, kept, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        services.messages.asked.clear();
        RegFileRegistry registry = text.isNull() ? testRegistry() : RegFileRegistry();
        ASSERT_TRUE(text.isNull() || registry.merge(text));
        LaunchPageState page{kept.isEmpty() ? unwritable : salesPage, false, gui};
        EXPECT_FALSE(GenerateLaunchPage(page, connection, true, registry));
        ASSERT_EQ(services.messages.asked.size(), 1u);
        EXPECT_EQ(services.messages.asked[0].text, message);
        EXPECT_EQ(services.messages.asked[0].style, 49);
        EXPECT_EQ(page.fileName, kept);
        EXPECT_EQ(ReadWholeFile(salesPage), "connection") << "an existing page is kept";
        EXPECT_EQ(ErrHndlr::quietDepth(), 0);
    }
    services.messages.asked.clear();
    LaunchPageState page{salesPage, false, false};
    EXPECT_FALSE(GenerateLaunchPageFrom({}, page, sales, true, testRegistry()));
    EXPECT_EQ(page.fileName, salesPage);
    ASSERT_EQ(services.messages.asked.size(), 1u);
    EXPECT_EQ(services.messages.asked[0].text, LaunchPageText::kMissingTemplate);
}

TEST_F(LaunchPageTest, FileNamesBecomeUrlsThatCannotAddMarkupOrScript) {
    const QByteArray reference = pageFor(QStringLiteral("Sales.ats"));
    // a connection's name; its URL in the page, in the page's single-byte code page
    const std::pair<const char *, QByteArray> cases[] = {
        {"My Sales (2).ats", "My Sales (2).ats"},
        {"100%.ats", "100%25.ats"},
        {"p%20q.ats", "p%2520q.ats"},
        {"x%ZELP_VBD%.ats", "x%25ZELP_VBD%25.ats"},
        {"Caf\xc3\xa9 \xe2\x82\xac.ats", "Caf\xe9 \x80.ats"},
        {"\xe6\x97\xa5.ats", "%E6%97%A5.ats"},
        {"O'Brien & \"Son\".ats", "O%27Brien %26 %22Son%22.ats"},
        {"<b>\\x.ats", "%3Cb%3E%5Cx.ats"},
        {"a#b?c.ats", "a%23b%3Fc.ats"},
        {"a\r\nb\tc\x7f.ats", "a%0D%0Ab%09c%7F.ats"},
        {"x-->y.ats", "x--%3Ey.ats"},
        {"<script>alert(1)<.ats", "%3Cscript%3Ealert(1)%3C.ats"},
        {"a'); alert(1); ('.ats", "a%27); alert(1); (%27.ats"},
    };
    for (const auto &[name, url] : cases) {
        const QByteArray page = pageFor(QString::fromUtf8(name));
        for (const char special : QByteArray("\"'<>&\\\n")) {
            EXPECT_EQ(page.count(special), reference.count(special)) << name << " " << special;
        }
        EXPECT_TRUE(page.contains("Location.Replace \"" + url + "\"")) << name;
        EXPECT_TRUE(page.contains("window.open('" + url.chopped(3) + "htm','demo_window');"))
            << name;
    }
    EXPECT_TRUE(services.messages.asked.empty());
}

TEST(PageNames, PagesBesideAndClassIds) {
    // The offered name: the last dot of the whole path counts; beside: only the file name's.
    const std::tuple<const char *, const char *, const char *> pages[] = {
        {"C:\\web\\Sales.ats", "C:\\web\\Sales.htm", nullptr},
        {"C:\\rel.2\\Sales", "C:\\rel.htm", nullptr},
        {"/srv/rel.2/Sales", "/srv/rel.htm", "/srv/rel.2/Sales.htm"},
        {"/srv/rel.2/a.b.ats", "/srv/rel.2/a.b.htm", "/srv/rel.2/a.b.htm"},
        {"/srv/web/Sales.", "/srv/web/Sales.htm", nullptr},
        {"Sales", "Sales.htm", "Sales.htm"},
        {"", ".htm", nullptr},
    };
    for (const auto &[connection, offered, beside] : pages) {
        EXPECT_EQ(htmlFileNameFor(QString::fromUtf8(connection)), QString::fromUtf8(offered));
        if (beside) {
            EXPECT_EQ(pageFileBeside(QString::fromUtf8(connection)), QString::fromUtf8(beside));
        }
    }
    const std::pair<const char *, const char *> ids[] = {
        {"{ABC}", "ABC"},     {"ABC", "ABC"},     {"{ABC", "ABC"}, {"ABC}", "ABC"},
        {"{{ABC}}", "{ABC}"}, {"}ABC{", "}ABC{"}, {"{", ""},       {"{}", ""},
    };
    for (const auto &[in, out] : ids) {
        EXPECT_EQ(stripBraces(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
    }
}

} // namespace
} // namespace zelp
