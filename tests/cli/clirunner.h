#pragma once

#include <QByteArray>
#include <QStringList>

namespace zelp::test {

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs zelpdev2k-cli with args and a registry of its own; bounded in time.
CliResult runCli(const QStringList &args);

} // namespace zelp::test
