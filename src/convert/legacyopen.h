#pragma once

#include "conv97.h"

#include <QString>

#include <optional>

namespace zelp {

// The Open command's check of the chosen file: a 2000 file is loaded as it is; a 97 file is
// converted, after a question and a file dialog for the new name, and the new file is loaded.
// nullopt ends the command with nothing loaded.
std::optional<QString> openLegacyCheck(const QString &chosen, Conv97::BrowserFactory browsers,
                                       Conv97::TimerFactory timers = {});

} // namespace zelp
