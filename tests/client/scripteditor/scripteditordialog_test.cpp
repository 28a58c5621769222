#include "client/scripteditor/editorfont.h"
#include "client/scripteditor/scripteditordialog.h"

#include "support/modal.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace zelp {
namespace {

const std::string kScript = "'Sample\r\nSub Connect\r\n    s = \"caf\xE9 \x80\"\r\nEnd Sub\r\n";

using test::child;

// Opens the editor modally through edit() and lets act work on the real dialog and its editor
// once it runs (a dialog that never comes fails the test).
std::optional<std::string>
runEditor(const std::string &script,
          const std::function<void(ScriptEditorDialog *, QPlainTextEdit *)> &act) {
    test::whenModal<ScriptEditorDialog>([&](ScriptEditorDialog &dialog) {
        if (auto *editor = child<QPlainTextEdit>(&dialog, "txScript")) {
            act(&dialog, editor);
        }
    });
    return ScriptEditorDialog::edit(nullptr, QStringLiteral("Script Editor"), script);
}

// Types text as key presses; characters that QTest has no key for come with just their text,
// as an input method sends them.
void typeAtEnd(QPlainTextEdit *editor, const QString &text, Qt::KeyboardModifiers modifiers = {}) {
    editor->moveCursor(QTextCursor::End);
    for (const QChar ch : text) {
        ch.unicode() < 0x80
            ? QTest::keyClick(editor, ch.toLatin1(), modifiers)
            : QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(ch), modifiers);
    }
}

void click(ScriptEditorDialog *dialog, const char *button) {
    if (auto *b = child<QPushButton>(dialog, button)) {
        QTest::mouseClick(b, Qt::LeftButton);
    }
}

void activate(ScriptEditorDialog *dialog) {
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
}

TEST(EditorFont, TakesTheFirstFontThatIsMonospacedInFact) {
    const QFont proportional(QStringLiteral("DejaVu Sans"));
    const QFont mono(QStringLiteral("DejaVu Sans Mono"));
    ASSERT_FALSE(isMonospaced(proportional));
    EXPECT_EQ(firstMonospaced({proportional, mono}).family(), mono.family());
    EXPECT_EQ(firstMonospaced({proportional}).family(), proportional.family()) << "none fits";
}

TEST(ScriptEditorDialog, OnlyARealEditIsAChangeAndLineEndsStay) {
    using Editor = QPlainTextEdit *;
    const std::string lf = "Sub A\nEnd Sub\n", nul("a\0b\r\n", 5);
    // The script, the edit, the button that closes (or Escape), what edit() gives back.
    using Edit = std::function<void(Editor)>;
    const std::tuple<std::string, Edit, const char *, std::optional<std::string>> cases[] = {
        {kScript, [](Editor) {}, "cmdOK", std::nullopt},
        {kScript, [](Editor e) { typeAtEnd(e, QStringLiteral(u"' \u00E9t\u00E9 \u20AC")); },
         "cmdOK", kScript + "' \xE9t\xE9 \x80"},
        {kScript, [](Editor e) { typeAtEnd(e, "\r"); }, "cmdOK", kScript + "\r\n"},
        {kScript, [](Editor e) { typeAtEnd(e, "\r", Qt::ShiftModifier); }, "cmdOK",
         kScript + "\r\n"},
        {kScript, [](Editor e) { typeAtEnd(e, "Dim x"); }, "cmdCancel", std::nullopt},
        {kScript, [](Editor e) { typeAtEnd(e, "Dim x"); }, "Escape", kScript + "Dim x"},
        {kScript, [](Editor e) { typeAtEnd(e, "Dim x"); }, "EscapeNo", std::nullopt},
        {kScript, [](Editor e) { typeAtEnd(e, "Dim x"); }, "closeBox", kScript + "Dim x"},
        {kScript, [](Editor) {}, "closeBox", std::nullopt},
        {kScript, [](Editor e) { typeAtEnd(e, "'\b"); }, "cmdOK", std::nullopt},
        {lf, [](Editor e) { typeAtEnd(e, "'x"); }, "cmdOK", lf + "'x"},
        {nul, [](Editor e) { typeAtEnd(e, "c"); }, "cmdOK", nul + "c"},
    };
    for (const auto &[script, edit, close, expected] : cases) {
        // Escape and the close box ask about an edited script: Yes keeps it, No drops it.
        test::ServiceScope services;
        const std::string how = close;
        services.messages.answers = {int16_t(how == "EscapeNo" ? 7 : 6)};
        const auto result = runEditor(script, [&](ScriptEditorDialog *dialog, Editor editor) {
            edit(editor);
            how.starts_with("Escape") ? QTest::keyClick(dialog, Qt::Key_Escape)
            : how == "closeBox"       ? void(dialog->close())
                                      : click(dialog, close);
        });
        EXPECT_EQ(result, expected) << close << " " << testing::PrintToString(expected);
        const bool edits = how != "closeBox" || expected;
        const bool asks = edits && (how.starts_with("Escape") || how == "closeBox");
        EXPECT_EQ(services.messages.asked.size(), asks ? 1u : 0u) << how;
    }
    // Mixed line ends are not rewritten unless the user edits the text.
    const std::string mixed = "a\r\nb\nc\xA0";
    ScriptEditorDialog dialog(QStringLiteral("Script Editor"), mixed);
    dialog.accept();
    EXPECT_FALSE(dialog.changed()) << "a non-breaking space is no change";
    EXPECT_EQ(dialog.script(), mixed);
}

