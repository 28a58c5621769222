#pragma once

#include "common/fileutil.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace zelp::test {

struct CliResult {
    int exitCode = -1; // -1: crashed or hung
    QByteArray out, err;
};

// Runs the companion bounded in time. A file-size limit makes writes beyond it fail as on a full
// disk; without a registry file it sees none.
inline CliResult runCli(const QStringList &args, rlim_t fileSizeLimit = 0, const QString &cwd = {},
                        const QString &registry = {}) {
    static QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("ZELPDEV2K_REGISTRY"),
               registry.isEmpty() ? home.filePath(QStringLiteral("none.reg")) : registry);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(cwd);
    if (const rlim_t limit = fileSizeLimit) {
        process.setChildProcessModifier([limit] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit rl{limit, limit};
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

// The files of a folder, hidden ones too, by name.
inline QMap<QString, QByteArray> filesIn(const QString &folder) {
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        files.insert(name, ReadWholeFile(folder + u'/' + name));
    }
    return files;
}

// A folder of its own per test. Command lines are split at spaces; a word starting with '@'
// names a file in the folder ("@" alone the folder itself).
class CliFolder : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList argv(const char *line) const {
        QStringList words = QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
        for (QString &w : words) {
            if (w.startsWith(u'@')) {
                w = w == QStringLiteral("@") ? dir.path() : path(w.mid(1));
            }
        }
        return words;
    }
    CliResult run(const char *line, const QStringList &more = {}) const {
        return runCli(argv(line) + more);
    }
    QByteArray bytes(const QString &name) const { return ReadWholeFile(path(name)); }
    void put(const QString &name, const QByteArray &content) const {
        ASSERT_TRUE(WriteWholeFile(path(name), content, true)) << name.toStdString();
    }
};

} // namespace zelp::test
