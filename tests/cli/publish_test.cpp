#include "files/resources.h"

#include "common/fileutil.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zelp {
namespace {

const QByteArray kGuiServer = "[HKEY_CLASSES_ROOT\\ZlGUIServer.ZlGUISvr\\Clsid]\r\n"
                              "@=\"{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\"\r\n";

struct Case {
    const char *what;
    QStringList args;
    bool guiRegistered;
    int exitCode;
    QString errorText; // on stderr; empty: stderr is empty
    QString page;      // written, relative to the folder; empty: no page anywhere
    QStringList pageHolds;
};

// A folder with connection files of both kinds, a text file and a file of the older
// generation; the companion runs in it.
class PublishTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override {
        const QByteArray safe = templateResource(kTemplateSafeConnection);
        QByteArray older = safe;
        older.replace(1104, 16, QByteArray::fromHex("11694DF2D169D211AB7F0040055A85C2"));
        ASSERT_TRUE(WriteWholeFile(path("Sales.ats"), safe, true));
        ASSERT_TRUE(WriteWholeFile(path("x%ZELP_VBD%.ats"), safe, true));
        ASSERT_TRUE(
            WriteWholeFile(path("Unsafe.ats"), templateResource(kTemplateUnsafeConnection), true));
        ASSERT_TRUE(WriteWholeFile(path("old.ats"), older, true));
        ASSERT_TRUE(WriteWholeFile(path("notes.txt"), "notes\n", true));
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("pages")));
    }

    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

    QStringList htmlFiles() const {
        QStringList found;
        for (const QString &sub : {QStringLiteral("."), QStringLiteral("pages")}) {
            for (const QString &name :
                 QDir(dir.filePath(sub)).entryList({QStringLiteral("*.htm")}, QDir::Files)) {
                found << QDir::cleanPath(sub + QLatin1Char('/') + name);
            }
        }
        return found;
    }

    void run(const Case &c) {
        const QString registry = dir.filePath(QStringLiteral("registry.reg"));
        ASSERT_TRUE(WriteWholeFile(registry,
                                   "REGEDIT4\r\n\r\n" + (c.guiRegistered ? kGuiServer : ""), true));
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZELPDEV2K_REGISTRY"), registry);
        cli.setProcessEnvironment(env);
        cli.setWorkingDirectory(dir.path());
        cli.start(QStringLiteral(ZELP_CLI), QStringList{QStringLiteral("publish")} + c.args);
        ASSERT_TRUE(cli.waitForFinished(60000)) << c.what;
        const QString out = QString::fromLocal8Bit(cli.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(cli.readAllStandardError());
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit) << c.what;
        EXPECT_EQ(cli.exitCode(), c.exitCode) << c.what << "\n" << err.toStdString();
        if (c.errorText.isEmpty()) {
            EXPECT_EQ(err, QString()) << c.what;
        } else {
            EXPECT_TRUE(err.contains(c.errorText)) << c.what << "\n" << err.toStdString();
        }
        if (c.page.isEmpty()) {
            EXPECT_EQ(htmlFiles(), QStringList()) << c.what;
            EXPECT_EQ(out, QString()) << c.what;
            return;
        }
        EXPECT_EQ(htmlFiles(), QStringList{c.page}) << c.what;
        EXPECT_EQ(out, dir.filePath(c.page) + QLatin1Char('\n')) << c.what;
        const QByteArray page = ReadWholeFile(dir.filePath(c.page));
        for (const QString &part : c.pageHolds) {
            EXPECT_TRUE(page.contains(part.toLatin1())) << c.what << ": " << part.toStdString();
        }
        QFile::remove(dir.filePath(c.page));
    }
};

