#include "clirunner.h"

#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "client/core/legacy97writer.h"
#include "files/resources.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

using namespace zelp;
using namespace zelp::test;

namespace {

using Settings = std::vector<std::pair<std::string, PropertyValue>>;

// Made and saved through the document itself, with the default script.
void makeConnection(const QString &path, bool unsafe, const Settings &settings) {
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

PropertyValue settingOf(const QString &file, const std::string &name) {
    const auto doc = ClientDocument::load(file);
    return doc ? doc->Settings()->value(name).value_or(std::string("<unset>"))
               : PropertyValue(std::string("<no file>"));
}

// Three connections: safe "a" for host a, unsafe "b" of 43 rows, safe "c" all defaults.
class Cli : public CliFolder {
protected:
    void SetUp() override {
        makeConnection(path("a.ats"), false, {{"sHostName", std::string("a")}});
        makeConnection(path("b.ats"), true, {{"sNormRows", int16_t(43)}});
        makeConnection(path("c.ats"), false, {});
    }
    QMap<QString, QByteArray> snapshot() const { return filesIn(dir.path()); }
    static void expect(const CliResult &r, const char *what, int exitCode, const char *out,
                       const char *err) {
        EXPECT_EQ(r.exitCode, exitCode) << what << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(out)) << what << "\n" << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(err)) << what << "\n" << r.err.toStdString();
    }
};

TEST_F(Cli, CommandLinesThatWriteNothingExitByTheirOutcomeAndSayWhy) {
    put("text.ats", "hello");
    makeConnection(path("a2.ats"), false, {{"sHostName", std::string("a")}});
    const auto before = snapshot();
    const struct {
        const char *line;
        int exitCode;
        const char *out, *err; // part of each
    } cases[] = {
        {"--help", 0, "help COMMAND", ""},
        {"help", 0, "Commands:", ""},
        {"--version", 0, "zelpdev2k-cli 4.", ""},
        {"help import", 0, "--dry-run", ""},
        {"export --help", 0, "Example:\n  zelpdev2k-cli export", ""},
        {"settings", 0, "sPrinterName", ""},
        {"settings --json", 0,
         R"({"default":24,"group":"Screen","label":"Rows","name":"sNormRows","type":"16-bit integer"})",
         ""},
        {"help nosuch", 2, "", "usage:"},
        {"nosuch", 2, "", "unknown command"},
        {"", 2, "", "usage:"},
        {"show --xml @a.ats", 2, "", "Unknown option"},
        {"show", 2, "", "no file given"},
        {"diff onlyone.ats", 2, "", "zelpdev2k-cli diff A B"},
        {"test --timeout 0 x.ats", 2, "", "--timeout"},
        {"import sheet.csv", 2, "", "--into"},
        {"show @text.ats", 1, "", "text.ats: no connection file: it is not a compound file"},
        {"show @missing.ats", 1, "", "missing.ats: no connection file: the file does not exist"},
        {"set @text.ats sHostName=x", 1, "", "text.ats: no connection file"},
        {"set @a.ats sNormRows=70000", 1, "", "no 16-bit integer value for sNormRows"},
        {"set @a.ats sHostName=second sNoSuch=1", 1, "", "unknown setting \"sNoSuch\""},
        {"set @a.ats shostname=x", 1, "", "unknown setting"},
        {"set @a.ats sScaleFont=perhaps", 1, "", "no boolean value"},
        {"set @a.ats sHostName=\u65e5\u672c", 1, "", "cannot hold"},
        {"set @a.ats sHostName", 2, "", "usage"},
        {"set @a.ats =x", 2, "", "usage"},
        {"set @a.ats", 2, "", "usage"},
        {"new @a.ats", 1, "", "a.ats already exists; use --force to replace it"},
        {"new", 2, "", "one FILE expected"},
        {"new --big @m.ats", 2, "", "Unknown option 'big'"},
        {"new @", 1, "", "is not a file"},
        {"diff @a.ats @a2.ats", 0, "", ""},
        {"diff @a.ats @c.ats", 1, "sHostName: \"a\" | \"\"\n", ""},
        {"diff @a.ats @b.ats", 1,
         "client: safe | unsafe\nsHostName: \"a\" | \"\"\nsNormRows: 24 | 43\n", ""},
        {"diff --json @a.ats @b.ats", 1, R"("alike":false,)", ""},
        {"diff --json @a.ats @b.ats", 1,
         R"("client":{"a":"safe","b":"unsafe"},"mousePatternsDiffer":false,"scriptDiffers":false,)"
         R"("settings":[{"a":"a","b":"","name":"sHostName"},{"a":24,"b":43,"name":"sNormRows"}]})",
         ""},
        {"diff @a.ats @missing.ats", 2, "", ""},
    };
    for (const auto &c : cases) {
        const CliResult r = run(c.line);
        expect(r, c.line, c.exitCode, c.out, c.err);
        if (c.exitCode == 1 && *c.err) {
            EXPECT_EQ(r.err.count('\n'), 1) << c.line << "\n" << r.err.toStdString();
        }
        EXPECT_EQ(snapshot(), before) << c.line;
    }
    for (const char *command :
         {"settings", "new", "show", "set", "export", "import", "diff", "test", "publish"}) {
        const auto r = runCli({command, "--help"});
        expect(r, command, 0, "usage:", "");
        for (const char *part : {"Options:", "--help", "Example:"}) {
            EXPECT_TRUE(r.out.contains(part)) << command << " lacks " << part;
        }
    }
    EXPECT_GT(QJsonDocument::fromJson(run("settings --json").out).array().size(), 100);
}

