// The companion is run as a program, as a user would run it: its output, exit code and files.
#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "client/core/legacy97writer.h"
#include "common/fileutil.h"
#include "files/resources.h"

#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>

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
// disk (once the companion ignores SIGXFSZ); without a registry file it sees none.
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
            // SIGXFSZ as the shell leaves it: the companion must not die of it.
            ::signal(SIGXFSZ, SIG_DFL);
            ::setrlimit(RLIMIT_FSIZE, &rl);
        });
    }
    // An event loop, not waitForFinished: servers of the test answer meanwhile.
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    process.start(ZELP_CLI, args);
    if (process.waitForStarted()) {
        loop.exec();
    }
    if (process.state() != QProcess::NotRunning) {
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
        path, templateResource(unsafe ? kTemplateUnsafeConnection : kTemplateSafeConnection)));
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
        ASSERT_TRUE(WriteWholeFile(path(name), content)) << name.toStdString();
    }
    QMap<QString, QByteArray> snapshot() const { return filesIn(dir.path()); }
};

TEST_F(Cli, CommandLinesThatWriteNothingExitByTheirOutcomeAndSayWhy) {
    put("text.ats", "hello");
    makeConnection(path("a2.ats"), false, {{"sHostName", std::string("a")}});
    put("old.ats", templateResource(kTemplateSafeConnection)
                       .replace(1104, 16, QByteArray::fromHex("11694DF2D169D211AB7F0040055A85C2")));
    const char *usage = "zelpdev2k-cli publish [--html PAGE]";
    const auto before = snapshot();
    const std::tuple<const char *, int, const char *, const char *> cases[] = {
        {"--help", 0, "help COMMAND", ""},
        {"help", 0, "Commands:", ""},
        {"--version", 0, "zelpdev2k-cli 4.", ""},
        {"help import", 0, "--dry-run", ""},
        {"help help", 0, "zelpdev2k-cli help [COMMAND]", ""},
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
        {"set @a.ats sHostPort=abc", 1, "", "\"abc\" is no port value for sHostPort"},
        {"set @a.ats sHostPort=65536", 1, "", "\"65536\" is no port value for sHostPort"},
        {"set @a.ats sHostName=\u65e5\u672c", 1, "", "cannot hold"},
        {"set @a.ats sHostName", 2, "", "usage"},
        {"set @a.ats =x", 2, "", "usage"},
        {"set @a.ats", 2, "", "usage"},
        {"new @a.ats", 1, "", "a.ats already exists; use --force to replace it"},
        {"new", 2, "", "one FILE expected"},
        {"new --big @m.ats", 2, "", "Unknown option 'big'"},
        {"new @", 1, "", "is not a file"},
        {"publish", 2, "", usage},
        {"publish @a.ats @b.ats --html @x.htm", 2, "", usage},
        {"publish @a.ats --index", 2, "", usage},
        {"test --jobs 0 @a.ats", 2, "", "--jobs takes 1 to 256"},
        {"show --text --json @a.ats", 2, "", "--text goes alone"},
        {"publish @a.ats --web", 2, "", usage},
        {"publish @a.ats --html", 2, "", usage},
        {"publish @missing.ats", 1, "", "/missing.ats: no such file"},
        {"publish @text.ats", 1, "", "/text.ats: not a connection file"},
        {"publish @old.ats", 1, "",
         "/old.ats: not a Velmaris 2000 connection file (root class "
         "{F24D6911-69D1-11D2-AB7F-0040055A85C2})"},
        {"publish @a.ats --gui", 1, "",
         "a.ats: Unable to generate HTML file - unable to find GUID (GUI)!\n"},
        {"publish @a.ats --html @a.ats", 1, "",
         "a.ats: Unable to generate HTML file - the HTML file name is that of the "
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

    const struct {
        const char *line;
        bool safe, bare;
    } made[] = {
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
        ASSERT_TRUE(WriteWholeFile(csv, sheet));
        const auto r = runCli({"import", csv, "--into", dir.path()});
        EXPECT_EQ(r.exitCode, 1) << sheet;
        for (const char *part : {error, "nothing was written"}) {
            EXPECT_TRUE(r.err.contains(part)) << sheet << "\n" << r.err.toStdString();
        }
        EXPECT_EQ(snapshot(), before) << sheet;
    }
}

TEST_F(Cli, TestConnectsToManyHostsAtOnceTwoPerHostAndPrintsNothingAHostCouldAbuse) {
    const QString busybox = QStandardPaths::findExecutable("busybox");
    if (busybox.isEmpty()) {
        GTEST_SKIP() << "busybox is not installed (Debian package busybox-static)";
    }
    const auto freePort = [] {
        QTcpServer server;
        return server.listen(QHostAddress::LocalHost) ? server.serverPort() : quint16(0);
    };
    // A host that tries to set the title and the clipboard, colours its banner and sends C1.
    put("login.sh", "#!/bin/sh\nprintf '\\033]0;PWNED\\007\\033]52;c;ZXZpbA==\\007\\033[31m"
                    "ZELP FLEET TEST HOST\\302\\233\\r\\nready> '\nsleep 5\n");
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
    // A host that accepts and says nothing, counting the connections it holds at once.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    // Held ones are asked first whether they are gone: a close may wait behind the next one.
    std::vector<std::unique_ptr<QTcpSocket>> held;
    size_t most = 0;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *s = silent.nextPendingConnection()) {
            std::erase_if(held, [](const auto &h) {
                h->waitForReadyRead(0);
                return h->state() != QAbstractSocket::ConnectedState;
            });
            held.emplace_back(s);
            most = std::max(most, held.size());
        }
    });
    // A host that floods with option requests and never reads the answers.
    QTcpServer storm;
    ASSERT_TRUE(storm.listen(QHostAddress::LocalHost));
    QObject::connect(&storm, &QTcpServer::newConnection, [&] {
        QTcpSocket *host = storm.nextPendingConnection();
        host->setReadBufferSize(1);
        host->write(QByteArray("\xff\xfd\x18\xff\xfe\x18").repeated(1 << 20));
    });
    const std::tuple<const char *, std::string, quint16, const char *> hosts[] = {
        // file, host, port, its line
        {"f1", "127.0.0.1", port, "reached 127.0.0.1:%1 in "},
        {"f2", "127.0.0.1", port, "first byte after "},
        {"s1", "127.0.0.1", silent.serverPort(), "said nothing within 1 seconds"},
        {"s2", "127.0.0.1", silent.serverPort(), "said nothing within 1 seconds"},
        {"s3", "127.0.0.1", silent.serverPort(), "said nothing within 1 seconds"},
        {"s4", "127.0.0.1", silent.serverPort(), "said nothing within 1 seconds"},
        {"x1", "127.0.0.1", freePort(), "connection refused"},
        {"o1", "127.0.0.1", storm.serverPort(), "dropped - the host does not read what is sent"},
        {"x2", "\x1b]0;PWNED\x07.invalid", 23, "Unable to connect to \\x1b]0;PWNED\\x07.invalid"},
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir("fleet"));
    for (const auto &[name, host, hostPort, line] : hosts) {
        makeConnection(path(QStringLiteral("fleet/%1.ats").arg(name)), false,
                       {{"sHostName", host}, {"sHostPort", std::to_string(hostPort)}});
    }
    const CliResult r = check("test --timeout 1 @fleet", 1,
                              "f1.ats: reached 127.0.0.1:", "2 of 9 hosts answered, 7 failed");
    EXPECT_EQ(r.out.count("ZELP FLEET TEST HOST\n"), 2) << r.out.toStdString();
    EXPECT_EQ(r.err.count('\n'), 8) << r.err.toStdString();
    EXPECT_EQ(most, 2u);
    for (const auto &[name, host, hostPort, line] : hosts) {
        const QByteArray &text = name[0] == 'f' ? r.out : r.err;
        const qsizetype at = text.indexOf("/" + QByteArray(name) + ".ats: ");
        const QByteArray shown = text.mid(at, text.indexOf('\n', at) - at);
        EXPECT_TRUE(at >= 0 &&
                    shown.contains(QByteArray(line).replace("%1", QByteArray::number(port))))
            << name << ": " << shown.toStdString();
    }
    EXPECT_LT(r.out.indexOf("f1.ats"), r.out.indexOf("f2.ats")); // in the order of the files
    const auto json = check("test --timeout 1 --json @fleet/f1.ats @fleet/x1.ats", 1,
                            R"("firstLine":"ZELP FLEET TEST HOST")", "connection refused");
    QStringList oks;
    for (const QByteArray &line : json.out.trimmed().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        oks << QFileInfo(o["file"].toString()).fileName() + ' ' + (o["ok"].toBool() ? "ok" : "no");
    }
    EXPECT_EQ(oks, QStringList({"f1.ats ok", "x1.ats no"}));
    for (const QByteArray &text : {r.out, r.err, json.out}) {
        for (const char c : text) {
            const auto u = static_cast<unsigned char>(c);
            EXPECT_FALSE((u < 0x20 && c != '\n') || u == 0x7f || u == 0xc2) << int(u);
        }
    }
    // One file: the whole screen.
    check("test --timeout 5 @fleet/f1.ats", 0, "----\n\nZELP FLEET TEST HOST\nready>", "");
    telnetd.kill();
    telnetd.waitForFinished(5000);
}

