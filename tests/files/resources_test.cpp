#include "client/core/clientclasses.h"
#include "files/resources.h"
#include "files/strings.h"

#include "common/fileutil.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zelp {
namespace {

TEST(ConnectionTemplates, AreTheFixedCompoundFiles) {
    const struct {
        int id;
        const char *classBytes, *modified; // the modification time is little-endian
        bool safe;
    } cases[] = {
        {kTemplateUnsafeConnection, "8E1D30E460D47340B7DA600C33F38A01", "00959E94C492C001", false},
        {kTemplateSafeConnection, "CE51137FDD901B41868DE1BAA3CEBDA8", "0077A394C492C001", true},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        const QByteArray bytes = templateResource(c.id);
        ASSERT_EQ(bytes.size(), 1536) << c.id;
        EXPECT_EQ(bytes.left(8).toHex().toUpper(), "D0CF11E0A1B11AE1");
        EXPECT_EQ(bytes.mid(1104, 16).toHex().toUpper(), c.classBytes);
        EXPECT_EQ(bytes.mid(1132, 8).toHex().toUpper(), c.modified);
        const QString path = dir.filePath(QStringLiteral("t%1.ats").arg(c.id));
        ASSERT_TRUE(WriteWholeFile(path, bytes, true));
        EXPECT_EQ(CompoundFile::readRootClassId(path), ClientClasses::classIdFor(c.safe)) << c.id;
    }
    // The two differ in the class identifier and the time stamp only.
    QByteArray unsafe = templateResource(kTemplateUnsafeConnection);
    const QByteArray safe = templateResource(kTemplateSafeConnection);
    EXPECT_EQ(unsafe.replace(1104, 16, safe.mid(1104, 16)).replace(1132, 8, safe.mid(1132, 8)),
              safe);

    const QString text = dir.filePath(QStringLiteral("text.ats"));
    ASSERT_TRUE(WriteWholeFile(text, "not a compound file\r\n", true));
    for (const QString &path : {text, dir.filePath(QStringLiteral("missing.ats")), dir.path()}) {
        EXPECT_EQ(CompoundFile::readRootClassId(path), std::nullopt) << path.toStdString();
    }
    QByteArray older = safe;
    older.replace(1104, 16, QByteArray::fromHex("11694DF2D169D211AB7F0040055A85C2"));
    ASSERT_TRUE(WriteWholeFile(text, older, true));
    EXPECT_EQ(CompoundFile::readRootClassId(text),
              classIdFromText(QStringLiteral("{F24D6911-69D1-11D2-AB7F-0040055A85C2}")));
}

TEST(Resources, DefaultScriptInCrLfLinesAndNoUnknownString) {
    const QByteArray script = QByteArray::fromStdString(defaultScript());
    EXPECT_TRUE(script.startsWith("'Velmaris 2000 Internet Edition Sample Script\r\n"));
    EXPECT_TRUE(script.endsWith("\r\n"));
    EXPECT_FALSE(QByteArray(script).replace("\r\n", "").contains('\n'));
    EXPECT_TRUE(stringResource(kStringConnectionSafety + 1).isEmpty()) << "no such string";
}

} // namespace
} // namespace zelp
