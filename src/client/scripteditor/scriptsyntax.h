#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace zelp {

// What a stretch of a script line is, for colouring.
enum class ScriptTokenKind { Keyword, String, Comment, Number };

struct ScriptToken {
    ScriptTokenKind kind;
    qsizetype start;
    qsizetype length;

    bool operator==(const ScriptToken &) const = default;
};

// The reserved words of the client's scripting language, matched without regard to case.
const QStringList &scriptKeywords();

// The coloured stretches of one line, left to right; the rest of the line is plain.
// Lines are independent: the language has no construct that spans lines.
std::vector<ScriptToken> scanScriptLine(const QString &line);

} // namespace zelp