// The lines of a JSON Lines report; an empty object for a line that is no JSON.
std::vector<QJsonObject> reportLines(const QByteArray &bytes) {
    std::vector<QJsonObject> lines;
    for (const QByteArray &line : bytes.split('\n')) {
        if (!line.isEmpty()) {
            lines.push_back(QJsonDocument::fromJson(line).object());
        }
    }
    return lines;
}

// The names of the files and folders under a folder, hidden ones too.
QStringList treeOf(const QString &folder) {
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        names << QDir(folder).relativeFilePath(it.next());
    }
    names.sort();
    return names;
}

TEST_F(Cli, ConvertTakesFilesAndFoldersReportsTheFailuresAndTheCountsAddUp) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("fleet/sub"));
    ASSERT_TRUE(write97File(path("one.ats"), kUnsafe97ClassId, {{"HostName", std::string("h1")}}));
    ASSERT_TRUE(
        write97File(path("fleet/two.ats"), kSafe97ClassId, {{"HostName", std::string("h2")}}));
    ASSERT_TRUE(write97File(path("fleet/sub/three.ATS"), kSafe97ClassId,
                            {{"NormRows", std::string("many")}, {"Palette", std::string("1,2")}}));
    put("fleet/readme.txt", "not a connection");
    put("corrupt.ats",
        QByteArray(99, 'x') + QByteArray::fromHex("17694df2d169d211ab7f0040055a85c2"));
    const auto r = check(
        "convert --into @out --report @report.jsonl @one.ats @corrupt.ats @a.ats @fleet", 1, "",
        "converted 3, skipped 0 (already there), left alone 1 (already 2000), failed 1 of 5 files");
    EXPECT_TRUE(r.err.contains("failed: " + path("corrupt.ats").toUtf8())) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("already 2000, left alone: " + path("a.ats").toUtf8()));
    EXPECT_FALSE(r.err.contains("readme")) << "only connection files are walked";
    for (const auto &[name, host] : {std::pair{"one", "h1"}, {"two", "h2"}, {"sub/three", ""}}) {
        const QString file = path("out/") + name + ".ats";
        EXPECT_EQ(settingOf(file, "sHostName"), PropertyValue(std::string(host)));
        // "many" rows cannot be converted: the template's 24 stands.
        EXPECT_EQ(settingOf(file, "sNormRows"), PropertyValue(int16_t(24)));
    }
    const std::vector<QJsonObject> lines = reportLines(bytes("report.jsonl"));
    ASSERT_EQ(lines.size(), 6u);
    QStringList digest; // name, result, client, settings told one by one and whether it says why
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const QJsonObject &f = lines[i];
        QString line = QFileInfo(f["source"].toString()).fileName() + ' ' + f["result"].toString() +
                       ' ' + f["client"].toString();
        for (const QJsonValue &s : f["settings"].toArray()) {
            EXPECT_NE(s["status"], QStringLiteral("carried")) << "counted, not listed";
            if (s["status"] == QStringLiteral("unreadable")) {
                line += ' ' + s["name"].toString();
            }
        }
        digest << line + (f["message"].toString().isEmpty() ? "" : " (why)");
    }
    digest.sort();
    EXPECT_EQ(digest, QStringList({"a.ats already 2000  (why)", "corrupt.ats failed unsafe (why)",
                                   "one.ats converted unsafe", "three.ATS converted safe sNormRows",
                                   "two.ats converted safe"}));
    QJsonObject summary = lines.back()["summary"].toObject();
    EXPECT_GE(summary.take("seconds").toDouble(-1), 0);
    EXPECT_EQ(summary,
              QJsonObject(
                  {{"files", 5}, {"converted", 3}, {"skipped", 0}, {"current", 1}, {"failed", 1}}));
    // An existing target is not converted unless --yes answers the question.
    check("convert --into @out @fleet", 1, "", "skipped 2 (already there)");
    check("convert --into @out @fleet --yes", 0, "", "converted 2, skipped 0");
    check("convert @one.ats @single.ats", 0, "",
          "converted 1, skipped 0 (already there), left "
          "alone 0 (already 2000), failed 0 of 1 file in");
    EXPECT_EQ(settingOf(path("single.ats"), "sHostName"), PropertyValue(std::string("h1")));
    EXPECT_EQ(run("convert @one.ats").exitCode, 2);
}

