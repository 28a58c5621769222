#include "cfbprobe.h"

#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "client/core/recordstream.h"

#include "common/fileutil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace zelp;

namespace {

class ClientDocumentTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    static std::string bytesOf(const QString &file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll().toStdString();
    }
    static void writeBytes(const QString &file, const std::string &bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
    }
    static void writeCompound(const QString &file, const ClassIdBytes &classId,
                              std::vector<std::pair<std::string, std::string>> streams = {}) {
        CompoundContent content{classId, std::move(streams)};
        const auto bytes = CompoundFile::build(content);
        ASSERT_TRUE(bytes);
        writeBytes(file, *bytes);
    }
    std::unique_ptr<ClientDocument> fresh(const char *name, bool safe) {
        writeCompound(path(name), ClientClasses::classIdFor(safe));
        QString error;
        auto doc = ClientDocument::load(path(name), &error);
        EXPECT_TRUE(doc) << error.toStdString();
        return doc;
    }
};

TEST_F(ClientDocumentTest, AnEmptyConnectionHasEveryDefault) {
    for (bool safe : {true, false}) {
        auto doc = fresh(safe ? "safe.ats" : "unsafe.ats", safe);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->SafeMode(), safe);
        EXPECT_FALSE(doc->Changed());
        EXPECT_EQ(doc->Settings()->Pinned(), 0);
        EXPECT_TRUE(doc->Script().empty());
        for (const SettingDef &def : SettingsSchema::all()) {
            EXPECT_EQ(doc->Settings()->value(def.name), def.defaultValue) << def.name;
        }
    }
}

