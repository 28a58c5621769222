#include "convert/conv97.h"
#include "convert/directhost.h"
#include "convert/frmhelper.h"
#include "convert/legacymap.h"
#include "convert/legacyopen.h"

#include "client/core/clientdocument.h"
#include "client/core/legacy97writer.h"
#include "client/core/settingsschema.h"
#include "common/fileutil.h"
#include "files/resources.h"
#include "support/manualtimer.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <ranges>
#include <set>
#include <sys/stat.h>

namespace zelp::test {
namespace {

class ConvertTest : public ::testing::Test {
protected:
    ServiceScope services;
    QString path(const QString &name) const { return services.dir.filePath(name); }
    void put(const char *name, const QByteArray &bytes) {
        ASSERT_TRUE(WriteWholeFile(path(name), bytes));
    }
    // Both identifiers: the unsafe one wins and brings the unsafe template.
    void SetUp() override {
        ASSERT_TRUE(write97File(path("old.ats"), kUnsafe97ClassId,
                                {{"SessionTitle", std::string("Payroll")},
                                 {"HostType", ClassIdToBytes(kSafe97ClassId).toStdString()}}));
    }
    void answer(int16_t answer) {
        services.messages.asked.clear();
        services.messages.answers = answer ? std::deque{answer} : std::deque<int16_t>{};
    }
    // A 97 file with these properties converted; nullptr when that failed.
    std::unique_ptr<ClientDocument> convert(const std::vector<Legacy97Property> &properties,
                                            ConversionReport *report = nullptr,
                                            const char *classId = kUnsafe97ClassId) {
        QFile::remove(path("new.ats"));
        EXPECT_TRUE(write97File(path("97.ats"), classId, properties));
        Conv97 converter;
        const bool done = converter.Convert(path("97.ats"), path("new.ats"));
        if (report) {
            *report = converter.report();
        }
        const auto &asked = services.messages.asked;
        EXPECT_TRUE(done) << (asked.empty() ? "" : asked.back().text.toStdString());
        return done ? ClientDocument::load(path("new.ats")) : nullptr;
    }
    static PropertyValue setting(const ClientDocument &doc, const std::string &name) {
        return doc.Settings()->value(name).value_or(std::string("<unknown>"));
    }
};

TEST_F(ConvertTest, TestFindsEitherIdentifierAtAnyOffsetAndReadsOnlyRegularFiles) {
    // The stored form of both identifiers, with or without braces.
    const QByteArray unsafeId = ClassIdToBytes(Conv97::kUnsafe97ClassId);
    const QByteArray safeId =
        ClassIdToBytes(QStringLiteral("{F24D6911-69D1-11D2-AB7F-0040055A85C2}"));
    EXPECT_EQ(unsafeId.toHex(' '), "17 69 4d f2 d1 69 d2 11 ab 7f 00 40 05 5a 85 c2");
    EXPECT_EQ(safeId.toHex(' '), "11 69 4d f2 d1 69 d2 11 ab 7f 00 40 05 5a 85 c2");
    EXPECT_TRUE(ClassIdToBytes(QStringLiteral("F24D6911-69D1-11D2-AB7F")).isEmpty());
    ASSERT_EQ(::mkfifo(path("pipe").toLocal8Bit().constData(), 0600), 0);
    put("plain", QByteArray(64, 'a'));
    const struct {
        const char *name;
        QByteArray bytes; // none written when empty
        bool tested, safe, unsafe;
        bool named; // the tested name is taken
    } cases[] = {
        {"short", "fifteen bytes..", false, false, false, false},
        {"odd", "x" + safeId + "tail", true, true, false, true},
        {"both", safeId + QByteArray(7, 'z') + unsafeId, true, false, true, true},
        {"plain", {}, false, false, false, true},
        {"pipe", {}, false, false, false, false},
        {"missing", {}, false, false, false, false},
        {".", {}, false, false, false, false},
    };
    for (const auto &c : cases) {
        if (!c.bytes.isEmpty()) {
            put(c.name, c.bytes);
        }
        Conv97 converter;
        converter.Test(path("plain")); // the name a short or unreadable file leaves in place
        EXPECT_EQ(converter.Test(path(c.name)), c.tested) << c.name;
        EXPECT_EQ(std::tuple(converter.safe97(), converter.unsafe97(), converter.testedFileName()),
                  std::tuple(c.safe, c.unsafe, path(c.named ? c.name : "plain")))
            << c.name;
    }
}

// How a helper browser behaves in a test: as the real host, or failing in one way.
enum class HostMode { Normal, NonClient, Silent, Lost, Throws, NoSave };

struct ScriptedHost : HelperBrowser {
    explicit ScriptedHost(HostMode mode) : mode_(mode) {}
    void Navigate(const QString &url) override {
        if (mode_ == HostMode::Throws) {
            raiseError(ErrNum::PathFileAccess, "Path/File access error");
        }
        if (auto *doc = qobject_cast<ClientDocument *>(inner_.Document());
            mode_ == HostMode::NoSave && doc) {
            doc->DiscardChanges();
        }
        if (mode_ == HostMode::Lost) {
            return;
        }
        inner_.Navigate(mode_ == HostMode::NonClient ? QStringLiteral("/nonexistent") : url);
        if (mode_ != HostMode::Silent) {
            navigateComplete();
        }
    }
    void Stop() override {}
    QObject *Document() const override { return inner_.Document(); }
    QString LocationURL() const override {
        return mode_ == HostMode::NonClient ? QString() : inner_.LocationURL();
    }
    HostMode mode_;
    DirectHost inner_;
};

TEST_F(ConvertTest, ConvertSaysWhyItFailsAndLeavesNoWorkFileAndTheTargetAsItWas) {
    ASSERT_TRUE(
        write97File(path("own.ats"), kSafe97ClassId, {{"SessionTitle", std::string("Payroll")}}));
    put("broken.ats", QByteArray(40, 'x') + ClassIdToBytes(Conv97::kSafe97ClassId));
    put("plain.bin", QByteArray(40, 'p'));
    const char *sameName = "You did not specify a different file name for the converted file.\r\n"
                           "Your original file will be overwritten by the converted file.\r\n"
                           "Do you want to continue anyway?";
    const char *readOnly = "File <to> is a read-only file.\r\nDo you want to continue anyway?";
    const char *helperFailed = "Failed to load ZELP 2000 UserDocument from temporary file";
    enum Target { Absent, Present, ReadOnly };
    using enum HostMode;
    using enum ConversionReport::Result;
    const char *old = "old.ats", *out = "new.ats";
    const struct {
        const char *from, *to;
        Target target;
        HostMode host;
        int16_t answer;      // 0: no question
        const char *message; // the last one; <from> and <to> stand for the paths, * for any rest
        ConversionReport::Result result;
        bool safe = false; // when converted
    } cases[] = {
        {"nothing.ats", out, Absent, Normal, 0, "Unable to open <from>", Failed},
        {"plain.bin", out, Absent, Normal, 0, "Unable to locate ZELP97 GUID in <from>", Failed},
        {old, old, Absent, Normal, 7, sameName, Skipped},
        {old, out, ReadOnly, Normal, 7, readOnly, Skipped},
        {old, out, Present, Normal, 7,
         "File <to> already exists. Are you sure you want to overwrite this file?", Skipped},
        {"broken.ats", out, Absent, Normal, 0, "Failed to load ZELP 97 UserDocument from <from>",
         Failed},
        {old, "no/such/new.ats", Absent, Normal, 0, "Unable to write temporary file ", Failed},
        {old, out, Absent, NonClient, 0, helperFailed, Failed},
        {old, out, ReadOnly, NonClient, 6, helperFailed, Failed},
        {old, out, Present, Throws, 6,
         "Conversion failed due to the following error:\r\nPath/File access error", Failed},
        // A document that does not save is a failure, not a silent success.
        {old, out, Absent, NoSave, 0, "The converted document did not save itself to *", Failed},
        // A helper that never reports ends by its time-out; loaded when it is at the work file.
        {old, out, Absent, Lost, 0, helperFailed, Failed},
        {old, out, Absent, Silent, 0, "", Converted},
        {old, out, ReadOnly, Normal, 6, readOnly, Converted},
        {"own.ats", "own.ats", Absent, Normal, 6, sameName, Converted, true},
    };
    for (const auto &c : cases) {
        const QString from = path(c.from), to = path(c.to);
        SCOPED_TRACE(QStringLiteral("%1 -> %2, %3").arg(c.from, c.to, c.message).toStdString());
        QFile::remove(path("new.ats"));
        if (c.target != Absent) {
            ASSERT_TRUE(WriteWholeFile(to, "previous"));
            QFile::setPermissions(to, c.target == ReadOnly ? QFileDevice::ReadOwner
                                                           : QFile::permissions(to));
        }
        const QByteArray before = ReadWholeFile(to);
        answer(c.answer);
        std::vector<ManualTimer *> timers;
        Conv97 converter(
            [mode = c.host] { return std::make_unique<ScriptedHost>(mode); },
            [&] { return std::unique_ptr<OneShotTimer>(timers.emplace_back(new ManualTimer)); });
        // Each wait for the helper ends when the test's clock passes the time-out.
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (converter.Helper()) {
                timers.back()->advance(FrmHelper::kTimeoutMilliseconds);
            }
        });
        ticker.start(1);
        converter.Test(from); // as the Open command does
        EXPECT_EQ(converter.Convert(from, to), c.result == Converted);
        QString message = QString::fromUtf8(c.message).replace("<from>", from).replace("<to>", to);
        const auto &asked = services.messages.asked;
        ASSERT_EQ(asked.empty(), message.isEmpty());
        if (!asked.empty()) {
            EXPECT_EQ(message.endsWith(u'*') ? asked.back().text.left(message.size() - 1) + u'*'
                                             : asked.back().text,
                      message);
            EXPECT_EQ(asked.back().style, message.endsWith(u'?') ? 4 : 48); // Yes/No or a stop
        }
        EXPECT_EQ(converter.report().result, c.result);
        EXPECT_EQ(QDir(services.dir.path()).entryList({"Work*.ats"}, QDir::Files), QStringList());
        if (c.target == ReadOnly) {
            // Only a Yes takes the read-only attribute away, failure or not.
            EXPECT_EQ(bool(QFile::permissions(to) & QFileDevice::WriteOwner), c.answer == 6);
        }
        if (c.result != Converted) {
            EXPECT_EQ(ReadWholeFile(to), before);
            EXPECT_EQ(QFile::exists(to), c.target != Absent || to == from);
            continue;
        }
        const auto doc = ClientDocument::load(to);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->SafeMode(), c.safe);
        EXPECT_EQ(doc->Settings()->value("sSessionTitle"), PropertyValue(std::string("Payroll")));
    }
}