TEST_F(Cli, ConvertNeverMergesFilesNorReplacesAnOriginal) {
    for (const char *name : {"a/payroll.ats", "b/payroll.ats", "c/Pay.ats", "c/pay.ats"}) {
        ASSERT_TRUE(QDir(path("fleet")).mkpath(QFileInfo(name).path()));
        ASSERT_TRUE(
            write97File(path("fleet/") + name, kSafe97ClassId, {{"HostName", std::string(name)}}));
    }
    const struct {
        const char *line;
        int exitCode;
        const char *out, *err;
        QStringList written; // what the run adds under out/
    } rows[] = {
        {"convert --into @out @fleet/a", 0, "", "converted 1", {"payroll.ats"}},
        // Each file lands where it lies under the folder given; the clash of c/ stops only c/.
        {"convert --into @out @fleet",
         1,
         "",
         "would both become",
         {"a", "a/payroll.ats", "b", "b/payroll.ats"}},
        {"convert --into @out @fleet/a/payroll.ats @fleet/b/payroll.ats",
         1,
         "",
         "/a/payroll.ats would both become",
         {}},
        {"convert --into @out @fleet/a @fleet/b", 1, "", "failed 2 of 2 files", {}},
        {"convert --yes --into @fleet @fleet", 1, "", "would replace an original", {}},
        {"convert --yes --into @fleet/a @fleet/a/payroll.ats",
         1,
         "",
         "would replace an original",
         {}},
        {"convert --yes @fleet/a/payroll.ats @fleet/a/../a/payroll.ats",
         1,
         "",
         "would replace an original",
         {}},
        {"convert --dry-run --into @out @fleet/a",
         0,
         "would convert ",
         "would be: converted 1",
         {}},
    };
    for (const auto &row : rows) {
        const QMap<QString, QByteArray> before = filesIn(path("fleet/a"));
        QDir(path("out")).removeRecursively();
        check(row.line, row.exitCode, row.out, row.err);
        EXPECT_EQ(filesIn(path("fleet/a")), before) << row.line << ": originals unchanged";
        EXPECT_EQ(treeOf(path("out")), row.written) << row.line;
    }
    // Names that differ only in case are one file elsewhere: both are refused, by name.
    const auto r = check("convert --into @out @fleet/c", 1, "", "failed 2 of 2 files");
    EXPECT_TRUE(r.err.contains("Pay.ats: it and ") && r.err.contains("pay.ats: it and "));
    // A second run into a folder below its input leaves its own output alone.
    check("convert --into @fleet/a/new @fleet/a", 0, "", "converted 1");
    check("convert --into @fleet/a/new @fleet/a", 1, "",
          "skipped 1 (already there), left alone 1 (already 2000), failed 0 of 2 files");
}

