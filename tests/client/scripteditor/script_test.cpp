#include "client/scripteditor/scripthighlighter.h"
#include "client/scripteditor/scriptsyntax.h"
#include "client/scripteditor/scripttext.h"
#include "client/scripteditor/textsearch.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace zelp {
namespace {

// The line with each token wrapped as K[...], S[...], C[...] or N[...] by its kind.
QString marked(const QString &line, const std::vector<ScriptToken> &tokens) {
    QString out;
    qsizetype at = 0;
    for (const ScriptToken &t : tokens) {
        out += line.mid(at, t.start - at) + QLatin1Char("KSCN"[int(t.kind)]) + QLatin1Char('[') +
               line.mid(t.start, t.length) + QLatin1Char(']');
        at = t.start + t.length;
    }
    return out + line.mid(at);
}

TEST(ScriptSyntax, LinesAreSplitIntoKeywordsStringsCommentsAndNumbers) {
    const char *cases[][2] = {
        {"'Sample Script", "C['Sample Script]"},
        {"Dim s As String ' note", "K[Dim] s K[As] K[String] C[' note]"},
        {R"(x = "it's" ' c)", R"(x = S["it's"] C[' c])"},
        {R"(s = "a""" & "'")", R"(s = S["a"""] & S["'"])"},
        {R"(s = "open ' end)", R"(s = S["open ' end])"},
        {"Subtotal = Endless + Ifs + Dimmer", "Subtotal = Endless + Ifs + Dimmer"},
        {"Host$ = \"host\"", "Host$ = S[\"host\"]"},
        {"END SUB", "K[END] K[SUB]"},
        {"For i = 1 To 10 Step -2", "K[For] i = N[1] K[To] N[10] K[Step] -N[2]"},
        {"x1 = 1.5E+3 + &HFF& + .25 + 7%", "x1 = N[1.5E+3] + N[&HFF&] + N[.25] + N[7%]"},
        {"Else Call f(False)", "K[Else] K[Call] f(K[False])"},
        {"Set o = Session.Next", "K[Set] o = Session.Next"},
        {"Rem a remark with \"quotes\"", "C[Rem a remark with \"quotes\"]"},
        {"Remove = 2", "Remove = N[2]"},
        {"Größe = Dim", "Größe = K[Dim]"},
        {"   ", "   "},
    };
    for (const auto &[line, expected] : cases) {
        const QString text = QString::fromUtf8(line);
        EXPECT_EQ(marked(text, scanScriptLine(text)), QString::fromUtf8(expected)) << line;
    }
}

TEST(ScriptHighlighter, ColoursTheBlocksOfADocument) {
    QTextDocument document;
    ScriptHighlighter highlighter(&document);
    document.setPlainText(QStringLiteral("Dim n ' count\nn = 42"));
    highlighter.rehighlight(); // a new highlighter otherwise waits for the event loop
    using enum ScriptTokenKind;
    // Block, start, length and kind of each token.
    const std::tuple<int, int, int, ScriptTokenKind> expected[] = {
        {0, 0, 3, Keyword}, {0, 6, 7, Comment}, {1, 4, 2, Number}};
    for (const auto &[block, start, length, kind] : expected) {
        const auto formats = document.findBlockByNumber(block).layout()->formats();
        const auto range = std::find_if(formats.begin(), formats.end(), [&](const auto &r) {
            return r.start == start && r.length == length;
        });
        ASSERT_NE(range, formats.end()) << "block " << block << " at " << start;
        EXPECT_EQ(range->format.foreground(), ScriptHighlighter::formatFor(kind).foreground());
        EXPECT_EQ(range->format.fontItalic(), kind == Comment);
    }
}

TEST(ScriptText, LineEndsAndCodePage) {
    using enum ScriptLineEnd;
    // The stored bytes, the text, the line end found and the bytes written back with it.
    const std::tuple<std::string, QString, ScriptLineEnd, std::string> cases[] = {
        {"a\r\nb\r\n", "a\nb\n", CrLf, "a\r\nb\r\n"},
        {"a\nb", "a\nb", Lf, "a\nb"},
        {"a\r\nb\nc", "a\nb\nc", CrLf, "a\r\nb\r\nc"},
        {"a\rb\r\n", "a\nb\n", CrLf, "a\r\nb\r\n"},
        {"", "", CrLf, ""},
        {"\"caf\xE9 \x80\xA0\x81\"", QStringLiteral(u"\"caf\u00E9 \u20AC\u00A0\u0081\""), CrLf,
         "\"caf\xE9 \x80\xA0\x81\""},
    };
    for (const auto &[stored, text, lineEnd, written] : cases) {
        const ScriptText script = decodeScript(stored);
        EXPECT_EQ(script.text, text) << stored;
        EXPECT_EQ(script.lineEnd, lineEnd) << stored;
        EXPECT_EQ(encodeScript(script.text, script.lineEnd), written) << stored;
    }
    // Characters outside the code page become question marks.
    EXPECT_EQ(encodeScript(QStringLiteral(u"a\u4E2D\nb"), CrLf), "a?\r\nb");
    EXPECT_EQ(encodeScript(QStringLiteral(u"\u20AC\n"), Lf), "\x80\n");
}

TEST(TextSearch, NextAndPreviousGoRoundTheEnd) {
    const QString text = QStringLiteral("Sub a\ncall b\nCALL c\nEnd Sub");
    constexpr auto F = SearchDirection::Forward, B = SearchDirection::Backward;
    constexpr auto I = Qt::CaseInsensitive, S = Qt::CaseSensitive;
    // Needle, selection, direction, case; where the hit starts (-1: none) and whether it wrapped.
    const std::tuple<const char *, int, int, SearchDirection, Qt::CaseSensitivity, int, bool>
        cases[] = {
            {"call", 0, 0, F, I, 6, false},
            {"call", 6, 10, F, I, 13, false}, // past the selected match
            {"call", 13, 17, F, S, 6, true},
            {"CALL", 13, 17, F, S, 13, true}, // the only match is the selection
            {"call", 13, 17, B, I, 6, false},
            {"call", 6, 10, B, I, 13, true},
            {"sub", 26, 26, B, I, 24, false},
            {"Sub", 0, 3, B, S, 24, true},
            {"loop", 5, 5, B, I, -1, false},
            {"", 0, 0, F, I, -1, false},
            {"call", 500, 900, F, I, 6, true}, // positions beyond the text
        };
    for (const auto &[needle, selStart, selEnd, direction, cs, start, wrapped] : cases) {
        const TextHit hit =
            findText(text, QString::fromLatin1(needle), selStart, selEnd, direction, cs);
        EXPECT_EQ(hit.start, start) << needle << " from " << selStart;
        EXPECT_EQ(hit.wrapped, wrapped) << needle << " from " << selStart;
        EXPECT_EQ(hit.found(), start >= 0);
    }
    EXPECT_FALSE(findText(QStringLiteral("ab"), QStringLiteral("abc"), 0, 0, B, I).found());
}

} // namespace
} // namespace zelp
