#pragma once

#include <QString>

namespace zelp {

// The three working folders, set once at start-up.
struct WorkFolders {
    QString startup; // current folder at start, with a trailing separator
    QString program; // the executable's folder, with a trailing separator
    QString home;    // where file dialogs start; follows the last file chosen
};

WorkFolders &workFolders();

// True for a folder the user cannot or should not write into: one that is read-only, or a
// folder of the system's installed programs (/usr, /opt, /bin), even where root could write.
bool isSystemFolder(const QString &folder);

// The home folder, made when it does not exist yet, so that a file dialog can start there.
QString preparedHomeFolder();

} // namespace zelp