// A run stopped by SIGTERM or killed: every file is there whole or not at all, the report says
// what was done, and the next run leaves no work file behind.
TEST_F(Cli, AStoppedOrKilledConvertKeepsItsReportAndLeavesNoWorkFiles) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("old"));
    ASSERT_TRUE(
        write97File(path("old/seed.ats"), kSafe97ClassId, {{"HostName", std::string("h")}}));
    const QByteArray seed = bytes("old/seed.ats");
    for (int i = 0; i < 300; ++i) {
        put(QStringLiteral("old/c%1.ats").arg(i, 3, 10, QLatin1Char('0')), seed);
    }
    const auto interrupted = [&](int signal) {
        QDir(path("out")).removeRecursively();
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELPDEV2K_REGISTRY", path("none.reg"));
        process.setProcessEnvironment(env);
        process.start(ZELP_CLI, argv("convert --into @out --report @r.jsonl @old"));
        // Once work files appear the batch is under way.
        for (int i = 0; i < 600 && treeOf(path("out")).size() < 10; ++i) {
            QThread::msleep(10);
        }
        ::kill(pid_t(process.processId()), signal);
        EXPECT_TRUE(process.waitForFinished(60000));
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -signal;
    };
    EXPECT_EQ(interrupted(SIGTERM), 128 + SIGTERM);
    std::vector<QJsonObject> lines = reportLines(bytes("r.jsonl"));
    ASSERT_GE(lines.size(), 2u);
    const QJsonObject summary = lines.back()["summary"].toObject();
    EXPECT_EQ(summary["stopped by signal"], SIGTERM);
    const qsizetype converted = summary["converted"].toInt();
    EXPECT_GT(converted, 0);
    EXPECT_LT(converted, 300);
    EXPECT_EQ(qsizetype(lines.size()), converted + 1);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden).size(), converted)
        << "the converted files and nothing else";

    EXPECT_EQ(interrupted(SIGKILL), -SIGKILL);
    for (const QJsonObject &line : reportLines(bytes("r.jsonl"))) {
        EXPECT_FALSE(line.isEmpty()) << "each line written is whole";
    }
    for (const QString &name : QDir(path("out")).entryList({"*.ats"}, QDir::Files)) {
        EXPECT_EQ(settingOf(path("out/") + name, "sHostName"), PropertyValue(std::string("h")));
    }
    check("convert --yes --into @out @old", 0, "", "converted 301");
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden).size(), 301)
        << "the stale work files are gone";
}

