#include "commands.h"
#include "documentcommands.h"
#include "fleetcommands.h"

#include "output.h"
#include "publish.h"

#include "common/appinfo.h"

#include <QCoreApplication>

#include <cstdio>

namespace zelp::cli {

namespace {

QCommandLineOption flag(const char *name, const char *description) {
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description));
}

QCommandLineOption valued(const char *name, const char *valueName, const char *description) {
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description),
                              QString::fromLatin1(valueName));
}

const QCommandLineOption &jsonOption() {
    static const QCommandLineOption option = flag("json", "Report as JSON, one document per line.");
    return option;
}

const QCommandLineOption &recursiveOption() {
    static const QCommandLineOption option =
        flag("recursive", "Take the connection files in the folders below a folder, too.");
    return option;
}

void put(FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

QString versionText() {
    return QStringLiteral("zelpdev2k-cli %1.%2.%3\n")
        .arg(AppInfo::versionMajor())
        .arg(AppInfo::versionMinor())
        .arg(AppInfo::versionRevision());
}

// "  zelpdev2k-cli NAME LINE" for each line of the synopsis.
QString usageLines(const Command &c) {
    QString out;
    for (const QString &line : QString::fromUtf8(c.synopsis).split(u'\n')) {
        out += QStringLiteral("  zelpdev2k-cli %1 %2\n").arg(QString::fromLatin1(c.name), line);
    }
    return out;
}

bool wantsHelp(const QStringList &args) {
    for (const QString &arg : args) {
        if (arg == QLatin1String("--")) {
            return false;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return true;
        }
    }
    return false;
}

} // namespace

