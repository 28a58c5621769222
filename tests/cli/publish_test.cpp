#include "clirunner.h"

#include "files/resources.h"

namespace zelp::test {
namespace {

// Connection files of both kinds, a text file and a file of the older generation; the
// companion runs in their folder.
class Publish : public CliFolder {
protected:
    void SetUp() override {
        const QByteArray safe = templateResource(kTemplateSafeConnection);
        put("Sales.ats", safe);
        put("x%ZELP_VBD%.ats", safe);
        put("Unsafe.ats", templateResource(kTemplateUnsafeConnection));
        put("old.ats", QByteArray(safe).replace(
                           1104, 16, QByteArray::fromHex("11694DF2D169D211AB7F0040055A85C2")));
        put("notes.txt", "notes\n");
        ASSERT_TRUE(QDir(dir.path()).mkdir("pages"));
    }
    QStringList pages() const {
        QStringList found;
        for (const char *sub : {".", "pages"}) {
            for (const QString &name : QDir(path(sub)).entryList({"*.htm"}, QDir::Files)) {
                found << QDir::cleanPath(QString::fromLatin1(sub) + u'/' + name);
            }
        }
        return found;
    }
};

TEST_F(Publish, ExitCodesMessagesAndPages) {
    const QByteArray gui = "[HKEY_CLASSES_ROOT\\ZlGUIServer.ZlGUISvr\\Clsid]\r\n"
                           "@=\"{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\"\r\n";
    const char *usage = "zelpdev2k-cli publish FILE [--html PAGE]";
    const struct {
        const char *line;
        bool guiRegistered;
        int exitCode;
        const char *err;       // part of stderr, <dir> for the folder; empty: stderr is empty
        const char *page;      // written; empty: no page anywhere
        const char *pageHolds; // parts, separated by "|"
    } cases[] = {
        {"", false, 2, usage, "", ""},
        {"Sales.ats Unsafe.ats", false, 2, usage, "", ""},
        {"Sales.ats --web", false, 2, usage, "", ""},
        {"Sales.ats --html", false, 2, usage, "", ""},
        {"missing.ats", false, 1, "zelpdev2k-cli: missing.ats: no such file", "", ""},
        {"notes.txt", false, 1, "zelpdev2k-cli: notes.txt: not a connection file", "", ""},
        {"old.ats", false, 1,
         "zelpdev2k-cli: old.ats: not a Velmaris 2000 connection file (root class "
         "{F24D6911-69D1-11D2-AB7F-0040055A85C2})",
         "", ""},
        // The page itself is the generator's; here the kind, the flags and the names arrive.
        {"Sales.ats", false, 0, "", "Sales.htm",
         "<!-- the SAFE Velmaris emulator -->|window.open('Sales.htm','demo_window');"
         "|Location.Replace \"Sales.ats\""},
        {"--gui Unsafe.ats --intranet", true, 0, "", "Unsafe.htm",
         "<!-- the UNSAFE Velmaris emulator -->|CLSID:5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10"
         "|Window.Open \"Unsafe.ats\",\"zelpcli\""},
        {"Sales.ats --html pages/Launch.htm", false, 0, "", "pages/Launch.htm",
         "window.open('Launch.htm','demo_window');"},
        {"Sales.ats --gui", false, 1,
         "zelpdev2k-cli: Unable to generate HTML file - unable to find GUID (GUI)!\n", "", ""},
        {"x%ZELP_VBD%.ats", false, 0, "", "x%ZELP_VBD%.htm",
         "Location.Replace \"x%25ZELP_VBD%25.ats\""},
        {"Sales.ats --html missing/x.htm", false, 1,
         "zelpdev2k-cli: Unable to write file <dir>/missing/x.htm", "", ""},
        {"Sales.ats --html Sales.ats", false, 1,
         "zelpdev2k-cli: Unable to generate HTML file - the HTML file name is that of the "
         "connection file!",
         "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        put("registry.reg", "REGEDIT4\r\n\r\n" + (c.guiRegistered ? gui : ""));
        const CliResult r =
            runCli(QStringList{"publish"} + argv(c.line), 0, dir.path(), path("registry.reg"));
        const QString err = QString::fromLocal8Bit(r.err), page = c.page;
        EXPECT_EQ(r.exitCode, c.exitCode) << err.toStdString();
        EXPECT_TRUE(*c.err ? err.contains(QString(c.err).replace("<dir>", dir.path())) : err == "")
            << err.toStdString();
        EXPECT_EQ(pages(), page.isEmpty() ? QStringList() : QStringList{page});
        EXPECT_EQ(QString::fromLocal8Bit(r.out), page.isEmpty() ? "" : path(page) + u'\n');
        for (const QString &part : QString(c.pageHolds).split(u'|', Qt::SkipEmptyParts)) {
            EXPECT_TRUE(bytes(page).contains(part.toLatin1())) << part.toStdString();
        }
        QFile::remove(path(page));
    }
    EXPECT_EQ(bytes("Sales.ats"), templateResource(kTemplateSafeConnection));
}

} // namespace
} // namespace zelp::test
