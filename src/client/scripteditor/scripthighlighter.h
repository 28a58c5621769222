#pragma once

#include "scriptsyntax.h"

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QTextDocument;

namespace zelp {

// Colours keywords, strings, comments and numbers of the client's scripting language.
class ScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit ScriptHighlighter(QTextDocument *document);

    static QTextCharFormat formatFor(ScriptTokenKind kind);

protected:
    void highlightBlock(const QString &text) override;
};

} // namespace zelp
