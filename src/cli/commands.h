#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>

#include <functional>
#include <vector>

namespace zelp::cli {

// Exit codes of every command.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1; // with a one-line message per failure on stderr
inline constexpr int kUsage = 2;

// One command of the companion. The table of them drives dispatch, --help and "help". A
// command parses its own arguments (parseArguments does it with the options listed here);
// "--help" after the name never reaches it.
struct Command {
    const char *name = "";
    const char *synopsis = "";    // the arguments after the name
    const char *summary = "";     // one line
    const char *description = ""; // more lines for its help; may be empty
    QList<QCommandLineOption> options;
    const char *example = "";
    std::function<int(const QStringList &args)> run;
};

// Every command of the companion, in the order the help lists them.
const std::vector<Command> &commands();
// The command of that name, or nullptr.
const Command *findCommand(const QString &name);

// Prints "zelpdev2k-cli: <message>" on stderr, made terminal-safe, and returns kFailed.
int fail(const QString &message);
// Prints "zelpdev2k-cli <command>: <message>" and the command's usage line on stderr and
// returns kUsage.
int usageError(const char *command, const QString &message);
// Prints the usage of one command (or all when name is empty) on stderr and returns kUsage.
int usage(const char *name = nullptr);
// The full help of a command, or of the companion when command is nullptr.
QString helpText(const Command *command);

// Parses args with the options of the named command. On an error prints it with the usage
// and returns false; the command then returns kUsage.
bool parseArguments(QCommandLineParser &parser, const char *command, const QStringList &args);

// Runs the command line (without the program name).
int runCommandLine(const QStringList &args);

} // namespace zelp::cli
