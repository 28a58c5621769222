#include "clirunner.h"

#include "client/core/clientdocument.h"
#include "common/fileutil.h"
#include "files/resources.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace zelp;
using zelp::test::runCli;

namespace {

QStringList words(const char *line) {
    return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
}

// A connection file with the given settings, made through the document itself.
void makeConnection(const QString &path, bool unsafe,
                    const std::vector<std::pair<std::string, PropertyValue>> &settings) {
    ASSERT_TRUE(WriteWholeFile(
        path, templateResource(unsafe ? kTemplateUnsafeConnection : kTemplateSafeConnection),
        true));
    auto doc = ClientDocument::load(path);
    ASSERT_TRUE(doc);
    doc->setScript(defaultScript());
    for (const auto &[name, value] : settings) {
        ASSERT_TRUE(doc->Settings()->setValue(name, value)) << name;
    }
    ASSERT_TRUE(doc->save());
}

QJsonObject showJson(const QString &file) {
    const auto result = runCli({QStringLiteral("show"), QStringLiteral("--json"), file});
    QJsonObject object = QJsonDocument::fromJson(result.out).object();
    object.remove(QStringLiteral("file"));
    return object;
}

// A folder of three connections and the bytes of each, to prove what was not written.
class Fleet : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    void SetUp() override {
        makeConnection(path(QStringLiteral("a.ats")), false, {{"sHostName", std::string("a")}});
        makeConnection(path(QStringLiteral("b.ats")), true, {{"sNormRows", int16_t(43)}});
        makeConnection(path(QStringLiteral("c.ats")), false, {});
    }
    QMap<QString, QByteArray> snapshot(const QString &folder = {}) const {
        QMap<QString, QByteArray> files;
        const QDir d(folder.isEmpty() ? dir.path() : folder);
        for (const QString &name : d.entryList(QDir::Files)) {
            files.insert(name, ReadWholeFile(d.filePath(name)));
        }
        return files;
    }
};

TEST_F(Fleet, ConventionsHelpVersionExitCodesAndJson) {
    const struct {
        const char *args;
        int exitCode;
        const char *out; // part of stdout
        const char *err; // part of stderr
    } cases[] = {
        {"--help", 0, "help COMMAND", ""},
        {"help", 0, "Commands:", ""},
        {"--version", 0, "zelpdev2k-cli 4.", ""},
        {"help import", 0, "--dry-run", ""},
        {"export --help", 0, "Example:\n  zelpdev2k-cli export", ""},
        {"help nosuch", 2, "", "usage:"},
        {"nosuch", 2, "", "unknown command"},
        {"", 2, "", "usage:"},
        {"show --xml x.ats", 2, "", "Unknown option"},
        {"diff onlyone.ats", 2, "", "zelpdev2k-cli diff A B"},
        {"test --timeout 0 x.ats", 2, "", "--timeout"},
        {"import sheet.csv", 2, "", "--into"},
    };
    for (const auto &c : cases) {
        const auto r = runCli(words(c.args));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.out)) << c.args << "\n" << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << c.args << "\n" << r.err.toStdString();
    }
    for (const char *command :
         {"settings", "new", "show", "set", "export", "import", "diff", "test", "publish"}) {
        const auto r = runCli({QString::fromLatin1(command), QStringLiteral("--help")});
        EXPECT_EQ(r.exitCode, 0) << command;
        for (const char *part : {"usage:", "Options:", "--help", "Example:"}) {
            EXPECT_TRUE(r.out.contains(part)) << command << " lacks " << part;
        }
    }
    const auto settings = runCli({QStringLiteral("settings"), QStringLiteral("--json")});
    const QJsonArray list = QJsonDocument::fromJson(settings.out).array();
    ASSERT_GT(list.size(), 100);
    const auto rows = std::find_if(list.begin(), list.end(), [](const QJsonValue &v) {
        return v[QStringLiteral("name")] == QStringLiteral("sNormRows");
    });
    ASSERT_NE(rows, list.end());
    EXPECT_EQ((*rows)[QStringLiteral("default")].toInt(), 24);
    EXPECT_EQ((*rows)[QStringLiteral("type")].toString(), QStringLiteral("16-bit integer"));
    EXPECT_EQ((*rows)[QStringLiteral("group")].toString(), QStringLiteral("Screen"));
    EXPECT_TRUE(runCli({QStringLiteral("settings")}).out.contains("sPrinterName"));
}

