#include "newconnection.h"

#include "commands.h"
#include "documentcommands.h"

#include "client/core/clientdocument.h"
#include "common/filereplace.h"
#include "common/fileutil.h"
#include "common/osfiles.h"
#include "common/replacebatch.h"
#include "common/workfiles.h"
#include "files/resources.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace zelp::cli {

bool makeConnection(const QString &path, bool unsafe, const std::vector<Assignment> &settings,
                    QString *error) {
    const QByteArray bytes =
        templateResource(unsafe ? kTemplateUnsafeConnection : kTemplateSafeConnection);
    // The connection is made complete beside the target and only then takes its name, so
    // that a replaced file is never left half made.
    const QString folder = QFileInfo(finalTarget(path)).absolutePath();
    QString work;
    const int fd = createWorkFile(folder, QStringLiteral("new.ats"), &work);
    if (fd < 0) {
        *error = QStringLiteral("unable to write a work file in %1: %2")
                     .arg(folder, os::reasonOf(errno));
        return false;
    }
    ::close(fd);
    if (ReplaceBatch *batch = ReplaceBatch::active()) {
        batch->markScratch(work);
    }
    if (!WriteWholeFile(work, bytes, error)) {
        QFile::remove(work);
        *error = QStringLiteral("unable to write a work file in %1: %2").arg(folder, *error);
        return false;
    }
    auto doc = ClientDocument::load(work, error);
    const bool made = doc && [&] {
        doc->setScript(defaultScript());
        apply(*doc, settings);
        return doc->save(error);
    }() && MoveFileOver(work, path, error);
    if (!made) {
        QFile::remove(work);
        return false;
    }
    return true;
}

int runNew(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "new", args)) {
        return kUsage;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        return usageError("new", QStringLiteral("one FILE expected"));
    }
    const bool unsafe = parser.isSet(QStringLiteral("unsafe"));
    const QString path = QFileInfo(files.first()).absoluteFilePath();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return fail(QStringLiteral("%1 is not a file").arg(files.first()));
    }
    if (info.exists() && !parser.isSet(QStringLiteral("force"))) {
        return fail(
            QStringLiteral("%1 already exists; use --force to replace it").arg(files.first()));
    }
    if (parser.isSet(QStringLiteral("bare"))) {
        const QByteArray bytes =
            templateResource(unsafe ? kTemplateUnsafeConnection : kTemplateSafeConnection);
        QString error;
        return WriteWholeFile(path, bytes, &error)
                   ? kOk
                   : fail(QStringLiteral("unable to write %1: %2").arg(files.first(), error));
    }
    QString error;
    if (!makeConnection(path, unsafe, {}, &error)) {
        return fail(QStringLiteral("unable to make %1: %2").arg(files.first(), error));
    }
    return kOk;
}

} // namespace zelp::cli
