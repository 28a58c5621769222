#include "clirunner.h"

#include "client/core/clientclasses.h"
#include "client/core/clientdocument.h"
#include "files/resources.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelp;
using zelp::test::runCli;

namespace {

class CliDocuments : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("conn.ats"));

    void SetUp() override {
        CompoundContent content{ClientClasses::classIdFor(true), {}};
        const auto bytes = CompoundFile::build(content);
        ASSERT_TRUE(bytes);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes->data(), qint64(bytes->size()));
    }
    QByteArray bytes() const {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(CliDocuments, SetThenShowGivesTheTypedValuesBack) {
    const auto set =
        runCli({QStringLiteral("set"), file, QStringLiteral("sHostName=mainframe.example"),
                QStringLiteral("sNormRows=43"), QStringLiteral("sScaleFont=false"),
                QStringLiteral("sSessionTitle=Caf\u00e9 \u20ac"), QStringLiteral("Pinned=2"),
                QStringLiteral("sPalette1=255")});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_TRUE(set.err.isEmpty());

    const auto show = runCli({QStringLiteral("show"), file});
    ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
    const QString text = QString::fromUtf8(show.out);
    for (const char *line :
         {"safe client", "sHostName = \"mainframe.example\"", "sNormRows = 43",
          "sScaleFont = False", "Pinned = 2", "sPalette1 = 255", "script: 0 bytes"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Caf\u00e9 \u20ac")));
    EXPECT_FALSE(text.contains(QStringLiteral("sNormCols"))); // still its default

    const auto json = runCli({QStringLiteral("show"), file, QStringLiteral("--json")});
    ASSERT_EQ(json.exitCode, 0);
    QJsonParseError parseError;
    const QJsonObject object = QJsonDocument::fromJson(json.out, &parseError).object();
    ASSERT_EQ(parseError.error, QJsonParseError::NoError) << json.out.toStdString();
    EXPECT_EQ(object.value(QStringLiteral("client")).toString(), QStringLiteral("safe"));
    const QJsonObject settings = object.value(QStringLiteral("settings")).toObject();
    EXPECT_EQ(settings.value(QStringLiteral("sNormRows")).toInt(), 43);
    EXPECT_EQ(settings.value(QStringLiteral("sScaleFont")).toBool(true), false);
    EXPECT_EQ(settings.value(QStringLiteral("sSessionTitle")).toString(),
              QStringLiteral("Caf\u00e9 \u20ac"));
    EXPECT_EQ(object.value(QStringLiteral("scriptLength")).toInt(-1), 0);

    // What the companion wrote, the document reads.
    const auto doc = ClientDocument::load(file);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->Settings()->value("sSessionTitle"), PropertyValue(std::string("Caf\xe9 \x80")));
}

TEST_F(CliDocuments, BadValuesAreClearErrorsAndLeaveTheFileUntouched) {
    ASSERT_EQ(runCli({QStringLiteral("set"), file, QStringLiteral("sHostName=first")}).exitCode, 0);
    const QByteArray before = bytes();
    const struct {
        QStringList args;
        int exitCode;
        const char *message; // part of the one line on stderr
    } cases[] = {
        {{QStringLiteral("sNormRows=70000")}, 1, "no 16-bit integer value for sNormRows"},
        {{QStringLiteral("sHostName=second"), QStringLiteral("sNoSuch=1")},
         1,
         "unknown setting \"sNoSuch\""},
        {{QStringLiteral("shostname=x")}, 1, "unknown setting"},
        {{QStringLiteral("sScaleFont=perhaps")}, 1, "no boolean value"},
        {{QStringLiteral("sHostName=\u65e5\u672c")}, 1, "cannot hold"},
        {{QStringLiteral("sHostName")}, 2, "usage"},
        {{QStringLiteral("=x")}, 2, "usage"},
        {{}, 2, "usage"},
    };
    for (const auto &c : cases) {
        const auto result = runCli(QStringList{QStringLiteral("set"), file} + c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.toStdString();
        if (c.exitCode == 1) {
            EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
        }
        EXPECT_EQ(bytes(), before) << c.args.join(u' ').toStdString();
    }
}

TEST_F(CliDocuments, FilesThatAreNoConnectionsFail) {
    const QString text = dir.filePath(QStringLiteral("text.ats"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("hello");
    }
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{QStringLiteral("show"), text}, 1},
        {{QStringLiteral("show"), dir.path()}, 1},
        {{QStringLiteral("show"), dir.filePath(QStringLiteral("missing.ats"))}, 1},
        {{QStringLiteral("set"), text, QStringLiteral("sHostName=x")}, 1},
        {{QStringLiteral("show")}, 2},
        {{QStringLiteral("show"), file, QStringLiteral("--xml")}, 2},
        {{QStringLiteral("frobnicate")}, 2},
    };
    for (const auto &c : cases) {
        const auto result = runCli(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty());
    }
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("hello"));
}

TEST_F(CliDocuments, NewMakesCompleteConnectionsAndReplacesOnlyWhenForced) {
    const QString made = dir.filePath(QStringLiteral("made.ats"));
    const struct {
        const char *what;
        QStringList args;
        int exitCode;
        const char *client; // expected kind afterwards, "" when the file must not exist
        bool bare;
    } cases[] = {
        {"safe", {made}, 0, "safe", false},
        {"exists", {made}, 1, "safe", false},
        {"forced unsafe",
         {QStringLiteral("--unsafe"), QStringLiteral("--force"), made},
         0,
         "unsafe",
         false},
        {"forced bare safe",
         {QStringLiteral("--bare"), QStringLiteral("--force"), made},
         0,
         "safe",
         true},
        {"no file", {}, 2, "safe", true},
        {"unknown option", {QStringLiteral("--big"), made}, 2, "safe", true},
        {"folder", {dir.path()}, 1, "safe", true},
    };
    for (const auto &c : cases) {
        const QByteArray before = QFile::exists(made) ? [&] {
            QFile f(made);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }() : QByteArray();
        const auto result = runCli(QStringList{QStringLiteral("new")} + c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << ": " << result.err.toStdString();
        QFile f(made);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.what;
        const QByteArray after = f.readAll();
        if (c.exitCode != 0) {
            EXPECT_EQ(after, before) << c.what;
            continue;
        }
        const auto doc = ClientDocument::load(made);
        ASSERT_TRUE(doc) << c.what;
        EXPECT_EQ(doc->SafeMode(), std::string(c.client) == "safe") << c.what;
        if (c.bare) {
            EXPECT_EQ(after, templateResource(kTemplateSafeConnection)) << c.what;
        } else {
            EXPECT_EQ(doc->Script(), defaultScript()) << c.what;
            EXPECT_FALSE(doc->Script().empty());
        }
    }
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("Work*.ats")}).isEmpty());
}

