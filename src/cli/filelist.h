#pragma once

#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace zelp::cli {

// The connection files that command-line arguments name.
struct FileList {
    QStringList files;  // in argument order; a folder's files sorted by name
    QStringList errors; // "ARG: why" for an argument that names nothing usable
    bool many = false;  // more than one argument, or a folder: the work ends with a summary
};

// Files are taken as given; a folder stands for the *.ats files in it (any case of the
// extension), and with recursive for those in the folders below it, too.
FileList collectFiles(const QStringList &args, bool recursive);

// The arguments of a command that takes FILE|FOLDER... and --recursive, parsed into parser;
// nullopt after a usage error, also when no file is given.
std::optional<FileList> parseFiles(QCommandLineParser &parser, const char *command,
                                   const QStringList &args);

} // namespace zelp::cli
