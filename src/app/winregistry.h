#pragma once

#include "registry.h"

namespace zelp {

// The Windows registry through the narrow (single-byte) calls.
class WinRegistry : public Registry {
public:
    std::optional<std::string> queryDefaultValue(RegistryRoot root, std::string_view keyPath,
                                                 std::size_t bufferSize) const override;
};

} // namespace zelp
