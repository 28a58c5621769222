// The companion is run as a program, as a user would run it: its output, exit code and files.
#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "client/core/legacy97writer.h"
#include "common/fileutil.h"
#include "files/resources.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

#include <csignal>
#include <numeric>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zelp;
using namespace zelp::test;

namespace {

struct CliResult {
    int exitCode = -1; // -1: crashed or hung
    QByteArray out, err;
};

// Runs the companion bounded in time. A file-size limit makes writes beyond it fail as on a full
// disk; without a registry file it sees none.
CliResult runCli(const QStringList &args, rlim_t fileSizeLimit = 0, const QString &cwd = {},
                 const QString &registry = {}) {
    static QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("ZELPDEV2K_REGISTRY", registry.isEmpty() ? home.filePath("none.reg") : registry);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(cwd);
    if (fileSizeLimit) {
        process.setChildProcessModifier([rl = rlimit{fileSizeLimit, fileSizeLimit}] {
            ::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &rl);
        });
    }
    process.start(ZELP_CLI, args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// The files of a folder, hidden ones too, by name.
QMap<QString, QByteArray> filesIn(const QString &folder) {
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        files.insert(name, ReadWholeFile(folder + u'/' + name));
    }
    return files;
}

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

// A folder of its own per test with three connections: safe "a" for host a, unsafe "b" of 43
// rows, safe "c" all defaults. Command lines are split at spaces; a word starting with '@' names
// a file in the folder ("@" alone the folder itself).
class Cli : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void SetUp() override {
        makeConnection(path("a.ats"), false, {{"sHostName", std::string("a")}});
        makeConnection(path("b.ats"), true, {{"sNormRows", int16_t(43)}});
        makeConnection(path("c.ats"), false, {});
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList argv(const char *line) const {
        QStringList words = QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
        for (QString &w : words) {
            w = w == "@" ? dir.path() : w.startsWith(u'@') ? path(w.mid(1)) : w;
        }
        return words;
    }
    CliResult run(const char *line, const QStringList &more = {}) const {
        return runCli(argv(line) + more);
    }
    // Runs the line and checks the exit code and a part of each output; "" for an empty one.
    CliResult check(const char *line, int exitCode, const char *out, const char *err,
                    const QStringList &more = {}) const {
        const CliResult r = run(line, more);
        EXPECT_EQ(r.exitCode, exitCode) << line << "\n" << r.err.toStdString();
        EXPECT_TRUE(*out ? r.out.contains(out) : r.out.isEmpty()) << line << "\n"
                                                                  << r.out.toStdString();
        EXPECT_TRUE(*err ? r.err.contains(err) : r.err.isEmpty()) << line << "\n"
                                                                  << r.err.toStdString();
        return r;
    }
    QByteArray bytes(const QString &name) const { return ReadWholeFile(path(name)); }
    void put(const QString &name, const QByteArray &content) const {
        ASSERT_TRUE(WriteWholeFile(path(name), content, true)) << name.toStdString();
    }
    QMap<QString, QByteArray> snapshot() const { return filesIn(dir.path()); }
};

TEST_F(Cli, CommandLinesThatWriteNothingExitByTheirOutcomeAndSayWhy) {
    put("text.ats", "hello");
    makeConnection(path("a2.ats"), false, {{"sHostName", std::string("a")}});
    put("old.ats", templateResource(kTemplateSafeConnection)
                       .replace(1104, 16, QByteArray::fromHex("11694DF2D169D211AB7F0040055A85C2")));
    const char *usage = "zelpdev2k-cli publish FILE [--html PAGE]";
    const auto before = snapshot();
    const std::tuple<const char *, int, const char *, const char *> cases[] = {
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
        {"publish", 2, "", usage},
        {"publish @a.ats @b.ats", 2, "", usage},
        {"publish @a.ats --web", 2, "", usage},
        {"publish @a.ats --html", 2, "", usage},
        {"publish @missing.ats", 1, "", "/missing.ats: no such file"},
        {"publish @text.ats", 1, "", "/text.ats: not a connection file"},
        {"publish @old.ats", 1, "",
         "/old.ats: not a Velmaris 2000 connection file (root class "
         "{F24D6911-69D1-11D2-AB7F-0040055A85C2})"},
        {"publish @a.ats --gui", 1, "",
         "zelpdev2k-cli: Unable to generate HTML file - unable to find GUID (GUI)!\n"},
        {"publish @a.ats --html @a.ats", 1, "",
         "zelpdev2k-cli: Unable to generate HTML file - the HTML file name is that of the "
         "connection file!"},
        {"diff @a.ats @a2.ats", 0, "", ""},
        {"diff @a.ats @c.ats", 1, "sHostName: \"a\" | \"\"\n", ""},
        {"diff @a.ats @b.ats", 1,
         "client: safe | unsafe\nsHostName: \"a\" | \"\"\nsNormRows: 24 | 43\n", ""},
        {"diff --json @a.ats @b.ats", 1, R"("alike":false,)", ""},
        {"diff --json @a.ats @b.ats", 1,
         R"("client":{"a":"safe","b":"unsafe"},"mousePatternsDiffer":false,"scriptDiffers":false,)"
         R"("settings":[{"a":"a","b":"","name":"sHostName"},{"a":24,"b":43,"name":"sNormRows"}]})",
         ""},
        {"diff @a.ats @missing.ats", 2, "",
         "missing.ats: no connection file: the file does not exist"},
    };
    for (const auto &[line, exitCode, out, err] : cases) {
        const CliResult r = check(line, exitCode, out, err);
        if (exitCode == 1 && *err) {
            EXPECT_EQ(r.err.count('\n'), 1) << line << "\n" << r.err.toStdString();
        }

        EXPECT_EQ(snapshot(), before) << line;
    }
    for (const char *command :
         {"settings", "new", "show", "set", "export", "import", "diff", "test", "publish"}) {
        const auto r = runCli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        for (const char *part : {"usage:", "Options:", "--help", "Example:"}) {
            EXPECT_TRUE(r.out.contains(part)) << command << " lacks " << part;
        }
    }
    EXPECT_GT(QJsonDocument::fromJson(run("settings --json").out).array().size(), 100);
}

TEST_F(Cli, TextFromFilesAndFileNamesReachesTheTerminalEscaped) {
    makeConnection(path("e\x1b]52;c;QQ\x07\xc2\x9b.ats"), false, {});
    const QByteArray shown = "e\\x1b]52;c;QQ\\x07\\x9b.ats";
    const std::tuple<CliResult, QByteArray> cases[] = {
        {runCli({"show", dir.path()}), shown + ": safe client"},
        {runCli({"show", "--json", dir.path()}), "e\\u001b]52;c;QQ\\u0007\\u009b.ats"},
        {runCli({"diff", path("a.ats"), dir.path() + "/e\x1b]52;c;QQ\x07\xc2\x9b.ats"}), shown},
        {runCli({"show", path("\x1b[2Jgone.ats")}), "\\x1b[2Jgone.ats: no connection file"},
    };
    for (const auto &[r, part] : cases) {
        const QByteArray all = r.out + r.err;
        EXPECT_TRUE(all.contains(part)) << all.toStdString();
        EXPECT_FALSE(all.contains('\x1b') || all.contains('\x07') || all.contains("\xc2\x9b"));
    }
}

TEST_F(Cli, NewSetAndShowGiveTheTypedValuesBack) {
    // A compound file holding nothing but the class of the safe client.
    put("e.ats",
        QByteArray::fromStdString(*CompoundFile::build({ClientClasses::classIdFor(true), {}})));
    const QByteArray e = path("e.ats").toUtf8();
    EXPECT_EQ(run("show @e.ats").out, e + ": safe client\n(every setting has its default)\n"
                                          "script: 0 bytes\n");
    check("set @e.ats sHostName=mainframe.example sNormRows=43 sScaleFont=false Pinned=2 "
          "sPalette1=255 sHostPort=2323",
          0, "", "", {"sSessionTitle=Caf\u00e9 \u20ac"});
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

    // line, safe, bare
    const std::tuple<const char *, bool, bool> made[] = {
        {"new @m.ats", true, false},
        {"new --unsafe --force @m.ats", false, false},
        {"new --bare --force @m.ats", true, true},
    };
    for (const auto &[line, safe, bare] : made) {
        check(line, 0, "", "");
        const auto doc = ClientDocument::load(path("m.ats"));
        ASSERT_TRUE(doc) << line;
        EXPECT_EQ(std::tuple(doc->SafeMode(), doc->Script()),
                  std::tuple(safe, bare ? "" : defaultScript()))
            << line;
        EXPECT_EQ(bytes("m.ats") == templateResource(kTemplateSafeConnection), bare);
    }
    EXPECT_FALSE(defaultScript().empty());
    EXPECT_TRUE(QDir(dir.path()).entryList({"Work*.ats"}).isEmpty());
}

TEST_F(Cli, ShowAndSetGoOnAfterAFailedFileAndSumUp) {
    put("broken.ats", "not a connection");
    const auto before = snapshot();
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    makeConnection(path("sub/d.ats"), false, {});
    auto r = check("show --json @", 1, R"(c.ats","mousePatternsLength":)",
                   "broken.ats: no connection file");
    EXPECT_EQ(r.out.count('\n'), 3) << r.out.toStdString(); // a, b, c: one JSON line each
    for (const QByteArray &line : r.out.trimmed().split('\n')) {
        EXPECT_FALSE(QJsonDocument::fromJson(line).isNull()) << line.toStdString();
    }
    EXPECT_TRUE(r.err.endsWith("3 of 4 files shown, 1 failed\n")) << r.err.toStdString();
    r = check("show --all --recursive @c.ats @sub", 0, "c.ats: safe client\n",
              "2 of 2 files shown");
    EXPECT_EQ(r.out.count("sNormRows = 24"), 2); // defaults included, both files

