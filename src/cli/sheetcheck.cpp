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

SheetCheck checkSheet(const std::vector<CsvRow> &rows) {
    SheetCheck check;
    const auto problem = [&check](int row, const QString &column, const QString &why) {
        check.errors << QStringLiteral("row %1, column %2: %3").arg(row).arg(column, why);
    };
    if (rows.empty()) {
        check.errors << QStringLiteral("row 1: the sheet is empty; it needs a heading row");
        return check;
    }
    const CsvRow &head = rows.front();
    const std::vector<CsvCell> &headings = head.cells;
    int fileColumn = -1;
    int kindColumn = -1;
    std::vector<std::string> settingOf(headings.size());
    QHash<QString, int> seen;
    for (int i = 0; i < int(headings.size()); ++i) {
        if (isBlank(headings[i])) {
            continue;
        }
        const QString &name = *headings[i];
        if (const auto it = seen.constFind(name); it != seen.constEnd()) {
            problem(head.number, columnName(i, headings[i]),
                    QStringLiteral("a second column %1 (the first is %2)")
                        .arg(name, columnName(*it, headings[*it])));
            continue;
        }
        seen.insert(name, i);
        if (name == kFileColumn) {
            fileColumn = i;
        } else if (name == kKindColumn) {
            kindColumn = i;
        } else if (const std::string key = Ansi::fromUnicode(name);
                   Ansi::toUnicode(key) == name && SettingsSchema::find(key)) {
            settingOf[size_t(i)] = key;
        } else {
            problem(head.number, columnName(i, headings[i]),
                    QStringLiteral("no setting is called \"%1\"").arg(name));
        }
    }
    if (fileColumn < 0) {
        problem(head.number, QStringLiteral("A"), QStringLiteral("the sheet has no file column"));
    }
    QHash<QString, int> files;
    for (size_t r = 1; r < rows.size(); ++r) {
        const CsvRow &row = rows[r];
        if (std::all_of(row.cells.begin(), row.cells.end(), isBlank)) {
            continue;
        }
        SheetEntry entry;
        entry.row = row.number;
        entry.fileColumn = fileColumn;
        entry.kindColumn = kindColumn;
        bool good = true;
        const auto bad = [&](int column, const QString &why) {
            const CsvCell heading =
                column < int(headings.size()) ? headings[size_t(column)] : CsvCell();
            problem(row.number, columnName(column, heading), why);
            good = false;
        };
        for (int i = 0; i < int(row.cells.size()); ++i) {
            const CsvCell &raw = row.cells[size_t(i)];
            const CsvCell cell = raw ? CsvCell(CsvTable::unguard(*raw)) : raw;
            if (i == fileColumn) {
                entry.file = cell.value_or(QString());
                if (const QString why = fileNameProblem(entry.file); !why.isEmpty()) {
                    bad(i, why);
                } else if (const auto it = files.constFind(entry.file); it != files.constEnd()) {
                    bad(i, QStringLiteral("%1 is named in row %2 too").arg(entry.file).arg(*it));
                } else {
                    files.insert(entry.file, row.number);
                }
            } else if (!cell) {
                continue; // the setting stays as it is
            } else if (i >= int(headings.size()) || isBlank(headings[size_t(i)])) {
                if (!cell->isEmpty()) {
                    bad(i, QStringLiteral("a value in a column without a heading"));
                }
            } else if (i == kindColumn) {
                if (cell->isEmpty()) {
                    continue;
                }
                const QString kind = cell->trimmed().toLower();
                if (kind == QLatin1String("safe") || kind == QLatin1String("unsafe")) {
                    entry.unsafe = kind == QLatin1String("unsafe");
                } else {
                    bad(i, QStringLiteral("\"%1\" is no kind; safe or unsafe").arg(*cell));
                }
            } else if (!settingOf[size_t(i)].empty()) {
                QString why;
                if (const auto value = valueFor(settingOf[size_t(i)], *cell, &why)) {
                    entry.settings.push_back({settingOf[size_t(i)], *value});
                } else {
                    bad(i, why);
                }
            }
        }
        if (fileColumn >= int(row.cells.size()) && fileColumn >= 0) {
            bad(fileColumn, fileNameProblem(QString()));
        }
        if (good && fileColumn >= 0) {
            check.entries.push_back(std::move(entry));
        }
    }
    return check;
}

} // namespace zelp::cli
