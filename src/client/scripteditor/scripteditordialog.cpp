#include "scripteditordialog.h"

#include "editorfont.h"
#include "scriptfindbar.h"
#include "scripthighlighter.h"

#include "common/msgbox.h"
#include "common/msgboxstyle.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace zelp {

namespace {

constexpr int kTabWidth = 4;

// The platform's keys for an action, and the one users of any platform expect.
QList<QKeySequence> withKey(QKeySequence::StandardKey standard, const QKeySequence &extra) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
    if (!keys.contains(extra)) {
        keys.prepend(extra);
    }
    return keys;
}

} // namespace

ScriptEditorDialog::ScriptEditorDialog(const QString &caption, const std::string &script1252,
                                       QWidget *parent)
    : QDialog(parent), original_(script1252) {
    setObjectName(QStringLiteral("scriptEditor"));
    setProperty("helpContextId", 410);
    setWindowTitle(caption);
    setModal(true);

    const ScriptText script = decodeScript(script1252);
    lineEnd_ = script.lineEnd;

    editor_ = new QPlainTextEdit;
    editor_->setObjectName(QStringLiteral("txScript"));
    const QFont font = editorFont();
    editor_->setFont(font);
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) *
                                kTabWidth);
    new ScriptHighlighter(editor_->document());
    editor_->installEventFilter(this);
    editor_->setPlainText(script.text);
    // What the editor made of the text is the baseline, so that loading is never a change.
    initialText_ = editorText();

    findBar_ = new ScriptFindBar;
    findBar_->hide();
    connect(findBar_, &ScriptFindBar::findRequested, this, &ScriptEditorDialog::find);
    connect(findBar_, &ScriptFindBar::closed, editor_, [this] { editor_->setFocus(); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // Cancel says what to do with the edits; Escape and the close box ask.
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(QDialog::Rejected); });
    // Return types a new line in the script, so OK needs a key of its own.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *okKey = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(okKey, &QShortcut::activated, this, &QDialog::accept);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(editor_, 1);
    layout->addWidget(findBar_);
    layout->addWidget(buttons);
    createMenu();
    editor_->setFocus();
    resize(760, 540);
}

