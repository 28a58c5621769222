#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace zelp {

// How the lines of a stored script end.
enum class ScriptLineEnd { CrLf, Lf };

// A script as an editor holds it: lines joined by "\n", and the line end to write back.
struct ScriptText {
    QString text;
    ScriptLineEnd lineEnd = ScriptLineEnd::CrLf;
};

// Windows-1252 bytes to editor text. CR LF is the stored form; a script with bare LF and no
// CR LF at all keeps LF. A lone CR also breaks the line (and is written back as the line end).
ScriptText decodeScript(std::string_view bytes);

// Editor text back to Windows-1252 bytes with every line ending in lineEnd; characters the
// code page lacks become "?".
std::string encodeScript(const QString &text, ScriptLineEnd lineEnd);

} // namespace zelp
