#include "clirunner.h"

#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "client/core/legacy97writer.h"
#include "files/resources.h"

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

QJsonObject jsonOf(const QByteArray &text) {
    return QJsonDocument::fromJson(text).object();
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
    void expectOut(const CliResult &r, const char *line, int exitCode, const char *out,
                   const char *err) {
        EXPECT_EQ(r.exitCode, exitCode) << line << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(out)) << line << "\n" << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(err)) << line << "\n" << r.err.toStdString();
    }
};

TEST_F(Cli, ConventionsHelpVersionExitCodesAndJson) {
    put("text.ats", "hello");
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
        {"help nosuch", 2, "", "usage:"},
        {"nosuch", 2, "", "unknown command"},
        {"", 2, "", "usage:"},
        {"show --xml @a.ats", 2, "", "Unknown option"},
        {"show", 2, "", "no file given"},
        {"diff onlyone.ats", 2, "", "zelpdev2k-cli diff A B"},
        {"test --timeout 0 x.ats", 2, "", "--timeout"},
        {"import sheet.csv", 2, "", "--into"},
        {"show @text.ats", 1, "", "text.ats: no connection file"},
        {"show @missing.ats", 1, "", "missing.ats"},
        {"set @text.ats sHostName=x", 1, "", "text.ats"},
    };
    for (const auto &c : cases) {
        expectOut(run(c.line), c.line, c.exitCode, c.out, c.err);
    }
    EXPECT_EQ(bytes("text.ats"), "hello");
    for (const char *command :
         {"settings", "new", "show", "set", "export", "import", "diff", "test", "publish"}) {
        const auto r = runCli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        for (const char *part : {"usage:", "Options:", "--help", "Example:"}) {
            EXPECT_TRUE(r.out.contains(part)) << command << " lacks " << part;
        }
    }
    const QJsonArray list = QJsonDocument::fromJson(run("settings --json").out).array();
    ASSERT_GT(list.size(), 100);
    QJsonObject rows;
    for (const QJsonValue &v : list) {
        rows = v["name"] == QStringLiteral("sNormRows") ? v.toObject() : rows;
    }
    EXPECT_EQ(rows["default"].toInt(), 24);
    EXPECT_EQ(rows["type"].toString(), "16-bit integer");
    EXPECT_EQ(rows["group"].toString(), "Screen");
    EXPECT_TRUE(run("settings").out.contains("sPrinterName"));
}

