#pragma once

#include <QStringList>

namespace zelp::cli {

// new [--unsafe] [--bare] [--force] FILE: a complete new connection with the default script,
// or with --bare only the template's bytes.
int runNew(const QStringList &args);
// show [--all] [--json] [--recursive] FILE|FOLDER...: for each file the client kind, every
// setting that differs from its default (with --all every setting) and the script's length.
int runShow(const QStringList &args);
// set FILE NAME=VALUE... or set --value NAME=VALUE... [--dry-run] FILE|FOLDER...: all values
// are checked before any file is touched; each file is written whole or not at all.
int runSet(const QStringList &args);
// convert [--yes] [--report FILE] OLD NEW, or --into DIR OLD...: 97 connection files into
// 2000 files; folders are walked for their files.
int runConvert(const QStringList &args);

} // namespace zelp::cli