TEST_F(PublishTest, ExitCodesMessagesAndPages) {
    const QString usage = QStringLiteral("zelpdev2k-cli publish FILE [--html PAGE]");
    const QString sales = QStringLiteral("Sales.ats");
    const Case cases[] = {
        {"no file", {}, false, 2, usage, {}, {}},
        {"two files", {sales, QStringLiteral("Unsafe.ats")}, false, 2, usage, {}, {}},
        {"unknown option", {sales, QStringLiteral("--web")}, false, 2, usage, {}, {}},
        {"page name missing", {sales, QStringLiteral("--html")}, false, 2, usage, {}, {}},
        {"missing file",
         {QStringLiteral("missing.ats")},
         false,
         1,
         QStringLiteral("zelpdev2k-cli: missing.ats: no such file"),
         {},
         {}},
        {"not a compound file",
         {QStringLiteral("notes.txt")},
         false,
         1,
         QStringLiteral("zelpdev2k-cli: notes.txt: not a connection file"),
         {},
         {}},
        {"another root class",
         {QStringLiteral("old.ats")},
         false,
         1,
         QStringLiteral("zelpdev2k-cli: old.ats: not a Velmaris 2000 connection file (root class "
                        "{F24D6911-69D1-11D2-AB7F-0040055A85C2})"),
         {},
         {}},
        {"safe connection, Internet page beside it",
         {sales},
         false,
         0,
         {},
         QStringLiteral("Sales.htm"),
         {QStringLiteral("<!-- the SAFE Velmaris emulator -->"),
          QStringLiteral("CLSID:7F1351CE-90DD-411B-868D-E1BAA3CEBDA8"),
          QStringLiteral("zelpins2.cab#version=4,0,132,0"),
          QStringLiteral("window.open('Sales.htm','demo_window');"),
          QStringLiteral("Location.Replace \"Sales.ats\"")}},
        {"unsafe connection, intranet page with GUI",
         {QStringLiteral("--gui"), QStringLiteral("Unsafe.ats"), QStringLiteral("--intranet")},
         true,
         0,
         {},
         QStringLiteral("Unsafe.htm"),
         {QStringLiteral("<!-- the UNSAFE Velmaris emulator -->"),
          QStringLiteral("CLSID:E4301D8E-D460-4073-B7DA-600C33F38A01"),
          QStringLiteral("\"zelpcli2.cab#version=4,0,132,0\""),
          QStringLiteral("CLSID:5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10"),
          QStringLiteral("\"zlguisvr_install.cab#version=1,0,0,0\""),
          QStringLiteral("Window.Open \"Unsafe.ats\",\"zelpcli\"")}},
        {"page named on the command line",
         {sales, QStringLiteral("--html"), QStringLiteral("pages/Launch.htm")},
         false,
         0,
         {},
         QStringLiteral("pages/Launch.htm"),
         {QStringLiteral("window.open('Launch.htm','demo_window');")}},
        {"GUI server not registered",
         {sales, QStringLiteral("--gui")},
         false,
         1,
         QStringLiteral(
             "zelpdev2k-cli: Unable to generate HTML file - unable to find GUID (GUI)!\n"),
         {},
         {}},
        {"connection name holding a token is encoded",
         {QStringLiteral("x%ZELP_VBD%.ats")},
         false,
         0,
         {},
         QStringLiteral("x%ZELP_VBD%.htm"),
         {QStringLiteral("Location.Replace \"x%25ZELP_VBD%25.ats\"")}},
        {"page folder missing",
         {sales, QStringLiteral("--html"), QStringLiteral("missing/x.htm")},
         false,
         1,
         QStringLiteral("zelpdev2k-cli: Unable to write file ") + dir.filePath("missing/x.htm"),
         {},
         {}},
        {"page name that of the connection",
         {sales, QStringLiteral("--html"), sales},
         false,
         1,
         QStringLiteral("zelpdev2k-cli: Unable to generate HTML file - the HTML file name is that "
                        "of the connection file!"),
         {},
         {}},
    };
    for (const Case &c : cases) {
        run(c);
    }
    EXPECT_EQ(ReadWholeFile(path("Sales.ats")), templateResource(kTemplateSafeConnection));
}

} // namespace
} // namespace zelp
