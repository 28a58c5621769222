#include "client/core/legacyreader.h"
#include "client/core/propertybag.h"
#include "convert/legacymap.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

// Reads any bytes as a 97 connection file of either client; what loads goes through the
// property map, which must cope with every type and form a value can have.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    static const std::string names = zelp::LegacyMap::PropertyNameList();
    const QString path = dir.filePath(QStringLiteral("input.ats"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // The input's last byte picks the client asked for, so that one parse per input covers
    // both and a mismatch as well.
    const char *classId = size > 0 && (data[size - 1] & 1) ? "F24D6911-69D1-11D2-AB7F-0040055A85C2"
                                                           : "F24D6917-69D1-11D2-AB7F-0040055A85C2";
    zelp::LegacyDocumentReader reader;
    if (!reader.LoadDocument(path, QString::fromLatin1(classId), names)) {
        return 0;
    }
    zelp::PropertyBag bag;
    std::vector<zelp::SettingOutcome> outcomes;
    zelp::LegacyMap::CopyLegacyProperties(reader, bag, &outcomes);
    if (outcomes.size() < 80 + 16 + 64) {
        std::abort(); // every setting of the map is accounted for
    }
    return 0;
}