TEST_F(Cli, SetThenShowGivesTheTypedValuesBack) {
    // A compound file holding nothing but the class of the safe client.
    const auto empty = CompoundFile::build({ClientClasses::classIdFor(true), {}});
    ASSERT_TRUE(empty);
    put("e.ats", QByteArray(empty->data(), qsizetype(empty->size())));
    auto r = run("show @e.ats");
    EXPECT_EQ(r.out, path("e.ats").toUtf8() +
                         ": safe client\n(every setting has its default)\nscript: 0 bytes\n");
    r = run("set @e.ats sHostName=mainframe.example sNormRows=43 sScaleFont=false Pinned=2 "
            "sPalette1=255 sHostPort=2323",
            {"sSessionTitle=Caf\u00e9 \u20ac"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    const QString text = QString::fromUtf8(run("show @e.ats").out);
    for (const char *line :
         {"sHostName = \"mainframe.example\"", "sNormRows = 43", "sScaleFont = False", "Pinned = 2",
          "sPalette1 = 255", "sSessionTitle = \"Caf\u00e9 \u20ac\"", "script: 0 bytes"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
    }
    EXPECT_FALSE(text.contains("sNormCols")); // still its default
    const QJsonObject o = jsonOf(run("show @e.ats --json").out);
    EXPECT_EQ(o["client"].toString(), "safe");
    EXPECT_EQ(o["settings"]["sNormRows"].toInt(), 43);
    EXPECT_EQ(o["settings"]["sScaleFont"].toBool(true), false);
    EXPECT_EQ(o["settings"]["sHostPort"].toString(), "2323"); // a text setting stays text
    EXPECT_EQ(o["settings"]["sSessionTitle"].toString(), "Caf\u00e9 \u20ac");
    EXPECT_EQ(o["scriptLength"].toInt(-1), 0);
    // The client's code page, as the document reads it.
    EXPECT_EQ(settingOf(path("e.ats"), "sSessionTitle"),
              PropertyValue(std::string("Caf\xe9 \x80")));
}

TEST_F(Cli, BadValuesAreOneLineErrorsAndLeaveTheFileUntouched) {
    const QByteArray before = bytes("a.ats");
    const struct {
        const char *line;
        int exitCode;
        const char *message;
    } cases[] = {
        {"set @a.ats sNormRows=70000", 1, "no 16-bit integer value for sNormRows"},
        {"set @a.ats sHostName=second sNoSuch=1", 1, "unknown setting \"sNoSuch\""},
        {"set @a.ats shostname=x", 1, "unknown setting"},
        {"set @a.ats sScaleFont=perhaps", 1, "no boolean value"},
        {"set @a.ats sHostName=\u65e5\u672c", 1, "cannot hold"},
        {"set @a.ats sHostName", 2, "usage"},
        {"set @a.ats =x", 2, "usage"},
        {"set @a.ats", 2, "usage"},
    };
    for (const auto &c : cases) {
        const auto r = run(c.line);
        expectOut(r, c.line, c.exitCode, "", c.message);
        if (c.exitCode == 1) {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
        EXPECT_EQ(bytes("a.ats"), before) << c.line;
    }
}

TEST_F(Cli, NewMakesCompleteConnectionsAndReplacesOnlyWhenForced) {
    const struct {
        const char *line;
        int exitCode;
        bool safe, bare;
    } cases[] = {
        {"new @m.ats", 0, true, false},
        {"new @m.ats", 1, true, false},
        {"new --unsafe --force @m.ats", 0, false, false},
        {"new --bare --force @m.ats", 0, true, true},
        {"new", 2, true, true},
        {"new --big @m.ats", 2, true, true},
        {"new @", 1, true, true},
    };
    for (const auto &c : cases) {
        const QByteArray before = bytes("m.ats");
        EXPECT_EQ(run(c.line).exitCode, c.exitCode) << c.line;
        if (c.exitCode != 0) {
            EXPECT_EQ(bytes("m.ats"), before) << c.line;
            continue;
        }
        const auto doc = ClientDocument::load(path("m.ats"));
        ASSERT_TRUE(doc) << c.line;
        EXPECT_EQ(doc->SafeMode(), c.safe) << c.line;
        if (c.bare) {
            EXPECT_EQ(bytes("m.ats"), templateResource(kTemplateSafeConnection));
        } else {
            EXPECT_EQ(doc->Script(), defaultScript()) << c.line;
        }
    }
    EXPECT_FALSE(defaultScript().empty());
    EXPECT_TRUE(QDir(dir.path()).entryList({"Work*.ats"}).isEmpty());
}

TEST_F(Cli, ShowGoesOnAfterAFailedFileAndSumsUp) {
    put("broken.ats", "not a connection");
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    makeConnection(path("sub/d.ats"), false, {});
    auto r = run("show --json @");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.count('\n'), 3) << r.out.toStdString(); // a, b, c: one JSON line each
    for (const QByteArray &line : r.out.trimmed().split('\n')) {
        EXPECT_FALSE(QJsonDocument::fromJson(line).isNull()) << line.toStdString();
    }
    EXPECT_TRUE(r.err.contains("broken.ats: no connection file")) << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith("3 of 4 files shown, 1 failed\n")) << r.err.toStdString();

    r = run("show --all --recursive @c.ats @sub");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count("sNormRows = 24"), 2); // defaults included, both files
    EXPECT_TRUE(r.err.contains("2 of 2 files shown"));
}

TEST_F(Cli, SetValueChecksEverythingFirstAndDryRunWritesNothing) {
    const auto before = snapshot();
    auto r = run("set --value sHostName=x --value sNormRows=many @");
    expectOut(r, "many", 1, "", "\"many\" is no 16-bit integer value for sNormRows");
    EXPECT_EQ(snapshot(), before);

    r = run("set --dry-run --value sNormRows=30 @", {"--value", "sHostName=main, \"frame\""});
    expectOut(r, "dry run", 0, "b.ats: sNormRows 43 -> 30\n", "3 of 3 files would change");
    EXPECT_TRUE(r.out.contains("a.ats: sHostName \"a\" -> \"main, \"frame\"\"\n"));
    EXPECT_EQ(snapshot(), before);

    // A file that is no connection fails alone; the others are written, their scripts kept.
    put("broken.ats", "x");
    r = run("set --json --value sNormRows=43 @");
    expectOut(r, "json", 1, "", "2 of 4 files changed, 1 failed");
    EXPECT_EQ(r.err.count('\n'), 2) << r.err.toStdString(); // the failure and the summary
    const auto lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(jsonOf(lines[1])["written"].toBool(true), false);
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
    ASSERT_EQ(sheet.exitCode, 0) << sheet.err.toStdString();
    EXPECT_TRUE(sheet.out.startsWith("file,kind,sSessionTitle,Pinned,sHostName,"));
    put("fleet.csv", sheet.out);
    auto r = run("import @fleet.csv --into @new");
    expectOut(r, "import", 0, "", "4 files created, 0 updated, 0 unchanged");
    const QStringList names = QDir(dir.path()).entryList({"*.ats"});
    ASSERT_EQ(QDir(path("new")).entryList(QDir::Files), names);
    const auto shown = [&](const QString &file) {
        QJsonObject o = jsonOf(runCli({"show", "--json", file}).out);
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
    expectOut(run("import @fleet.csv --into @new"), "again", 0, "",
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
        expectOut(r, c.sheet, 1, "", c.error);
        EXPECT_TRUE(r.err.contains("nothing was written")) << r.err.toStdString();
        EXPECT_EQ(snapshot(), before) << c.sheet;
    }
}

TEST_F(Cli, DiffSaysWhatDiffersAndExitsByIt) {
    makeConnection(path("a2.ats"), false, {{"sHostName", std::string("a")}});
    const struct {
        const char *line;
        int exitCode;
        const char *out;
    } cases[] = {
        {"diff @a.ats @a2.ats", 0, ""},
        {"diff @a.ats @c.ats", 1, "sHostName: \"a\" | \"\"\n"},
        {"diff @a.ats @b.ats", 1,
         "client: safe | unsafe\nsHostName: \"a\" | \"\"\nsNormRows: 24 | 43\n"},
        {"diff @a.ats @missing.ats", 2, ""},
    };
    for (const auto &c : cases) {
        expectOut(run(c.line), c.line, c.exitCode, c.out, "");
    }
    const QJsonObject o = jsonOf(run("diff --json @a.ats @b.ats").out);
    EXPECT_FALSE(o["alike"].toBool(true));
    EXPECT_FALSE(o["scriptDiffers"].toBool(true));
    EXPECT_EQ(o["client"]["b"].toString(), "unsafe");
    EXPECT_EQ(o["settings"][1]["b"].toInt(), 43);
}

quint16 freePort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost) ? server.serverPort() : 0;
}

