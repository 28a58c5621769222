#include "client/scripteditor/scripthighlighter.h"
#include "client/scripteditor/scriptsyntax.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace zelp {
namespace {

constexpr auto K = ScriptTokenKind::Keyword;
constexpr auto S = ScriptTokenKind::String;
constexpr auto C = ScriptTokenKind::Comment;
constexpr auto N = ScriptTokenKind::Number;

// A token written as the text it covers, so that the table reads like the line.
struct Span {
    ScriptTokenKind kind;
    const char *text;
};

struct LineCase {
    const char *line;
    std::vector<Span> spans;
};

const char *kindName(ScriptTokenKind kind) {
    switch (kind) {
    case ScriptTokenKind::Keyword:
        return "keyword";
    case ScriptTokenKind::String:
        return "string";
    case ScriptTokenKind::Comment:
        return "comment";
    case ScriptTokenKind::Number:
        return "number";
    }
    return "?";
}

std::vector<std::string> describe(const QString &line, const std::vector<ScriptToken> &tokens) {
    std::vector<std::string> out;
    for (const ScriptToken &t : tokens) {
        out.push_back(std::string(kindName(t.kind)) + " [" +
                      line.mid(t.start, t.length).toStdString() + "]@" + std::to_string(t.start));
    }
    return out;
}

// The expected tokens, located left to right in the line.
std::vector<ScriptToken> locate(const QString &line, const std::vector<Span> &spans) {
    std::vector<ScriptToken> tokens;
    qsizetype from = 0;
    for (const Span &span : spans) {
        const QString text = QString::fromUtf8(span.text);
        const qsizetype at = line.indexOf(text, from);
        EXPECT_GE(at, 0) << "bad table row: " << span.text;
        tokens.push_back({span.kind, at, text.size()});
        from = at + text.size();
    }
    return tokens;
}

TEST(ScriptSyntax, LinesAreSplitIntoKeywordsStringsCommentsAndNumbers) {
    const LineCase cases[] = {
        {"Dim s As String ' note", {{K, "Dim"}, {K, "As"}, {K, "String"}, {C, "' note"}}},
        {R"(x = "it's" ' c)", {{S, R"("it's")"}, {C, "' c"}}},
        {R"(s = "a""b")", {{S, R"("a""b")"}}},
        {R"(s = "a""" & "'")", {{S, R"("a""")"}, {S, R"("'")"}}},
        {R"(s = "open ' end)", {{S, R"("open ' end)"}}},
        {"'Velmaris 2000 Internet Edition Sample Script",
         {{C, "'Velmaris 2000 Internet Edition Sample Script"}}},
        {"Subtotal = Endless + Ifs + Dimmer", {}},
        {"Host$ = \"host\"", {{S, "\"host\""}}},
        {"END SUB", {{K, "END"}, {K, "SUB"}}},
        {"end function", {{K, "end"}, {K, "function"}}},
        {"ElseIf a Then", {{K, "ElseIf"}, {K, "Then"}}},
        {"For i = 1 To 10 Step -2",
         {{K, "For"}, {N, "1"}, {K, "To"}, {N, "10"}, {K, "Step"}, {N, "2"}}},
        {"Next i", {{K, "Next"}}},
        {"x1 = 1.5E+3 + &HFF& + .25 + 7%", {{N, "1.5E+3"}, {N, "&HFF&"}, {N, ".25"}, {N, "7%"}}},
        {"Select Case c: Case 1", {{K, "Select"}, {K, "Case"}, {K, "Case"}, {N, "1"}}},
        {"If Not x And y Or True Then Exit Sub Else Call f(False)",
         {{K, "If"},
          {K, "Not"},
          {K, "And"},
          {K, "Or"},
          {K, "True"},
          {K, "Then"},
          {K, "Exit"},
          {K, "Sub"},
          {K, "Else"},
          {K, "Call"},
          {K, "False"}}},
        {"Do While x: Loop", {{K, "Do"}, {K, "While"}, {K, "Loop"}}},
        {"While x: Wend", {{K, "While"}, {K, "Wend"}}},
        {"Set o = Session.Next", {{K, "Set"}}},
        {"Rem a whole-line remark with \"quotes\"",
         {{C, "Rem a whole-line remark with \"quotes\""}}},
        {"Remove = 2", {{N, "2"}}},
        {"Größe = Dim", {{K, "Dim"}}},
        {"   ", {}},
        {"", {}},
    };
    for (const LineCase &c : cases) {
        const QString line = QString::fromUtf8(c.line);
        EXPECT_EQ(describe(line, scanScriptLine(line)), describe(line, locate(line, c.spans)))
            << c.line;
    }
}

TEST(ScriptSyntax, EveryKeywordInAnyCase) {
    for (const QString &word : scriptKeywords()) {
        for (const QString &line : {word, word.toUpper(), word.toLower()}) {
            const std::vector<ScriptToken> expected = {{K, 0, word.size()}};
            EXPECT_EQ(scanScriptLine(line), expected) << line.toStdString();
            EXPECT_TRUE(scanScriptLine(line + QLatin1String("x")).empty()) << line.toStdString();
        }
    }
}

TEST(ScriptHighlighter, ColoursTheBlocksOfADocument) {
    QTextDocument document;
    ScriptHighlighter highlighter(&document);
    document.setPlainText(QStringLiteral("Dim n ' count\nn = 42"));
    highlighter.rehighlight(); // a new highlighter otherwise waits for the event loop

    struct Expected {
        int block;
        int start;
        int length;
        ScriptTokenKind kind;
    };
    const Expected expected[] = {
        {0, 0, 3, K},
        {0, 6, 7, C},
        {1, 4, 2, N},
    };
    for (const Expected &e : expected) {
        const QTextBlock block = document.findBlockByNumber(e.block);
        bool seen = false;
        for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
            if (range.start == e.start && range.length == e.length) {
                seen = true;
                EXPECT_EQ(range.format.foreground(),
                          ScriptHighlighter::formatFor(e.kind).foreground());
                EXPECT_EQ(range.format.fontItalic(), e.kind == C);
            }
        }
        EXPECT_TRUE(seen) << "block " << e.block << " at " << e.start;
    }
    EXPECT_NE(ScriptHighlighter::formatFor(K).foreground(),
              ScriptHighlighter::formatFor(S).foreground());
}

} // namespace
} // namespace zelp
