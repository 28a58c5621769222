#include "registry.h"

#include "regfile.h"

namespace zelp {

namespace {
std::unique_ptr<Registry> &current() {
    static std::unique_ptr<Registry> registry;
    return registry;
}
} // namespace

const Registry &systemRegistry() {
    if (!current()) {
        // A Windows build would put its registry backend here.
        current() = RegFileRegistry::loadStandard();
    }
    return *current();
}

void setSystemRegistry(std::unique_ptr<Registry> registry) {
    current() = std::move(registry);
}

} // namespace zelp
