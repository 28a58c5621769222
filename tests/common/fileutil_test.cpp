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
    // path, its folder, its file name with and without the extension
    const std::array<QString, 4> cases[] = {
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
        EXPECT_EQ(
            (std::array{c[0], FolderOf(c[0]), FileNameOf(c[0], true), FileNameOf(c[0], false)}), c);
    }
}

TEST(Files, ReadWriteAndMoveOnlyRegularFiles) {
    QTemporaryDir dir;
    const QString target = write(dir.filePath("target"), QByteArray(1000, 'x'));
    const QString pipe = dir.filePath("pipe"), link = dir.filePath("link");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_TRUE(WriteWholeFile(target, QByteArray("a\0b\r\n", 5), false));
    EXPECT_EQ(ReadWholeFile(target), QByteArray("a\0b\r\n", 5));
    EXPECT_TRUE(WriteWholeFile(target, {}, true));
    EXPECT_EQ(read(target), QByteArray());
    EXPECT_TRUE(WriteWholeFile(link, "through", true));
    EXPECT_EQ(read(target), "through");
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link stays a link";
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

    // A move or a write replaces the target, keeping its mode; a failed move keeps the source.
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0604), 0);
    const QString src = write(dir.filePath("src"), "new");
    EXPECT_TRUE(MoveFileOver(src, target));
    EXPECT_EQ(read(target), "new");
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_FALSE(MoveFileOver(src, target));
    EXPECT_TRUE(WriteWholeFile(target, "v2", true));
    EXPECT_EQ(modeOf(target), 0604u);
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
    QString error;
    EXPECT_FALSE(WriteWholeFile(target, "new", true, &error));
    EXPECT_EQ(error, QStringLiteral("the file is read-only"));
    const QString again = write(dir.filePath("again"), "again");
    for (const QString &to : {dir.filePath("no/folder/x"), pipe, target}) {
        EXPECT_FALSE(MoveFileOver(again, to)) << qPrintable(to);
    }
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

// Runs write in a child whose files may grow to 8192 bytes (SIGXFSZ ignored, so that a write
// past it fails with EFBIG as on a full disk), as user uid unless that is -1. 0 when write
// succeeded, 1 when it failed as too large, 2 otherwise, -1 when the child did not exit.
int inChild(uid_t uid, const std::function<bool(QString *)> &write) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{8192, 8192};
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
    const QByteArray old(3000, 'o'), big(20000, 'n');
    const QString target = dir.filePath(QStringLiteral("target"));
    // Another file system than the temporary folder, so that a move copies; where it is the
    // same, the move renames and cannot fail.
    const QString source = QStringLiteral("/dev/shm/zelp-move-%1").arg(::getpid());
    for (const auto &[move, existing] :
         {std::pair{false, true}, {false, false}, {true, true}, {true, false}}) {
        SCOPED_TRACE(testing::Message() << "move " << move << ", over a file " << existing);
        QFile::remove(target);
        if (existing) {
            write(target, old);
        }
        if (move && !QFileInfo(source).dir().exists()) {
            continue;
        }
        write(source, big);
        const int code = inChild(uid_t(-1), [&](QString *e) {
            return move ? MoveFileOver(source, target, e) : WriteWholeFile(target, big, true, e);
        });
        if (move && code == 0 && !QFile::exists(source)) {
            continue; // renamed within one file system
        }
        EXPECT_EQ(code, 1);
        EXPECT_EQ(read(target), existing ? old : QByteArray("<missing>"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  existing ? QStringList{QStringLiteral("target")} : QStringList())
            << "no fresh file is left behind";
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
    for (const auto &[size, expected] : {std::pair{200, 0}, {20000, 1}}) {
        const QByteArray content(size, 'n');
        EXPECT_EQ(
            inChild(65534, [&](QString *e) { return WriteWholeFile(file, content, true, e); }),
            expected);
        EXPECT_EQ(read(file), QByteArray(200, 'n')) << "written, or left as it was";
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST(PositionXor, IsItsOwnInverse) {
    const QByteArray text = "abc" + QByteArray(29, '\xF0');
    const QByteArray once = PositionXor(text);
    EXPECT_EQ(once.left(4), "```\xF4");
    EXPECT_EQ(once.at(15), '\xF0') << "every 16th position is unchanged";
    EXPECT_EQ(once.at(31), '\xF0');
    EXPECT_EQ(PositionXor(once), text);
    EXPECT_EQ(PositionXor(QByteArray()), QByteArray());
}

} // namespace
} // namespace zelp
