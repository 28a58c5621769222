#include "client/core/clientclasses.h"
#include "files/resources.h"

#include "common/fileutil.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zelp {
namespace {

// Little-endian 64-bit number at offset.
quint64 fileTimeAt(const QByteArray &bytes, int offset) {
    quint64 value = 0;
    for (int i = 7; i >= 0; --i) {
        value = value << 8 | static_cast<uchar>(bytes.at(offset + i));
    }
    return value;
}

TEST(ConnectionTemplates, AreTheFixedCompoundFiles) {
    struct Case {
        int id;
        const char *classBytes;
        quint64 modified;
        bool safe;
    };
    const Case cases[] = {
        {kTemplateUnsafeConnection, "8E1D30E460D47340B7DA600C33F38A01", 0x01C092C4949E9500ULL,
         false},
        {kTemplateSafeConnection, "CE51137FDD901B41868DE1BAA3CEBDA8", 0x01C092C494A37700ULL, true},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        const QByteArray bytes = templateResource(c.id);
        ASSERT_EQ(bytes.size(), 1536) << c.id;
        EXPECT_EQ(bytes.left(8).toHex().toUpper(), "D0CF11E0A1B11AE1");
        EXPECT_EQ(bytes.mid(1104, 16).toHex().toUpper(), c.classBytes);
        EXPECT_EQ(fileTimeAt(bytes, 1132), c.modified);
        const QString path = dir.filePath(QStringLiteral("t%1.ats").arg(c.id));
        ASSERT_TRUE(WriteWholeFile(path, bytes, true));
        EXPECT_EQ(CompoundFile::readRootClassId(path), ClientClasses::classIdFor(c.safe)) << c.id;
    }
    // The two differ in the class identifier and the time stamp only.
    const QByteArray unsafe = templateResource(kTemplateUnsafeConnection);
    const QByteArray safe = templateResource(kTemplateSafeConnection);
    for (int i = 0; i < 1536; ++i) {
        const bool mayDiffer = (i >= 1104 && i < 1120) || (i >= 1132 && i < 1140);
        if (!mayDiffer) {
            ASSERT_EQ(unsafe.at(i), safe.at(i)) << "offset " << i;
        }
    }
}

TEST(RootClassId, OtherFilesAndOtherClasses) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("text.ats"));
    ASSERT_TRUE(WriteWholeFile(text, "not a compound file\r\n", true));
    EXPECT_EQ(CompoundFile::readRootClassId(text), std::nullopt);
    EXPECT_EQ(CompoundFile::readRootClassId(dir.filePath(QStringLiteral("missing.ats"))),
              std::nullopt);
    EXPECT_EQ(CompoundFile::readRootClassId(dir.path()), std::nullopt);

    QByteArray older = templateResource(kTemplateSafeConnection);
    older.replace(1104, 16, QByteArray::fromHex("1169 4DF2 D169 D211 AB7F 0040055A85C2"));
    const QString path = dir.filePath(QStringLiteral("old.ats"));
    ASSERT_TRUE(WriteWholeFile(path, older, true));
    EXPECT_EQ(CompoundFile::readRootClassId(path),
              classIdFromText(QStringLiteral("{F24D6911-69D1-11D2-AB7F-0040055A85C2}")));
}

TEST(DefaultScript, FollowsTheSampleOutline) {
    const std::string script = defaultScript();
    const std::string first = "'Velmaris 2000 Internet Edition Sample Script\r\n";
    ASSERT_EQ(script.compare(0, first.size(), first), 0);
    std::size_t lines = 0;
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\n') {
            ++lines;
            EXPECT_EQ(script[i - 1], '\r') << "line " << lines;
        }
    }
    EXPECT_EQ(script.back(), '\n');
    for (const char *part : {"Host$ = \"host\"", "\r\nSub Connect()", "\r\n'Sub Disconnect()",
                             "\r\nSub Disconnected()", "\r\nFunction GetIDOnly(",
                             "\r\nFunction GetIDPswd(", "\r\nFunction Crypt(", "\"VelmarisLogin\"",
                             "\"ID\"", "\"SavePswd\"", "\"Pswd\"", "Xor (I% + 32)"}) {
        EXPECT_NE(script.find(part), std::string::npos) << part;
    }
}

} // namespace
} // namespace zelp