// Killed at any moment, a batch leaves each file its old or its new content, byte for byte.
TEST_F(Cli, ASetKilledAtRandomMomentsLeavesEachFileOldOrNew) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("fleet"));
    const QByteArray old = bytes("a.ats");
    check("set @a.ats sHostName=new.example", 0, "", "");
    const QByteArray changed = bytes("a.ats");
    for (int i = 0; i < 500; ++i) {
        put(QStringLiteral("fleet/c%1.ats").arg(i), old);
    }
    std::srand(unsigned(::getpid()));
    for (int round = 0; round < 3; ++round) {
        QProcess process;
        process.start(ZELP_CLI, argv("set --value sHostName=new.example @fleet"));
        ASSERT_TRUE(process.waitForStarted());
        QThread::msleep(50 + std::rand() % 500);
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished();
        int olds = 0, news = 0;
        for (const auto &[name, content] : filesIn(path("fleet")).asKeyValueRange()) {
            if (name.endsWith(".ats")) {
                EXPECT_TRUE(content == old || content == changed) << name.toStdString();
                ++(content == old ? olds : news);
            }
        }
        EXPECT_EQ(olds + news, 500);
        for (const auto &[name, content] : filesIn(path("fleet")).asKeyValueRange()) {
            if (content == changed) {
                put("fleet/" + name, old); // so that the next round has work again
            }
        }
    }
    check("set --value sHostName=new.example @fleet", 0, "", "500 of 500 files changed");
    EXPECT_EQ(QDir(path("fleet")).entryList(QDir::Files | QDir::Hidden).size(), 500);
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
         "zelpdev2k-cli: a.ats: Unable to write file <dir>/missing/x.htm"},
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

// The links of a page as a browser reads them: chromium's DOM when it is installed, else the
// page's own text (decoded as a browser would decode the attributes).
QStringList linksOf(const QString &page, bool browser) {
    QByteArray html = ReadWholeFile(page);
    if (browser) {
        QProcess chromium;
        chromium.start("chromium", {"--headless", "--no-sandbox", "--disable-gpu", "--dump-dom",
                                    QUrl::fromLocalFile(page).toString()});
        chromium.waitForFinished(60000);
        html = chromium.readAllStandardOutput();
    }
    QStringList links;
    static const QRegularExpression href(QStringLiteral("<a href=\"([^\"]*)\">"));
    for (auto it = href.globalMatch(QString::fromUtf8(html)); it.hasNext();) {
        links << it.next().captured(1).replace("&amp;", "&");
    }
    return links;
}

