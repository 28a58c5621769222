#pragma once

#include <QStringList>

namespace zelp::cli {

// show FILE [--json]: the client kind, every setting that differs from its default and the
// script's length.
int runShow(const QStringList &args);
// set FILE NAME=VALUE...: all values are checked before the file is touched.
int runSet(const QStringList &args);

} // namespace zelp::cli
