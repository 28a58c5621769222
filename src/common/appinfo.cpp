#include "appinfo.h"

#include "zelpversion.h"

namespace zelp::AppInfo {

namespace {
std::string &exeName() {
    static std::string name = "zelpdev2k";
    return name;
}
} // namespace

int versionMajor() {
    return ZELP_VERSION_MAJOR;
}
int versionMinor() {
    return ZELP_VERSION_MINOR;
}
int versionRevision() {
    return ZELP_VERSION_PATCH;
}
std::string releaseDesignation() {
    return ZELP_RELEASE_DESIGNATION;
}

std::string executableName() {
    return exeName();
}
void setExecutableName(std::string name) {
    exeName() = std::move(name);
}

std::string releaseText(const std::string &designation, int major, int minor, int revision) {
    return " Release " + designation + " (" + std::to_string(major) + "." + std::to_string(minor) +
           "." + std::to_string(revision) + ") ";
}

} // namespace zelp::AppInfo
