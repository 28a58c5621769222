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
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(PathParts, FolderAndFileName) {
    workFolders().startup = QStringLiteral("/start/");
    struct Case {
        QString path;
        QString folder;
        QString name;
        QString bare;
    };
    const Case cases[] = {
        {"/dir/conn.ats", "/dir/", "conn.ats", "conn"},
        {"conn.ats", "/start/", "conn.ats", "conn"},
        {"", "/start/", "", ""},
        {"/x/", "/x/", "", ""},
        {"conn", "/start/", "conn", "conn"},
        {".ats", "/start/", ".ats", ""},
        {"/dir/a.b.ats", "/dir/", "a.b.ats", "a.b"},
        {"/d.ir/file", "/d.ir/", "file", "file"},
        {"/", "/", "", ""},
        {"back\\slash.ats", "/start/", "back\\slash.ats", "back\\slash"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path.toStdString();
        EXPECT_EQ(FileNameOf(c.path, true), c.name) << c.path.toStdString();
        EXPECT_EQ(FileNameOf(c.path, false), c.bare) << c.path.toStdString();
    }
}

TEST(Files, ExistsAndReadWhole) {
    QTemporaryDir dir;
    const QString full = write(dir.filePath("full.bin"), QByteArray("a\0b\r\n", 5));
    const QString empty = write(dir.filePath("empty.bin"), QByteArray());
    EXPECT_TRUE(FileExists(full));
    EXPECT_TRUE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.filePath("missing")));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_EQ(ReadWholeFile(full), QByteArray("a\0b\r\n", 5));
    EXPECT_TRUE(ReadWholeFile(empty).isEmpty());
    EXPECT_TRUE(ReadWholeFile(dir.filePath("missing")).isEmpty());
    EXPECT_TRUE(ReadWholeFile(dir.path()).isEmpty());
}

TEST(Files, WriteWholeReplacesCompletely) {
    QTemporaryDir dir;
    for (const bool byteMode : {true, false}) {
        const QString path = write(dir.filePath("f"), QByteArray(1000, 'x'));
        EXPECT_TRUE(WriteWholeFile(path, "short", byteMode));
        EXPECT_EQ(read(path), "short");
        EXPECT_TRUE(WriteWholeFile(path, QByteArray(), byteMode));
        EXPECT_EQ(read(path), QByteArray());
    }
    EXPECT_FALSE(WriteWholeFile(dir.path(), "x", true)) << "a folder is not replaced";
    EXPECT_FALSE(WriteWholeFile(dir.filePath("no/such/folder/f"), "x", true));
    EXPECT_FALSE(WriteWholeFile(QString(), "x", false));
}

TEST(Files, WriteWholeRefusesWhatIsNotARegularFile) {
    QTemporaryDir dir;
    const QString target = write(dir.filePath("target"), "keep");
    ASSERT_TRUE(QFile::link(target, dir.filePath("link")));
    EXPECT_TRUE(WriteWholeFile(dir.filePath("link"), "through", true));
    EXPECT_EQ(read(target), "through");
    EXPECT_TRUE(QFileInfo(dir.filePath("link")).isSymLink()) << "the link stays a link";
    EXPECT_FALSE(WriteWholeFile(dir.filePath("target/under"), "x", true));
    if (QFileInfo(QStringLiteral("/dev/null")).exists()) {
        EXPECT_FALSE(WriteWholeFile(QStringLiteral("/dev/null"), "x", true));
        EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile()) << "device left alone";
    }
}

TEST(WorkFiles, CounterRunsAcrossCalls) {
    QTemporaryDir dir;
    write(dir.filePath("Work1.ats"), "x");
    setWorkFileCounter(0);
    EXPECT_EQ(NewWorkFileName(dir.path()), dir.filePath("Work2.ats"));
    EXPECT_EQ(NewWorkFileName(dir.path() + QLatin1Char('/')), dir.filePath("Work3.ats"))
        << "the next call starts after the last name tried, even though Work3 was never made";
    write(dir.filePath("Work4.ats"), "x");
    write(dir.filePath("Work5.ats"), "x");
    EXPECT_EQ(NewWorkFileName(dir.path()), dir.filePath("Work6.ats"));
    EXPECT_EQ(workFileCounter(), 6);

    setWorkFileCounter(998);
    EXPECT_EQ(NewWorkFileName(dir.path()), dir.filePath("Work999.ats"));
    EXPECT_EQ(workFileCounter(), 0);
    EXPECT_EQ(NewWorkFileName(dir.path()), dir.filePath("Work2.ats")) << "wraps to 1, taken";
}

TEST(WorkFiles, MissingFolderGivesNothing) {
    QTemporaryDir dir;
    setWorkFileCounter(17);
    EXPECT_EQ(NewWorkFileName(dir.filePath("absent")), QString());
    EXPECT_EQ(workFileCounter(), 17) << "999 tries bring the counter round once";
}

TEST(Files, MoveFileOver) {
    QTemporaryDir dir;
    const QString src = write(dir.filePath("src"), "new content");
    const QString dst = write(dir.filePath("dst"), "old, longer content");
    EXPECT_TRUE(MoveFileOver(src, dst));
    EXPECT_EQ(read(dst), "new content");
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_FALSE(MoveFileOver(dir.filePath("missing"), dst));
    EXPECT_EQ(read(dst), "new content");
    const QString again = write(dir.filePath("again"), "again");
    EXPECT_FALSE(MoveFileOver(again, dir.filePath("no/folder/x")));
    EXPECT_TRUE(QFile::exists(again)) << "a failed move keeps the source";
}

