#include "clirunner.h"

#include "client/core/clientdocument.h"
#include "client/core/legacy97writer.h"
#include "files/resources.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelp;
using zelp::test::runCli;

namespace {

void write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(CliConvert, ABatchConvertsTheGoodFilesReportsTheRestAndTheCountsAddUp) {
    QTemporaryDir dir;
    const auto in = [&](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("fleet/sub")));
    ASSERT_TRUE(test::write97File(in("one.ats"), test::kUnsafe97ClassId,
                                  {{"HostName", std::string("host1")}}));
    ASSERT_TRUE(test::write97File(in("fleet/two.ats"), test::kSafe97ClassId,
                                  {{"HostName", std::string("host2")}}));
    ASSERT_TRUE(test::write97File(in("fleet/sub/three.zlp"), test::kSafe97ClassId,
                                  {{"NormRows", std::string("many")}}));
    write(in("corrupt.ats"),
          QByteArray(100, 'x') + QByteArray::fromHex("17694df2d169d211ab7f0040055a85c2"));
    write(in("modern.ats"), templateResource(kTemplateSafeConnection));
    const QString out = in("out");
    const QString report = in("report.json");

    const auto run = runCli({QStringLiteral("convert"), QStringLiteral("--into"), out,
                             QStringLiteral("--report"), report, in("one.ats"), in("corrupt.ats"),
                             in("modern.ats"), in("fleet")});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("converted 3, skipped 0, failed 2 of 5 files in "))
        << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("failed: " + in("corrupt.ats").toUtf8())) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("failed: " + in("modern.ats").toUtf8()));
    for (const auto &[name, host] : {std::pair{"one.ats", "host1"}, std::pair{"two.ats", "host2"},
                                     std::pair{"three.ats", ""}}) {
        const auto doc = ClientDocument::load(out + u'/' + QString::fromLatin1(name));
        ASSERT_TRUE(doc) << name;
        EXPECT_EQ(doc->Settings()->value("sHostName"), PropertyValue(std::string(host))) << name;
        // "many" rows cannot be converted: the template's 24 stands.
        EXPECT_EQ(doc->Settings()->value("sNormRows"), PropertyValue(int16_t(24))) << name;
    }

    QFile f(report);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
    const QJsonObject summary = root[QStringLiteral("summary")].toObject();
    const QJsonArray files = root[QStringLiteral("files")].toArray();
    EXPECT_EQ(summary[QStringLiteral("files")].toInt(), 5);
    EXPECT_EQ(files.size(), 5);
    QMap<QString, int> results;
    for (const QJsonValue &v : files) {
        const QJsonObject file = v.toObject();
        ++results[file[QStringLiteral("result")].toString()];
        const QJsonArray settings = file[QStringLiteral("settings")].toArray();
        if (file[QStringLiteral("source")].toString().endsWith(QLatin1String("three.zlp"))) {
            EXPECT_EQ(file[QStringLiteral("client")].toString(), QStringLiteral("safe"));
            bool rowsUnreadable = false;
            for (const QJsonValue &s : settings) {
                rowsUnreadable |= s[QStringLiteral("name")] == QStringLiteral("sNormRows") &&
                                  s[QStringLiteral("status")] == QStringLiteral("unreadable") &&
                                  !s[QStringLiteral("reason")].toString().isEmpty();
            }
            EXPECT_TRUE(rowsUnreadable);
        }
        if (file[QStringLiteral("result")] == QStringLiteral("failed")) {
            EXPECT_FALSE(file[QStringLiteral("message")].toString().isEmpty());
        }
    }
    for (const char *key : {"converted", "skipped", "failed"}) {
        EXPECT_EQ(results[QString::fromLatin1(key)], summary[QString::fromLatin1(key)].toInt())
            << key;
    }
    EXPECT_EQ(results[QStringLiteral("converted")] + results[QStringLiteral("failed")], 5);

    // Existing targets are skipped unless --yes answers the question.
    const QStringList again = {QStringLiteral("convert"), QStringLiteral("--into"), out,
                               in("fleet")};
    const auto skipped = runCli(again);
    EXPECT_EQ(skipped.exitCode, 0);
    EXPECT_TRUE(skipped.out.startsWith("converted 0, skipped 2, failed 0 of 2 files"));
    const auto forced = runCli(QStringList(again) << QStringLiteral("--yes"));
    EXPECT_TRUE(forced.out.startsWith("converted 2, skipped 0, failed 0 of 2 files"));

    const auto single = runCli({QStringLiteral("convert"), in("one.ats"), in("single.ats")});
    EXPECT_EQ(single.exitCode, 0) << single.err.toStdString();
    EXPECT_TRUE(ClientDocument::load(in("single.ats")));
    EXPECT_EQ(runCli({QStringLiteral("convert"), in("one.ats")}).exitCode, 2);
}

} // namespace
