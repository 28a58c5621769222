#include "client/core/clientdocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

// Opens every input as a connection file; one that opens must save and open again with the
// same settings.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.ats"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    auto doc = zelp::ClientDocument::load(path);
    if (!doc) {
        return 0;
    }
    const auto records = doc->Settings()->toRecords();
    doc->PropChanged();
    QString error;
    if (!doc->save(&error)) {
        std::abort();
    }
    auto back = zelp::ClientDocument::load(path);
    if (!back || back->Settings()->toRecords().size() != records.size() ||
        back->Script() != doc->Script() || back->SafeMode() != doc->SafeMode()) {
        std::abort();
    }
    return 0;
}