TEST_F(Cli, NewSetAndShowGiveTheTypedValuesBack) {
    // A compound file holding nothing but the class of the safe client.
    put("e.ats",
        QByteArray::fromStdString(*CompoundFile::build({ClientClasses::classIdFor(true), {}})));
    const QByteArray e = path("e.ats").toUtf8();
    EXPECT_EQ(run("show @e.ats").out, e + ": safe client\n(every setting has its default)\n"
                                          "script: 0 bytes\n");
    const CliResult r = run("set @e.ats sHostName=mainframe.example sNormRows=43 "
                            "sScaleFont=false Pinned=2 sPalette1=255 sHostPort=2323",
                            {"sSessionTitle=Caf\u00e9 \u20ac"});
    expect(r, "set", 0, "", "");
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(run("show @e.ats").out,
              e + ": safe client\nsSessionTitle = \"Caf\u00e9 \u20ac\"\nsHostName = "
                  "\"mainframe.example\"\nsHostPort = \"2323\"\nsScaleFont = False\nsNormRows = "
                  "43\nsPalette1 = 255\nPinned = 2\nscript: 0 bytes\n");
    EXPECT_EQ(run("show --json @e.ats").out,
              R"({"client":"safe","file":")" + e +
                  R"(","mousePatternsLength":0,"scriptLength":0,"settings":{"Pinned":2,)"
                  R"("sHostName":"mainframe.example","sHostPort":"2323","sNormRows":43,)"
                  R"("sPalette1":255,"sScaleFont":false,"sSessionTitle":"Caf)"
                  "\u00e9 \u20ac\"}}\n");
    // The client's code page, as the document reads it.
    EXPECT_EQ(settingOf(path("e.ats"), "sSessionTitle"),
              PropertyValue(std::string("Caf\xe9 \x80")));

    const struct {
        const char *line;
        bool safe, bare;
    } made[] = {
        {"new @m.ats", true, false},
        {"new --unsafe --force @m.ats", false, false},
        {"new --bare --force @m.ats", true, true},
    };
    for (const auto &c : made) {
        expect(run(c.line), c.line, 0, "", "");
        const auto doc = ClientDocument::load(path("m.ats"));
        ASSERT_TRUE(doc) << c.line;
        EXPECT_EQ(doc->SafeMode(), c.safe) << c.line;
        EXPECT_EQ(doc->Script(), c.bare ? "" : defaultScript()) << c.line;
        EXPECT_EQ(bytes("m.ats") == templateResource(kTemplateSafeConnection), c.bare);
    }
    EXPECT_FALSE(defaultScript().empty());
    EXPECT_TRUE(QDir(dir.path()).entryList({"Work*.ats"}).isEmpty());
}