// Each command lives in a file of its own and is listed here.
const std::vector<Command> &commands() {
    static const std::vector<Command> table = {
        {.name = "settings",
         .synopsis = "[--json]",
         .summary = "List every setting a connection file can hold.",
         .description = "Prints each setting's name, type, default, group and label. Function "
                        "keys beyond F12 are\nset as sFKey<key name>.",
         .options = {jsonOption()},
         .example = "zelpdev2k-cli settings --json",
         .run = runSettings},
        {.name = "new",
         .synopsis = "[--unsafe] [--bare] [--force] FILE",
         .summary = "Make a new connection file with the default script.",
         .options = {flag("unsafe", "Make a connection of the unsafe client (default: safe)."),
                     flag("bare", "Write only the template, without the default script."),
                     flag("force", "Replace a file of that name.")},
         .example = "zelpdev2k-cli new --unsafe sales.ats",
         .run = runNew},
        {.name = "show",
         .synopsis = "[--all | --text] [--json] [--recursive] FILE|FOLDER...",
         .summary = "Show the client kind, the settings and the script length of files.",
         .description =
             "Without --all only the settings that differ from their defaults. --text prints\n"
             "a stable text form for git (a textconv driver): the client kind, every setting\n"
             "sorted by name, then the script and the mouse patterns as they stand; no path.",
         .options = {flag("all", "Show every setting, defaults included."),
                     flag("text", "The stable text form: everything, sorted, no path."),
                     jsonOption(), recursiveOption()},
         .example = "zelpdev2k-cli show --all sessions/",
         .run = runShow},
        {.name = "set",
         .synopsis = "FILE NAME=VALUE...\n--value NAME=VALUE [--value ...] [--dry-run] [--json] "
                     "[--recursive] FILE|FOLDER...",
         .summary = "Change settings of one file, or the same settings of many files.",
         .description = "Every value is checked against the settings before any file is "
                        "touched; each file\nis written whole or not at all.",
         .options = {valued("value", "NAME=VALUE", "A setting to assign; may be repeated."),
                     flag("dry-run", "Print each setting's old and new value; write nothing."),
                     jsonOption(), recursiveOption()},
         .example = "zelpdev2k-cli set --value sHostName=mainframe.example --value sHostPort=2323 "
                    "sessions/",
         .run = runSet},
        {.name = "export",
         .synopsis = "[--all] [--recursive] FILE|FOLDER... > SHEET.csv",
         .summary = "Write the settings of files as a spreadsheet (CSV) on standard output.",
         .description =
             "One row per file: file, kind (safe or unsafe), then one column per setting that\n"
             "differs from its default in any of the files.",
         .options = {flag("all", "One column for every setting."), recursiveOption()},
         .example = "zelpdev2k-cli export sessions/ > fleet.csv",
         .run = runExport},
        {.name = "import",
         .synopsis = "SHEET.csv --into FOLDER [--dry-run] [--json]",
         .summary = "Make and update connection files from a spreadsheet (CSV).",
         .description =
             "A row naming a new file makes it (kind from the kind column, default safe, with "
             "the\ndefault script); a row naming an existing file updates it. An empty cell "
             "leaves a\nsetting as it is; a quoted empty cell (\"\") is an empty text. The whole "
             "sheet is\nchecked first; on any error nothing is written. SHEET.csv \"-\" reads "
             "standard input.",
         .options = {valued("into", "FOLDER", "The folder of the connection files."),
                     flag("dry-run", "Print what would change; write nothing."), jsonOption()},
         .example = "zelpdev2k-cli import fleet.csv --into sessions/",
         .run = runImport},
        {.name = "diff",
         .synopsis = "A B [--json]",
         .summary = "Compare two connection files.",
         .description = "Lists the settings whose values differ and says whether the client "
                        "kinds, scripts and\nmouse patterns differ. Exit 0 alike, 1 different, "
                        "2 trouble.",
         .options = {jsonOption()},
         .example = "zelpdev2k-cli diff old/sales.ats sales.ats",
         .run = runDiff},
        {.name = "test",
         .synopsis = "[--timeout SECONDS] [--jobs N] [--json] [--recursive] FILE|FOLDER...",
         .summary = "Connect to the hosts of files as the designer's test connection does.",
         .description =
             "Negotiates the terminal type, waits until the host has been quiet for a moment.\n"
             "One file: prints the screen as text and how long the connection took. Many: one\n"
             "line per file (time to the first byte, the first line of the screen), connecting\n"
             "to N hosts at once, at most 2 to one host and port. What a host sends is printed\n"
             "with control characters escaped. Exit 1 when any host cannot be reached or says\n"
             "nothing before the time-out.",
         .options = {valued("timeout", "SECONDS",
                            "Give up on a file after this many seconds (default: the file's "
                            "connect time-out, else 10)."),
                     valued("jobs", "N", "Connections at once (default 16)."), jsonOption(),
                     recursiveOption()},
         .example = "zelpdev2k-cli test --timeout 5 --jobs 32 sessions/",
         .run = runTest},
        {.name = "publish",
         .synopsis = "[--html PAGE] [--intranet] [--gui] [--index PAGE] [--recursive] "
                     "FILE|FOLDER...",
         .summary = "Write the HTML launch pages of connection files.",
         .description =
             "Each page goes beside its connection file, with the extension .htm (--html: one\n"
             "file's page elsewhere). --index writes one more page that lists every connection\n"
             "published, with relative links to the launch pages, so that the folder can be\n"
             "copied to a web server as it stands.",
         .options = {valued("html", "PAGE", "The page to write (one FILE only)."),
                     flag("intranet", "The intranet page instead of the Internet page."),
                     flag("gui", "Install the GUI server, too."),
                     valued("index", "PAGE", "Write an index page of the connections published."),
                     recursiveOption()},
         .example = "zelpdev2k-cli publish --index sessions/index.htm sessions/",
         .run = runPublish},
        {.name = "convert",
         .synopsis = "[--yes] [--dry-run] [--report FILE] OLD NEW\n[--yes] [--dry-run] [--report "
                     "FILE] --into DIR OLD|FOLDER...",
         .summary = "Convert connection files of the 97 generation into 2000 files.",
         .description =
             "Each 97 file becomes a file of the same client (safe or unsafe) with its settings,\n"
             "script and keys; the old file is never changed. With --into a file given goes to\n"
             "DIR/name.ats and a folder's *.ats files, all the way down, to the same places under\n"
             "DIR (folders made as needed). Two files that would become one, or a new file that\n"
             "would replace an original, are refused before anything is written. A file\n"
             "already of the 2000 generation (an earlier run's output, say) is left alone.\n"
             "An existing target is skipped, and the run fails, unless --yes answers the\n"
             "overwrite question. The work goes on after a file that fails; SIGINT or SIGTERM\n"
             "ends it after the file under way, with the report of what was done.",
         .options = {flag("yes", "Answer Yes to every overwrite question."),
                     valued("into", "DIR", "Convert each OLD to DIR/name.ats."),
                     flag("dry-run", "Say what would be written where, and what refused; write "
                                     "nothing."),
                     valued("report", "FILE",
                            "Write a report as JSON Lines: one object per file, then a summary.")},
         .example = "zelpdev2k-cli convert --into ats2000/ --report migration.jsonl ats97/",
         .run = runConvert},
    };
    return table;
}

const Command *findCommand(const QString &name) {
    for (const Command &c : commands()) {
        if (name == QLatin1String(c.name)) {
            return &c;
        }
    }
    return nullptr;
}

