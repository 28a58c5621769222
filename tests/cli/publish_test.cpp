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
    const QString usage = "zelpdev2k-cli publish FILE [--html PAGE]";
    const struct {
        const char *line;
        bool guiRegistered;
        int exitCode;
        QString err;  // part of stderr; empty: stderr is empty
        QString page; // written; empty: no page anywhere
        QStringList pageHolds;
    } cases[] = {
        {"", false, 2, usage, {}, {}},
        {"Sales.ats Unsafe.ats", false, 2, usage, {}, {}},
        {"Sales.ats --web", false, 2, usage, {}, {}},
        {"Sales.ats --html", false, 2, usage, {}, {}},
        {"missing.ats", false, 1, "zelpdev2k-cli: missing.ats: no such file", {}, {}},
        {"notes.txt", false, 1, "zelpdev2k-cli: notes.txt: not a connection file", {}, {}},
        {"old.ats",
         false,
         1,
         "zelpdev2k-cli: old.ats: not a Velmaris 2000 connection file (root class "
         "{F24D6911-69D1-11D2-AB7F-0040055A85C2})",
         {},
         {}},
        {"Sales.ats",
         false,
         0,
         {},
         "Sales.htm",
         {"<!-- the SAFE Velmaris emulator -->", "CLSID:7F1351CE-90DD-411B-868D-E1BAA3CEBDA8",
          "zelpins2.cab#version=4,0,132,0", "window.open('Sales.htm','demo_window');",
          "Location.Replace \"Sales.ats\""}},
        {"--gui Unsafe.ats --intranet",
         true,
         0,
         {},
         "Unsafe.htm",
         {"<!-- the UNSAFE Velmaris emulator -->", "CLSID:E4301D8E-D460-4073-B7DA-600C33F38A01",
          "\"zelpcli2.cab#version=4,0,132,0\"", "CLSID:5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10",
          "\"zlguisvr_install.cab#version=1,0,0,0\"", "Window.Open \"Unsafe.ats\",\"zelpcli\""}},
        {"Sales.ats --html pages/Launch.htm",
         false,
         0,
         {},
         "pages/Launch.htm",
         {"window.open('Launch.htm','demo_window');"}},
        {"Sales.ats --gui",
         false,
         1,
         "zelpdev2k-cli: Unable to generate HTML file - unable to find GUID (GUI)!\n",
         {},
         {}},
        {"x%ZELP_VBD%.ats",
         false,
         0,
         {},
         "x%ZELP_VBD%.htm",
         {"Location.Replace \"x%25ZELP_VBD%25.ats\""}},
        {"Sales.ats --html missing/x.htm",
         false,
         1,
         "zelpdev2k-cli: Unable to write file " + path("missing/x.htm"),
         {},
         {}},
        {"Sales.ats --html Sales.ats",
         false,
         1,
         "zelpdev2k-cli: Unable to generate HTML file - the HTML file name is that of the "
         "connection file!",
         {},
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        put("registry.reg", "REGEDIT4\r\n\r\n" + (c.guiRegistered ? gui : ""));
        const CliResult r =
            runCli(QStringList{"publish"} + argv(c.line), 0, dir.path(), path("registry.reg"));
        const QString err = QString::fromLocal8Bit(r.err);
        EXPECT_EQ(r.exitCode, c.exitCode) << err.toStdString();
        if (c.err.isEmpty()) {
            EXPECT_EQ(err, QString());
        } else {
            EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
        }
        EXPECT_EQ(pages(), c.page.isEmpty() ? QStringList() : QStringList{c.page});
        EXPECT_EQ(QString::fromLocal8Bit(r.out),
                  c.page.isEmpty() ? QString() : path(c.page) + u'\n');
        const QByteArray page = bytes(c.page);
        for (const QString &part : c.pageHolds) {
            EXPECT_TRUE(page.contains(part.toLatin1())) << part.toStdString();
        }
        QFile::remove(path(c.page));
    }
    EXPECT_EQ(bytes("Sales.ats"), templateResource(kTemplateSafeConnection));
}

} // namespace
} // namespace zelp::test