TEST_F(Cli, PublishManyWritesAnIndexWhoseLinksAllLeadToTheirPages) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub dir"));
    makeConnection(path("sub dir/\u00fc #1&?.ats"), true,
                   {{"sSessionTitle", std::string("<a href=\"x\">T</a> & \xe9")},
                    {"sHostName", std::string("h.example")},
                    {"sHostPort", std::string("2323")}});
    check("publish --index @index.htm --recursive @", 0, "/index.htm\n", "4 of 4 pages written");
    const QByteArray index = bytes("index.htm");
    EXPECT_TRUE(index.contains("<td>&lt;a href=&quot;x&quot;&gt;T&lt;/a&gt; &amp; \xc3\xa9</td>"
                               "<td>h.example:2323</td><td>unsafe</td>"))
        << index.toStdString();
    EXPECT_TRUE(index.contains("<a href=\"sub%20dir/%C3%BC%20%231%26%3F.htm\">"));
    const bool browser = !QStandardPaths::findExecutable("chromium").isEmpty();
    for (const bool viaBrowser : {false, browser}) {
        const QStringList links = linksOf(path("index.htm"), viaBrowser);
        EXPECT_EQ(links.size(), 4) << viaBrowser;
        for (const QString &link : links) {
            const QUrl target = QUrl::fromLocalFile(path("index.htm")).resolved(QUrl(link));
            EXPECT_TRUE(QFileInfo(target.toLocalFile()).isFile()) << link.toStdString();
        }
    }
    // A page outside the index's folder could not be reached from a copy of the folder.
    check("publish --index @sub/index.htm @a.ats", 1, "a.htm", "lies outside the folder");
    check("publish --index @a.htm @a.ats", 1, "", "the index would replace a launch page");
    if (!browser) {
        GTEST_SKIP() << "no browser check of the index: chromium is not installed";
    }
}

TEST_F(Cli, ShowTextMakesGitDiffShowTheChangedSetting) {
    const QString git = QStandardPaths::findExecutable("git");
    if (git.isEmpty()) {
        GTEST_SKIP() << "git is not installed";
    }
    const auto run = [&](const QStringList &args) {
        QProcess p;
        p.setWorkingDirectory(path("repo"));
        p.start(git, QStringList{"-c", "user.name=t", "-c", "user.email=t@example.invalid"} + args);
        EXPECT_TRUE(p.waitForFinished(30000)) << args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), 0)
            << args.join(' ').toStdString() << p.readAllStandardError().toStdString();
        return p.readAllStandardOutput();
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir("repo"));
    run({"init", "-q"});
    run({"config", "diff.ats.textconv", QStringLiteral("%1 show --text").arg(ZELP_CLI)});
    put("repo/.gitattributes", "*.ats diff=ats\n");
    ASSERT_TRUE(QFile::copy(path("b.ats"), path("repo/b.ats")));
    run({"add", "."});
    run({"commit", "-qm", "one"});
    check("set @repo/b.ats sNormRows=30 sHostName=new.example", 0, "", "");
    run({"commit", "-qam", "two"});
    const QByteArray diff = run({"diff", "HEAD~1", "HEAD"});
    EXPECT_TRUE(diff.contains("\n-sNormRows = 43\n+sNormRows = 30\n")) << diff.toStdString();
    // The same file anywhere gives the same text: sorted, the script in full, no path.
    ASSERT_TRUE(QFile::copy(path("repo/b.ats"), path("copy.ats")));
    const CliResult one = check("show --text @repo/b.ats", 0, "\nsNormRows = 30\n", "");
    QList<QByteArray> names;
    for (const QByteArray &line : one.out.left(one.out.indexOf("\nscript: ")).split('\n').mid(1)) {
        names << line.left(line.indexOf(" = "));
    }
    EXPECT_GT(names.size(), 100);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(run({"log", "-p", "-1", "--format="}).count("\n+sHostName = \"new.example\"\n"), 1);
    EXPECT_EQ(check("show --text @copy.ats", 0, "client: unsafe\n", "").out, one.out);
    EXPECT_TRUE(one.out.contains("script: " + QByteArray::number(defaultScript().size()) +
                                 " bytes\n" + QByteArray::fromStdString(defaultScript())));
}

// Real write faults: a file-size limit that cuts writes short, write-protected targets, a full
// file system.
TEST_F(Cli, EveryWriterReportsTheFaultInOneLineAndLeavesTheFolderAsItWas) {
    // A connection the companion saved once, and a page, in a folder.
    const auto prepare = [](const QString &folder) {
        const QString file = folder + QStringLiteral("/a.ats");
        ASSERT_TRUE(WriteWholeFile(file, templateResource(kTemplateSafeConnection)));
        ASSERT_EQ(runCli({"set", file, "sSessionTitle=T"}).exitCode, 0);
        ASSERT_TRUE(WriteWholeFile(folder + QStringLiteral("/a.htm"), QByteArray(600, 'p')));
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
