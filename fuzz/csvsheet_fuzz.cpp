#include "cli/csvtable.h"
#include "cli/sheetcheck.h"

#include <cstdlib>

using namespace zelp::cli;

// Any bytes read as a sheet: what reads must write and read again to the same cells, and
// the sheet check must take whatever reads.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QString error;
    const auto rows = CsvTable::read(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), &error);
    if (!rows) {
        if (!error.startsWith(QLatin1String("row "))) {
            std::abort();
        }
        return 0;
    }
    QByteArray written;
    for (const CsvRow &row : *rows) {
        written += CsvTable::row(row.cells);
    }
    const auto again = CsvTable::read(written, &error);
    if (!again || again->size() != rows->size()) {
        std::abort();
    }
    for (size_t i = 0; i < rows->size(); ++i) {
        if ((*again)[i].cells != (*rows)[i].cells) {
            std::abort();
        }
    }
    const SheetCheck check = checkSheet(*rows);
    for (const SheetEntry &entry : check.entries) {
        if (entry.file.isEmpty() || entry.file.contains(u'/') ||
            entry.file == QLatin1String("..")) {
            std::abort();
        }
    }
    return 0;
}