TEST(ScriptEditorDialog, FindBarWrapsAndSaysNotFound) {
    runEditor("call a\r\nx = 1\r\nCALL b\r\n", [](ScriptEditorDialog *dialog,
                                                  QPlainTextEdit *editor) {
        QWidget *bar = child<QWidget>(dialog, "findBar");
        ASSERT_NE(bar, nullptr);
        EXPECT_FALSE(bar->isVisible());
        activate(dialog);
        QTest::keySequence(editor, QKeySequence(Qt::CTRL | Qt::Key_F));
        auto *text = child<QLineEdit>(dialog, "txFind");
        auto *status = child<QLabel>(dialog, "lbFindStatus");
        auto *matchCase = child<QCheckBox>(dialog, "chkMatchCase");
        ASSERT_TRUE(text && status && matchCase);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(text->hasFocus());
        const QString top = "Continued from the top", bottom = "Continued from the bottom";
        // Each step, where the selected match starts and what the bar says.
        const std::tuple<std::function<void()>, int, QString> steps[] = {
            {[&] { QTest::keyClick(text, Qt::Key_Return); }, 0, ""},
            {[&] { QTest::keyClick(editor, Qt::Key_F3); }, 13, ""},
            {[&] { QTest::keyClick(editor, Qt::Key_F3); }, 0, top},
            {[&] { QTest::keyClick(editor, Qt::Key_F3, Qt::ShiftModifier); }, 13, bottom},
            {[&] { click(dialog, "cmdFindNext"); }, 0, top},
            // Only the lower-case one matches.
            {[&] { matchCase->setChecked(true), QTest::keyClick(editor, Qt::Key_F3); }, 0, top},
        };
        QTest::keyClicks(text, QStringLiteral("call"));
        for (const auto &[step, selectionStart, said] : steps) {
            step();
            EXPECT_EQ(editor->textCursor().selectionStart(), selectionStart) << said.toStdString();
            EXPECT_EQ(editor->textCursor().selectedText().toLower(), QStringLiteral("call"));
            EXPECT_EQ(status->text(), said);
        }
        EXPECT_TRUE(dialog->isVisible()) << "Return in the find text must not press OK";

        text->setFocus();
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("loop"));
        QTest::keyClick(text, Qt::Key_Return);
        EXPECT_EQ(status->text(), QStringLiteral("\"loop\" not found"));
        EXPECT_EQ(editor->textCursor().selectionStart(), 0) << "the selection stays";
        EXPECT_EQ(QApplication::activeModalWidget(), dialog) << "no message box";
        QTest::keyClick(text, Qt::Key_Escape);
        EXPECT_FALSE(bar->isVisible());
        EXPECT_TRUE(dialog->isVisible()) << "Escape in the bar closes only the bar";
        EXPECT_TRUE(editor->hasFocus());
        click(dialog, "cmdOK");
        EXPECT_FALSE(dialog->changed()) << "searching is no edit";
    });
}

TEST(ScriptEditorDialog, ShownModallyInAFixedFontUndoRedoLeftByKeyboardAndCtrlReturnIsOk) {
    const auto result = runEditor(kScript, [](ScriptEditorDialog *dialog, QPlainTextEdit *editor) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Script Editor"));
        const QString shown = editor->toPlainText();
        EXPECT_EQ(shown,
                  QStringLiteral(u"'Sample\nSub Connect\n    s = \"caf\u00E9 \u20AC\"\nEnd Sub\n"));
        EXPECT_TRUE(isMonospaced(editor->font())) << editor->font().family().toStdString();
        QAction *undo = child<QAction>(dialog, "MNU_EditUndo");
        QAction *redo = child<QAction>(dialog, "MNU_EditRedo");
        ASSERT_TRUE(undo && redo);
        EXPECT_FALSE(undo->isEnabled()) << "loading the script is not an edit";
        typeAtEnd(editor, QStringLiteral("x"));
        QTest::keySequence(editor, QKeySequence::Undo);
        EXPECT_EQ(editor->toPlainText(), shown);
        redo->trigger();
        EXPECT_EQ(editor->toPlainText(), shown + "x");
        EXPECT_TRUE(undo->isEnabled());
        undo->trigger();
        EXPECT_EQ(editor->toPlainText(), shown);
        editor->moveCursor(QTextCursor::Start);
        activate(dialog);
        auto *ok = child<QPushButton>(dialog, "cmdOK");
        ASSERT_TRUE(editor->hasFocus() && ok);
        QTest::keyClick(editor, Qt::Key_Tab);
        EXPECT_TRUE(editor->hasFocus()) << "Tab types a tab";
        QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_TRUE(ok->hasFocus()) << "Ctrl+Tab goes on to the buttons";
        QTest::keyClick(ok, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_TRUE(editor->hasFocus());
        QTest::keyClick(editor, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_FALSE(editor->hasFocus()) << "Ctrl+Shift+Tab leaves backwards";
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_FALSE(dialog->isVisible());
    });
    EXPECT_EQ(result, "\t" + kScript);
}

} // namespace
} // namespace zelp
