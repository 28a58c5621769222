#pragma once

#include "assignment.h"
#include "csvtable.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zelp::cli {

// One file a sheet names, with the settings its cells give.
struct SheetEntry {
    int row = 0;
    QString file;               // a plain file name
    std::optional<bool> unsafe; // from the kind column; nullopt when the cell is empty
    int fileColumn = 0;         // 0-based, for messages
    int kindColumn = -1;        // -1 when the sheet has none
    std::vector<Assignment> settings;
};

struct SheetCheck {
    std::vector<SheetEntry> entries;
    QStringList errors; // "row R, column C: why"
};

// The name of a sheet's column in messages: its letter and its heading, "D (sNormRows)".
QString columnName(int index, const CsvCell &heading);

// Checks the whole sheet against the schema: the columns (file, kind and settings, each
// once), the file names (each a plain name, once), the kinds and every value's type.
SheetCheck checkSheet(const std::vector<CsvRow> &rows);

} // namespace zelp::cli
