#include "common/fileutil.h"
#include "common/workfolders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zelp {
namespace {

QString write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) << qPrintable(path);
    return path;
}

QByteArray read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

unsigned modeOf(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(PathParts, FolderAndFileName) {
    workFolders().startup = QStringLiteral("/start/");
    const struct {
        const char *path, *folder, *name, *bare;
    } cases[] = {
        {"/dir/conn.ats", "/dir/", "conn.ats", "conn"},
        {"conn.ats", "/start/", "conn.ats", "conn"},
        {"", "/start/", "", ""},
        {"/x/", "/x/", "", ""},
        {"conn", "/start/", "conn", "conn"},
        {".ats", "/start/", ".ats", ""},
        {"/dir/a.b.ats", "/dir/", "a.b.ats", "a.b"},
        {"/d.ir/file", "/d.ir/", "file", "file"},
        {"/", "/", "", ""},
        {"b\\s.ats", "/start/", "b\\s.ats", "b\\s"},
    };
    for (const auto &c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(FolderOf(path), QString::fromUtf8(c.folder)) << c.path;
        EXPECT_EQ(FileNameOf(path, true), QString::fromUtf8(c.name)) << c.path;
        EXPECT_EQ(FileNameOf(path, false), QString::fromUtf8(c.bare)) << c.path;
    }
}

TEST(Files, ReadWriteAndMoveOnlyRegularFiles) {
    QTemporaryDir dir;
    const QString target = write(dir.filePath("target"), QByteArray(1000, 'x'));
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(target, dir.filePath("link")));
    EXPECT_TRUE(WriteWholeFile(target, QByteArray("a\0b\r\n", 5), false));
    EXPECT_EQ(ReadWholeFile(target), QByteArray("a\0b\r\n", 5));
    EXPECT_TRUE(WriteWholeFile(target, {}, true));
    EXPECT_EQ(read(target), QByteArray());
    EXPECT_TRUE(WriteWholeFile(dir.filePath("link"), "through", true));
    EXPECT_EQ(read(target), "through");
    EXPECT_TRUE(QFileInfo(dir.filePath("link")).isSymLink()) << "the link stays a link";
    EXPECT_TRUE(FileExists(target) && FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.filePath("missing")) || FileExists(QString()));
    for (const QString &path : {dir.filePath("missing"), dir.path(), pipe, QString()}) {
        EXPECT_TRUE(ReadWholeFile(path).isEmpty()) << qPrintable(path); // a pipe returns at once
    }
    for (const QString &path : {dir.path(), dir.filePath("no/folder/f"), QString(), pipe,
                                target + QStringLiteral("/under"), QStringLiteral("/dev/null")}) {
        EXPECT_FALSE(WriteWholeFile(path, "x", true)) << qPrintable(path);
    }
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile()) << "device left alone";

    // A move replaces the target, keeping its mode; a failed one keeps the source.
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0604), 0);
    const QString src = write(dir.filePath("src"), "new");
    EXPECT_TRUE(MoveFileOver(src, target));
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(modeOf(target), 0604u);
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_FALSE(MoveFileOver(src, target));
    const QString again = write(dir.filePath("again"), "again");
    EXPECT_FALSE(MoveFileOver(again, dir.filePath("no/folder/x")));
    EXPECT_FALSE(MoveFileOver(again, pipe));
    EXPECT_EQ(read(again), "again");
    EXPECT_TRUE(WriteWholeFile(target, "v2", true));
    EXPECT_EQ(modeOf(target), 0604u) << "a rewritten file keeps its mode too";

    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
    QString error;
    EXPECT_FALSE(WriteWholeFile(target, "new", true, &error));
    EXPECT_EQ(error, QStringLiteral("the file is read-only"));
    EXPECT_FALSE(MoveFileOver(again, target, &error));
    EXPECT_EQ(read(target), "v2");
    EXPECT_EQ(read(again), "again");
}

