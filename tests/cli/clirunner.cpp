#include "clirunner.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <csignal>

namespace zelp::test {

CliResult runCli(const QStringList &args, rlim_t fileSizeLimit) {
    static QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("ZELPDEV2K_REGISTRY"), home.filePath(QStringLiteral("none.reg")));
    process.setProcessEnvironment(env);
    if (fileSizeLimit > 0) {
        // SIGXFSZ ignored, a write past the limit fails as on a full disk.
        process.setChildProcessModifier([fileSizeLimit] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit rl{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &rl);
        });
    }
    process.start(QStringLiteral(ZELP_CLI), args);
    CliResult result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

} // namespace zelp::test
