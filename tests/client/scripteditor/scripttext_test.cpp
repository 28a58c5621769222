#include "client/scripteditor/scripttext.h"

#include <gtest/gtest.h>

namespace zelp {
namespace {

TEST(ScriptText, LineEndsAndCodePage) {
    struct Case {
        const char *name;
        std::string stored;
        QString text;
        ScriptLineEnd lineEnd;
        std::string written; // the text written back with the line end found
    };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\n", QStringLiteral("a\nb\n"), ScriptLineEnd::CrLf, "a\r\nb\r\n"},
        {"bare LF kept", "a\nb", QStringLiteral("a\nb"), ScriptLineEnd::Lf, "a\nb"},
        {"mixed becomes CR LF", "a\r\nb\nc", QStringLiteral("a\nb\nc"), ScriptLineEnd::CrLf,
         "a\r\nb\r\nc"},
        {"lone CR breaks the line", "a\rb\r\n", QStringLiteral("a\nb\n"), ScriptLineEnd::CrLf,
         "a\r\nb\r\n"},
        {"one line", "x = 1", QStringLiteral("x = 1"), ScriptLineEnd::CrLf, "x = 1"},
        {"empty", "", QString(), ScriptLineEnd::CrLf, ""},
        {"1252", "s = \"caf\xE9 \x80\xA0\x81\"\r\n",
         QStringLiteral(u"s = \"caf\u00E9 \u20AC\u00A0\u0081\"\n"), ScriptLineEnd::CrLf,
         "s = \"caf\xE9 \x80\xA0\x81\"\r\n"},
    };
    for (const Case &c : cases) {
        const ScriptText script = decodeScript(c.stored);
        EXPECT_EQ(script.text, c.text) << c.name;
        EXPECT_EQ(script.lineEnd, c.lineEnd) << c.name;
        EXPECT_EQ(encodeScript(script.text, script.lineEnd), c.written) << c.name;
    }
}

TEST(ScriptText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(encodeScript(QStringLiteral(u"a\u4E2D\nb"), ScriptLineEnd::CrLf), "a?\r\nb");
    EXPECT_EQ(encodeScript(QStringLiteral(u"\u20AC\n"), ScriptLineEnd::Lf), "\x80\n");
}

} // namespace
} // namespace zelp
