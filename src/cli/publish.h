#pragma once

#include <QStringList>

namespace zelp::cli {

// publish [--html PAGE] [--intranet] [--gui] [--index PAGE] FILE|FOLDER...: the launch page of
// each connection file beside it, and with --index a page that lists them all.
int runPublish(const QStringList &args);

} // namespace zelp::cli
