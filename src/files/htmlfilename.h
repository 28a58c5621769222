#pragma once

#include <QString>

namespace zelp {

// The launch page's name offered for a connection file: the path up to its last "." followed
// by "htm", or the path followed by ".htm" when it has no dot at all. The last dot of the
// whole path counts, also one in a folder name.
QString htmlFileNameFor(const QString &sessionFileName);

// The page that the command line writes by default: in the connection file's folder, its
// name up to its last "." followed by "htm"; only a dot of the file name itself counts.
QString pageFileBeside(const QString &connectionPath);

} // namespace zelp
