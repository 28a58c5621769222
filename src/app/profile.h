#pragma once

#include "registry.h"

#include <string>
#include <string_view>

namespace zelp {

// Hive selectors: 1 current user, 2 local machine, anything else the classes root.
inline constexpr int kHiveCurrentUser = 1;
inline constexpr int kHiveLocalMachine = 2;
inline constexpr int kHiveClassesRoot = 0;

// The key's default value as text, or fallback when it is missing, unreadable, longer than
// 1,023 bytes or empty. Never fails, never shows anything.
std::string ReadRegistryValue(int hive, std::string_view keyPath, std::string_view fallback);
std::string ReadRegistryValue(const Registry &registry, int hive, std::string_view keyPath,
                              std::string_view fallback);

} // namespace zelp
