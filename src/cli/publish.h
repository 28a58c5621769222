#pragma once

#include <QStringList>

namespace zelp::cli {

// publish FILE [--html PAGE] [--intranet] [--gui]: writes the launch page of a connection file.
int runPublish(const QStringList &args);

} // namespace zelp::cli
