#pragma once

#include <QString>

namespace zelp {

// "Velmaris 2000 Internet Connection", with " - [name (safe)]" while a file is open.
QString captionFor(const QString &currentFile, bool safeClient);

} // namespace zelp
