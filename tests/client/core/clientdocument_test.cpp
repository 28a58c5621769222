#include "legacy97writer.h"

#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "client/core/legacyreader.h"
#include "client/core/recordstream.h"
#include "common/fileutil.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace zelp;

namespace {

using Streams = std::vector<std::pair<std::string, std::string>>;

class ClientDocumentTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    std::string bytesOf(const char *name) const { return ReadWholeFile(path(name)).toStdString(); }
    void writeCompound(const char *name, const ClassIdBytes &classId, Streams streams = {}) {
        const auto bytes = CompoundFile::build({classId, std::move(streams)});
        ASSERT_TRUE(bytes);
        test::writeFile(path(name), *bytes);
    }
    std::set<std::string> storedNames(const char *name) const {
        const auto records =
            RecordStream::decode(*CompoundFile::read(path(name))->stream("Settings"));
        std::set<std::string> names;
        for (const PropertyRecord &r : *records) {
            names.insert(r.name);
        }
        return names;
    }
    std::unique_ptr<ClientDocument> fresh(const char *name, bool safe) {
        writeCompound(name, ClientClasses::classIdFor(safe));
        return ClientDocument::load(path(name));
    }
};

TEST_F(ClientDocumentTest, EveryTypeSurvivesSaveAndLoadAndOnlyNonDefaultsAreStored) {
    auto doc = fresh("c.ats", true);
    ASSERT_TRUE(doc);
    const std::vector<std::pair<std::string, PropertyValue>> edits = {
        {"sSessionTitle", std::string("Caf\xe9 \x80 host")},
        {"sNormRows", int16_t(-32768)},
        {"sBaud", int32_t(115200)},
        {"sPalette3", 1234567.0},
        {"sScaleFont", false},
        {"sFKeyShiftF3", std::string("^M\\x")},
        {"FKeys", std::string("F1,ShiftF3")},
    };
    ASSERT_TRUE(doc->Settings()->setValue("sNormCols", int16_t(132)));
    ASSERT_TRUE(doc->Settings()->setValue("sNormCols", int16_t(80)));
    for (const auto &[name, value] : edits) {
        ASSERT_TRUE(doc->Settings()->setValue(name, value)) << name;
    }
    doc->Settings()->setPinned(-7);
    const std::string script("Sub Main()\r\n\tx = \"\xe9\"\r\nEnd Sub\r\n\0", 32);
    doc->setScript(script);
    doc->setMousePatterns("1,2,3");
    EXPECT_TRUE(doc->Changed());
    ASSERT_TRUE(doc->save());
    EXPECT_FALSE(doc->Changed());

    // The root's class identifier, read from the bytes of its directory entry (the first
    // entry of the directory's first sector) so that it checks what our reader does not.
    const std::string b = bytesOf("c.ats");
    const auto id = ClientClasses::classIdFor(true);
    const size_t sector = size_t(1) << b.at(0x1E), directory = (uint8_t(b.at(0x30)) + 1) * sector;
    EXPECT_EQ(b.substr(0, 8), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    EXPECT_EQ(b.substr(directory + 0x50, 16), std::string(id.begin(), id.end()));
    EXPECT_EQ(*CompoundFile::read(path("c.ats"))->stream("Script"), script);
    const auto stored = storedNames("c.ats");
    EXPECT_EQ(stored.size(), edits.size() + 1);
    EXPECT_FALSE(stored.count("sNormCols")) << "set back to its default";

    auto back = ClientDocument::load(path("c.ats"));
    ASSERT_TRUE(back);
    for (const auto &[name, value] : edits) {
        EXPECT_EQ(back->Settings()->value(name), value) << name;
        EXPECT_TRUE(stored.count(name)) << name;
    }
    EXPECT_EQ(back->Settings()->Pinned(), -7);
    EXPECT_EQ(back->Script(), script);
    EXPECT_EQ(back->MousePatterns(), "1,2,3");
}

TEST_F(ClientDocumentTest, ChangedFollowsRealEditsOnly) {
    ASSERT_TRUE(fresh("e.ats", true));
    using S = std::string;
    const std::tuple<const char *, std::function<void(ClientDocument &)>, bool> cases[] = {
        {"same value", [](auto &d) { d.Settings()->setValue("sNormCols", int16_t(80)); }, false},
        {"same as text", [](auto &d) { d.Settings()->setValue("sNormCols", S("80")); }, false},
        {"same script", [](auto &d) { d.setScript(""); }, false},
        {"same pinned", [](auto &d) { d.Settings()->setPinned(0); }, false},
        {"70000 in 16 bits", [](auto &d) { d.Settings()->setValue("sNormCols", 70000); }, false},
        {"unknown", [](auto &d) { d.Settings()->setValue("sNoSuch", int16_t(1)); }, false},
        {"text in a number", [](auto &d) { d.Settings()->setValue("sNormCols", S("w")); }, false},
        {"new value", [](auto &d) { d.Settings()->setValue("sNormCols", int16_t(100)); }, true},
        {"new script", [](auto &d) { d.setScript("x"); }, true},
        {"new pinned", [](auto &d) { d.Settings()->setPinned(3); }, true},
        {"PropChanged", [](auto &d) { d.PropChanged(); }, true},
    };
    for (const auto &[what, edit, changes] : cases) {
        auto d = ClientDocument::load(path("e.ats"));
        ASSERT_TRUE(d);
        edit(*d);
        EXPECT_EQ(d->Changed(), changes) << what;
        if (!changes) {
            EXPECT_EQ(d->Settings()->value("sNormCols"), PropertyValue(int16_t(80))) << what;
        }
    }
    QString error;
    EXPECT_FALSE(fresh("f.ats", true)->Settings()->setValue("sNormCols", 70000, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("sNormCols")));
}

TEST_F(ClientDocumentTest, AFailedSaveKeepsThePreviousFileByteForByte) {
    auto doc = fresh("keep.ats", true);
    ASSERT_TRUE(doc);
    ASSERT_TRUE(doc->Settings()->setValue("sHostName", std::string("first")));
    ASSERT_TRUE(doc->save());
    const std::string before = bytesOf("keep.ats");
    ASSERT_TRUE(doc->Settings()->setValue("sHostName", std::string("second")));
    ASSERT_TRUE(QFile::setPermissions(path("keep.ats"), QFile::ReadOwner));
    QString error;
    EXPECT_FALSE(doc->save(&error));
    EXPECT_EQ(error, QStringLiteral("the file is read-only"));
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(bytesOf("keep.ats"), before);

    // The real writer into a folder that has gone.
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    auto gone = fresh("sub/gone.ats", false);
    ASSERT_TRUE(gone);
    ASSERT_TRUE(QDir(path("sub")).removeRecursively());
    gone->PropChanged();
    EXPECT_FALSE(gone->save(&error));
    EXPECT_FALSE(QFile::exists(path("sub/gone.ats")));
}

TEST_F(ClientDocumentTest, BadFilesGiveAClearErrorAndNothingIsWritten) {
    writeCompound("good.ats", ClientClasses::classIdFor(true),
                  {{"Settings", *RecordStream::encode({{"sHostName", std::string(3000, 'h')}})}});
    test::writeFile(path("empty.ats"), "");
    test::writeFile(path("truncated.ats"), bytesOf("good.ats").substr(0, 700));
    test::writeFile(path("text.ats"), "not a compound file at all, just text\r\n");
    writeCompound("corrupt.ats", ClientClasses::classIdFor(false),
                  {{"Settings", std::string("\x05\0ab", 4)}});
    writeCompound("other.ats", *classIdFromText(QString::fromLatin1(test::kUnsafe97ClassId)));
    // Found by fuzzing: a directory entry without a name, which no save could write back.
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZELP_CORE_TEST_DATA "/unnamed-stream.ats"),
                            path("unnamed.ats")));
    QDir(dir.path()).mkdir(QStringLiteral("folder.ats"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const char *name : {"empty.ats", "truncated.ats", "text.ats", "corrupt.ats", "other.ats",
                             "unnamed.ats", "folder.ats", "missing.ats"}) {
        const std::string bytes = bytesOf(name);
        QString error;
        EXPECT_FALSE(ClientDocument::load(path(name), &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
        EXPECT_EQ(bytesOf(name), bytes) << name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

TEST_F(ClientDocumentTest, WhatItDoesNotUnderstandIsGivenBack) {
    writeCompound("future.ats", ClientClasses::classIdFor(true),
                  {{"Settings", *RecordStream::encode({{"zFuture", int32_t(9)},
                                                       {"sNormCols", std::string("wide")},
                                                       {"sNormRows", int32_t(30)}})},
                   {"Extra", "kept"}});
    auto doc = ClientDocument::load(path("future.ats"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->Settings()->value("sNormRows"), PropertyValue(int16_t(30)));
    EXPECT_EQ(doc->Settings()->value("sNormCols"), PropertyValue(int16_t(80)));
    doc->PropChanged();
    ASSERT_TRUE(doc->save());
    EXPECT_EQ(*CompoundFile::read(path("future.ats"))->stream("Extra"), "kept");
    EXPECT_EQ(storedNames("future.ats"),
              (std::set<std::string>{"sNormCols", "sNormRows", "zFuture"}));
}

TEST_F(ClientDocumentTest, ReadPropertiesAndTheScriptEditor) {
    auto doc = fresh("bag.ats", false);
    ASSERT_TRUE(doc);
    PropertyBag bag;
    bag.WriteProperty("sHostName", std::string("mainframe"));
    bag.WriteProperty("sNormRows", int32_t(43));
    bag.WriteProperty("sScrMode", true); // written as the old document had it
    bag.WriteProperty("Script", std::string("not a setting"));
    bag.WriteProperty("sPalette0", 255.0);
    doc->Settings()->ReadProperties(bag);
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(doc->Settings()->value("sHostName"), PropertyValue(std::string("mainframe")));
    EXPECT_EQ(doc->Settings()->value("sNormRows"), PropertyValue(int16_t(43)));
    EXPECT_EQ(doc->Settings()->value("sScrMode"), PropertyValue(int16_t(-1)));
    EXPECT_EQ(doc->Settings()->value("sPalette0"), PropertyValue(255.0));
    EXPECT_TRUE(doc->Script().empty());

    doc->setScript("old");
    ASSERT_TRUE(doc->save());
    std::string shown;
    ClientDocument::setScriptEditor([&](const std::string &s) {
        shown = s;
        return std::optional<std::string>();
    });
    doc->EditScript();
    EXPECT_EQ(shown, "old");
    EXPECT_FALSE(doc->Changed());
    ClientDocument::setScriptEditor([](const std::string &s) { return std::optional(s + "new"); });
    doc->EditScript();
    EXPECT_EQ(doc->Script(), "oldnew");
    EXPECT_TRUE(doc->Changed());
    ClientDocument::setScriptEditor({});
}

TEST_F(ClientDocumentTest, LegacyReaderReadsTheValuesOfTheListWithTheirTypesOrRefusesTheFile) {
    const char *safe = test::kSafe97ClassId, *unsafe = "F24D6917-69D1-11D2-AB7F-0040055A85C2";
    using S = std::string;
    ASSERT_TRUE(test::write97File(path("old.ats"), safe,
                                  {{"Baud", int32_t(9600)},
                                   {"Strip8th", true},
                                   {"KeyCount", int16_t(2)},
                                   {"Key1", S("F1\0\r", 4)},
                                   {"Key3", S("beyond the count")},
                                   {"NotAsked", int16_t(5)},
                                   {"Baud", int32_t(19200)}}));
    ASSERT_TRUE(test::write97File(path("unsafe.ats"), test::kUnsafe97ClassId, {}));
    test::writeFile(path("text.ats"), "plain text");
    writeCompound("bad.ats", *classIdFromText(QString::fromLatin1(safe)),
                  {{"Properties", test::encode97Properties({{"Baud", int32_t(1)}}) + "\x03"}});
    const std::string names =
        "Script\r\nSessionTitle\r\nBaud\r\nKeyCount\r\nKey(KeyCount)\r\nStrip8th";
    const std::tuple<const char *, const char *, bool> files[] = {
        {"unsafe.ats", unsafe, true},
        {"unsafe.ats", "{f24d6917-69d1-11d2-ab7f-0040055a85c2}", true},
        {"unsafe.ats", safe, false},
        {"unsafe.ats", "not a class id", false},
        {"text.ats", unsafe, false},
        {"missing.ats", unsafe, false},
        {"bad.ats", safe, false},
    };
    for (const auto &[file, classId, loads] : files) {
        LegacyDocumentReader reader;
        EXPECT_EQ(reader.LoadDocument(path(file), QString::fromLatin1(classId), names), loads)
            << file << " " << classId;
        EXPECT_EQ(reader.lastError().isEmpty(), loads);
        EXPECT_EQ(reader.ReadValue("Baud", int32_t(4)), PropertyValue(int32_t(4)));
    }
    LegacyDocumentReader reader;
    ASSERT_TRUE(reader.LoadDocument(path("old.ats"), QString::fromLatin1(safe), names));
    const std::tuple<const char *, PropertyValue, PropertyValue> values[] = {
        {"Baud", int32_t(4), int32_t(19200)}, // the last of two records wins
        {"Strip8th", false, true},
        {"Key1", S(), S("F1\0\r", 4)},
        {"Key3", S("none"), S("none")},
        {"NotAsked", int16_t(0), int16_t(0)},
        {"Script", S(), S()},
    };
    for (const auto &[name, defaultValue, expected] : values) {
        EXPECT_EQ(reader.ReadValue(name, defaultValue), expected) << name;
    }
}

} // namespace