TEST_F(ConvertTest, OpenCheckLoads2000FilesAsTheyAreAndEndsOpenOnNoOrFailure) {
    put("modern.ats", templateResource(kTemplateSafeConnection));
    ScriptedFileDialog files;
    setFileDialogService(&files);
    // chosen, answer (0: no question), name given to the dialog and result (nullptr: none)
    const std::tuple<const char *, int16_t, const char *, const char *, QString> cases[] = {
        {"modern.ats", 0, nullptr, "modern.ats", {}},
        {"old.ats", 7, nullptr, nullptr, {}},
        {"old.ats", 6, nullptr, nullptr, {}}, // the dialog cancelled
        {"old.ats", 6, "gone/new.ats", nullptr, "Unable to convert file to Velmaris 2000 format!"},
        {"old.ats", 6, "new.ats", "new.ats", {}},
    };
    const auto inFolder = [&](const char *name) {
        return name ? std::optional(path(name)) : std::nullopt;
    };
    for (const auto &[chosen, yesNo, newName, result, lastMessage] : cases) {
        answer(yesNo);
        files.answers = {inFolder(newName)};
        EXPECT_EQ(openLegacyCheck(path(chosen), {}), inFolder(result)) << chosen;
        const auto &asked = services.messages.asked;
        EXPECT_EQ(asked.size(), size_t(yesNo != 0) + !lastMessage.isEmpty() * 2);
        if (!lastMessage.isEmpty()) {
            EXPECT_EQ(std::pair(asked.back().text, int(asked.back().style)),
                      std::pair(lastMessage, 49));
        }
    }
    setFileDialogService(nullptr);
}