TEST_F(Fleet, ShowGoesOnAfterAFailedFileAndSumsUp) {
    ASSERT_TRUE(WriteWholeFile(path(QStringLiteral("broken.ats")), "not a connection", true));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    makeConnection(dir.filePath(QStringLiteral("sub/d.ats")), false, {});
    auto r = runCli({QStringLiteral("show"), QStringLiteral("--json"), dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.count('\n'), 3) << r.out.toStdString(); // a, b, c: one JSON line each
    for (const QByteArray &line : r.out.trimmed().split('\n')) {
        EXPECT_FALSE(QJsonDocument::fromJson(line).isNull()) << line.toStdString();
    }
    EXPECT_TRUE(r.err.contains("broken.ats: no connection file")) << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith("3 of 4 files shown, 1 failed\n")) << r.err.toStdString();

    r = runCli({QStringLiteral("show"), QStringLiteral("--all"), QStringLiteral("--recursive"),
                path(QStringLiteral("c.ats")), dir.filePath(QStringLiteral("sub"))});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count("sNormRows = 24"), 2); // defaults included, both files
    EXPECT_TRUE(r.err.contains("2 of 2 files shown"));
}

TEST_F(Fleet, SetValueChecksEverythingFirstAndDryRunWritesNothing) {
    const auto before = snapshot();
    // A bad value among good ones: no file is touched.
    auto r =
        runCli({QStringLiteral("set"), QStringLiteral("--value"), QStringLiteral("sHostName=x"),
                QStringLiteral("--value"), QStringLiteral("sNormRows=many"), dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("\"many\" is no 16-bit integer value for sNormRows"));
    EXPECT_EQ(snapshot(), before);

    r = runCli({QStringLiteral("set"), QStringLiteral("--dry-run"), QStringLiteral("--value"),
                QStringLiteral("sNormRows=30"), QStringLiteral("--value"),
                QStringLiteral("sHostName=main, \"frame\""), dir.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("b.ats: sNormRows 43 -> 30\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("a.ats: sHostName \"a\" -> \"main, \"frame\"\"\n"));
    EXPECT_TRUE(r.err.contains("3 of 3 files would change"));
    EXPECT_EQ(snapshot(), before);

    // A file that is no connection fails alone; the others are written.
    ASSERT_TRUE(WriteWholeFile(path(QStringLiteral("broken.ats")), "x", true));
    r = runCli({QStringLiteral("set"), QStringLiteral("--json"), QStringLiteral("--value"),
                QStringLiteral("sNormRows=43"), dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 2) << r.err.toStdString(); // the failure and the summary
    EXPECT_TRUE(r.err.contains("2 of 4 files changed, 1 failed"));
    const auto lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(QJsonDocument::fromJson(lines[1])[QStringLiteral("written")].toBool(true), false);
    EXPECT_EQ(ClientDocument::load(path(QStringLiteral("c.ats")))->Settings()->value("sNormRows"),
              PropertyValue(int16_t(43)));
    EXPECT_EQ(ReadWholeFile(path(QStringLiteral("b.ats"))), before[QStringLiteral("b.ats")]);
}

TEST_F(Fleet, ExportThenImportIntoAnEmptyFolderGivesTheSameFiles) {
    makeConnection(path(QStringLiteral("odd name, \"quoted\".ats")), true,
                   {{"sSessionTitle", std::string("line one\r\nline \"two\", \xe9\x80")},
                    {"sPrinterName", std::string()}, // empty, where the default is not
                    {"sPalette3", 1234.5},
                    {"sScaleFont", false},
                    {"sFKeyF13", std::string("extra key")},
                    {"Pinned", int16_t(2)}});
    const auto sheet = runCli({QStringLiteral("export"), dir.path()});
    ASSERT_EQ(sheet.exitCode, 0) << sheet.err.toStdString();
    EXPECT_TRUE(sheet.out.startsWith("file,kind,sSessionTitle,Pinned,sHostName,"))
        << sheet.out.toStdString();
    const QString csv = dir.filePath(QStringLiteral("fleet.csv"));
    ASSERT_TRUE(WriteWholeFile(csv, sheet.out, true));
    QTemporaryDir empty;
    const QString into = empty.filePath(QStringLiteral("new"));
    auto r = runCli({QStringLiteral("import"), csv, QStringLiteral("--into"), into});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("4 files created, 0 updated, 0 unchanged"));
    const QStringList names = QDir(dir.path()).entryList({QStringLiteral("*.ats")});
    ASSERT_EQ(QDir(into).entryList(QDir::Files), names);
    for (const QString &name : names) {
        EXPECT_EQ(QJsonDocument(showJson(QDir(into).filePath(name))).toJson().toStdString(),
                  QJsonDocument(showJson(path(name))).toJson().toStdString())
            << name.toStdString();
    }
    // A second import changes nothing; a spreadsheet's byte order mark is fine too.
    QByteArray edited = "\xEF\xBB\xBF" + sheet.out;
    edited.replace("a.ats,safe,", "a.ats,,"); // an empty kind keeps the file's kind
    ASSERT_TRUE(WriteWholeFile(csv, edited, true));
    r = runCli({QStringLiteral("import"), csv, QStringLiteral("--into"), into});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("0 files created, 0 updated, 4 unchanged")) << r.err.toStdString();
}

TEST_F(Fleet, AHostileSheetIsRefusedWithRowAndColumnAndNothingIsWritten) {
    const struct {
        const char *sheet;
        const char *error;
    } cases[] = {
        {"file,sNoSuch\r\nx.ats,1\r\n", "row 1, column B (sNoSuch): no setting is called"},
        {"file,sNormRows\r\nx.ats,24\r\ny.ats,lots\r\n",
         "row 3, column B (sNormRows): \"lots\" is no 16-bit integer"},
        {"file\r\nx.ats\r\n\r\nx.ats\r\n", "row 4, column A (file): x.ats is named in row 2 too"},
        {"file\r\n../x.ats\r\n", "row 2, column A (file): \"../x.ats\" is a path"},
        {"file\r\n..\r\n", "row 2, column A (file): \"..\" leaves the folder"},
        {"file,kind\r\nx.ats,risky\r\n", "row 2, column B (kind): \"risky\" is no kind"},
        {"file,kind\r\nx.ats,unsafe\r\nc.ats,unsafe\r\n",
         "c.ats is a safe connection; its kind cannot change"},
        {"file,sNormRows\nx.ats,24\ny.ats,\n\nz.ats,24.5\n", "row 5, column B (sNormRows)"},
        {"kind\r\nsafe\r\n", "row 1, column A: the sheet has no file column"},
        {"file,sHostName\r\n\"x.ats\",\"open\r\n", "row 2: a quote out of place"},
        {"file,sHostName\r\nx.ats,a\"b\r\n", "row 2: a quote out of place"},
        {"file,sHostName,sHostName\r\nx.ats,a,b\r\n", "row 1, column C (sHostName): a second"},
        {"file\r\nx.ats,stray\r\n", "row 2, column B: a value in a column without a heading"},
    };
    const auto before = snapshot();
    QTemporaryDir sheets;
    for (const auto &c : cases) {
        const QString csv = sheets.filePath(QStringLiteral("hostile.csv"));
        ASSERT_TRUE(WriteWholeFile(csv, c.sheet, true));
        const auto r =
            runCli({QStringLiteral("import"), csv, QStringLiteral("--into"), dir.path()});
        EXPECT_EQ(r.exitCode, 1) << c.sheet;
        EXPECT_TRUE(r.err.contains(c.error)) << c.sheet << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("nothing was written")) << r.err.toStdString();
        EXPECT_EQ(snapshot(), before) << c.sheet;
    }
}