TEST_F(Cli, TestConnectsToARealTelnetServerAndReportsFailuresInOneLine) {
    const QString busybox = QStandardPaths::findExecutable("busybox");
    if (busybox.isEmpty()) {
        GTEST_SKIP() << "busybox is not installed (Debian package busybox-static)";
    }
    put("login.sh", "#!/bin/sh\nprintf 'ZELP FLEET TEST HOST\\r\\nready> '\nsleep 5\n");
    QFile::setPermissions(path("login.sh"), QFile::ReadOwner | QFile::ExeOwner);
    const quint16 port = freePort();
    QProcess telnetd;
    telnetd.start(busybox, {"telnetd", "-F", "-b", QStringLiteral("127.0.0.1:%1").arg(port), "-l",
                            path("login.sh"), "-f", "/dev/null"});
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
        {"127.0.0.1", port, 0, "Connected to 127.0.0.1:", ""},
        {"127.0.0.1", freePort(), 1, "", "connection refused"},
        {"no-such-host.invalid", 23, 1, "", "host not found"},
    };
    for (const auto &c : cases) {
        makeConnection(path("t.ats"), false,
                       {{"sHostName", std::string(c.host)}, {"sHostPort", std::to_string(c.port)}});
        const auto r = run("test --timeout 5 @t.ats");
        expectOut(r, c.host, c.exitCode, c.out, c.err);
        if (c.exitCode == 0) {
            EXPECT_TRUE(r.out.startsWith("Connected to 127.0.0.1:")) << r.out.toStdString();
            EXPECT_TRUE(r.out.contains("ZELP FLEET TEST HOST\nready>")) << r.out.toStdString();
        } else {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
    telnetd.kill();
    telnetd.waitForFinished(5000);
}

TEST_F(Cli, ConvertTakesFilesAndFoldersReportsTheFailuresAndTheCountsAddUp) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("fleet/sub"));
    ASSERT_TRUE(write97File(path("one.ats"), kUnsafe97ClassId, {{"HostName", std::string("h1")}}));
    ASSERT_TRUE(
        write97File(path("fleet/two.ats"), kSafe97ClassId, {{"HostName", std::string("h2")}}));
    ASSERT_TRUE(write97File(path("fleet/sub/three.zlp"), kSafe97ClassId,
                            {{"NormRows", std::string("many")}}));
    put("corrupt.ats",
        QByteArray(100, 'x') + QByteArray::fromHex("17694df2d169d211ab7f0040055a85c2"));
    const auto r =
        run("convert --into @out --report @report.json @one.ats @corrupt.ats @a.ats @fleet");
    expectOut(r, "convert", 1, "converted 3, skipped 0, failed 2 of 5 files in ", "");
    EXPECT_TRUE(r.out.startsWith("converted 3")) << r.out.toStdString();
    for (const char *failed : {"corrupt.ats", "a.ats"}) {
        EXPECT_TRUE(r.err.contains("failed: " + path(failed).toUtf8())) << r.err.toStdString();
    }
    for (const auto &[name, host] :
         {std::pair{"one.ats", "h1"}, std::pair{"two.ats", "h2"}, std::pair{"three.ats", ""}}) {
        EXPECT_EQ(settingOf(path("out/") + name, "sHostName"), PropertyValue(std::string(host)));
        // "many" rows cannot be converted: the template's 24 stands.
        EXPECT_EQ(settingOf(path("out/") + name, "sNormRows"), PropertyValue(int16_t(24)));
    }
    const QJsonObject report = QJsonDocument::fromJson(bytes("report.json")).object();
    QMap<QString, int> results;
    for (const QJsonValue &file : report["files"].toArray()) {
        ++results[file["result"].toString()];
        if (file["source"].toString().endsWith("three.zlp")) {
            EXPECT_EQ(file["client"].toString(), "safe");
            const QJsonArray settings = file["settings"].toArray();
            EXPECT_TRUE(std::any_of(settings.begin(), settings.end(), [](const QJsonValue &s) {
                return s["name"] == QStringLiteral("sNormRows") &&
                       s["status"] == QStringLiteral("unreadable") &&
                       !s["reason"].toString().isEmpty();
            }));
        }
        if (file["result"] == QStringLiteral("failed")) {
            EXPECT_FALSE(file["message"].toString().isEmpty());
        }
    }
    EXPECT_EQ(report["summary"]["files"].toInt(), 5);
    EXPECT_EQ(results, (QMap<QString, int>{{"converted", 3}, {"failed", 2}}));
    for (const char *key : {"converted", "skipped", "failed"}) {
        EXPECT_EQ(report["summary"][key].toInt(), results[key]) << key;
    }
    // Existing targets are skipped unless --yes answers the question.
    expectOut(run("convert --into @out @fleet"), "again", 0,
              "converted 0, skipped 2, failed 0 of 2 files", "");
    expectOut(run("convert --into @out @fleet --yes"), "--yes", 0,
              "converted 2, skipped 0, failed 0 of 2 files", "");
    expectOut(run("convert @one.ats @single.ats"), "single", 0, "", "");
    EXPECT_TRUE(ClientDocument::load(path("single.ats")));
    EXPECT_EQ(run("convert @one.ats").exitCode, 2);
}

} // namespace