TEST(WorkFiles, CounterRunsAcrossCallsAndWraps) {
    QTemporaryDir dir;
    const auto work = [&](int n) { return dir.filePath(QStringLiteral("Work%1.ats").arg(n)); };
    write(work(1), "x");
    setWorkFileCounter(0);
    EXPECT_EQ(NewWorkFileName(dir.path()), work(2));
    // The next call starts after the last name tried, though Work3 was never made.
    EXPECT_EQ(NewWorkFileName(dir.path() + QLatin1Char('/')), work(3));
    write(work(4), "x");
    write(work(5), "x");
    EXPECT_EQ(NewWorkFileName(dir.path()), work(6));
    EXPECT_EQ(workFileCounter(), 6);
    setWorkFileCounter(998);
    EXPECT_EQ(NewWorkFileName(dir.path()), work(999));
    EXPECT_EQ(workFileCounter(), 0);
    EXPECT_EQ(NewWorkFileName(dir.path()), work(2)) << "wraps to 1, taken";
    setWorkFileCounter(17);
    EXPECT_EQ(NewWorkFileName(dir.filePath("absent")), QString());
    EXPECT_EQ(workFileCounter(), 17) << "999 tries bring the counter round once";
}

// Runs body in a child whose files may grow to limit bytes (SIGXFSZ ignored, so that a write
// past it fails with EFBIG as on a full disk), as user uid unless that is -1. The child's exit
// code, or -1 when it did not exit.
int inChild(rlim_t limit, uid_t uid, const std::function<bool(QString *)> &write) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        if (!(uid == uid_t(-1) || (::setgid(gid_t(uid)) == 0 && ::setuid(uid) == 0)) ||
            ::setrlimit(RLIMIT_FSIZE, &rl) != 0) {
            ::_exit(99);
        }
        QString error;
        ::_exit(write(&error) ? 0 : error == QStringLiteral("File too large") ? 1 : 2);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                             : -1;
}

TEST(FileFaults, AWriteThatCannotFinishLeavesTheTargetAsItWas) {
    QTemporaryDir dir;
    const QByteArray old(3000, 'o');
    const QByteArray big(20000, 'n');
    const QString target = dir.filePath(QStringLiteral("target"));
    // /dev/shm is another file system than the temporary folder on most machines; where it is
    // not, the rename cannot fail and nothing is copied.
    const QString source = QStringLiteral("/dev/shm/zelp-move-%1").arg(::getpid());
    const bool moveCopies = QFileInfo(source).dir().exists();
    for (const bool move : {false, true}) {
        for (const bool existing : {true, false}) {
            QFile::remove(target);
            if (existing) {
                write(target, old);
            }
            if (move && !moveCopies) {
                continue;
            }
            write(source, big);
            const int code = inChild(8192, uid_t(-1), [&](QString *e) {
                return move ? MoveFileOver(source, target, e)
                            : WriteWholeFile(target, big, true, e);
            });
            if (move && code == 0 && !QFile::exists(source)) {
                continue; // same file system after all: renamed, not copied
            }
            SCOPED_TRACE(testing::Message() << "move " << move << ", over a file " << existing);
            EXPECT_EQ(code, 1);
            EXPECT_EQ(read(target), existing ? old : QByteArray("<missing>"));
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                      existing ? QStringList{QStringLiteral("target")} : QStringList())
                << "no fresh file is left behind";
        }
    }
    QFile::remove(source);
}

TEST(FileFaults, AFolderWithoutRoomForANewFileIsWrittenInPlaceAndNeverCut) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to hand the folder to another user";
    }
    QTemporaryDir dir;
    const QString folder = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = write(folder + QStringLiteral("/conn.ats"), QByteArray(3000, 'o'));
    for (const auto &[path, mode] : {std::pair{file, 0666}, {folder, 0755}, {dir.path(), 0755}}) {
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    }
    for (const auto &[size, expected] : {std::pair{200, 0}, std::pair{20000, 1}}) {
        const QByteArray content(size, 'n');
        EXPECT_EQ(inChild(8192, 65534,
                          [&](QString *e) { return WriteWholeFile(file, content, true, e); }),
                  expected)
            << size;
        EXPECT_EQ(read(file), expected == 0 ? content : QByteArray(200, 'n')) << size;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST(PositionXor, IsItsOwnInverse) {
    EXPECT_EQ(PositionXor("abc"), "```");
    QByteArray all(256, 0);
    for (int i = 0; i < 256; ++i) {
        all[i] = char(i);
    }
    const QByteArray once = PositionXor(all);
    ASSERT_EQ(once.size(), 256);
    EXPECT_EQ(once.at(0), char(1));
    EXPECT_EQ(once.at(15), all.at(15)) << "every 16th position is unchanged";
    EXPECT_EQ(once.at(31), all.at(31));
    EXPECT_EQ(PositionXor(once), all);
    EXPECT_EQ(PositionXor(QByteArray()), QByteArray());
}

} // namespace
} // namespace zelp
