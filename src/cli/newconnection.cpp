#include "commands.h"
#include "documentcommands.h"

#include "client/core/clientdocument.h"
#include "common/fileutil.h"
#include "files/resources.h"

#include <QFile>
#include <QFileInfo>

namespace zelp::cli {

int runNew(const QStringList &args) {
    bool unsafe = false, bare = false, force = false;
    QStringList files;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--unsafe")) {
            unsafe = true;
        } else if (arg == QLatin1String("--bare")) {
            bare = true;
        } else if (arg == QLatin1String("--force")) {
            force = true;
        } else if (arg.startsWith(u'-')) {
            return usage("new");
        } else {
            files << arg;
        }
    }
    if (files.size() != 1) {
        return usage("new");
    }
    const QString path = QFileInfo(files.first()).absoluteFilePath();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return fail(QStringLiteral("%1 is not a file").arg(files.first()));
    }
    if (info.exists() && !force) {
        return fail(
            QStringLiteral("%1 already exists; use --force to replace it").arg(files.first()));
    }
    const QByteArray bytes =
        templateResource(unsafe ? kTemplateUnsafeConnection : kTemplateSafeConnection);
    QString error;
    if (bare) {
        return WriteWholeFile(path, bytes, true, &error)
                   ? kOk
                   : fail(QStringLiteral("unable to write %1: %2").arg(files.first(), error));
    }
    // The connection is made complete beside the target and only then takes its name, so
    // that a replaced file is never left half made.
    const QString work = NewWorkFileName(FolderOf(path));
    if (work.isEmpty() || !WriteWholeFile(work, bytes, true, &error)) {
        return fail(
            QStringLiteral("unable to write a work file in %1: %2")
                .arg(FolderOf(path), work.isEmpty() ? QStringLiteral("no free name") : error));
    }
    auto doc = ClientDocument::load(work, &error);
    const bool made = doc && [&] {
        doc->setScript(defaultScript());
        return doc->save(&error);
    }() && MoveFileOver(work, path, &error);
    if (!made) {
        QFile::remove(work);
        return fail(QStringLiteral("unable to make %1: %2").arg(files.first(), error));
    }
    return kOk;
}

} // namespace zelp::cli
