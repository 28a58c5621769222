#include "sheetcheck.h"

#include "client/core/settingsschema.h"
#include "common/ansi.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <climits>

namespace zelp::cli {

namespace {

const QString kFileColumn = QStringLiteral("file");
const QString kKindColumn = QStringLiteral("kind");

bool isBlank(const CsvCell &cell) {
    return !cell || cell->isEmpty();
}

QString letters(int index) {
    QString out;
    for (int n = index + 1; n > 0; n = (n - 1) / 26) {
        out.prepend(QChar(u'A' + (n - 1) % 26));
    }
    return out;
}

// Why a cell is no plain file name inside the folder; empty when it is one.
QString fileNameProblem(const QString &name) {
    if (name.isEmpty()) {
        return QStringLiteral("no file name");
    }
    if (name == QLatin1String(".") || name == QLatin1String("..")) {
        return QStringLiteral("\"%1\" leaves the folder").arg(name);
    }
    if (name.contains(u'/') || name.contains(u'\\')) {
        return QStringLiteral("\"%1\" is a path; only a file name in the folder is allowed")
            .arg(name);
    }
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f)) {
            return QStringLiteral("the file name has control characters");
        }
        // A byte order mark at a row's start (two sheets joined) would go into the name.
        if (c.category() == QChar::Other_Format) {
            return QStringLiteral("the file name has the invisible character U+%1")
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
        }
    }
    if (const qsizetype bytes = QFile::encodeName(name).size(); bytes > NAME_MAX) {
        return QStringLiteral("the file name is %1 bytes long; a file system takes %2")
            .arg(bytes)
            .arg(NAME_MAX);
    }
    return {};
}

} // namespace

QString columnName(int index, const CsvCell &heading) {
    return isBlank(heading) ? letters(index)
                            : QStringLiteral("%1 (%2)").arg(letters(index), *heading);
}

namespace {

void problem(SheetCheck &check, int row, const QString &column, const QString &why) {
    check.errors << QStringLiteral("row %1, column %2: %3").arg(row).arg(column, why);
}

// What each column of the sheet holds, from its heading row.
struct Columns {
    std::vector<CsvCell> headings;
    int file = -1;
    int kind = -1;
    std::vector<std::string> settingOf; // the setting of each column; empty for none

    QString nameOf(int column) const {
        return columnName(column,
                          column < int(headings.size()) ? headings[size_t(column)] : CsvCell());
    }
};

Columns readHeadings(const CsvRow &head, SheetCheck &check) {
    Columns c{head.cells, -1, -1, std::vector<std::string>(head.cells.size())};
    QHash<QString, int> seen;
    for (int i = 0; i < int(c.headings.size()); ++i) {
        if (isBlank(c.headings[size_t(i)])) {
            continue;
        }
        const QString &name = *c.headings[size_t(i)];
        if (const auto it = seen.constFind(name); it != seen.constEnd()) {
            problem(
                check, head.number, c.nameOf(i),
                QStringLiteral("a second column %1 (the first is %2)").arg(name, c.nameOf(*it)));
            continue;
        }
        seen.insert(name, i);
        if (name == kFileColumn) {
            c.file = i;
        } else if (name == kKindColumn) {
            c.kind = i;
        } else if (const std::string key = Ansi::fromUnicode(name);
                   Ansi::toUnicode(key) == name && SettingsSchema::find(key)) {
            c.settingOf[size_t(i)] = key;
        } else {
            problem(check, head.number, c.nameOf(i),
                    QStringLiteral("no setting is called \"%1\"").arg(name));
        }
    }
    if (c.file < 0) {
        problem(check, head.number, QStringLiteral("A"),
                QStringLiteral("the sheet has no file column"));
    }
    return c;
}

// The rows of the sheet, read one after another.
struct RowReader {
    const Columns &columns;
    SheetCheck &check;
    QHash<QString, int> files = {}; // file name -> the row that names it

    std::optional<QString> readFileName(SheetEntry &entry, const CsvCell &cell) {
        entry.file = cell.value_or(QString());
        if (QString why = fileNameProblem(entry.file); !why.isEmpty()) {
            return why;
        }
        if (const auto it = files.constFind(entry.file); it != files.constEnd()) {
            return QStringLiteral("%1 is named in row %2 too").arg(entry.file).arg(*it);
        }
        files.insert(entry.file, entry.row);
        return std::nullopt;
    }

    // What the cell gives the entry; why it cannot give it anything, or nullopt.
    std::optional<QString> readCell(SheetEntry &entry, int i, const CsvCell &cell) {
        if (i == columns.file) {
            return readFileName(entry, cell);
        }
        if (!cell) {
            return std::nullopt; // the setting stays as it is
        }
        if (i >= int(columns.headings.size()) || isBlank(columns.headings[size_t(i)])) {
            if (cell->isEmpty()) {
                return std::nullopt;
            }
            return QStringLiteral("a value in a column without a heading");
        }
        if (i == columns.kind) {
            if (cell->isEmpty()) {
                return std::nullopt;
            }
            const QString kind = cell->trimmed().toLower();
            if (kind != QLatin1String("safe") && kind != QLatin1String("unsafe")) {
                return QStringLiteral("\"%1\" is no kind; safe or unsafe").arg(*cell);
            }
            entry.unsafe = kind == QLatin1String("unsafe");
            return std::nullopt;
        }
        const std::string &setting = columns.settingOf[size_t(i)];
        if (setting.empty()) {
            return std::nullopt;
        }
        QString why;
        const auto value = valueFor(setting, *cell, &why);
        if (!value) {
            return why;
        }
        entry.settings.push_back({setting, *value});
        return std::nullopt;
    }

    void read(const CsvRow &row) {
        if (std::all_of(row.cells.begin(), row.cells.end(), isBlank)) {
            return;
        }
        SheetEntry entry;
        entry.row = row.number;
        entry.fileColumn = columns.file;
        entry.kindColumn = columns.kind;
        bool good = true;
        const auto bad = [&](int column, const QString &why) {
            problem(check, row.number, columns.nameOf(column), why);
            good = false;
        };
        for (int i = 0; i < int(row.cells.size()); ++i) {
            const CsvCell &raw = row.cells[size_t(i)];
            if (const auto why = readCell(entry, i, raw ? CsvCell(CsvTable::unguard(*raw)) : raw)) {
                bad(i, *why);
            }
        }
        if (columns.file >= int(row.cells.size()) && columns.file >= 0) {
            bad(columns.file, fileNameProblem(QString()));
        }
        if (good && columns.file >= 0) {
            check.entries.push_back(std::move(entry));
        }
    }
};

} // namespace

SheetCheck checkSheet(const std::vector<CsvRow> &rows) {
    SheetCheck check;
    if (rows.empty()) {
        check.errors << QStringLiteral("row 1: the sheet is empty; it needs a heading row");
        return check;
    }
    const Columns columns = readHeadings(rows.front(), check);
    RowReader reader{columns, check};
    for (size_t r = 1; r < rows.size(); ++r) {
        reader.read(rows[r]);
    }
    return check;
}

} // namespace zelp::cli
