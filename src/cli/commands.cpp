#include "commands.h"
#include "documentcommands.h"

#include "publish.h"

#include <cstdio>
#include <cstring>

namespace zelp::cli {

// Each command lives in a file of its own and is listed here.
const std::vector<Command> &commands() {
    static const std::vector<Command> table = {
        {"new", "new [--unsafe] [--bare] [--force] FILE", runNew},
        {"show", "show FILE [--json]", runShow},
        {"set", "set FILE NAME=VALUE...", runSet},
        {"publish", "publish FILE [--html PAGE] [--intranet] [--gui]", runPublish},
        {"convert", "convert [--yes] [--report FILE] OLD NEW | --into DIR OLD...", runConvert},
    };
    return table;
}

int fail(const QString &message) {
    std::fprintf(stderr, "zelpdev2k-cli: %s\n", message.toLocal8Bit().constData());
    return kFailed;
}

int usage(const char *name) {
    std::fprintf(stderr, "usage:\n");
    for (const Command &c : commands()) {
        if (!name || std::strcmp(name, c.name) == 0) {
            std::fprintf(stderr, "  zelpdev2k-cli %s\n", c.usage);
        }
    }
    return kUsage;
}

int runCommandLine(const QStringList &args) {
    if (args.isEmpty()) {
        return usage();
    }
    const QByteArray name = args.first().toUtf8();
    for (const Command &c : commands()) {
        if (name == c.name) {
            return c.run(args.mid(1));
        }
    }
    std::fprintf(stderr, "zelpdev2k-cli: unknown command '%s'\n", name.constData());
    return usage();
}

} // namespace zelp::cli
