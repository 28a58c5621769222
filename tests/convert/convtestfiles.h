#pragma once

#include "client/core/legacy97writer.h"

#include "client/core/clientdocument.h"

#include <QDir>
#include <QString>

#include <memory>
#include <vector>

namespace zelp::test {

// The script as the 97 client keeps it.
inline std::string xored(const std::string &script) {
    std::string out = script;
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = char(static_cast<unsigned char>(out[i]) ^ ((i + 1) & 15));
    }
    return out;
}

// The files named Work<n>.ats left in a folder.
inline QStringList workFiles(const QString &folder) {
    return QDir(folder).entryList({QStringLiteral("Work*.ats")}, QDir::Files);
}

} // namespace zelp::test
