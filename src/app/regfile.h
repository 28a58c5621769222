#pragma once

#include "registry.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace zelp {

// A registry built from export files in the regedit text format ("REGEDIT4", single-byte,
// or "Windows Registry Editor Version 5.00", UTF-16LE). Later files override earlier ones
// value by value; key paths match without regard to case.
class RegFileRegistry : public Registry {
public:
    // Merges one export; false (and nothing merged) when it is not an export file.
    bool merge(const QByteArray &content);
    bool mergeFile(const QString &path);

    std::optional<std::string> queryDefaultValue(RegistryRoot root, std::string_view keyPath,
                                                 std::size_t bufferSize) const override;

    // The default file built into the program, then the user's file
    // ($ZELPDEV2K_REGISTRY, else $XDG_CONFIG_HOME/zelpdev2k/registry.reg).
    static std::unique_ptr<RegFileRegistry> loadStandard();
    static QString userFilePath();

private:
    // Canonical folded key path ("hkey_local_machine\software\classes\...") -> default value.
    // A key present without a readable default value maps to nullopt.
    QHash<QString, std::optional<QString>> defaults_;
};

} // namespace zelp
