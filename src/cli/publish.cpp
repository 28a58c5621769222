#include "publish.h"

#include "commands.h"

#include "client/core/clientclasses.h"
#include "files/htmlfilename.h"
#include "files/launchpage.h"

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
    PublishArgs out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--html")) {
            if (out.html || i + 1 >= args.size() || args.at(i + 1).isEmpty()) {
                return std::nullopt;
            }
            out.html = args.at(++i);
        } else if (arg == QLatin1String("--intranet")) {
            out.intranet = true;
        } else if (arg == QLatin1String("--gui")) {
            out.gui = true;
        } else if (arg.startsWith(QLatin1Char('-')) || !out.file.isEmpty() || arg.isEmpty()) {
            return std::nullopt;
        } else {
            out.file = arg;
        }
    }
    if (out.file.isEmpty()) {
        return std::nullopt;
    }
    return out;
}

} // namespace

int runPublish(const QStringList &args) {
    const std::optional<PublishArgs> a = parse(args);
    if (!a) {
        return usage("publish");
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
