#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace zelp::cli {

// A cell of a sheet: nullopt when it is empty and unquoted, so that a quoted empty cell ("")
// can say "an empty text" where an empty one says "nothing".
using CsvCell = std::optional<QString>;

struct CsvRow {
    int number = 0; // 1-based, counting blank lines as a spreadsheet counts its rows
    std::vector<CsvCell> cells;
};

// Comma-separated values as RFC 4180 has them, in UTF-8, read and written with libcsv:
// quoted cells with commas, quotes and line breaks, CR LF or LF line ends, a leading byte
// order mark. Blanks around a cell belong to it.
namespace CsvTable {

// The largest sheet read; a fleet of thousands of files stays far below it.
inline constexpr qsizetype kMaxBytes = 64 * 1024 * 1024;

// The rows that hold cells, in order; nullopt with *error ("row R: why") for text that is
// no CSV (a stray quote, an unterminated quoted cell), no UTF-8, or too large.
std::optional<std::vector<CsvRow>> read(QByteArrayView bytes, QString *error);

// One row with CR LF at its end; cells are quoted only where they must be, and an empty
// text (as opposed to nullopt) is written as "".
QByteArray row(const std::vector<CsvCell> &cells);

// A text that a spreadsheet would take for a formula (=, +, -, @, tab or CR first) with a
// single quote before it, as OWASP has it, and so is one that already has quotes before
// such a character; negative numbers stay as they are. unguard takes one quote off again,
// so that unguard(guard(text)) is always the text.
QString guard(const QString &text);
QString unguard(const QString &text);

} // namespace CsvTable

} // namespace zelp::cli