TEST_F(Cli, ShowAndSetGoOnAfterAFailedFileAndSumUp) {
    const auto before = snapshot();
    put("broken.ats", "not a connection");
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    makeConnection(path("sub/d.ats"), false, {});
    auto r = run("show --json @");
    expect(r, "show", 1, "", "broken.ats: no connection file");
    EXPECT_EQ(r.out.count('\n'), 3) << r.out.toStdString(); // a, b, c: one JSON line each
    for (const QByteArray &line : r.out.trimmed().split('\n')) {
        EXPECT_FALSE(QJsonDocument::fromJson(line).isNull()) << line.toStdString();
    }
    EXPECT_TRUE(r.err.endsWith("3 of 4 files shown, 1 failed\n")) << r.err.toStdString();
    r = run("show --all --recursive @c.ats @sub");
    expect(r, "show --all", 0, "", "2 of 2 files shown");
    EXPECT_EQ(r.out.count("sNormRows = 24"), 2); // defaults included, both files

    // A bad value among good ones: no file is touched, not even by a dry run.
    expect(run("set --value sHostName=x --value sNormRows=many @a.ats"), "many", 1, "",
           "\"many\" is no 16-bit integer value for sNormRows");
    r = run("set --dry-run --value sNormRows=30 @a.ats @b.ats @c.ats",
            {"--value", "sHostName=main, \"frame\""});
    expect(r, "dry run", 0, "b.ats: sNormRows 43 -> 30\n", "3 of 3 files would change");
    EXPECT_TRUE(r.out.contains("a.ats: sHostName \"a\" -> \"main, \"frame\"\"\n"));
    auto now = snapshot();
    now.remove("broken.ats");
    EXPECT_EQ(now, before);
    // The file that is no connection fails alone; the others are written, their scripts kept.
    r = run("set --json --value sNormRows=43 @");
    expect(r, "set", 1, R"({"changes":[{"name":"sNormRows","new":43,"old":43}],"file":")",
           "2 of 4 files changed, 1 failed");
    EXPECT_TRUE(r.out.contains(R"(b.ats","written":false})")) << r.out.toStdString();
    EXPECT_EQ(r.err.count('\n'), 2) << r.err.toStdString(); // the failure and the summary
    EXPECT_EQ(r.out.count('\n'), 3);
    EXPECT_EQ(settingOf(path("c.ats"), "sNormRows"), PropertyValue(int16_t(43)));
    EXPECT_EQ(ClientDocument::load(path("c.ats"))->Script(), defaultScript());
    EXPECT_EQ(bytes("b.ats"), before["b.ats"]);
}

TEST_F(Cli, ExportThenImportIntoAnEmptyFolderGivesTheSameFiles) {
    makeConnection(path("odd name, \"quoted\".ats"), true,
                   {{"sSessionTitle", std::string("line one\r\nline \"two\", \xe9\x80")},
                    {"sPrinterName", std::string()}, // empty, where the default is not
                    {"sPalette3", 1234.5},
                    {"sScaleFont", false},
                    {"sFKeyF13", std::string("extra key")},
                    {"Pinned", int16_t(2)}});
    const auto sheet = run("export @");
    expect(sheet, "export", 0, "", "");
    EXPECT_TRUE(sheet.out.startsWith("file,kind,sSessionTitle,Pinned,sHostName,"));
    put("fleet.csv", sheet.out);
    expect(run("import @fleet.csv --into @new"), "import", 0, "",
           "4 files created, 0 updated, 0 unchanged");
    const QStringList names = QDir(dir.path()).entryList({"*.ats"});
    ASSERT_EQ(QDir(path("new")).entryList(QDir::Files), names);
    const auto shown = [&](const QString &file) {
        QJsonObject o = QJsonDocument::fromJson(runCli({"show", "--json", file}).out).object();
        o.remove("file");
        return QJsonDocument(o).toJson().toStdString();
    };
    for (const QString &name : names) {
        EXPECT_EQ(shown(path("new/" + name)), shown(path(name))) << name.toStdString();
    }
    // A second import changes nothing; a spreadsheet's byte order mark is fine too.
    QByteArray edited = "\xEF\xBB\xBF" + sheet.out;
    edited.replace("a.ats,safe,", "a.ats,,"); // an empty kind keeps the file's kind
    put("fleet.csv", edited);
    expect(run("import @fleet.csv --into @new"), "again", 0, "",
           "0 files created, 0 updated, 4 unchanged");
}

