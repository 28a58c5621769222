#include "convtestfiles.h"

#include "convert/conv97.h"
#include "convert/directhost.h"
#include "convert/frmhelper.h"
#include "convert/legacyopen.h"

#include "common/fileutil.h"
#include "files/resources.h"
#include "support/manualtimer.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"

#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zelp::test {
namespace {

TEST(ClassIdToBytes, GivesTheStoredFormOfBothIdentifiers) {
    EXPECT_EQ(ClassIdToBytes(QStringLiteral("F24D6917-69D1-11D2-AB7F-0040055A85C2")).toHex(' '),
              "17 69 4d f2 d1 69 d2 11 ab 7f 00 40 05 5a 85 c2");
    EXPECT_EQ(ClassIdToBytes(QStringLiteral("{F24D6911-69D1-11D2-AB7F-0040055A85C2}")).toHex(' '),
              "11 69 4d f2 d1 69 d2 11 ab 7f 00 40 05 5a 85 c2");
    EXPECT_TRUE(ClassIdToBytes(QStringLiteral("F24D6911-69D1-11D2-AB7F")).isEmpty());
}

// How a helper browser behaves in a test: as the real host, or failing in one way.
enum class HostMode { Normal, NonClient, Silent, Lost, Throws, NoSave };

class ScriptedHost : public HelperBrowser {
public:
    explicit ScriptedHost(HostMode mode) : mode_(mode) {}
    void Navigate(const QString &url) override {
        if (mode_ == HostMode::Throws) {
            raiseError(ErrNum::PathFileAccess, "Path/File access error");
        }
        if (mode_ == HostMode::NoSave) {
            if (auto *doc = qobject_cast<ClientDocument *>(inner_.Document())) {
                doc->DiscardChanges();
            }
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

private:
    HostMode mode_;
    DirectHost inner_;
};

class Conv97Test : public ::testing::Test {
protected:
    ServiceScope services;
    QString path(const char *name) const {
        return services.dir.filePath(QString::fromLatin1(name));
    }
    QString folder() const { return services.dir.path(); }
    void good97(const QString &file, const char *classId = kUnsafe97ClassId) {
        ASSERT_TRUE(write97File(file, classId, {{"SessionTitle", std::string("Payroll")}}));
    }
    static QByteArray bytesOf(const QString &file) { return ReadWholeFile(file); }
};

TEST_F(Conv97Test, TestFindsEitherIdentifierAtAnyOffsetAndReadsOnlyRegularFiles) {
    const QByteArray unsafeId = ClassIdToBytes(QString::fromLatin1(Conv97::kUnsafe97ClassId));
    const QByteArray safeId = ClassIdToBytes(QString::fromLatin1(Conv97::kSafe97ClassId));
    ASSERT_EQ(::mkfifo(path("pipe").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(WriteWholeFile(path("plain"), QByteArray(64, 'a'), true));
    const struct {
        const char *name;
        QByteArray bytes; // nothing is written for an empty one
        bool result, safe, unsafe, named;
    } cases[] = {
        {"short", QByteArray("fifteen bytes..").left(15), false, false, false, false},
        {"odd", QByteArray("x") + safeId + "tail", true, true, false, true},
        {"both", safeId + QByteArray(7, 'z') + unsafeId, true, false, true, true},
        {"plain", QByteArray(64, 'a'), false, false, false, true},
        {"pipe", {}, false, false, false, false},
        {"missing", {}, false, false, false, false},
        {".", {}, false, false, false, false},
    };
    for (const auto &c : cases) {
        const QString file = path(c.name);
        if (!c.bytes.isEmpty()) {
            ASSERT_TRUE(WriteWholeFile(file, c.bytes, true));
        }
        Conv97 converter;
        converter.Test(path("plain")); // the name a short or unreadable file leaves in place
        EXPECT_EQ(converter.Test(file), c.result) << c.name;
        EXPECT_EQ(converter.safe97(), c.safe) << c.name;
        EXPECT_EQ(converter.unsafe97(), c.unsafe) << c.name;
        EXPECT_EQ(converter.testedFileName(), c.named ? file : path("plain")) << c.name;
    }
}

TEST_F(Conv97Test, EveryFailureSaysSoLeavesNoWorkFileAndTheTargetAsItWas) {
    const QString old97 = path("old.ats");
    const QString target = path("new.ats");
    const QString broken = path("broken.ats");
    const QString plain = path("plain.bin");
    good97(old97);
    ASSERT_TRUE(
        WriteWholeFile(broken, QByteArray(40, 'x') + ClassIdToBytes(Conv97::kSafe97ClassId), true));
    ASSERT_TRUE(WriteWholeFile(plain, QByteArray(40, 'p'), true));
    const struct {
        const char *what;
        QString from, to;
        bool targetExists, readOnly;
        HostMode host;
        std::deque<int16_t> answers;
        QString message;
        int16_t style;
        bool result;
        bool skipped;
    } cases[] = {
        {"missing source",
         path("nothing.ats"),
         target,
         false,
         false,
         HostMode::Normal,
         {},
         "Unable to open " + path("nothing.ats"),
         48,
         false,
         false},
        {"no identifier",
         plain,
         target,
         false,
         false,
         HostMode::Normal,
         {},
         "Unable to locate ZELP97 GUID in " + plain,
         48,
         false,
         false},
        {"own name, No",
         old97,
         old97,
         true,
         false,
         HostMode::Normal,
         {7},
         "You did not specify a different file name for the converted file.\r\nYour original "
         "file will be overwritten by the converted file.\r\nDo you want to continue anyway?",
         4,
         false,
         true},
        {"read-only, No",
         old97,
         target,
         true,
         true,
         HostMode::Normal,
         {7},
         "File " + target + " is a read-only file.\r\nDo you want to continue anyway?",
         4,
         false,
         true},
        {"exists, No",
         old97,
         target,
         true,
         false,
         HostMode::Normal,
         {7},
         "File " + target + " already exists. Are you sure you want to overwrite this file?",
         4,
         false,
         true},
        {"not a compound file",
         broken,
         target,
         false,
         false,
         HostMode::Normal,
         {},
         "Failed to load ZELP 97 UserDocument from " + broken,
         48,
         false,
         false},
        {"no work file",
         old97,
         path("no/such/folder/new.ats"),
         false,
         false,
         HostMode::Normal,
         {},
         "Unable to write temporary file ",
         48,
         false,
         false},
        {"helper cannot load",
         old97,
         target,
         false,
         false,
         HostMode::NonClient,
         {},
         "Failed to load ZELP 2000 UserDocument from temporary file",
         48,
         false,
         false},
        {"read-only, Yes, helper cannot load",
         old97,
         target,
         true,
         true,
         HostMode::NonClient,
         {6},
         "Failed to load ZELP 2000 UserDocument from temporary file",
         48,
         false,
         false},
        {"run-time error",
         old97,
         target,
         true,
         false,
         HostMode::Throws,
         {6},
         "Conversion failed due to the following error:\r\nPath/File access error",
         48,
         false,
         false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(target);
        if (c.targetExists && c.to == target) {
            ASSERT_TRUE(WriteWholeFile(target, "previous", true));
            if (c.readOnly) {
                QFile::setPermissions(target, QFileDevice::ReadOwner);
            }
        }
        const QByteArray before = bytesOf(c.to);
        services.messages.asked.clear();
        services.messages.answers = c.answers;
        Conv97 converter([&] { return std::make_unique<ScriptedHost>(c.host); });
        converter.Test(c.from); // as the Open command does
        EXPECT_EQ(converter.Convert(c.from, c.to), c.result);
        ASSERT_FALSE(services.messages.asked.empty());
        EXPECT_EQ(services.messages.asked.back().text, c.message);
        EXPECT_EQ(services.messages.asked.back().style, c.style);
        EXPECT_EQ(converter.report().result,
                  c.skipped ? ConversionReport::Result::Skipped : ConversionReport::Result::Failed);
        EXPECT_EQ(bytesOf(c.to), before);
        EXPECT_TRUE(workFiles(folder()).isEmpty()) << workFiles(folder()).join(u' ').toStdString();
        if (c.readOnly) {
            // Only a Yes takes the read-only attribute away, failure or not.
            EXPECT_EQ(bool(QFile::permissions(target) & QFileDevice::WriteOwner),
                      c.answers.front() == 6);
        }
    }
}

TEST_F(Conv97Test, ADocumentThatDoesNotSaveIsAFailureNotASilentSuccess) {
    good97(path("old.ats"));
    Conv97 converter([] { return std::make_unique<ScriptedHost>(HostMode::NoSave); });
    EXPECT_FALSE(converter.Convert(path("old.ats"), path("new.ats")));
    EXPECT_TRUE(services.messages.asked.back().text.startsWith(
        QStringLiteral("The converted document did not save itself to ")));
    EXPECT_FALSE(QFile::exists(path("new.ats")));
    EXPECT_TRUE(workFiles(folder()).isEmpty());
}

TEST_F(Conv97Test, OwnNameAfterYesReplacesThe97FileAndReadOnlyYesConverts) {
    good97(path("own.ats"), kSafe97ClassId);
    // Both identifiers: the unsafe one wins and brings the unsafe template.
    const QByteArray safeId = ClassIdToBytes(QString::fromLatin1(Conv97::kSafe97ClassId));
    ASSERT_TRUE(write97File(
        path("old.ats"), kUnsafe97ClassId,
        {{"SessionTitle", std::string("Payroll")}, {"HostType", safeId.toStdString()}}));
    ASSERT_TRUE(WriteWholeFile(path("locked.ats"), "previous", true));
    QFile::setPermissions(path("locked.ats"), QFileDevice::ReadOwner);
    services.messages.answers = {6, 6};
    Conv97 converter;
    ASSERT_TRUE(converter.Convert(path("own.ats"), path("own.ats")));
    ASSERT_TRUE(converter.Convert(path("old.ats"), path("locked.ats")));
    for (const auto &[name, safe] : {std::pair{"own.ats", true}, std::pair{"locked.ats", false}}) {
        const auto doc = ClientDocument::load(path(name));
        ASSERT_TRUE(doc) << name;
        EXPECT_EQ(doc->SafeMode(), safe) << name;
        EXPECT_EQ(doc->Settings()->value("sSessionTitle"), PropertyValue(std::string("Payroll")));
    }
    EXPECT_TRUE(workFiles(folder()).isEmpty());
}

TEST_F(Conv97Test, ASlowHelperEndsByItsTimeOutAndCountsAsLoadedWhenAtTheWorkFile) {
    good97(path("old.ats"));
    for (const bool arrived : {true, false}) {
        SCOPED_TRACE(arrived);
        QFile::remove(path("new.ats"));
        std::vector<ManualTimer *> timers;
        Conv97 converter(
            [&] {
                return std::make_unique<ScriptedHost>(arrived ? HostMode::Silent : HostMode::Lost);
            },
            [&] {
                timers.push_back(new ManualTimer);
                return std::unique_ptr<OneShotTimer>(timers.back());
            });
        // The helper never reports; each wait ends when the test's clock passes 2000 ms.
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (converter.Helper()) {
                timers.back()->advance(FrmHelper::kTimeoutMilliseconds);
            }
        });
        ticker.start(1);
        EXPECT_EQ(converter.Convert(path("old.ats"), path("new.ats")), arrived);
        EXPECT_EQ(QFile::exists(path("new.ats")), arrived);
        EXPECT_TRUE(workFiles(folder()).isEmpty());
    }
}

TEST_F(Conv97Test, OpenCheckLoads2000FilesAsTheyAreAndEndsOpenOnNoOrFailure) {
    good97(path("old.ats"));
    ASSERT_TRUE(
        WriteWholeFile(path("modern.ats"), templateResource(kTemplateSafeConnection), true));
    ScriptedFileDialog files;
    setFileDialogService(&files);
    const struct {
        QString chosen;
        std::deque<int16_t> answers;
        std::optional<QString> newName, result;
        QString lastMessage;
    } cases[] = {
        {path("modern.ats"), {}, std::nullopt, path("modern.ats"), {}},
        {path("old.ats"), {7}, std::nullopt, std::nullopt, {}},
        {path("old.ats"), {6}, std::nullopt, std::nullopt, {}}, // the dialog cancelled
        {path("old.ats"),
         {6},
         path("gone/new.ats"),
         std::nullopt,
         "Unable to convert file to Velmaris 2000 format!"},
        {path("old.ats"), {6}, path("new.ats"), path("new.ats"), {}},
    };
    for (const auto &c : cases) {
        services.messages.asked.clear();
        services.messages.answers = c.answers;
        files.answers = {c.newName};
        EXPECT_EQ(openLegacyCheck(c.chosen, {}), c.result) << c.chosen.toStdString();
        EXPECT_EQ(services.messages.asked.size(), c.answers.size() + !c.lastMessage.isEmpty() * 2);
        if (!c.lastMessage.isEmpty()) {
            EXPECT_EQ(services.messages.asked.back().text, c.lastMessage);
            EXPECT_EQ(services.messages.asked.back().style, 49);
        }
    }
    setFileDialogService(nullptr);
}

} // namespace
} // namespace zelp::test
