#pragma once

#include <QString>

#include <string>

namespace zelp {

// A log of this size moves aside to a ".1" file before the next line.
inline constexpr qint64 kLogRotateBytes = 1024 * 1024;

// Appends text and CR LF to the error log; throws RuntimeError when the log cannot be written.
void DebugLog(const std::string &text);

// The log file: the executable's name plus ".log" in the program folder when that folder is
// writable, otherwise in the per-user state folder.
QString debugLogPath();

} // namespace zelp
