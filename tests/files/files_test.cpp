#include "client/core/clientclasses.h"
#include "files/htmlfilename.h"
#include "files/launchpage.h"
#include "files/pagetext.h"
#include "files/pageurl.h"
#include "files/resources.h"
#include "files/strings.h"

#include "app/regfile.h"
#include "common/errhndlr.h"
#include "common/errors.h"
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
    const QString sales = web.filePath("Sales.ats"), salesPage = web.filePath("Sales.htm");

    // The Internet page without GUI for a connection of that name, beside it.
    QByteArray pageFor(const QString &connectionName) {
        const QString connection = web.filePath(connectionName);
        LaunchPageState page{htmlFileNameFor(connection), false, false};
        EXPECT_TRUE(GenerateLaunchPage(page, connection, true, testRegistry()));
        return ReadWholeFile(page.fileName);
    }
};

TEST_F(LaunchPageTest, WritesTheTemplatesFilledIn) {
    const RegFileRegistry registry = testRegistry();
    for (int i = 0; i < 8; ++i) {
        const bool intranet = i & 4, gui = i & 2, safe = i & 1;
        SCOPED_TRACE(testing::Message() << intranet << gui << safe);
        LaunchPageState page{salesPage, intranet, gui};
        EXPECT_TRUE(GenerateLaunchPage(page, sales, safe, registry));
        EXPECT_EQ(ReadWholeFile(page.fileName), expectedPage(intranet, gui, safe));
        EXPECT_EQ(page.fileName, salesPage);
    }
    EXPECT_TRUE(services.messages.asked.empty());
    EXPECT_EQ(ErrHndlr::quietDepth(), 0);
    const RegFileRegistry versioned =
        testRegistry("[HKEY_CLASSES_ROOT\\CLSID\\{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\\"
                     "InstalledVersion]\r\n@=\"3,1,0,7\"\r\n");
    LaunchPageState page{salesPage, true, true};
    ASSERT_TRUE(GenerateLaunchPage(page, sales, false, versioned));
    EXPECT_TRUE(ReadWholeFile(page.fileName).contains("zlguisvr_install.cab#version=3,1,0,7"));
}

TEST_F(LaunchPageTest, FailuresShowOneMessageAndWriteNoPage) {
    const QByteArray safeClient =
        "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\VelmarisInternetClient2.ZLInetSafeCli\\Clsid]\r\n@=";
    const QString unwritable = web.filePath("missing/Sales.htm");
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
        {{}, false, sales, salesPage, LaunchPageText::kMissingTemplate}, // an empty template
    };
    const QByteArray internet = templateResource(kTemplateInternetPage);
    ASSERT_TRUE(WriteWholeFile(salesPage, "connection"));
    for (const auto &[text, gui, connection, kept, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        services.messages.asked.clear();
        RegFileRegistry registry = text.isNull() ? testRegistry() : RegFileRegistry();
        ASSERT_TRUE(text.isNull() || registry.merge(text));
        LaunchPageState page{kept.isEmpty() ? unwritable : salesPage, false, gui};
        const bool empty = message == LaunchPageText::kMissingTemplate;
        EXPECT_FALSE(
            GenerateLaunchPageFrom(empty ? "" : internet, page, connection, true, registry));
        ASSERT_EQ(services.messages.asked.size(), 1u);
        EXPECT_EQ(services.messages.asked[0].text, message);
        EXPECT_EQ(services.messages.asked[0].style, 49);
        EXPECT_EQ(page.fileName, kept);
        EXPECT_EQ(ReadWholeFile(salesPage), "connection") << "an existing page is kept";
        EXPECT_EQ(ErrHndlr::quietDepth(), 0);
    }
}

