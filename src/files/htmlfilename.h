#pragma once

#include <QString>

namespace zelp {

// The launch page's name offered for a connection file: the path up to its last "." followed
// by "htm", or the path followed by ".htm" when it has no dot at all. The last dot of the
// whole path counts, also one in a folder name.
QString htmlFileNameFor(const QString &sessionFileName);

} // namespace zelp
