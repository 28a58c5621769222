#include "common/fileutil.h"
#include "common/workfolders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