TEST_F(LaunchPageTest, FileNamesBecomeUrlsThatCannotAddMarkupOrScript) {
    const QByteArray reference = pageFor(QStringLiteral("Sales.ats"));
    // a connection's name; its URL in the page, in the page's single-byte code page
    const std::pair<const char *, QByteArray> cases[] = {
        {"My Sales (2).ats", "My Sales (2).ats"},
        {"p%20q.ats", "p%2520q.ats"},
        {"x%ZELP_VBD%.ats", "x%25ZELP_VBD%25.ats"},
        {"Caf\xc3\xa9 \xe2\x82\xac.ats", "Caf\xe9 \x80.ats"},
        {"\xe6\x97\xa5.ats", "%E6%97%A5.ats"},
        {"O'Brien & \"Son\".ats", "O%27Brien %26 %22Son%22.ats"},
        {"<b>\\x.ats", "%3Cb%3E%5Cx.ats"},
        {"a#b?c.ats", "a%23b%3Fc.ats"},
        {"a\r\nb\tc\x7f.ats", "a%0D%0Ab%09c%7F.ats"},
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
}

TEST(PageNames, PagesBesideAndClassIds) {
    // The offered name: the last dot of the whole path counts; beside: only the file name's.
    const std::tuple<const char *, const char *, const char *> pages[] = {
        {"C:\\web\\Sales.ats", "C:\\web\\Sales.htm", nullptr},
        {"/srv/rel.2/Sales", "/srv/rel.htm", "/srv/rel.2/Sales.htm"},
        {"/srv/rel.2/a.b.ats", "/srv/rel.2/a.b.htm", "/srv/rel.2/a.b.htm"},
        {"/srv/web/Sales.", "/srv/web/Sales.htm", nullptr},
        {"Sales", "Sales.htm", "Sales.htm"},
        {"", ".htm", nullptr},
    };
    for (const auto &[connection, offered, beside] : pages) {
        EXPECT_EQ(htmlFileNameFor(QString::fromUtf8(connection)), QString::fromUtf8(offered));
        EXPECT_EQ(beside ? pageFileBeside(QString::fromUtf8(connection)) : QString(),
                  QString::fromUtf8(beside));
    }
    const std::pair<const char *, const char *> ids[] = {
        {"{ABC}", "ABC"},     {"ABC", "ABC"},     {"{ABC", "ABC"}, {"ABC}", "ABC"},
        {"{{ABC}}", "{ABC}"}, {"}ABC{", "}ABC{"}, {"{", ""},       {"{}", ""},
    };
    for (const auto &[in, out] : ids) {
        EXPECT_EQ(stripBraces(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
    }
}

// The text with %X% replaced by value, or without a value the first GUI block kept or dropped;
// "error N" when the edit raises one.
QString edited(QString text, const std::optional<QString> &value, bool keep) {
    try {
        value ? ReplacePlaceholder(text, u"X", *value) : ConditionalBlock(text, u"GUI", keep);
    } catch (const RuntimeError &e) {
        return QStringLiteral("error %1").arg(e.number());
    }
    return text;
}

TEST(PageText, PlaceholdersAndTheFirstConditionalBlockWithSixteenBitPositions) {
    const QString token = QStringLiteral("%X%"), dots(32767, QLatin1Char('.'));
    const QString overflow = QStringLiteral("error %1").arg(ErrNum::Overflow);
    // text, the value of %X% (none: the GUI block is kept or dropped); the result
    const std::tuple<QString, std::optional<QString>, bool, QString> cases[] = {
        {"a%X%b%X%c", "1", false, "a1b1c"},
        {"%x%/%X%", "G", false, "G/G"},
        {"%X", "1", false, "%X"},
        {"%%X%X%%", "", false, "%"},
        {"%X%X%", "%", false, "%"},   // the first replacement forms a new token with what follows
        {"%X%", "%B%", false, "%B%"}, // another placeholder's token is left for that one
        {"a\r\n%<GUI%\r\nb\r\n%GUI>%\r\nc", std::nullopt, true, "a\r\n\r\nb\r\n\r\nc"},
        {"a\r\n%<GUI%\r\nb\r\n%GUI>%\r\nc", std::nullopt, false, "a\r\n\r\nc"},
        {"a%<gui%b%Gui>%c", std::nullopt, false, "ac"},
        {"a%GUI>%b%<GUI%c", std::nullopt, false, "a%GUI>%b%<GUI%c"},
        {"%<GUI%GUI>%", std::nullopt, false, "%<GUI%GUI>%"},
        {"%<GUI%%GUI>%", std::nullopt, false, ""},
        {"1%<GUI%2%GUI>%3%<GUI%4%GUI>%5", std::nullopt, false, "13%<GUI%4%GUI>%5"},
        {"1%<GUI%2%<GUI%3%GUI>%4", std::nullopt, true, "12%<GUI%34"},
        {dots.mid(1) + token, "", false, dots.mid(1)},
        {dots + token, "", false, overflow},
        {token + dots + dots, "", false, dots + dots}, // no token beyond the limit
        {token.repeated(32767), "", false, ""},
        {token.repeated(32768), "", false, overflow},
        {token, "%x%.ats", false, overflow}, // a value holding its own token
        {dots + "%<GUI%%GUI>%", std::nullopt, true, overflow},
    };
    for (const auto &[text, value, keep, result] : cases) {
        EXPECT_EQ(edited(text, value, keep), result) << text.left(40).toStdString() << keep;
    }
}

TEST(ConnectionTemplates, AreTheFixedCompoundFiles) {
    // template, its class identifier and modification time (little-endian), whether safe
    const std::tuple<int, const char *, const char *, bool> cases[] = {
        {kTemplateUnsafeConnection, "8E1D30E460D47340B7DA600C33F38A01", "00959E94C492C001", false},
        {kTemplateSafeConnection, "CE51137FDD901B41868DE1BAA3CEBDA8", "0077A394C492C001", true},
    };
    QTemporaryDir dir;
    for (const auto &[id, classBytes, modified, safe] : cases) {
        const QByteArray bytes = templateResource(id);
        ASSERT_EQ(bytes.size(), 1536) << id;
        EXPECT_EQ(bytes.mid(1104, 16).toHex().toUpper(), classBytes);
        EXPECT_EQ(bytes.mid(1132, 8).toHex().toUpper(), modified);
        const QString path = dir.filePath(QStringLiteral("t%1.ats").arg(id));
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        EXPECT_EQ(CompoundFile::readRootClassId(path), ClientClasses::classIdFor(safe)) << id;
    }
    // The two differ in the class identifier and the time stamp only.
    QByteArray unsafe = templateResource(kTemplateUnsafeConnection);
    const QByteArray safe = templateResource(kTemplateSafeConnection);
    EXPECT_EQ(unsafe.replace(1104, 16, safe.mid(1104, 16)).replace(1132, 8, safe.mid(1132, 8)),
              safe);
}

TEST(Resources, DefaultScriptInCrLfLinesAndNoUnknownString) {
    const QByteArray script = QByteArray::fromStdString(defaultScript());
    EXPECT_TRUE(script.startsWith("'Velmaris 2000 Internet Edition Sample Script\r\n"));
    EXPECT_TRUE(script.endsWith("\r\n"));
    EXPECT_FALSE(QByteArray(script).replace("\r\n", "").contains('\n'));
    EXPECT_TRUE(stringResource(kStringConnectionSafety + 1).isEmpty()) << "no such string";
}

} // namespace
} // namespace zelp
