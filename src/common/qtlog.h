#pragma once

namespace zelp {

// Sends Qt's warnings, criticals and fatals to the error log (quietly: a log that cannot be
// written is no reason to stop).
void installQtLogHandler();

} // namespace zelp
