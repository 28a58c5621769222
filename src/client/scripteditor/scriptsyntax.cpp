#include "scriptsyntax.h"

#include <QRegularExpression>

#include <optional>

namespace zelp {

namespace {

// A name may end in a type character (Host$, count%); a keyword must not run on into one.
constexpr char kNameTail[] = R"([\w$%&!#@])";

struct ScriptRule {
    std::optional<ScriptTokenKind> kind; // none: consumed but left plain
    QRegularExpression pattern;
};

QRegularExpression rulePattern(const QString &pattern) {
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::UseUnicodePropertiesOption);
}

QString keywordPattern() {
    return QStringLiteral("(?:%1)(?!%2)")
        .arg(scriptKeywords().join(QLatin1Char('|')), QLatin1String(kNameTail));
}

// Tried in order at each position; the first that matches there takes its text. Names and
// members are consumed whole so that a keyword inside Subtotal or after a dot stays plain.
const std::vector<ScriptRule> &scriptRules() {
    static const std::vector<ScriptRule> rules = {
        {ScriptTokenKind::Comment, rulePattern(QStringLiteral("'.*"))},
        {ScriptTokenKind::Comment,
         rulePattern(QStringLiteral("rem(?!%1).*").arg(QLatin1String(kNameTail)))},
        {ScriptTokenKind::String, rulePattern(QStringLiteral(R"("(?:[^"]|"")*"?)"))},
        {ScriptTokenKind::Number,
         rulePattern(QStringLiteral(R"((?:&h[0-9a-f]+|&o?[0-7]+)&?)"
                                    R"(|(?:\d+\.?\d*|\.\d+)(?:[ed][+-]?\d+)?[%&!#@]?)"))},
        {std::nullopt, rulePattern(QStringLiteral(R"(\.[^\W\d]\w*[$%&!#@]?)"))},
        {ScriptTokenKind::Keyword, rulePattern(keywordPattern())},
        {std::nullopt, rulePattern(QStringLiteral(R"([^\W\d]\w*[$%&!#@]?)"))},
    };
    return rules;
}

} // namespace

const QStringList &scriptKeywords() {
    static const QStringList words = {
        QStringLiteral("And"),      QStringLiteral("As"),      QStringLiteral("Boolean"),
        QStringLiteral("ByRef"),    QStringLiteral("ByVal"),   QStringLiteral("Call"),
        QStringLiteral("Case"),     QStringLiteral("Const"),   QStringLiteral("Dim"),
        QStringLiteral("Do"),       QStringLiteral("Double"),  QStringLiteral("Each"),
        QStringLiteral("Else"),     QStringLiteral("ElseIf"),  QStringLiteral("Empty"),
        QStringLiteral("End"),      QStringLiteral("Eqv"),     QStringLiteral("Erase"),
        QStringLiteral("Error"),    QStringLiteral("Exit"),    QStringLiteral("Explicit"),
        QStringLiteral("False"),    QStringLiteral("For"),     QStringLiteral("Function"),
        QStringLiteral("Global"),   QStringLiteral("GoSub"),   QStringLiteral("GoTo"),
        QStringLiteral("If"),       QStringLiteral("Imp"),     QStringLiteral("In"),
        QStringLiteral("Integer"),  QStringLiteral("Is"),      QStringLiteral("Let"),
        QStringLiteral("Like"),     QStringLiteral("Long"),    QStringLiteral("Loop"),
        QStringLiteral("Mod"),      QStringLiteral("New"),     QStringLiteral("Next"),
        QStringLiteral("Not"),      QStringLiteral("Nothing"), QStringLiteral("Null"),
        QStringLiteral("Object"),   QStringLiteral("On"),      QStringLiteral("Option"),
        QStringLiteral("Optional"), QStringLiteral("Or"),      QStringLiteral("Preserve"),
        QStringLiteral("Private"),  QStringLiteral("Public"),  QStringLiteral("ReDim"),
        QStringLiteral("Resume"),   QStringLiteral("Return"),  QStringLiteral("Select"),
        QStringLiteral("Set"),      QStringLiteral("Single"),  QStringLiteral("Static"),
        QStringLiteral("Step"),     QStringLiteral("String"),  QStringLiteral("Sub"),
        QStringLiteral("Then"),     QStringLiteral("To"),      QStringLiteral("True"),
        QStringLiteral("Until"),    QStringLiteral("Variant"), QStringLiteral("Wend"),
        QStringLiteral("While"),    QStringLiteral("With"),    QStringLiteral("Xor"),
    };
    return words;
}

std::vector<ScriptToken> scanScriptLine(const QString &line) {
    std::vector<ScriptToken> tokens;
    const auto &rules = scriptRules();
    qsizetype pos = 0;
    while (pos < line.size()) {
        qsizetype taken = 0;
        for (const ScriptRule &rule : rules) {
            const QRegularExpressionMatch m =
                rule.pattern.match(line, pos, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
            if (m.hasMatch() && m.capturedLength() > 0) {
                taken = m.capturedLength();
                if (rule.kind) {
                    tokens.push_back({*rule.kind, pos, taken});
                }
                break;
            }
        }
        pos += taken > 0 ? taken : 1;
    }
    return tokens;
}

} // namespace zelp
