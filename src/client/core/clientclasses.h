#pragma once

#include "compoundfile.h"

#include <optional>

namespace zelp::ClientClasses {

inline constexpr const char *kUnsafeProgId = "VelmarisInternetClient2.ZLInetCli";
inline constexpr const char *kSafeProgId = "VelmarisInternetClient2.ZLInetSafeCli";
inline constexpr const char *kUnsafeClassId = "{E4301D8E-D460-4073-B7DA-600C33F38A01}";
inline constexpr const char *kSafeClassId = "{7F1351CE-90DD-411B-868D-E1BAA3CEBDA8}";

// True for the safe client's class identifier, false for the unsafe one's, nullopt for any
// other.
std::optional<bool> safeModeOf(const ClassIdBytes &classId);
ClassIdBytes classIdFor(bool safe);

} // namespace zelp::ClientClasses
