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
    // Larger export files are refused unread.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    // Merges one export; false (and nothing merged) when it is not an export file.
    bool merge(const QByteArray &content);
    // Reads only a regular file of at most kMaxFileSize bytes; false, with the reason in the
    // debug log, when the file is refused, unreadable or no export file. Never throws.
    bool mergeFile(const QString &path);

    std::optional<std::string> queryDefaultValue(RegistryRoot root, std::string_view keyPath,
                                                 std::size_t bufferSize) const override;

    // The default file built into the program, then the user's file
    // ($ZELPDEV2K_REGISTRY, else $XDG_CONFIG_HOME/zelpdev2k/registry.reg).
    static std::unique_ptr<RegFileRegistry> loadStandard();
    static QString userFilePath();

private:
    // A key line: the key now read into, empty after a deleted key.
    QString enterKey(const QString &line);
    void setDefault(const QString &key, QStringView data, bool hexIsUtf16);
    // Canonical folded key path ("hkey_local_machine\software\classes\...") -> default value.
    // A key present without a readable default value maps to nullopt.
    QHash<QString, std::optional<QString>> defaults_;
};

} // namespace zelp
