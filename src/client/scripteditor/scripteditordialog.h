#pragma once

#include "scripttext.h"
#include "textsearch.h"

#include <QDialog>

#include <optional>
#include <string>

class QPlainTextEdit;

namespace zelp {

class ScriptFindBar;

// The modal editor for a connection's script: monospace text with the language coloured,
// undo and redo, a find bar, OK and Cancel.
class ScriptEditorDialog : public QDialog {
    Q_OBJECT
public:
    // script1252: the stored script, Windows-1252 bytes.
    ScriptEditorDialog(const QString &caption, const std::string &script1252,
                       QWidget *parent = nullptr);

    // Shows the editor modally; the new script when the user pressed OK on a changed text,
    // nothing after Cancel or when the text ends as it began.
    static std::optional<std::string> edit(QWidget *parent, const QString &caption,
                                           const std::string &script1252);

    // The text as edited, in Windows-1252 with the script's line ends; the given bytes
    // themselves while the text is as it began.
    std::string script() const;
    // True only after OK, when the text differs from the one given.
    bool changed() const;

public Q_SLOTS:
    // Escape and the close box: a changed script is not dropped without a question.
    void reject() override;
    void openFind();
    void findNext();
    void findPrevious();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenu();
    void find(SearchDirection direction);
    QString editorText() const;
    bool edited() const { return editorText() != initialText_; }

    std::string original_;
    ScriptLineEnd lineEnd_;
    QString initialText_;
    QPlainTextEdit *editor_;
    ScriptFindBar *findBar_;
};

} // namespace zelp