// The script as the 97 client keeps it.
std::string xored(std::string script) {
    for (size_t i = 0; i < script.size(); ++i) {
        script[i] = char(static_cast<unsigned char>(script[i]) ^ ((i + 1) & 15));
    }
    return script;
}

template <class... F> struct Overloaded : F... { using F::operator()...; };

// A value of the type the 97 client kept, different from every default.
PropertyValue changed(const LegacyMapRow &row) {
    PropertyValue value = row.readDefault.value_or(int32_t(0));
    std::visit(Overloaded{[&](std::string &s) { s = "x-" + row.legacyName; },
                          [](bool &b) { b = !b; }, [](double &d) { d = 1.5; },
                          [](auto &n) { n += 3; }},
               value);
    return value;
}

TEST_F(ConvertTest, EveryPlainRowArrivesUnderIts2000NameWithItsTypeAndDefaultsWhenMissing) {
    auto plain = LegacyMap::rows() | std::views::filter([](const LegacyMapRow &row) {
                     return row.shape == LegacyMapRow::Shape::Plain;
                 });
    std::vector<Legacy97Property> properties;
    for (const LegacyMapRow &row : plain) {
        properties.push_back({row.legacyName, changed(row)});
    }
    ConversionReport full, none;
    const auto doc = convert(properties, &full);
    const auto empty = convert({}, &none);
    ASSERT_TRUE(doc && empty);
    const auto status = [](const ConversionReport &report, const std::string &name) {
        const auto s = std::ranges::find(report.settings, name, &SettingOutcome::name);
        return s == report.settings.end() ? std::nullopt : std::optional(s->status);
    };
    for (const LegacyMapRow &row : plain) {
        SCOPED_TRACE(row.name);
        const PropertyValue got = setting(*doc, row.name);
        const SettingDef def = *SettingsSchema::find(row.name);
        EXPECT_EQ(typeOf(got), def.type);
        EXPECT_TRUE(sameValue(got, changed(row))) << formatValue(got);
        EXPECT_TRUE(sameValue(setting(*empty, row.name), def.defaultValue));
        EXPECT_EQ(status(full, row.name), SettingOutcome::Status::Carried);
        EXPECT_EQ(status(none, row.name), SettingOutcome::Status::Defaulted);
    }
    // The 97 boolean under the 2000 mode number.
    EXPECT_EQ(setting(*doc, "sScrMode"), PropertyValue(int16_t(-1)));
}