int fail(const QString &message) {
    // Messages name files and quote what files and hosts hold: one line, nothing for the
    // terminal to obey.
    put(stderr, QStringLiteral("zelpdev2k-cli: %1\n").arg(Output::terminalSafe(message)));
    return kFailed;
}

int usageError(const char *command, const QString &message) {
    put(stderr,
        QStringLiteral("zelpdev2k-cli %1: %2\n").arg(QString::fromLatin1(command), message));
    return usage(command);
}

int usage(const char *name) {
    QString out = QStringLiteral("usage:\n");
    for (const Command &c : commands()) {
        if (!name || QLatin1String(name) == QLatin1String(c.name)) {
            out += usageLines(c);
        }
    }
    if (!name) {
        out += QStringLiteral("  zelpdev2k-cli help COMMAND\n");
    }
    put(stderr, out);
    return kUsage;
}

QString helpText(const Command *command) {
    if (!command) {
        QString out = QStringLiteral("usage: zelpdev2k-cli [--help] [--version] COMMAND "
                                     "[ARGUMENTS...]\n\n"
                                     "The command-line companion of the connection designer: "
                                     "connection files (.ats),\none or a whole fleet. A FOLDER "
                                     "stands for the .ats files in it.\n\nCommands:\n");
        for (const Command &c : commands()) {
            out += QStringLiteral("  %1%2\n")
                       .arg(QString::fromLatin1(c.name).leftJustified(10),
                            QString::fromUtf8(c.summary));
        }
        out += QStringLiteral(
            "\nzelpdev2k-cli help COMMAND (or COMMAND --help) tells more of one.\n"
            "Exit status: 0 success, 1 failure (a line on stderr for each), 2 usage error.\n");
        return out;
    }
    QString out = QStringLiteral("usage:\n") + usageLines(*command) + u'\n' +
                  QString::fromUtf8(command->summary) + u'\n';
    if (*command->description) {
        out += QString::fromUtf8(command->description) + u'\n';
    }
    out += QStringLiteral("\nOptions:\n");
    QList<QCommandLineOption> options = command->options;
    options << flag("help", "Show this help.");
    for (const QCommandLineOption &o : options) {
        QString names;
        for (const QString &n : o.names()) {
            names += (names.isEmpty() ? QString() : QStringLiteral(", ")) +
                     (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        }
        if (!o.valueName().isEmpty()) {
            names += u' ' + o.valueName();
        }
        out += QStringLiteral("  %1  %2\n").arg(names.leftJustified(22), o.description());
    }
    if (*command->example) {
        out += QStringLiteral("\nExample:\n  %1\n").arg(QString::fromUtf8(command->example));
    }
    return out;
}

bool parseArguments(QCommandLineParser &parser, const char *command, const QStringList &args) {
    const Command *c = findCommand(QString::fromLatin1(command));
    if (c) {
        parser.addOptions(c->options);
    }
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(QStringList{QString::fromLatin1(command)} + args)) {
        usageError(command, parser.errorText());
        return false;
    }
    return true;
}

int runCommandLine(const QStringList &args) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(QStringList{QStringLiteral("zelpdev2k-cli")} + args)) {
        put(stderr, QStringLiteral("zelpdev2k-cli: %1\n").arg(parser.errorText()));
        return usage();
    }
    if (parser.isSet(help)) {
        put(stdout, helpText(nullptr));
        return kOk;
    }
    if (parser.isSet(version)) {
        put(stdout, versionText());
        return kOk;
    }
    const QStringList rest = parser.positionalArguments();
    if (rest.isEmpty()) {
        return usage();
    }
    const QString name = rest.first();
    if (name == QLatin1String("help")) {
        if (rest.size() == 1) {
            put(stdout, helpText(nullptr));
            return kOk;
        }
        if (rest.size() == 2 && rest.at(1) == QLatin1String("help")) {
            put(stdout, QStringLiteral("usage:\n  zelpdev2k-cli help [COMMAND]\n\nShow the "
                                       "commands, or the usage and options of one.\n"));
            return kOk;
        }
        const Command *c = rest.size() == 2 ? findCommand(rest.at(1)) : nullptr;
        if (!c) {
            put(stderr,
                QStringLiteral("zelpdev2k-cli: no command '%1'\n").arg(rest.mid(1).join(u' ')));
            return usage();
        }
        put(stdout, helpText(c));
        return kOk;
    }
    const Command *c = findCommand(name);
    if (!c) {
        put(stderr, QStringLiteral("zelpdev2k-cli: unknown command '%1'\n").arg(name));
        return usage();
    }
    if (wantsHelp(rest.mid(1))) {
        put(stdout, helpText(c));
        return kOk;
    }
    return c->run(rest.mid(1));
}

} // namespace zelp::cli
