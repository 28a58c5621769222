#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zelp {

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

// Read-only access to the default values of registry keys.
class Registry {
public:
    virtual ~Registry() = default;
    // The key's default value as single-byte text, read into a buffer of bufferSize bytes
    // that must also hold its terminator. nullopt when the key cannot be opened or the value
    // cannot be read (missing, not text, or too long for the buffer).
    virtual std::optional<std::string> queryDefaultValue(RegistryRoot root,
                                                         std::string_view keyPath,
                                                         std::size_t bufferSize) const = 0;
};

// The process-wide registry: the system's on Windows, the merged export files elsewhere.
const Registry &systemRegistry();
// Replaces the process-wide registry (tests, or a companion pointed at another file).
void setSystemRegistry(std::unique_ptr<Registry> registry);

} // namespace zelp