// Runs body in a child process whose files may grow to limit bytes (SIGXFSZ ignored, so that
// a write past it fails with EFBIG as on a full disk) and, when uid is not -1, as that user.
// The child's exit code, or -1 when it did not exit.
int inChild(rlim_t limit, uid_t uid, const std::function<int()> &body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        const bool dropped = uid == uid_t(-1) || (::setgid(gid_t(uid)) == 0 && ::setuid(uid) == 0);
        ::_exit(dropped && ::setrlimit(RLIMIT_FSIZE, &rl) == 0 ? body() : 99);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                             : -1;
}

QStringList entries(const QTemporaryDir &dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

TEST(FileFaults, AWriteThatCannotFinishLeavesTheTargetAsItWas) {
    QTemporaryDir dir;
    const QByteArray old(3000, 'o');
    const QByteArray big(20000, 'n');
    const QString source = QStringLiteral("/dev/shm/zelp-move-%1").arg(::getpid());
    const struct {
        const char *what;
        std::function<bool(const QString &target, QString *error)> write;
    } writers[] = {
        {"WriteWholeFile",
         [&](const QString &t, QString *e) { return WriteWholeFile(t, big, true, e); }},
        // /dev/shm is another file system than the temporary folder on most machines; where
        // it is not, the rename cannot fail and the child reports success.
        {"MoveFileOver from another file system",
         [&](const QString &t, QString *e) {
             return MoveFileOver(source, t, e) || !QFile::exists(source);
         }},
    };
    for (const auto &w : writers) {
        for (const bool existing : {true, false}) {
            const QString target = dir.filePath(QStringLiteral("target"));
            QFile::remove(target);
            if (existing) {
                write(target, old);
            }
            write(source, big);
            const int code = inChild(8192, uid_t(-1), [&] {
                QString error;
                const bool ok = w.write(target, &error);
                return ok ? 0 : error == QStringLiteral("File too large") ? 1 : 2;
            });
            if (code == 0 && QString::fromLatin1(w.what).contains(QStringLiteral("Move")) &&
                QFileInfo(QStringLiteral("/dev/shm")).isDir()) {
                continue; // same file system here: nothing was copied
            }
            EXPECT_EQ(code, 1) << w.what << (existing ? " over a file" : " as a new file");
            EXPECT_EQ(read(target), existing ? old : QByteArray("<missing>")) << w.what;
            EXPECT_EQ(entries(dir),
                      existing ? QStringList{QStringLiteral("target")} : QStringList())
                << w.what << ": no fresh file is left behind";
        }
    }
    QFile::remove(source);
}

TEST(FileFaults, WriteProtectedFilesAreRefusedAndModesKept) {
    QTemporaryDir dir;
    const QString locked = write(dir.filePath("locked"), "keep");
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup));
    const QString other = write(dir.filePath("other"), "other");
    QString error;
    EXPECT_FALSE(WriteWholeFile(locked, "new", true, &error));
    EXPECT_EQ(error, QStringLiteral("the file is read-only"));
    EXPECT_FALSE(MoveFileOver(other, locked, &error));
    EXPECT_EQ(read(locked), "keep");
    EXPECT_TRUE(QFile::exists(other));

    // A replaced file keeps its mode, whoever replaces it.
    const QString shared = write(dir.filePath("shared"), "v1");
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0604), 0);
    ASSERT_TRUE(WriteWholeFile(shared, "v2", true));
    ASSERT_TRUE(MoveFileOver(other, shared));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(shared).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(read(shared), "other");
}

TEST(FileFaults, AFolderWithoutRoomForANewFileIsWrittenInPlaceAndNeverCut) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to hand the folder to another user";
    }
    QTemporaryDir dir;
    const QString folder = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = write(folder + QStringLiteral("/conn.ats"), QByteArray(3000, 'o'));
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const uid_t nobody = 65534;
    for (const auto &[size, expected] : {std::pair{200, 0}, std::pair{20000, 1}}) {
        const QByteArray content(size, 'n');
        const int code = inChild(8192, nobody, [&] {
            QString error;
            if (WriteWholeFile(file, content, true, &error)) {
                return 0;
            }
            return error.startsWith(QStringLiteral("File too large")) ? 1 : 2;
        });
        EXPECT_EQ(code, expected) << size;
        EXPECT_EQ(read(file), expected == 0 ? content : QByteArray(200, 'n')) << size;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST(FileFaults, SpecialFilesAreNeverOpenedForReading) {
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    EXPECT_TRUE(ReadWholeFile(dir.filePath("pipe")).isEmpty()) << "returns at once";
    EXPECT_FALSE(WriteWholeFile(dir.filePath("pipe"), "x", true));
}

TEST(PositionXor, IsItsOwnInverse) {
    EXPECT_EQ(PositionXor("abc"), "```");
    EXPECT_EQ(PositionXor(PositionXor("abc")), "abc");
    QByteArray all;
    for (int i = 0; i < 256; ++i) {
        all.append(static_cast<char>(i));
    }
    const QByteArray once = PositionXor(all);
    EXPECT_EQ(once.size(), all.size());
    EXPECT_EQ(once.at(15), all.at(15)) << "position 16 is unchanged";
    EXPECT_EQ(once.at(31), all.at(31)) << "position 32 is unchanged";
    EXPECT_NE(once.at(0), all.at(0));
    EXPECT_EQ(PositionXor(once), all);
    EXPECT_EQ(PositionXor(QByteArray()), QByteArray());
}

} // namespace
} // namespace zelp
