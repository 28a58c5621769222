#include "filelist.h"

#include "commands.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace zelp::cli {

FileList collectFiles(const QStringList &args, bool recursive) {
    FileList list;
    list.many = args.size() > 1;
    for (const QString &arg : args) {
        const QFileInfo info(arg);
        if (!info.isDir()) {
            list.files << arg;
            continue;
        }
        list.many = true;
        QStringList found;
        // Links to folders are not followed, so that a loop of links cannot trap the walk.
        QDirIterator it(arg, {QStringLiteral("*.ats")}, QDir::Files | QDir::Hidden,
                        recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
        while (it.hasNext()) {
            found << QDir::cleanPath(it.next());
        }
        if (found.isEmpty()) {
            list.errors << QStringLiteral("%1: no connection files (*.ats) in this folder%2")
                               .arg(arg, recursive ? QStringLiteral(" or below it") : QString());
            continue;
        }
        std::sort(found.begin(), found.end());
        list.files << found;
    }
    return list;
}

std::optional<FileList> parseFiles(QCommandLineParser &parser, const char *command,
                                   const QStringList &args) {
    if (!parseArguments(parser, command, args)) {
        return std::nullopt;
    }
    if (parser.positionalArguments().isEmpty()) {
        usageError(command, QStringLiteral("no file given"));
        return std::nullopt;
    }
    return collectFiles(parser.positionalArguments(), parser.isSet(QStringLiteral("recursive")));
}

} // namespace zelp::cli
