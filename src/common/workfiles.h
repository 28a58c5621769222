#pragma once

#include <QString>

namespace zelp {

// The files this program makes beside a target while it writes it: hidden, ending in "~" (so
// that no walk for connection files takes them) and marked with the process id, so that a later
// run can tell a stale one, whose process is gone, from one that another run is still writing.

// A fresh, empty file in folder, named after forName and created exclusively; -1 with errno set
// when none can be made, else its descriptor, with *path set.
int createWorkFile(const QString &folder, const QString &forName, QString *path);
// Whether a file name is that of a work file, and of which process.
bool isWorkFileName(const QString &fileName, qint64 *pid = nullptr);
// Removes the work files in folder whose process is gone; gives how many went.
int removeStaleWorkFiles(const QString &folder);

} // namespace zelp
