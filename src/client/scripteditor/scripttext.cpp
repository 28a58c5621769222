#include "scripttext.h"

#include "common/ansi.h"

namespace zelp {

ScriptText decodeScript(std::string_view bytes) {
    ScriptText script;
    const bool hasCrLf = bytes.find("\r\n") != std::string_view::npos;
    const bool hasLf = bytes.find('\n') != std::string_view::npos;
    script.lineEnd = (hasLf && !hasCrLf) ? ScriptLineEnd::Lf : ScriptLineEnd::CrLf;
    QString text = Ansi::toUnicode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    script.text = text;
    return script;
}

std::string encodeScript(const QString &text, ScriptLineEnd lineEnd) {
    QString out = text;
    if (lineEnd == ScriptLineEnd::CrLf) {
        out.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    }
    return Ansi::fromUnicode(out);
}

} // namespace zelp
