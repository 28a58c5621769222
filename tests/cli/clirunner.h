#pragma once

#include <QByteArray>
#include <QStringList>

#include <sys/resource.h>

namespace zelp::test {

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs zelpdev2k-cli with args and a registry of its own; bounded in time. With a
// fileSizeLimit its files may not grow beyond that many bytes.
CliResult runCli(const QStringList &args, rlim_t fileSizeLimit = 0);

} // namespace zelp::test
