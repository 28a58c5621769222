#pragma once

#include <QString>

#include <string>

namespace zelp {

// Appends text and CR LF to the error log; throws RuntimeError when the log cannot be written.
void DebugLog(const std::string &text);

// The log file: the executable's name plus ".log" in the program folder when that folder is
// writable, otherwise in the per-user state folder.
QString debugLogPath();

} // namespace zelp