    // A bad value among good ones: no file is touched, not even by a dry run.
    check("set --value sHostName=x --value sNormRows=many @a.ats", 1, "",
          "\"many\" is no 16-bit integer value for sNormRows");
    r = check("set --dry-run --value sNormRows=30 @a.ats @b.ats @c.ats", 0,
              "b.ats: sNormRows 43 -> 30\n", "3 of 3 files would change",
              {"--value", "sHostName=main, \"frame\""});
    EXPECT_TRUE(r.out.contains("a.ats: sHostName \"a\" -> \"main, \"frame\"\"\n"));
    EXPECT_EQ(snapshot(), before);
    // The file that is no connection fails alone; the others are written, their scripts kept.
    r = check("set --json --value sNormRows=43 @", 1,
              R"({"changes":[{"name":"sNormRows","new":43,"old":43}],"file":")",
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
                    {"sPalette3", -1234.5},
                    {"sHostName", std::string("=1+2")},
                    {"sHostTermType", std::string("'+x")},
                    {"sScaleFont", false},
                    {"sFKeyF13", std::string("extra key")},
                    {"Pinned", int16_t(2)}});
    const auto sheet = check("export @", 0, "\nb.ats,unsafe,", "4 of 4 files exported");
    EXPECT_TRUE(sheet.out.startsWith("file,kind,sSessionTitle,Pinned,sHostName,"));
    // No formula for a spreadsheet; numbers stay numbers.
    for (const char *cell : {",'=1+2,", ",''+x,", ",-1234.5,"}) {
        EXPECT_TRUE(sheet.out.contains(cell)) << cell << "\n" << sheet.out.toStdString();
    }
    put("fleet.csv", sheet.out);
    check("import @fleet.csv --into @new", 0, "", "4 files created, 0 updated, 0 unchanged");
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
    check("import @fleet.csv --into @new", 0, "", "0 files created, 0 updated, 4 unchanged");
}

