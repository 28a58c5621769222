#include "legacy97writer.h"

#include "client/core/compoundfile.h"
#include "client/core/legacyreader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelp;

namespace {

const std::string kNames = "Script\r\nSessionTitle\r\nBaud\r\nKeyCount\r\nKey(KeyCount)\r\nPalette"
                           "\r\nStrip8th\r\nAutoZmodem";

TEST(LegacyReader, ReadsTheValuesOfTheListWithTheirTypes) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("old.ats"));
    ASSERT_TRUE(test::write97File(file, test::kSafe97ClassId,
                                  {{"SessionTitle", std::string("Payroll")},
                                   {"Baud", int32_t(9600)},
                                   {"Strip8th", true},
                                   {"Palette", std::string("0,255")},
                                   {"KeyCount", int16_t(2)},
                                   {"Key1", std::string("F1\0\r", 4)},
                                   {"Key2", std::string("F2\0x", 4)},
                                   {"Key3", std::string("beyond the count")},
                                   {"NotAsked", int16_t(5)},
                                   {"Baud", int32_t(19200)}}));
    LegacyDocumentReader reader;
    ASSERT_TRUE(
        reader.LoadDocument(file, QStringLiteral("F24D6911-69D1-11D2-AB7F-0040055A85C2"), kNames))
        << reader.lastError().toStdString();
    const struct {
        const char *name;
        PropertyValue defaultValue;
        PropertyValue expected;
    } cases[] = {
        {"SessionTitle", std::string(), std::string("Payroll")},
        {"Baud", int32_t(4), int32_t(19200)}, // the last of two records wins
        {"Strip8th", false, true},
        {"Palette", std::string(), std::string("0,255")},
        {"KeyCount", int16_t(0), int16_t(2)},
        {"Key1", std::string(), std::string("F1\0\r", 4)},
        {"Key2", std::string(), std::string("F2\0x", 4)},
        {"Key3", std::string("none"), std::string("none")},
        {"NotAsked", int16_t(0), int16_t(0)},
        {"Script", std::string(), std::string()},
        {"AutoZmodem", false, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(reader.ReadValue(c.name, c.defaultValue), c.expected) << c.name;
    }
}

TEST(LegacyReader, LoadDocumentRefusesWhatIsNoDocumentOfThatClass) {
    QTemporaryDir dir;
    auto file = [&](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    ASSERT_TRUE(test::write97File(file("unsafe.ats"), test::kUnsafe97ClassId, {}));
    {
        QFile text(file("text.ats"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("plain text");
    }
    const struct {
        const char *file;
        const char *classId;
        bool loads;
    } cases[] = {
        {"unsafe.ats", "F24D6917-69D1-11D2-AB7F-0040055A85C2", true},
        {"unsafe.ats", "{f24d6917-69d1-11d2-ab7f-0040055a85c2}", true},
        {"unsafe.ats", "F24D6911-69D1-11D2-AB7F-0040055A85C2", false},
        {"unsafe.ats", "not a class id", false},
        {"text.ats", "F24D6917-69D1-11D2-AB7F-0040055A85C2", false},
        {"missing.ats", "F24D6917-69D1-11D2-AB7F-0040055A85C2", false},
    };
    for (const auto &c : cases) {
        LegacyDocumentReader reader;
        EXPECT_EQ(reader.LoadDocument(file(c.file), QString::fromLatin1(c.classId), kNames),
                  c.loads)
            << c.file << " " << c.classId;
        EXPECT_EQ(reader.lastError().isEmpty(), c.loads);
    }
}

TEST(LegacyReader, ADamagedPropertiesStreamLoadsNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bad.ats"));
    CompoundContent content;
    content.classId = *classIdFromText(QString::fromLatin1(test::kSafe97ClassId));
    content.streams = {{"Properties", test::encode97Properties({{"Baud", int32_t(1)}}) + "\x03"}};
    const auto bytes = CompoundFile::build(content);
    ASSERT_TRUE(bytes);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes->data(), qint64(bytes->size()));
    f.close();
    LegacyDocumentReader reader;
    EXPECT_FALSE(reader.LoadDocument(file, QString::fromLatin1(test::kSafe97ClassId), kNames));
    EXPECT_EQ(reader.ReadValue("Baud", int32_t(4)), PropertyValue(int32_t(4)));
}

} // namespace
