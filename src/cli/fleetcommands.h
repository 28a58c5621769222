#pragma once

#include <QStringList>

namespace zelp::cli {

// settings [--json]: every setting of the schema with its type, default, group and label.
int runSettings(const QStringList &args);
// export [--all] [--recursive] FILE|FOLDER...: the settings of many files as CSV on stdout.
int runExport(const QStringList &args);
// import SHEET --into FOLDER [--dry-run] [--json]: makes and updates files from a CSV sheet.
int runImport(const QStringList &args);
// diff A B [--json]: what differs between two connection files.
int runDiff(const QStringList &args);
// test [--timeout SECONDS] [--jobs N] [--json] FILE|FOLDER...: the designer's test connection
// without a window, to many hosts at once.
int runTest(const QStringList &args);

} // namespace zelp::cli
