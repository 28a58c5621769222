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

} // namespace zelp