TEST_F(CliDocuments, ShowAndSetWorkOnTheTemplateAndOnASavedDocument) {
    const QString bare = dir.filePath(QStringLiteral("bare.ats"));
    ASSERT_EQ(
        runCli({QStringLiteral("new"), QStringLiteral("--bare"), QStringLiteral("--unsafe"), bare})
            .exitCode,
        0);
    auto show = runCli({QStringLiteral("show"), bare});
    ASSERT_EQ(show.exitCode, 0) << show.err.toStdString();
    EXPECT_TRUE(show.out.contains("unsafe client"));
    EXPECT_TRUE(show.out.contains("every setting has its default"));
    ASSERT_EQ(runCli({QStringLiteral("set"), bare, QStringLiteral("sNormCols=132")}).exitCode, 0);
    EXPECT_TRUE(runCli({QStringLiteral("show"), bare}).out.contains("sNormCols = 132"));

    // Saved the way the document host saves it when the designer lets it go.
    const QString saved = dir.filePath(QStringLiteral("saved.ats"));
    {
        QFile f(saved);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(templateResource(kTemplateSafeConnection));
    }
    {
        auto doc = ClientDocument::load(saved);
        ASSERT_TRUE(doc);
        ASSERT_TRUE(doc->Settings()->setValue("sHostName", std::string("host.example")));
        doc->setScript(defaultScript());
        ASSERT_TRUE(doc->save());
    }
    ASSERT_EQ(runCli({QStringLiteral("set"), saved, QStringLiteral("sHostPort=2323")}).exitCode, 0);
    show = runCli({QStringLiteral("show"), saved, QStringLiteral("--json")});
    ASSERT_EQ(show.exitCode, 0);
    const QJsonObject object = QJsonDocument::fromJson(show.out).object();
    const QJsonObject settings = object.value(QStringLiteral("settings")).toObject();
    EXPECT_EQ(settings.value(QStringLiteral("sHostName")).toString(),
              QStringLiteral("host.example"));
    EXPECT_EQ(settings.value(QStringLiteral("sHostPort")).toString(), QStringLiteral("2323"));
    EXPECT_EQ(object.value(QStringLiteral("scriptLength")).toInt(), int(defaultScript().size()));
    const auto doc = ClientDocument::load(saved);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->Script(), defaultScript()); // set keeps the script
}

} // namespace