TEST(LegacyMap, EverySchemaSettingWithA97NameHasOneRowAndNoTwoRowsShareAName) {
    std::map<std::string, std::string> mapped; // 97 name to 2000 name
    std::set<std::string> targets;
    for (const LegacyMapRow &row : LegacyMap::rows()) {
        EXPECT_TRUE(mapped.emplace(row.legacyName, row.name).second) << row.legacyName;
        EXPECT_TRUE(targets.insert(row.name).second) << row.name;
    }
    for (const SettingDef &def : SettingsSchema::all()) {
        if (!def.legacyName.empty()) {
            const auto row = mapped.find(def.legacyName);
            EXPECT_EQ(row == mapped.end() ? "<none>" : row->second, def.name) << def.legacyName;
        }
    }
}

TEST_F(ConvertTest, PaletteAndAttributeColoursTakeTheirListsByTheValRule) {
    std::string longList;
    std::vector<double> tens;
    for (int i = 1; i <= 70; ++i) {
        longList += (i > 1 ? "," : "") + std::to_string(i * 10);
        tens.push_back(i * 10);
    }
    // AttrColors into sAttrColor0-63 or Palette into sPalette0-15; the list; the colours it
    // gives, then zeros (none: every colour keeps its default)
    const std::tuple<bool, std::optional<std::string>, std::vector<double>> cases[] = {
        {false, std::nullopt, {}},
        {false, "", {}},
        {false, "0,255", {0, 255}},
        {false, longList, tens},
        {false, " 1 2abc,red,&,-2.5e1x", {12, 0, 0, -25}},
        {true, "7,8", {7, 8}},
        {true, longList, tens},
    };
    for (const auto &[attributes, list, head] : cases) {
        SCOPED_TRACE(list.value_or("none"));
        const auto doc =
            list ? convert({{attributes ? "AttrColors" : "Palette", *list}}) : convert({});
        ASSERT_TRUE(doc);
        for (int i = 0; i < (attributes ? 64 : 16); ++i) {
            const std::string name = (attributes ? "sAttrColor" : "sPalette") + std::to_string(i);
            EXPECT_EQ(setting(*doc, name),
                      head.empty() ? SettingsSchema::find(name)->defaultValue
                                   : PropertyValue(i < int(head.size()) ? head[i] : 0.0))
                << name;
        }
    }
}