TEST_F(Fleet, DiffSaysWhatDiffersAndExitsByIt) {
    makeConnection(path(QStringLiteral("a2.ats")), false, {{"sHostName", std::string("a")}});
    const struct {
        const char *a, *b;
        int exitCode;
        const char *out;
    } cases[] = {
        {"a.ats", "a2.ats", 0, ""},
        {"a.ats", "c.ats", 1, "sHostName: \"a\" | \"\"\n"},
        {"a.ats", "b.ats", 1,
         "client: safe | unsafe\nsHostName: \"a\" | \"\"\nsNormRows: 24 | 43\n"},
        {"a.ats", "missing.ats", 2, ""},
    };
    for (const auto &c : cases) {
        const auto r = runCli({QStringLiteral("diff"), path(QString::fromLatin1(c.a)),
                               path(QString::fromLatin1(c.b))});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.b << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.out)) << r.out.toStdString();
    }
    const auto r = runCli({QStringLiteral("diff"), QStringLiteral("--json"),
                           path(QStringLiteral("a.ats")), path(QStringLiteral("b.ats"))});
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_FALSE(o[QStringLiteral("alike")].toBool(true));
    EXPECT_FALSE(o[QStringLiteral("scriptDiffers")].toBool(true));
    EXPECT_EQ(o[QStringLiteral("client")][QStringLiteral("b")].toString(),
              QStringLiteral("unsafe"));
    EXPECT_EQ(o[QStringLiteral("settings")][1][QStringLiteral("b")].toInt(), 43);
}

