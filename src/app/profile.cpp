#include "profile.h"

#include "common/errhndlr.h"

namespace zelp {

namespace {
constexpr std::size_t kValueBuffer = 1024;

RegistryRoot rootOf(int hive) {
    switch (hive) {
    case kHiveCurrentUser:
        return RegistryRoot::CurrentUser;
    case kHiveLocalMachine:
        return RegistryRoot::LocalMachine;
    default:
        return RegistryRoot::ClassesRoot;
    }
}
} // namespace

std::string ReadRegistryValue(const Registry &registry, int hive, std::string_view keyPath,
                              std::string_view fallback) {
    QuietErrors quiet;
    std::string value;
    quiet.step([&] {
        if (auto read = registry.queryDefaultValue(rootOf(hive), keyPath, kValueBuffer)) {
            value = std::move(*read);
        }
    });
    if (value.empty()) {
        value = std::string(fallback);
    }
    return value;
}

std::string ReadRegistryValue(int hive, std::string_view keyPath, std::string_view fallback) {
    QuietErrors quiet;
    const Registry *registry = nullptr;
    quiet.step([&] { registry = &systemRegistry(); });
    return registry ? ReadRegistryValue(*registry, hive, keyPath, fallback) : std::string(fallback);
}

} // namespace zelp
