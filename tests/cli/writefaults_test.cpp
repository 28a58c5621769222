// The companion against real write faults: a file-size limit that cuts writes short,
// write-protected targets, a full file system, a storage it does not know.
#include "clirunner.h"

#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "files/resources.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelp::test {
namespace {

// A connection the companion saved once, and a page, in folder.
void prepare(const QString &folder) {
    const QString file = folder + QStringLiteral("/a.ats");
    ASSERT_TRUE(WriteWholeFile(file, templateResource(kTemplateSafeConnection), true));
    ASSERT_EQ(runCli({"set", file, "sSessionTitle=T"}).exitCode, 0);
    ASSERT_TRUE(WriteWholeFile(folder + QStringLiteral("/a.htm"), QByteArray(600, 'p'), true));
}

using WriteFaults = CliFolder;

TEST_F(WriteFaults, EveryWriterReportsTheFaultInOneLineAndLeavesTheFolderAsItWas) {
    const QString full = path("small");
    ASSERT_TRUE(QDir().mkdir(full));
    const bool mounted = ::geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(full).constData(),
                                                     "tmpfs", 0, "size=64k") == 0;
    prepare(dir.path());
    if (mounted) {
        prepare(full);
        QFile filler(full + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    const struct {
        QString folder;
        rlim_t fileSizeLimit;
        bool writeProtected;
        const char *reason;
    } faults[] = {
        {dir.path(), 1024, false, "File too large"},
        {dir.path(), 0, true, "read-only"},
        {full, 0, false, "No space left on device"},
    };
    for (const auto &fault : faults) {
        if (fault.folder == full && !mounted) {
            continue;
        }
        const auto in = [&](const char *name) { return fault.folder + u'/' + name; };
        const struct {
            QStringList args;
            const char *target;
        } writers[] = {
            {{"set", in("a.ats"), "sHostName=" + QString(9000, u'h')}, "a.ats"},
            {{"new", "--bare", "--force", in("a.ats")}, "a.ats"},
            {{"new", "--force", in("a.ats")}, "a.ats"},
            {{"publish", in("a.ats"), "--html", in("a.htm")}, "a.htm"},
        };
        for (const auto &w : writers) {
            SCOPED_TRACE(fault.reason + (": " + w.args.join(u' ').left(40)).toStdString());
            const QByteArray target = QFile::encodeName(in(w.target));
            ASSERT_EQ(::chmod(target.constData(), fault.writeProtected ? 0444 : 0644), 0);
            const auto before = filesIn(fault.folder);
            const CliResult r = runCli(w.args, fault.fileSizeLimit);
            ::chmod(target.constData(), 0644);
            EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(fault.reason)) << r.err.toStdString();
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
            EXPECT_EQ(filesIn(fault.folder), before);
        }
    }
    if (mounted) {
        ::umount2(QFile::encodeName(full).constData(), MNT_DETACH);
    } else {
        GTEST_SKIP() << "no full file system: a small tmpfs needs root and mount rights";
    }
}

TEST_F(WriteFaults, AStorageTheClientDoesNotKnowSurvivesASave) {
    const ClassIdBytes storageId = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::string data(4096, '\0');
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = char(i * 7);
    }
    const auto built = CompoundFile::build(
        {ClientClasses::classIdFor(true), {}, {{"Extra", {storageId, {{"Data", data}}}}}});
    ASSERT_TRUE(built);
    put("f.ats", QByteArray::fromStdString(*built));
    const CliResult r = run("set @f.ats sHostName=example.org");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    // Read back by libgsf, so that the check is not the program's own compound code.
    gsf_init();
    const QByteArray file = QFile::encodeName(path("f.ats"));
    GsfInput *input = gsf_input_stdio_new(file.constData(), nullptr);
    ASSERT_TRUE(input);
    GsfInfile *ole = gsf_infile_msole_new(input, nullptr);
    ASSERT_TRUE(ole);
    GsfInput *extra = gsf_infile_child_by_name(ole, "Extra");
    ASSERT_TRUE(extra && GSF_IS_INFILE(extra));
    guint8 id[16] = {};
    ASSERT_TRUE(gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(extra), id));
    EXPECT_TRUE(std::equal(storageId.begin(), storageId.end(), id));
    GsfInput *stream = gsf_infile_child_by_name(GSF_INFILE(extra), "Data");
    ASSERT_TRUE(stream);
    std::string back(gsf_input_size(stream), '\0');
    ASSERT_TRUE(gsf_input_read(stream, back.size(), reinterpret_cast<guint8 *>(back.data())));
    EXPECT_EQ(back, data);
    for (gpointer o : {gpointer(stream), gpointer(extra), gpointer(ole), gpointer(input)}) {
        g_object_unref(o);
    }
    const auto doc = ClientDocument::load(path("f.ats"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->Settings()->value("sHostName"), PropertyValue(std::string("example.org")));
}

TEST_F(WriteFaults, ADamagedFileGivesOneLineOfTheProgramsOwn) {
    // Cut where a disk that filled up would have cut it.
    put("cut.ats", templateResource(kTemplateSafeConnection));
    ASSERT_EQ(run("set @cut.ats", {"sHostName=" + QString(9000, u'h')}).exitCode, 0);
    ASSERT_TRUE(QFile::resize(path("cut.ats"), 8192));
    const CliResult r = run("show @cut.ats");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("CRITICAL")) << r.err.toStdString();
}

} // namespace
} // namespace zelp::test