TEST_F(ClientDocumentTest, EveryTypeAndThePinnedValueSurviveSaveAndLoad) {
    auto doc = fresh("c.ats", true);
    ASSERT_TRUE(doc);
    const std::vector<std::pair<std::string, PropertyValue>> edits = {
        {"sSessionTitle", std::string("Caf\xe9 \x80 host")},
        {"sHostName", std::string("127.0.0.1")},
        {"sNormRows", int16_t(-32768)},
        {"sBaud", int32_t(115200)},
        {"sPalette3", 1234567.0},
        {"sScaleFont", false},
        {"sFKeyShiftF3", std::string("^M\\x")},
        {"FKeys", std::string("F1,ShiftF3")},
    };
    for (const auto &[name, value] : edits) {
        QString error;
        ASSERT_TRUE(doc->Settings()->setValue(name, value, &error)) << name << error.toStdString();
    }
    doc->Settings()->setPinned(-7);
    const std::string script("Sub Main()\r\n\tx = \"\xe9\"\r\nEnd Sub\r\n\0", 32);
    doc->setScript(script);
    doc->setMousePatterns("1,2,3");
    EXPECT_TRUE(doc->Changed());
    QString error;
    ASSERT_TRUE(doc->save(&error)) << error.toStdString();
    EXPECT_FALSE(doc->Changed());

    // An independent look at the file: root class identifier and the three streams.
    std::string why;
    const auto probe = test::probeCompoundFile(bytesOf(path("c.ats")), &why);
    ASSERT_TRUE(probe) << why;
    EXPECT_EQ(probe->rootClassId, ClientClasses::classIdFor(true));
    for (const char *stream : {"Settings", "Script", "MousePatterns"}) {
        const auto *entry = probe->find(stream);
        ASSERT_TRUE(entry) << stream;
        EXPECT_EQ(entry->type, 2) << stream;
    }
    EXPECT_EQ(probe->find("Script")->size, script.size());

    auto back = ClientDocument::load(path("c.ats"), &error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_FALSE(back->Changed());
    EXPECT_TRUE(back->SafeMode());
    for (const auto &[name, value] : edits) {
        EXPECT_EQ(back->Settings()->value(name), value) << name;
    }
    EXPECT_EQ(back->Settings()->Pinned(), -7);
    EXPECT_EQ(back->Script(), script);
    EXPECT_EQ(back->MousePatterns(), "1,2,3");
    EXPECT_EQ(back->Settings()->value("sNormCols"), PropertyValue(int16_t(80)));
}

TEST_F(ClientDocumentTest, OnlyWhatDiffersFromTheDefaultsIsStored) {
    auto doc = fresh("d.ats", false);
    ASSERT_TRUE(doc);
    ASSERT_TRUE(doc->Settings()->setValue("sNormCols", int16_t(132)));
    ASSERT_TRUE(doc->Settings()->setValue("sNormCols", int16_t(80)));
    ASSERT_TRUE(doc->Settings()->setValue("sPrinterName", std::string("Laser")));
    doc->PropChanged();
    ASSERT_TRUE(doc->save());
    const auto content = CompoundFile::read(path("d.ats"));
    ASSERT_TRUE(content);
    const auto records = RecordStream::decode(*content->stream("Settings"));
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ((*records)[0].name, "sPrinterName");
}

TEST_F(ClientDocumentTest, ChangedFollowsRealEditsOnly) {
    auto doc = fresh("e.ats", true);
    ASSERT_TRUE(doc);
    const struct {
        const char *what;
        std::function<bool(ClientDocument &)> edit; // false: the edit was refused
        bool changes;
    } cases[] = {
        {"same value",
         [](ClientDocument &d) { return d.Settings()->setValue("sNormCols", int16_t(80)); }, false},
        {"same value as text",
         [](ClientDocument &d) { return d.Settings()->setValue("sNormCols", std::string("80")); },
         false},
        {"same script",
         [](ClientDocument &d) {
             d.setScript("");
             return true;
         },
         false},
        {"same pinned",
         [](ClientDocument &d) {
             d.Settings()->setPinned(0);
             return true;
         },
         false},
        {"70000 into 16 bits",
         [](ClientDocument &d) { return d.Settings()->setValue("sNormCols", int32_t(70000)); },
         false},
        {"unknown name",
         [](ClientDocument &d) { return d.Settings()->setValue("sNoSuch", int16_t(1)); }, false},
        {"text into a number",
         [](ClientDocument &d) { return d.Settings()->setValue("sNormCols", std::string("wide")); },
         false},
        {"new value",
         [](ClientDocument &d) { return d.Settings()->setValue("sNormCols", int16_t(100)); }, true},
        {"new script",
         [](ClientDocument &d) {
             d.setScript("x");
             return true;
         },
         true},
        {"new pinned",
         [](ClientDocument &d) {
             d.Settings()->setPinned(3);
             return true;
         },
         true},
        {"PropChanged",
         [](ClientDocument &d) {
             d.PropChanged();
             return true;
         },
         true},
    };
    for (const auto &c : cases) {
        auto d = ClientDocument::load(path("e.ats"));
        ASSERT_TRUE(d);
        const bool accepted = c.edit(*d);
        EXPECT_EQ(d->Changed(), c.changes) << c.what;
        if (!c.changes) {
            EXPECT_EQ(d->Settings()->value("sNormCols"), PropertyValue(int16_t(80))) << c.what;
        }
        (void)accepted;
    }
    QString error;
    EXPECT_FALSE(doc->Settings()->setValue("sNormCols", int32_t(70000), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("sNormCols")));
}

TEST_F(ClientDocumentTest, AFailedSaveKeepsThePreviousFileByteForByte) {
    auto doc = fresh("keep.ats", true);
    ASSERT_TRUE(doc);
    ASSERT_TRUE(doc->Settings()->setValue("sHostName", std::string("first")));
    ASSERT_TRUE(doc->save());
    const std::string before = bytesOf(path("keep.ats"));

    ASSERT_TRUE(doc->Settings()->setValue("sHostName", std::string("second")));
    ASSERT_TRUE(QFile::setPermissions(path("keep.ats"), QFile::ReadOwner));
    QString error;
    EXPECT_FALSE(doc->save(&error));
    EXPECT_EQ(error, QStringLiteral("the file is read-only"));
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(bytesOf(path("keep.ats")), before);

    // The real writer into a folder that has gone.
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    writeCompound(path("sub/gone.ats"), ClientClasses::classIdFor(false));
    auto gone = ClientDocument::load(path("sub/gone.ats"));
    ASSERT_TRUE(gone);
    ASSERT_TRUE(QDir(path("sub")).removeRecursively());
    gone->PropChanged();
    EXPECT_FALSE(gone->save(&error));
    EXPECT_FALSE(QFile::exists(path("sub/gone.ats")));
}

TEST_F(ClientDocumentTest, BadFilesGiveAClearErrorAndNothingIsWritten) {
    writeCompound(path("good.ats"), ClientClasses::classIdFor(true),
                  {{"Settings", *RecordStream::encode({{"sHostName", std::string(3000, 'h')}})}});
    const std::string good = bytesOf(path("good.ats"));
    writeBytes(path("empty.ats"), "");
    writeBytes(path("truncated.ats"), good.substr(0, 700));
    writeBytes(path("text.ats"), "not a compound file at all, just text\r\n");
    writeCompound(path("corrupt.ats"), ClientClasses::classIdFor(false),
                  {{"Settings", std::string("\x05\x00"
                                            "ab",
                                            4)}});
    writeCompound(path("other.ats"),
                  *classIdFromText(QStringLiteral("F24D6917-69D1-11D2-AB7F-0040055A85C2")));
    // Found by fuzzing: a directory entry without a name, which no save could write back.
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZELP_CORE_TEST_DATA "/unnamed-stream.ats"),
                            path("unnamed.ats")));
    QDir(dir.path()).mkdir(QStringLiteral("folder.ats"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    for (const char *name : {"empty.ats", "truncated.ats", "text.ats", "corrupt.ats", "other.ats",
                             "unnamed.ats", "folder.ats", "missing.ats"}) {
        const std::string bytes = QFileInfo(path(name)).isFile() ? bytesOf(path(name)) : "";
        QString error;
        EXPECT_FALSE(ClientDocument::load(path(name), &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
        if (QFileInfo(path(name)).isFile()) {
            EXPECT_EQ(bytesOf(path(name)), bytes) << name;
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QString error;
    ClientDocument::load(path("corrupt.ats"), &error);
    EXPECT_TRUE(error.contains(QStringLiteral("\"Settings\""))) << error.toStdString();
}

TEST_F(ClientDocumentTest, TwoHundredMegabytesOfRandomBytesAreNoConnection) {
    QFile big(path("random.ats"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    std::mt19937_64 random(42);
    std::vector<uint64_t> chunk(1 << 17); // 1 MiB
    for (int i = 0; i < 200; ++i) {
        for (auto &word : chunk) {
            word = random();
        }
        ASSERT_EQ(big.write(reinterpret_cast<const char *>(chunk.data()), 1 << 20), 1 << 20);
    }
    big.close();
    QString error;
    EXPECT_FALSE(ClientDocument::load(path("random.ats"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(CompoundFile::readRootClassId(path("random.ats")));
}

TEST_F(ClientDocumentTest, WhatItDoesNotUnderstandIsGivenBack) {
    writeCompound(path("future.ats"), ClientClasses::classIdFor(true),
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
    const auto content = CompoundFile::read(path("future.ats"));
    ASSERT_TRUE(content);
    ASSERT_TRUE(content->stream("Extra"));
    EXPECT_EQ(*content->stream("Extra"), "kept");
    const auto records = RecordStream::decode(*content->stream("Settings"));
    ASSERT_TRUE(records);
    auto has = [&](const char *name) {
        return std::any_of(records->begin(), records->end(),
                           [&](const PropertyRecord &r) { return r.name == name; });
    };
    EXPECT_TRUE(has("zFuture"));
    EXPECT_TRUE(has("sNormCols"));
    EXPECT_TRUE(has("sNormRows"));
}

TEST_F(ClientDocumentTest, ReadPropertiesTakesOverTheBagsSettings) {
    auto doc = fresh("bag.ats", false);
    ASSERT_TRUE(doc);
    PropertyBag bag;
    bag.WriteProperty("sHostName", std::string("mainframe"));
    bag.WriteProperty("sNormRows", int32_t(43));
    bag.WriteProperty("sScrMode", true); // written as the old document had it
    bag.WriteProperty("Script", std::string("not a setting"));
    bag.WriteProperty("sFKeyF1", std::string("^M"));
    bag.WriteProperty("sPalette0", 255.0);
    doc->Settings()->ReadProperties(bag);
    EXPECT_TRUE(doc->Changed());
    EXPECT_EQ(doc->Settings()->value("sHostName"), PropertyValue(std::string("mainframe")));
    EXPECT_EQ(doc->Settings()->value("sNormRows"), PropertyValue(int16_t(43)));
    EXPECT_EQ(doc->Settings()->value("sScrMode"), PropertyValue(int16_t(-1)));
    EXPECT_EQ(doc->Settings()->value("sFKeyF1"), PropertyValue(std::string("^M")));
    EXPECT_EQ(doc->Settings()->value("sPalette0"), PropertyValue(255.0));
    EXPECT_TRUE(doc->Script().empty());
}

TEST_F(ClientDocumentTest, EditScriptUsesTheInstalledEditor) {
    auto doc = fresh("script.ats", true);
    ASSERT_TRUE(doc);
    doc->setScript("old");
    ASSERT_TRUE(doc->save());
    std::string shown;
    ClientDocument::setScriptEditor([&](const std::string &script) {
        shown = script;
        return std::optional<std::string>();
    });
    doc->EditScript();
    EXPECT_EQ(shown, "old");
    EXPECT_FALSE(doc->Changed());
    ClientDocument::setScriptEditor(
        [](const std::string &script) { return std::optional<std::string>(script + "new"); });
    doc->EditScript();
    EXPECT_EQ(doc->Script(), "oldnew");
    EXPECT_TRUE(doc->Changed());
    ClientDocument::setScriptEditor({});
}

} // namespace