TEST_F(Cli, AHostileSheetIsRefusedWithRowAndColumnAndNothingIsWritten) {
    const std::string longName = "file\r\n" + std::string(300, 'x') + ".ats\r\n";
    const std::pair<const char *, const char *> cases[] = {
        {longName.c_str(), "row 2, column A (file): the file name is 304 bytes long"},
        {"file\r\nx.ats\r\n\xEF\xBB\xBF"
         "b.ats\r\n",
         "row 3, column A (file): the file name has "
         "the invisible character U+FEFF"},
        // the sheet and a part of the error
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
    for (const auto &[sheet, error] : cases) {
        ASSERT_TRUE(WriteWholeFile(csv, sheet, true));
        const auto r = runCli({"import", csv, "--into", dir.path()});
        EXPECT_EQ(r.exitCode, 1) << sheet;
        for (const char *part : {error, "nothing was written"}) {
            EXPECT_TRUE(r.err.contains(part)) << sheet << "\n" << r.err.toStdString();
        }
        EXPECT_EQ(snapshot(), before) << sheet;
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
    const std::tuple<const char *, quint16, int, const char *, const char *> cases[] = {
        {"127.0.0.1", port, 0, "ZELP FLEET TEST HOST\nready>", ""},
        {"127.0.0.1", freePort(), 1, "", "connection refused"},
        {"no-such-host.invalid", 23, 1, "", "host not found"},
    };
    for (const auto &[host, hostPort, exitCode, out, err] : cases) {
        makeConnection(path("t.ats"), false,
                       {{"sHostName", std::string(host)}, {"sHostPort", std::to_string(hostPort)}});
        const auto r = check("test --timeout 5 @t.ats", exitCode, out, err);
        EXPECT_EQ(r.out.startsWith("Connected to 127.0.0.1:"), exitCode == 0);
        EXPECT_EQ(r.err.count('\n'), exitCode) << r.err.toStdString();
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
        QByteArray(99, 'x') + QByteArray::fromHex("17694df2d169d211ab7f0040055a85c2"));
    const auto r =
        check("convert --into @out --report @report.json @one.ats @corrupt.ats @a.ats @fleet", 1,
              "converted 3, skipped 0, failed 2 of 5 files in ",
              "a.ats is no Velmaris 97 connection file");
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
    check("convert --into @out @fleet", 0, "converted 0, skipped 2, failed 0 of 2 files",
          "already exists. Are you sure you want to overwrite this file? (--yes overwrites)");
    check("convert --into @out @fleet --yes", 0, "converted 2, skipped 0, failed 0 of 2 files", "");
    check("convert @one.ats @single.ats", 0, "converted 1, skipped 0, failed 0 of 1 files", "");
    EXPECT_EQ(settingOf(path("single.ats"), "sHostName"), PropertyValue(std::string("h1")));
    EXPECT_EQ(run("convert @one.ats").exitCode, 2);
}

TEST_F(Cli, PublishWritesThePageBesideItsConnectionOrWhereTold) {
    const QByteArray a = bytes("a.ats");
    put("x%ZELP_VBD%.ats", a);
    ASSERT_TRUE(QDir(dir.path()).mkdir("pages"));
    put("registry.reg", "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\ZlGUIServer.ZlGUISvr\\Clsid]\r\n"
                        "@=\"{5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10}\"\r\n");
    // The arguments (relative to the folder the companion runs in), the page written and parts of
    // it separated by "|". The page itself is the generator's; here the kind, the flags and the
    // names arrive.
    const std::tuple<const char *, QString, const char *> cases[] = {
        {"a.ats", "a.htm",
         "<!-- the SAFE Velmaris emulator -->|window.open('a.htm','demo_window');"
         "|Location.Replace \"a.ats\""},
        {"--gui b.ats --intranet", "b.htm",
         "<!-- the UNSAFE Velmaris emulator -->|CLSID:5C3A0E21-7B44-4F0D-9E61-2A8D5B7C9F10"
         "|Window.Open \"b.ats\",\"zelpcli\""},
        {"a.ats --html pages/Launch.htm", "pages/Launch.htm",
         "window.open('Launch.htm','demo_window');"},
        {"x%ZELP_VBD%.ats", "x%ZELP_VBD%.htm", "Location.Replace \"x%25ZELP_VBD%25.ats\""},
        // No page: one line that names the page that could not be written.
        {"a.ats --html missing/x.htm", "",
         "zelpdev2k-cli: Unable to write file <dir>/missing/x.htm"},
    };
    for (const auto &[line, page, holds] : cases) {
        SCOPED_TRACE(line);
        const CliResult r =
            runCli(QStringList{"publish"} + argv(line), 0, dir.path(), path("registry.reg"));
        QStringList pages;
        for (QDirIterator it(dir.path(), {"*.htm"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            pages << QDir(dir.path()).relativeFilePath(it.next());
        }
        EXPECT_EQ(pages, page.isEmpty() ? QStringList() : QStringList{page});
        EXPECT_EQ(QString::fromLocal8Bit(r.out), page.isEmpty() ? "" : path(page) + u'\n');
        if (page.isEmpty()) {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.err.count('\n'), 1);
            EXPECT_TRUE(
                QString::fromLocal8Bit(r.err).contains(QString(holds).replace("<dir>", dir.path())))
                << r.err.toStdString();
            continue;
        }
        EXPECT_EQ(std::pair(r.exitCode, r.err), std::pair(0, QByteArray())) << r.err.toStdString();
        for (const QString &part : QString(holds).split(u'|')) {
            EXPECT_TRUE(bytes(page).contains(part.toLatin1())) << part.toStdString();
        }
        QFile::remove(path(page));
    }
    EXPECT_EQ(bytes("a.ats"), a);
}

// Real write faults: a file-size limit that cuts writes short, write-protected targets, a full
// file system.
TEST_F(Cli, EveryWriterReportsTheFaultInOneLineAndLeavesTheFolderAsItWas) {
    // A connection the companion saved once, and a page, in a folder.
    const auto prepare = [](const QString &folder) {
        const QString file = folder + QStringLiteral("/a.ats");
        ASSERT_TRUE(WriteWholeFile(file, templateResource(kTemplateSafeConnection), true));
        ASSERT_EQ(runCli({"set", file, "sSessionTitle=T"}).exitCode, 0);
        ASSERT_TRUE(WriteWholeFile(folder + QStringLiteral("/a.htm"), QByteArray(600, 'p'), true));
    };
    const QString full = path("small");
    ASSERT_TRUE(QDir().mkdir(full));
    const bool mounted = ::geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(full).constData(),
                                                     "tmpfs", 0, "size=64k") == 0;
    prepare(dir.path());
    if (mounted) {
        prepare(full);
        QFile filler(full + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    // folder, file-size limit, write-protected target, the reason reported
    const std::tuple<QString, rlim_t, bool, const char *> faults[] = {
        {dir.path(), 1024, false, "File too large"},
        {dir.path(), 0, true, "read-only"},
        {full, 0, false, "No space left on device"},
    };
    for (const auto &[folder, fileSizeLimit, writeProtected, reason] : faults) {
        if (folder == full && !mounted) {
            continue;
        }
        const auto in = [&](const char *name) { return folder + u'/' + name; };
        const std::pair<QStringList, const char *> writers[] = {
            // the command and its target
            {{"set", in("a.ats"), "sHostName=" + QString(9000, u'h')}, "a.ats"},
            {{"new", "--bare", "--force", in("a.ats")}, "a.ats"},
            {{"new", "--force", in("a.ats")}, "a.ats"},
            {{"publish", in("a.ats"), "--html", in("a.htm")}, "a.htm"},
        };
        for (const auto &[args, targetName] : writers) {
            SCOPED_TRACE(reason + (": " + args.join(u' ').left(40)).toStdString());
            const QByteArray target = QFile::encodeName(in(targetName));
            ASSERT_EQ(::chmod(target.constData(), writeProtected ? 0444 : 0644), 0);
            const auto before = filesIn(folder);
            const CliResult r = runCli(args, fileSizeLimit);
            ::chmod(target.constData(), 0644);
            EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(reason)) << r.err.toStdString();
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
            EXPECT_EQ(filesIn(folder), before);
        }
    }
    if (mounted) {
        ::umount2(QFile::encodeName(full).constData(), MNT_DETACH);
    } else {
        GTEST_SKIP() << "no full file system: a small tmpfs needs root and mount rights";
    }
}

TEST_F(Cli, AStorageTheClientDoesNotKnowSurvivesASave) {
    const ClassIdBytes storageId = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::string data(4096, '\0');
    std::iota(data.begin(), data.end(), char(0));
    const auto built = CompoundFile::build(
        {ClientClasses::classIdFor(true), {}, {{"Extra", {storageId, {{"Data", data}}}}}});
    ASSERT_TRUE(built);
    put("f.ats", QByteArray::fromStdString(*built));
    check("set @f.ats sHostName=example.org", 0, "", "");
    EXPECT_EQ(settingOf(path("f.ats"), "sHostName"), PropertyValue(std::string("example.org")));

    // Read back by libgsf, so that the check is not the program's own compound code.
    gsf_init();
    GsfInput *input = gsf_input_stdio_new(QFile::encodeName(path("f.ats")).constData(), nullptr);
    ASSERT_TRUE(input);
    GsfInfile *ole = gsf_infile_msole_new(input, nullptr);
    ASSERT_TRUE(ole);
    GsfInput *extra = gsf_infile_child_by_name(ole, "Extra");
    ASSERT_TRUE(extra && GSF_IS_INFILE(extra));
    guint8 id[16] = {};
    ASSERT_TRUE(gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(extra), id));
    EXPECT_TRUE(std::equal(storageId.begin(), storageId.end(), id));
    GsfInput *stream = gsf_infile_child_by_name(GSF_INFILE(extra), "Data");
    ASSERT_TRUE(stream);
    std::string back(gsf_input_size(stream), '\0');
    ASSERT_TRUE(gsf_input_read(stream, back.size(), reinterpret_cast<guint8 *>(back.data())));
    EXPECT_EQ(back, data);
    for (gpointer o : {gpointer(stream), gpointer(extra), gpointer(ole), gpointer(input)}) {
        g_object_unref(o);
    }
}

TEST_F(Cli, ADamagedFileGivesOneLineOfTheProgramsOwn) {
    // Cut where a disk that filled up would have cut it.
    put("cut.ats", templateResource(kTemplateSafeConnection));
    ASSERT_EQ(run("set @cut.ats", {"sHostName=" + QString(9000, u'h')}).exitCode, 0);
    ASSERT_TRUE(QFile::resize(path("cut.ats"), 8192));
    const CliResult r = run("show @cut.ats");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("CRITICAL")) << r.err.toStdString();
}

} // namespace
