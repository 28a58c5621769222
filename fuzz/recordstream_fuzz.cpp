#include "client/core/recordstream.h"

#include <cstdlib>

// Whatever decodes must encode to the same bytes, and those decode to the same records.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto records = zelp::RecordStream::decode(bytes);
    if (!records) {
        return 0;
    }
    const auto encoded = zelp::RecordStream::encode(*records);
    if (!encoded) {
        std::abort();
    }
    // Booleans are written back as -1: equal records, not always equal bytes.
    const auto again = zelp::RecordStream::decode(*encoded);
    if (!again || again->size() != records->size()) {
        std::abort();
    }
    for (size_t i = 0; i < records->size(); ++i) {
        const auto &a = (*records)[i];
        const auto &b = (*again)[i];
        const bool sameNaN = std::holds_alternative<double>(a.value) &&
                             std::holds_alternative<double>(b.value) &&
                             std::get<double>(a.value) != std::get<double>(a.value) &&
                             std::get<double>(b.value) != std::get<double>(b.value);
        if (a.name != b.name || (!(a.value == b.value) && !sameNaN)) {
            std::abort();
        }
    }
    return 0;
}