void ScriptEditorDialog::createMenu() {
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu *menu = bar->addMenu(tr("&Edit"));
    menu->setObjectName(QStringLiteral("MNU_Edit"));

    struct Item {
        const char *name;
        QString text;
        QList<QKeySequence> keys;
        void (ScriptEditorDialog::*run)();
        void (QPlainTextEdit::*edit)();
    };
    const Item items[] = {
        {"MNU_EditUndo", tr("&Undo"), QKeySequence::keyBindings(QKeySequence::Undo), nullptr,
         &QPlainTextEdit::undo},
        {"MNU_EditRedo", tr("&Redo"),
         withKey(QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y)), nullptr,
         &QPlainTextEdit::redo},
        {nullptr, {}, {}, nullptr, nullptr},
        {"MNU_EditCut", tr("Cu&t"), QKeySequence::keyBindings(QKeySequence::Cut), nullptr,
         &QPlainTextEdit::cut},
        {"MNU_EditCopy", tr("&Copy"), QKeySequence::keyBindings(QKeySequence::Copy), nullptr,
         &QPlainTextEdit::copy},
        {"MNU_EditPaste", tr("&Paste"), QKeySequence::keyBindings(QKeySequence::Paste), nullptr,
         &QPlainTextEdit::paste},
        {"MNU_EditSelectAll", tr("Select &All"), QKeySequence::keyBindings(QKeySequence::SelectAll),
         nullptr, &QPlainTextEdit::selectAll},
        {nullptr, {}, {}, nullptr, nullptr},
        {"MNU_EditFind", tr("&Find..."),
         withKey(QKeySequence::Find, QKeySequence(Qt::CTRL | Qt::Key_F)),
         &ScriptEditorDialog::openFind, nullptr},
        {"MNU_EditFindNext", tr("Find &Next"),
         withKey(QKeySequence::FindNext, QKeySequence(Qt::Key_F3)), &ScriptEditorDialog::findNext,
         nullptr},
        {"MNU_EditFindPrevious", tr("Find Pre&vious"),
         withKey(QKeySequence::FindPrevious, QKeySequence(Qt::SHIFT | Qt::Key_F3)),
         &ScriptEditorDialog::findPrevious, nullptr},
    };
    for (const Item &item : items) {
        if (!item.name) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(item.text);
        action->setObjectName(QLatin1String(item.name));
        action->setShortcuts(item.keys);
        if (item.run) {
            connect(action, &QAction::triggered, this, item.run);
        } else {
            connect(action, &QAction::triggered, editor_, item.edit);
        }
    }
    const auto actionNamed = [menu](const char *name) {
        return menu->findChild<QAction *>(QLatin1String(name));
    };
    QAction *undo = actionNamed("MNU_EditUndo");
    QAction *redo = actionNamed("MNU_EditRedo");
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(editor_, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    connect(editor_, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
    layout()->setMenuBar(bar);
}

std::optional<std::string> ScriptEditorDialog::edit(QWidget *parent, const QString &caption,
                                                    const std::string &script1252) {
    ScriptEditorDialog dialog(caption, script1252, parent);
    dialog.exec();
    if (!dialog.changed()) {
        return std::nullopt;
    }
    return dialog.script();
}

std::string ScriptEditorDialog::script() const {
    const QString text = editorText();
    return text == initialText_ ? original_ : encodeScript(text, lineEnd_);
}

bool ScriptEditorDialog::changed() const {
    return result() == QDialog::Accepted && edited();
}

void ScriptEditorDialog::reject() {
    if (!edited()) {
        done(QDialog::Rejected);
        return;
    }
    const int16_t answer = MessageBox(tr("Do you want to keep your changes to the script?"),
                                      Msg::kYesNoCancelQuestion);
    if (answer == Msg::Yes) {
        accept();
    } else if (answer == Msg::No) {
        done(QDialog::Rejected);
    }
}

void ScriptEditorDialog::openFind() {
    findBar_->open(editor_->textCursor().selectedText());
}

void ScriptEditorDialog::findNext() {
    find(SearchDirection::Forward);
}

void ScriptEditorDialog::findPrevious() {
    find(SearchDirection::Backward);
}

void ScriptEditorDialog::find(SearchDirection direction) {
    if (findBar_->needle().isEmpty()) {
        openFind();
        return;
    }
    findBar_->show();
    const QString needle = findBar_->needle();
    QTextCursor cursor = editor_->textCursor();
    // The raw text counts one separator between blocks, as cursor positions do.
    const TextHit hit = findText(editor_->document()->toRawText(), needle, cursor.selectionStart(),
                                 cursor.selectionEnd(), direction, findBar_->caseSensitivity());
    if (!hit.found()) {
        findBar_->setStatus(tr("\"%1\" not found").arg(needle));
        return;
    }
    cursor.setPosition(static_cast<int>(hit.start));
    cursor.setPosition(static_cast<int>(hit.start + needle.size()), QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor);
    if (!hit.wrapped) {
        findBar_->setStatus(QString());
    } else if (direction == SearchDirection::Forward) {
        findBar_->setStatus(tr("Continued from the top"));
    } else {
        findBar_->setStatus(tr("Continued from the bottom"));
    }
}

bool ScriptEditorDialog::eventFilter(QObject *watched, QEvent *event) {
    // Tab types a tab in the script; with Ctrl it moves on, as in other editors.
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && (key->modifiers() & Qt::ControlModifier)) {
            const bool back =
                key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            focusNextPrevChild(!back);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString ScriptEditorDialog::editorText() const {
    // toPlainText() would turn non-breaking spaces into plain ones; the script keeps them.
    QString text = editor_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace zelp
