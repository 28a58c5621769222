#include "winregistry.h"

#include <windows.h>

#include <vector>

namespace zelp {

std::optional<std::string> WinRegistry::queryDefaultValue(RegistryRoot root,
                                                          std::string_view keyPath,
                                                          std::size_t bufferSize) const {
    HKEY hive = HKEY_CLASSES_ROOT;
    if (root == RegistryRoot::CurrentUser) {
        hive = HKEY_CURRENT_USER;
    } else if (root == RegistryRoot::LocalMachine) {
        hive = HKEY_LOCAL_MACHINE;
    }
    HKEY key = nullptr;
    const std::string path(keyPath);
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<BYTE> buffer(bufferSize);
    DWORD size = static_cast<DWORD>(bufferSize);
    const LONG rc = RegQueryValueExA(key, nullptr, nullptr, nullptr, buffer.data(), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || size < 1) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char *>(buffer.data()), size - 1);
}

} // namespace zelp
