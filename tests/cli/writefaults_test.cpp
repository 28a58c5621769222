// The companion against real write faults: a file-size limit that cuts writes short, a full
// file system, write-protected targets, a storage it does not know.
#include "clirunner.h"

#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "files/resources.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelp {
namespace {

using Outcome = test::CliResult;

using test::runCli;

QByteArray bytesOf(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class WriteFaults : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    // Every writer of the companion, each over an existing file that it must leave alone.
    struct Writer {
        const char *what;
        QStringList args;
        const char *target;
    };
    std::vector<Writer> writers() const {
        const QString longName = QStringLiteral("sHostName=") + QString(9000, u'h');
        return {
            {"set", {QStringLiteral("set"), path("a.ats"), longName}, "a.ats"},
            {"new --bare --force",
             {QStringLiteral("new"), QStringLiteral("--bare"), QStringLiteral("--force"),
              path("a.ats")},
             "a.ats"},
            {"new --force",
             {QStringLiteral("new"), QStringLiteral("--force"), path("a.ats")},
             "a.ats"},
            {"publish",
             {QStringLiteral("publish"), path("a.ats"), QStringLiteral("--html"), path("a.htm")},
             "a.htm"},
        };
    }

    void prepare() {
        put(path("a.ats"), templateResource(kTemplateSafeConnection));
        ASSERT_EQ(runCli({QStringLiteral("set"), path("a.ats"), QStringLiteral("sSessionTitle=T")})
                      .exitCode,
                  0);
        put(path("a.htm"), QByteArray(600, 'p'));
    }

    void expectRefused(const Writer &w, const Outcome &run, const char *reason) {
        EXPECT_EQ(run.exitCode, 1) << w.what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(reason)) << w.what << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << w.what << ": one line\n" << run.err.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
            << w.what << ": nothing left behind";
    }
};

TEST_F(WriteFaults, AWriteCutShortIsAFailureAndTheFileStaysAsItWas) {
    for (const Writer &w : writers()) {
        prepare();
        const QByteArray before = bytesOf(path(w.target));
        const Outcome run = runCli(w.args, 1024);
        expectRefused(w, run, "File too large");
        EXPECT_EQ(bytesOf(path(w.target)), before) << w.what;
    }
}

TEST_F(WriteFaults, WriteProtectedFilesAreRefusedByEveryWriter) {
    for (const Writer &w : writers()) {
        prepare();
        ASSERT_EQ(::chmod(QFile::encodeName(path(w.target)).constData(), 0444), 0);
        const QByteArray before = bytesOf(path(w.target));
        const Outcome run = runCli(w.args);
        expectRefused(w, run, "read-only");
        EXPECT_EQ(bytesOf(path(w.target)), before) << w.what;
        ::chmod(QFile::encodeName(path(w.target)).constData(), 0644);
    }
}

TEST_F(WriteFaults, AFullFileSystemIsReportedAndTheFileKept) {
    const QString mountPoint = dir.filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkdir(mountPoint));
    if (::geteuid() != 0 ||
        ::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    }
    const QString file = mountPoint + QStringLiteral("/a.ats");
    put(file, templateResource(kTemplateSafeConnection));
    {
        QFile filler(mountPoint + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    const QByteArray before = bytesOf(file);
    const Outcome set =
        runCli({QStringLiteral("set"), file, QStringLiteral("sHostName=") + QString(9000, u'h')});
    const Outcome page = runCli({QStringLiteral("publish"), file});
    const QByteArray after = bytesOf(file);
    const QStringList left = QDir(mountPoint).entryList(QDir::Files | QDir::Hidden);
    ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
    for (const Outcome &run : {set, page}) {
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
    EXPECT_EQ(after, before);
    EXPECT_EQ(left, (QStringList{QStringLiteral("a.ats"), QStringLiteral("filler")}));
}

// A storage the client does not know, with a class identifier and a stream, made by libgsf.
void writeWithStorage(const QString &path, const ClassIdBytes &root, const guint8 *storageId,
                      const QByteArray &data) {
    gsf_init();
    GError *err = nullptr;
    GsfOutput *sink = gsf_output_stdio_new(QFile::encodeName(path).constData(), &err);
    ASSERT_TRUE(sink);
    GsfOutfile *ole = gsf_outfile_msole_new(sink);
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole), root.data());
    GsfOutput *extra = gsf_outfile_new_child(ole, "Extra", TRUE);
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(extra), storageId);
    GsfOutput *stream = gsf_outfile_new_child(GSF_OUTFILE(extra), "Data", FALSE);
    ASSERT_TRUE(gsf_output_write(stream, size_t(data.size()),
                                 reinterpret_cast<const guint8 *>(data.constData())));
    gsf_output_close(stream);
    g_object_unref(stream);
    gsf_output_close(extra);
    g_object_unref(extra);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    g_object_unref(sink);
}

TEST_F(WriteFaults, AStorageInsideTheFileSurvivesASave) {
    const guint8 storageId[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    QByteArray data(4096, '\0');
    for (int i = 0; i < data.size(); ++i) {
        data[i] = char(i * 7);
    }
    writeWithStorage(path("f.ats"), ClientClasses::classIdFor(true), storageId, data);
    const Outcome run =
        runCli({QStringLiteral("set"), path("f.ats"), QStringLiteral("sHostName=example.org")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    GError *err = nullptr;
    GsfInput *input = gsf_input_stdio_new(QFile::encodeName(path("f.ats")).constData(), &err);
    ASSERT_TRUE(input);
    GsfInfile *ole = gsf_infile_msole_new(input, &err);
    ASSERT_TRUE(ole);
    GsfInput *extra = gsf_infile_child_by_name(ole, "Extra");
    ASSERT_TRUE(extra && GSF_IS_INFILE(extra));
    guint8 id[16] = {};
    ASSERT_TRUE(gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(extra), id));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(id), 16),
              QByteArray(reinterpret_cast<const char *>(storageId), 16));
    GsfInput *stream = gsf_infile_child_by_name(GSF_INFILE(extra), "Data");
    ASSERT_TRUE(stream);
    QByteArray back(int(gsf_input_size(stream)), '\0');
    ASSERT_TRUE(
        gsf_input_read(stream, size_t(back.size()), reinterpret_cast<guint8 *>(back.data())));
    EXPECT_EQ(back, data);
    g_object_unref(stream);
    g_object_unref(extra);
    g_object_unref(ole);
    g_object_unref(input);

    const auto doc = ClientDocument::load(path("f.ats"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->Settings()->value("sHostName"), PropertyValue(std::string("example.org")));
}

TEST_F(WriteFaults, ADamagedFileGivesOneLineOfTheProgramsOwn) {
    // Cut where a disk that filled up would have cut it.
    put(path("cut.ats"), templateResource(kTemplateSafeConnection));
    ASSERT_EQ(runCli({QStringLiteral("set"), path("cut.ats"),
                      QStringLiteral("sHostName=") + QString(9000, u'h')})
                  .exitCode,
              0);
    ASSERT_TRUE(QFile::resize(path("cut.ats"), 8192));
    const Outcome run = runCli({QStringLiteral("show"), path("cut.ats")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("CRITICAL")) << run.err.toStdString();
}

} // namespace
} // namespace zelp
