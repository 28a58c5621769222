#pragma once

#include "assignment.h"

#include <QString>

#include <vector>

namespace zelp::cli {

// Makes a complete connection at path: the template of its kind, the default script and the
// settings given. It is made beside the target and takes its name only when complete, so that
// a replaced file is never left half made. False with *error set when it could not.
bool makeConnection(const QString &path, bool unsafe, const std::vector<Assignment> &settings,
                    QString *error);

} // namespace zelp::cli
