#pragma once

#include <string>

namespace zelp::AppInfo {

// Version numbers of this release, from the build's project version.
int versionMajor();
int versionMinor();
int versionRevision();

// Short release designation; empty when none is set.
std::string releaseDesignation();

// The executable's base name without folder or extension ("zelpdev2k", "zelpdev2k-cli").
// Set once at start-up; defaults to "zelpdev2k".
std::string executableName();
void setExecutableName(std::string name);

// The product caption used by windows and messages.
inline constexpr const char *kProductName = "Velmaris 2000 Internet Edition";

// " Release <designation> (<major>.<minor>.<revision>) ", as the About box shows it.
std::string releaseText(const std::string &designation, int major, int minor, int revision);

} // namespace zelp::AppInfo