quint16 freePort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0;
}

TEST(CliTest, TestConnectsToARealTelnetServerAndReportsFailuresInOneLine) {
    const QString busybox = QStandardPaths::findExecutable(QStringLiteral("busybox"));
    if (busybox.isEmpty()) {
        GTEST_SKIP() << "busybox is not installed (Debian package busybox-static)";
    }
    QTemporaryDir dir;
    const QString login = dir.filePath(QStringLiteral("login.sh"));
    ASSERT_TRUE(WriteWholeFile(
        login, "#!/bin/sh\nprintf 'ZELP FLEET TEST HOST\\r\\nready> '\nsleep 5\n", true));
    QFile::setPermissions(login, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const quint16 port = freePort();
    QProcess telnetd;
    telnetd.start(busybox, {QStringLiteral("telnetd"), QStringLiteral("-F"), QStringLiteral("-b"),
                            QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("-l"), login,
                            QStringLiteral("-f"), QStringLiteral("/dev/null")});
    bool listening = false;
    for (int i = 0; i < 50 && !listening && telnetd.state() != QProcess::NotRunning; ++i) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        listening = probe.waitForConnected(100);
        if (!listening) {
            QThread::msleep(100);
        }
    }
    if (!listening) {
        GTEST_SKIP() << "busybox telnetd could not be started: "
                     << telnetd.readAllStandardError().toStdString();
    }
    const struct {
        const char *host;
        quint16 port;
        int exitCode;
        const char *out, *err;
    } cases[] = {
        {"127.0.0.1", port, 0, "ZELP FLEET TEST HOST\nready>", ""},
        {"127.0.0.1", freePort(), 1, "", "connection refused"},
        {"no-such-host.invalid", 23, 1, "", "host not found"},
    };
    for (const auto &c : cases) {
        const QString file = dir.filePath(QStringLiteral("t.ats"));
        makeConnection(file, false,
                       {{"sHostName", std::string(c.host)}, {"sHostPort", std::to_string(c.port)}});
        const auto r = runCli(
            {QStringLiteral("test"), QStringLiteral("--timeout"), QStringLiteral("5"), file});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.host << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.out)) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
        if (c.exitCode == 0) {
            EXPECT_TRUE(r.out.startsWith("Connected to 127.0.0.1:")) << r.out.toStdString();
        } else {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
    telnetd.kill();
    telnetd.waitForFinished(5000);
}

} // namespace
