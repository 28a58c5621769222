#include "publish.h"

#include "commands.h"

#include "client/core/clientclasses.h"
#include "files/htmlfilename.h"
#include "files/launchpage.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace zelp::cli {

namespace {

struct PublishArgs {
    QString file;
    std::optional<QString> html;
    bool intranet = false;
    bool gui = false;
};

std::optional<PublishArgs> parse(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "publish", args)) {
        return std::nullopt;
    }
    PublishArgs out;
    const QStringList files = parser.positionalArguments();
    const QStringList pages = parser.values(QStringLiteral("html"));
    if (files.size() != 1 || files.first().isEmpty() || pages.size() > 1 ||
        (pages.size() == 1 && pages.first().isEmpty())) {
        usageError("publish", QStringLiteral("one FILE and at most one PAGE expected"));
        return std::nullopt;
    }
    out.file = files.first();
    if (!pages.isEmpty()) {
        out.html = pages.first();
    }
    out.intranet = parser.isSet(QStringLiteral("intranet"));
    out.gui = parser.isSet(QStringLiteral("gui"));
    return out;
}

} // namespace

int runPublish(const QStringList &args) {
    const std::optional<PublishArgs> a = parse(args);
    if (!a) {
        return kUsage;
    }
    const QString path = QFileInfo(a->file).absoluteFilePath();
    const QFileInfo info(path);
    if (!info.exists()) {
        return fail(QStringLiteral("%1: no such file").arg(a->file));
    }
    if (!info.isFile()) {
        return fail(QStringLiteral("%1: not a file").arg(a->file));
    }
    const std::optional<ClassIdBytes> classId = CompoundFile::readRootClassId(path);
    if (!classId) {
        return fail(QStringLiteral("%1: not a connection file (no compound file)").arg(a->file));
    }
    const std::optional<bool> safe = ClientClasses::safeModeOf(*classId);
    if (!safe) {
        return fail(QStringLiteral("%1: not a Velmaris 2000 connection file (root class %2)")
                        .arg(a->file, classIdText(*classId)));
    }
    LaunchPageState page;
    page.fileName = a->html ? QFileInfo(*a->html).absoluteFilePath() : pageFileBeside(path);
    page.intranet = a->intranet;
    page.guiSupport = a->gui;
    if (!GenerateLaunchPage(page, path, *safe)) {
        return kFailed; // the generator has said why
    }
    std::printf("%s\n", page.fileName.toLocal8Bit().constData());
    return kOk;
}

} // namespace zelp::cli