TEST_F(Cli, AHostileSheetIsRefusedWithRowAndColumnAndNothingIsWritten) {
    const struct {
        const char *sheet, *error;
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
    const QString csv = sheets.filePath("hostile.csv");
    for (const auto &c : cases) {
        ASSERT_TRUE(WriteWholeFile(csv, c.sheet, true));
        const auto r = runCli({"import", csv, "--into", dir.path()});
        expect(r, c.sheet, 1, "", c.error);
        EXPECT_TRUE(r.err.contains("nothing was written")) << r.err.toStdString();
        EXPECT_EQ(snapshot(), before) << c.sheet;
    }
}

TEST_F(Cli, TestConnectsToARealTelnetServerAndReportsFailuresInOneLine) {
    const QString busybox = QStandardPaths::findExecutable("busybox");
    if (busybox.isEmpty()) {
        GTEST_SKIP() << "busybox is not installed (Debian package busybox-static)";
    }
    const auto freePort = [] {
        QTcpServer server;
        return server.listen(QHostAddress::LocalHost) ? server.serverPort() : quint16(0);
    };
    put("login.sh", "#!/bin/sh\nprintf 'ZELP FLEET TEST HOST\\r\\nready> '\nsleep 5\n");
    QFile::setPermissions(path("login.sh"), QFile::ReadOwner | QFile::ExeOwner);
    const quint16 port = freePort();
    QProcess telnetd;
    telnetd.start(busybox, {"telnetd", "-F", "-b", QStringLiteral("127.0.0.1:%1").arg(port), "-l",
                            path("login.sh"), "-f", "/dev/null"});
    bool listening = false;
    for (int i = 0; i < 50 && !listening && telnetd.state() != QProcess::NotRunning; ++i) {
        QThread::msleep(i ? 100 : 0);
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        listening = probe.waitForConnected(100);
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
        makeConnection(path("t.ats"), false,
                       {{"sHostName", std::string(c.host)}, {"sHostPort", std::to_string(c.port)}});
        const auto r = run("test --timeout 5 @t.ats");
        expect(r, c.host, c.exitCode, c.out, c.err);
        EXPECT_EQ(r.out.startsWith("Connected to 127.0.0.1:"), c.exitCode == 0);
        EXPECT_EQ(r.err.count('\n'), c.exitCode) << r.err.toStdString();
    }
    telnetd.kill();
    telnetd.waitForFinished(5000);
}

TEST_F(Cli, ConvertTakesFilesAndFoldersReportsTheFailuresAndTheCountsAddUp) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("fleet/sub"));
    const auto old = [&](const char *name, const char *classId, Legacy97Property p) {
        ASSERT_TRUE(write97File(path(name), classId, {p}));
    };
    old("one.ats", kUnsafe97ClassId, {"HostName", std::string("h1")});
    old("fleet/two.ats", kSafe97ClassId, {"HostName", std::string("h2")});
    old("fleet/sub/three.zlp", kSafe97ClassId, {"NormRows", std::string("many")});
    put("corrupt.ats",
        QByteArray(99, 'x') + QByteArray::fromHex("17694df2d169d211ab7f0040055a85c2"));
    const auto r =
        run("convert --into @out --report @report.json @one.ats @corrupt.ats @a.ats @fleet");
    expect(r, "convert", 1, "", "");
    EXPECT_TRUE(r.out.startsWith("converted 3, skipped 0, failed 2 of 5 files in "));
    for (const char *failed : {"corrupt.ats", "a.ats"}) {
        EXPECT_TRUE(r.err.contains("failed: " + path(failed).toUtf8())) << r.err.toStdString();
    }
    for (const auto &[name, host] : {std::pair{"one", "h1"}, {"two", "h2"}, {"three", ""}}) {
        const QString file = path("out/") + name + ".ats";
        EXPECT_EQ(settingOf(file, "sHostName"), PropertyValue(std::string(host)));
        // "many" rows cannot be converted: the template's 24 stands.
        EXPECT_EQ(settingOf(file, "sNormRows"), PropertyValue(int16_t(24)));
    }
    const QJsonObject report = QJsonDocument::fromJson(bytes("report.json")).object();
    QStringList digest; // name, result, client, unreadable settings and whether it says why
    for (const QJsonValue &f : report["files"].toArray()) {
        QString line = QFileInfo(f["source"].toString()).fileName() + ' ' + f["result"].toString() +
                       ' ' + f["client"].toString();
        for (const QJsonValue &s : f["settings"].toArray()) {
            if (s["status"] == QStringLiteral("unreadable") && s["reason"].toString() != "") {
                line += ' ' + s["name"].toString();
            }
        }
        digest << line + (f["message"].toString().isEmpty() ? "" : " (why)");
    }
    digest.sort();
    EXPECT_EQ(digest, QStringList({"a.ats failed  (why)", "corrupt.ats failed unsafe (why)",
                                   "one.ats converted unsafe", "three.zlp converted safe sNormRows",
                                   "two.ats converted safe"}));
    QJsonObject summary = report["summary"].toObject();
    EXPECT_GE(summary.take("seconds").toDouble(-1), 0);
    EXPECT_EQ(summary,
              QJsonObject({{"files", 5}, {"converted", 3}, {"skipped", 0}, {"failed", 2}}));
    // Existing targets are skipped unless --yes answers the question.
    expect(run("convert --into @out @fleet"), "again", 0,
           "converted 0, skipped 2, failed 0 of 2 files", "");
    expect(run("convert --into @out @fleet --yes"), "--yes", 0,
           "converted 2, skipped 0, failed 0 of 2 files", "");
    expect(run("convert @one.ats @single.ats"), "single", 0, "", "");
    EXPECT_EQ(settingOf(path("single.ats"), "sHostName"), PropertyValue(std::string("h1")));
    EXPECT_EQ(run("convert @one.ats").exitCode, 2);
}

} // namespace
