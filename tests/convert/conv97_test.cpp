#include "convert/conv97.h"
#include "convert/directhost.h"
#include "convert/frmhelper.h"
#include "convert/legacyopen.h"

#include "client/core/clientdocument.h"
#include "client/core/legacy97writer.h"
#include "common/fileutil.h"
#include "files/resources.h"
#include "support/manualtimer.h"
#include "support/scriptedfiledialog.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zelp::test {
namespace {

// How a helper browser behaves in a test: as the real host, or failing in one way.
enum class HostMode { Normal, NonClient, Silent, Lost, Throws, NoSave };

class ScriptedHost : public HelperBrowser {
public:
    explicit ScriptedHost(HostMode mode) : mode_(mode) {}
    void Navigate(const QString &url) override {
        if (mode_ == HostMode::Throws) {
            raiseError(ErrNum::PathFileAccess, "Path/File access error");
        }
        auto *doc = qobject_cast<ClientDocument *>(inner_.Document());
        if (mode_ == HostMode::NoSave && doc) {
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

private:
    HostMode mode_;
    DirectHost inner_;
};

Conv97::BrowserFactory hosts(HostMode mode) {
    return [mode] { return std::make_unique<ScriptedHost>(mode); };
}

class Conv97Test : public ::testing::Test {
protected:
    ServiceScope services;
    QString path(const QString &name) const { return services.dir.filePath(name); }
    QStringList workFilesLeft() const {
        return QDir(services.dir.path()).entryList({"Work*.ats"}, QDir::Files);
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
};

TEST_F(Conv97Test, TestFindsEitherIdentifierAtAnyOffsetAndReadsOnlyRegularFiles) {
    // The stored form of both identifiers, with or without braces.
    const QByteArray unsafeId = ClassIdToBytes(Conv97::kUnsafe97ClassId);
    const QByteArray safeId =
        ClassIdToBytes(QStringLiteral("{F24D6911-69D1-11D2-AB7F-0040055A85C2}"));
    EXPECT_EQ(unsafeId.toHex(' '), "17 69 4d f2 d1 69 d2 11 ab 7f 00 40 05 5a 85 c2");
    EXPECT_EQ(safeId.toHex(' '), "11 69 4d f2 d1 69 d2 11 ab 7f 00 40 05 5a 85 c2");
    EXPECT_TRUE(ClassIdToBytes(QStringLiteral("F24D6911-69D1-11D2-AB7F")).isEmpty());
    ASSERT_EQ(::mkfifo(path("pipe").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(WriteWholeFile(path("plain"), QByteArray(64, 'a'), true));
    const struct {
        const char *name;
        QByteArray bytes; // nothing is written for an empty one
        bool result, safe, unsafe, named;
    } cases[] = {
        {"short", QByteArray("fifteen bytes.."), false, false, false, false},
        {"odd", QByteArray("x") + safeId + "tail", true, true, false, true},
        {"both", safeId + QByteArray(7, 'z') + unsafeId, true, false, true, true},
        {"plain", QByteArray(64, 'a'), false, false, false, true},
        {"pipe", {}, false, false, false, false},
        {"missing", {}, false, false, false, false},
        {".", {}, false, false, false, false},
    };
    for (const auto &c : cases) {
        if (!c.bytes.isEmpty()) {
            ASSERT_TRUE(WriteWholeFile(path(c.name), c.bytes, true));
        }
        Conv97 converter;
        converter.Test(path("plain")); // the name a short or unreadable file leaves in place
        EXPECT_EQ(converter.Test(path(c.name)), c.result) << c.name;
        EXPECT_EQ(converter.safe97(), c.safe) << c.name;
        EXPECT_EQ(converter.unsafe97(), c.unsafe) << c.name;
        EXPECT_EQ(converter.testedFileName(), path(c.named ? c.name : "plain")) << c.name;
    }
}

TEST_F(Conv97Test, ConvertSaysWhyItFailsAndLeavesNoWorkFileAndTheTargetAsItWas) {
    ASSERT_TRUE(
        write97File(path("own.ats"), kSafe97ClassId, {{"SessionTitle", std::string("Payroll")}}));
    ASSERT_TRUE(WriteWholeFile(path("broken.ats"),
                               QByteArray(40, 'x') + ClassIdToBytes(Conv97::kSafe97ClassId), true));
    ASSERT_TRUE(WriteWholeFile(path("plain.bin"), QByteArray(40, 'p'), true));
    const char *sameName = "You did not specify a different file name for the converted file.\r\n"
                           "Your original file will be overwritten by the converted file.\r\n"
                           "Do you want to continue anyway?";
    const char *readOnly = "File <to> is a read-only file.\r\nDo you want to continue anyway?";
    const char *helperFailed = "Failed to load ZELP 2000 UserDocument from temporary file";
    enum Target { Absent, Present, ReadOnly };
    enum Outcome { Failed, Skipped, Safe, Unsafe }; // the last two: converted into that kind
    using enum HostMode;
    const struct {
        const char *from, *to;
        Target target;
        HostMode host;
        int16_t answer;      // 0: no question
        const char *message; // the last one; <from> and <to> stand for the paths, * for any rest
        int16_t style;
        Outcome outcome;
    } cases[] = {
        {"nothing.ats", "new.ats", Absent, Normal, 0, "Unable to open <from>", 48, Failed},
        {"plain.bin", "new.ats", Absent, Normal, 0, "Unable to locate ZELP97 GUID in <from>", 48,
         Failed},
        {"old.ats", "old.ats", Absent, Normal, 7, sameName, 4, Skipped},
        {"old.ats", "new.ats", ReadOnly, Normal, 7, readOnly, 4, Skipped},
        {"old.ats", "new.ats", Present, Normal, 7,
         "File <to> already exists. Are you sure you want to overwrite this file?", 4, Skipped},
        {"broken.ats", "new.ats", Absent, Normal, 0,
         "Failed to load ZELP 97 UserDocument from <from>", 48, Failed},
        {"old.ats", "no/such/new.ats", Absent, Normal, 0, "Unable to write temporary file ", 48,
         Failed},
        {"old.ats", "new.ats", Absent, NonClient, 0, helperFailed, 48, Failed},
        {"old.ats", "new.ats", ReadOnly, NonClient, 6, helperFailed, 48, Failed},
        {"old.ats", "new.ats", Present, Throws, 6,
         "Conversion failed due to the following error:\r\nPath/File access error", 48, Failed},
        // A document that does not save is a failure, not a silent success.
        {"old.ats", "new.ats", Absent, NoSave, 0, "The converted document did not save itself to *",
         48, Failed},
        // A helper that never reports ends by its time-out; loaded when it is at the work file.
        {"old.ats", "new.ats", Absent, Lost, 0, helperFailed, 48, Failed},
        {"old.ats", "new.ats", Absent, Silent, 0, nullptr, 0, Unsafe},
        {"old.ats", "new.ats", ReadOnly, Normal, 6, readOnly, 4, Unsafe},
        {"own.ats", "own.ats", Absent, Normal, 6, sameName, 4, Safe},
    };
    for (const auto &c : cases) {
        const QString from = path(c.from), to = path(c.to);
        SCOPED_TRACE(QStringLiteral("%1 -> %2, %3").arg(c.from, c.to, c.message).toStdString());
        QFile::remove(path("new.ats"));
        if (c.target != Absent) {
            ASSERT_TRUE(WriteWholeFile(to, "previous", true));
            if (c.target == ReadOnly) {
                QFile::setPermissions(to, QFileDevice::ReadOwner);
            }
        }
        const QByteArray before = ReadWholeFile(to);
        answer(c.answer);
        std::vector<ManualTimer *> timers;
        Conv97 converter(hosts(c.host), [&] {
            timers.push_back(new ManualTimer);
            return std::unique_ptr<OneShotTimer>(timers.back());
        });
        // Each wait for the helper ends when the test's clock passes the time-out.
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (converter.Helper()) {
                timers.back()->advance(FrmHelper::kTimeoutMilliseconds);
            }
        });
        ticker.start(1);
        converter.Test(from); // as the Open command does
        EXPECT_EQ(converter.Convert(from, to), c.outcome >= Safe);
        QString message = QString::fromUtf8(c.message).replace("<from>", from).replace("<to>", to);
        const auto &asked = services.messages.asked;
        ASSERT_EQ(asked.empty(), message.isEmpty());
        if (!asked.empty()) {
            EXPECT_EQ(message.endsWith(u'*') ? asked.back().text.left(message.size() - 1) + u'*'
                                             : asked.back().text,
                      message);
            EXPECT_EQ(asked.back().style, c.style);
        }
        using R = ConversionReport::Result;
        const R results[] = {R::Failed, R::Skipped, R::Converted, R::Converted};
        EXPECT_EQ(converter.report().result, results[c.outcome]);
        EXPECT_TRUE(workFilesLeft().isEmpty()) << workFilesLeft().join(u' ').toStdString();
        if (c.target == ReadOnly) {
            // Only a Yes takes the read-only attribute away, failure or not.
            EXPECT_EQ(bool(QFile::permissions(to) & QFileDevice::WriteOwner), c.answer == 6);
        }
        if (c.outcome < Safe) {
            EXPECT_EQ(ReadWholeFile(to), before);
            EXPECT_EQ(QFile::exists(to), c.target != Absent || to == from);
            continue;
        }
        const auto doc = ClientDocument::load(to);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->SafeMode(), c.outcome == Safe);
        EXPECT_EQ(doc->Settings()->value("sSessionTitle"), PropertyValue(std::string("Payroll")));
    }
}

TEST_F(Conv97Test, OpenCheckLoads2000FilesAsTheyAreAndEndsOpenOnNoOrFailure) {
    ASSERT_TRUE(
        WriteWholeFile(path("modern.ats"), templateResource(kTemplateSafeConnection), true));
    ScriptedFileDialog files;
    setFileDialogService(&files);
    const struct {
        const char *chosen;
        int16_t answer;               // 0: no question
        const char *newName, *result; // nullptr: none
        QString lastMessage;
    } cases[] = {
        {"modern.ats", 0, nullptr, "modern.ats", {}},
        {"old.ats", 7, nullptr, nullptr, {}},
        {"old.ats", 6, nullptr, nullptr, {}}, // the dialog cancelled
        {"old.ats", 6, "gone/new.ats", nullptr, "Unable to convert file to Velmaris 2000 format!"},
        {"old.ats", 6, "new.ats", "new.ats", {}},
    };
    const auto inFolder = [&](const char *name) {
        return name ? std::optional(path(name)) : std::nullopt;
    };
    for (const auto &c : cases) {
        answer(c.answer);
        files.answers = {inFolder(c.newName)};
        EXPECT_EQ(openLegacyCheck(path(c.chosen), {}), inFolder(c.result)) << c.chosen;
        EXPECT_EQ(services.messages.asked.size(),
                  size_t(c.answer != 0) + !c.lastMessage.isEmpty() * 2);
        if (!c.lastMessage.isEmpty()) {
            EXPECT_EQ(services.messages.asked.back().text, c.lastMessage);
            EXPECT_EQ(services.messages.asked.back().style, 49);
        }
    }
    setFileDialogService(nullptr);
}

} // namespace
} // namespace zelp::test
