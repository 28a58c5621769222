#pragma once

#include <QStringList>

#include <functional>
#include <vector>

namespace zelp::cli {

// Exit codes of every command.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1; // with a one-line message on stderr
inline constexpr int kUsage = 2;

struct Command {
    const char *name;
    const char *usage; // one line, after "zelpdev2k-cli "
    std::function<int(const QStringList &args)> run;
};

// Every command of the companion, in the order the usage lists them.
const std::vector<Command> &commands();

// Prints "zelpdev2k-cli: <message>" on stderr and returns kFailed.
int fail(const QString &message);
// Prints the usage of one command (or all when name is empty) on stderr and returns kUsage.
int usage(const char *name = nullptr);

// Runs the command line (without the program name).
int runCommandLine(const QStringList &args);

} // namespace zelp::cli
