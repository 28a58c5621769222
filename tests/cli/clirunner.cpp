#include "clirunner.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace zelp::test {

CliResult runCli(const QStringList &args) {
    static QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("ZELPDEV2K_REGISTRY"), home.filePath(QStringLiteral("none.reg")));
    process.setProcessEnvironment(env);
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