TEST_F(ConvertTest, FunctionKeysTakeTheirNamesAndArrowNotation) {
    using Keys = std::vector<std::pair<std::string, std::string>>;
    // the 97 properties, FKeys (empty: not written) and the keys stored
    const std::tuple<std::vector<Legacy97Property>, std::string, Keys> cases[] = {
        {{{"KeyCount", int16_t(2)},
          {"Key1", std::string("F1\0\r", 4)},
          {"Key2", std::string("PF2\0\x1b[A\xc1 ", 9)}},
         "F1,PF2",
         {{"F1", "^M"}, {"PF2", "^[[A\\A ^"}}},
        {{{"KeyCount", int16_t(1)}, {"Key1", std::string("F5")}}, "F5", {}}, // no NUL
        {{{"Key1", std::string("F1\0x", 4)}}, "", {}},
        {{{"KeyCount", std::string("")}, {"Key1", std::string("F1\0x", 4)}}, "", {}},
        {{{"KeyCount", int32_t(2)}, {"Key2", std::string("F2\0y", 4)}}, "F2", {{"F2", "y"}}},
    };
    for (const auto &[properties, list, keys] : cases) {
        const auto doc = convert(properties);
        ASSERT_TRUE(doc);
        std::pair<std::string, Keys> got;
        for (const PropertyRecord &r : doc->Settings()->toRecords()) {
            if (r.name == "FKeys") {
                got.first = std::get<std::string>(r.value);
            } else if (r.name.starts_with("sFKey")) {
                got.second.emplace_back(r.name.substr(5), std::get<std::string>(r.value));
            }
        }
        EXPECT_EQ(got, std::pair(list, keys));
    }
}

TEST_F(ConvertTest, TheScriptIsCutAtItsFirstNulAndGetsTheDisconnectedRoutineOnce) {
    const std::string routine = disconnectedRoutine();
    ASSERT_NE(routine.find("\r\nSub Disconnected()\r\n"), std::string::npos);
    // the script as the user wrote it, and as converted
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {std::nullopt, ""},
        {"", ""},
        {"Sub Main()\r\nEnd Sub", "Sub Main()\r\nEnd Sub" + routine},
        {"x\r\nsUB dISCONNECTED()\r\nEnd Sub", "x\r\nsUB dISCONNECTED()\r\nEnd Sub"},
        {"' sub disconnected() is not needed", "' sub disconnected() is not needed"},
        {std::string("abc\0\0\0\0", 7), "abc" + routine},
        {std::string("abc\0Sub Disconnected()", 22), "abc" + routine},
    };
    for (const auto &[script, expected] : cases) {
        SCOPED_TRACE(script.value_or("none"));
        std::vector<Legacy97Property> properties = {{"MousePatterns", std::string("*.pdf")}};
        if (script) {
            properties.push_back({"Script", xored(*script)});
        }
        ConversionReport report;
        const auto doc = convert(properties, &report, kSafe97ClassId);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->Script(), expected);
        EXPECT_EQ(report.settings[0].status,
                  script ? SettingOutcome::Status::Carried : SettingOutcome::Status::Defaulted);
        EXPECT_EQ(doc->MousePatterns(), "*.pdf");
    }
}

} // namespace
} // namespace zelp::test
