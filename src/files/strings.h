#pragma once

#include <QString>

namespace zelp {

// The program's string resources by number.
inline constexpr int kStringConnectionSafety = 1001;

// The text as built in (line feeds between lines); empty for an unknown number.
QString stringResource(int id);

} // namespace zelp
