#include "registry.h"

#ifdef _WIN32
#include "winregistry.h"
#else
#include "regfile.h"
#endif

namespace zelp {

namespace {
std::unique_ptr<Registry> &current() {
    static std::unique_ptr<Registry> registry;
    return registry;
}
} // namespace

const Registry &systemRegistry() {
    if (!current()) {
#ifdef _WIN32
        current() = std::make_unique<WinRegistry>();
#else
        current() = RegFileRegistry::loadStandard();
#endif
    }
    return *current();
}

void setSystemRegistry(std::unique_ptr<Registry> registry) {
    current() = std::move(registry);
}

} // namespace zelp
