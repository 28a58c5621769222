#include "scripthighlighter.h"

#include <QColor>
#include <QFont>

namespace zelp {

namespace {

struct KindStyle {
    ScriptTokenKind kind;
    QRgb colour;
    bool bold;
    bool italic;
};

constexpr KindStyle kStyles[] = {
    {ScriptTokenKind::Keyword, 0x00008B, true, false},
    {ScriptTokenKind::String, 0xA31515, false, false},
    {ScriptTokenKind::Comment, 0x008000, false, true},
    {ScriptTokenKind::Number, 0x098658, false, false},
};

} // namespace

ScriptHighlighter::ScriptHighlighter(QTextDocument *document) : QSyntaxHighlighter(document) {}

QTextCharFormat ScriptHighlighter::formatFor(ScriptTokenKind kind) {
    QTextCharFormat format;
    for (const KindStyle &style : kStyles) {
        if (style.kind == kind) {
            format.setForeground(QColor(style.colour));
            format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(style.italic);
        }
    }
    return format;
}

void ScriptHighlighter::highlightBlock(const QString &text) {
    for (const ScriptToken &token : scanScriptLine(text)) {
        setFormat(static_cast<int>(token.start), static_cast<int>(token.length),
                  formatFor(token.kind));
    }
}

} // namespace zelp
