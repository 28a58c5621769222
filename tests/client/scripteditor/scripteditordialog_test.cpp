#include "client/scripteditor/editorfont.h"
#include "client/scripteditor/scripteditordialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace zelp {
namespace {

const std::string kScript = "'Sample\r\nSub Connect\r\n    s = \"caf\xE9 \x80\"\r\nEnd Sub\r\n";

template <typename T> T *child(QWidget *dialog, const char *name) {
    T *widget = dialog->findChild<T *>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Opens the editor modally through edit() and lets act work on the real dialog once it runs;
// a dialog that act leaves open is cancelled, so that a failing check cannot hang the test.
std::optional<std::string> runEditor(const std::string &script,
                                     const std::function<void(ScriptEditorDialog *)> &act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<ScriptEditorDialog *>(QApplication::activeModalWidget());
        acted = true;
        if (!dialog) {
            ADD_FAILURE() << "no modal script editor";
            return;
        }
        act(dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    const auto result = ScriptEditorDialog::edit(nullptr, QStringLiteral("Script Editor"), script);
    EXPECT_TRUE(acted);
    return result;
}

QPlainTextEdit *editorOf(ScriptEditorDialog *dialog) {
    return child<QPlainTextEdit>(dialog, "txScript");
}

// Types text as key presses; QTest knows keys only for ASCII, so other characters come as
// key events that carry just their text, as an input method sends them.
void typeText(QWidget *widget, const QString &text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(widget, ch.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &press);
            QApplication::sendEvent(widget, &release);
        }
    }
}

void typeAtEnd(QPlainTextEdit *editor, const QString &text) {
    editor->moveCursor(QTextCursor::End);
    typeText(editor, text);
}

void click(ScriptEditorDialog *dialog, const char *button) {
    if (auto *b = child<QPushButton>(dialog, button)) {
        QTest::mouseClick(b, Qt::LeftButton);
    }
}

TEST(ScriptEditorDialog, ShowsTheScriptModallyInAFixedFont) {
    runEditor(kScript, [](ScriptEditorDialog *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Script Editor"));
        EXPECT_TRUE(dialog->isModal());
        QPlainTextEdit *editor = editorOf(dialog);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->toPlainText(),
                  QStringLiteral(u"'Sample\nSub Connect\n    s = \"caf\u00E9 \u20AC\"\nEnd Sub\n"));
        EXPECT_TRUE(isMonospaced(editor->font())) << editor->font().family().toStdString();
        EXPECT_FALSE(editor->isReadOnly());
        click(dialog, "cmdOK");
    });
}

TEST(EditorFont, TakesTheFirstFontThatIsMonospacedInFact) {
    const QFont proportional(QStringLiteral("DejaVu Sans"));
    const QFont mono(QStringLiteral("DejaVu Sans Mono"));
    ASSERT_FALSE(isMonospaced(proportional));
    EXPECT_EQ(firstMonospaced({proportional, mono}).family(), mono.family());
    EXPECT_EQ(firstMonospaced({proportional}).family(), proportional.family()) << "none fits";
}

TEST(ScriptEditorDialog, OnlyARealEditIsAChange) {
    struct Case {
        const char *name;
        std::function<void(ScriptEditorDialog *, QPlainTextEdit *)> act;
        std::optional<std::string> result;
    };
    const Case cases[] = {
        {"OK without edits", [](auto *d, auto *) { click(d, "cmdOK"); }, std::nullopt},
        {"typed then OK",
         [](auto *d, auto *e) {
             typeAtEnd(e, QStringLiteral(u"' \u00E9t\u00E9 \u20AC"));
             click(d, "cmdOK");
         },
         kScript + "' \xE9t\xE9 \x80"},
        {"new line typed",
         [](auto *d, auto *e) {
             e->moveCursor(QTextCursor::Start);
             QTest::keyClick(e, Qt::Key_Return);
             click(d, "cmdOK");
         },
         "\r\n" + kScript},
        {"Shift+Return is a line end too",
         [](auto *d, auto *e) {
             e->moveCursor(QTextCursor::Start);
             QTest::keyClick(e, Qt::Key_Return, Qt::ShiftModifier);
             click(d, "cmdOK");
         },
         "\r\n" + kScript},
        {"typed, undone, OK",
         [](auto *d, auto *e) {
             typeAtEnd(e, QStringLiteral("Dim x"));
             QAction *undo = child<QAction>(d, "MNU_EditUndo");
             ASSERT_NE(undo, nullptr);
             EXPECT_TRUE(undo->isEnabled());
             undo->trigger();
             click(d, "cmdOK");
         },
         std::nullopt},
        {"typed, Cancel",
         [](auto *d, auto *e) {
             typeAtEnd(e, QStringLiteral("Dim x"));
             click(d, "cmdCancel");
         },
         std::nullopt},
        {"typed, Escape",
         [](auto *d, auto *e) {
             typeAtEnd(e, QStringLiteral("Dim x"));
             QTest::keyClick(d, Qt::Key_Escape);
         },
         std::nullopt},
        {"deleted and typed back",
         [](auto *d, auto *e) {
             e->moveCursor(QTextCursor::Start);
             QTest::keyClick(e, Qt::Key_Delete);
             QTest::keyClicks(e, QStringLiteral("'"));
             click(d, "cmdOK");
         },
         std::nullopt},
    };
    for (const Case &c : cases) {
        const auto result = runEditor(kScript, [&](ScriptEditorDialog *dialog) {
            QPlainTextEdit *editor = editorOf(dialog);
            ASSERT_NE(editor, nullptr);
            c.act(dialog, editor);
        });
        EXPECT_EQ(result, c.result) << c.name;
    }
}

TEST(ScriptEditorDialog, UndoAndRedoAfterTyping) {
    runEditor(kScript, [](ScriptEditorDialog *dialog) {
        QPlainTextEdit *editor = editorOf(dialog);
        QAction *undo = child<QAction>(dialog, "MNU_EditUndo");
        QAction *redo = child<QAction>(dialog, "MNU_EditRedo");
        ASSERT_TRUE(editor && undo && redo);
        EXPECT_FALSE(undo->isEnabled()) << "loading the script is not an edit";
        typeAtEnd(editor, QStringLiteral("x"));
        const QString typed = editor->toPlainText();
        QTest::keySequence(editor, QKeySequence::Undo);
        EXPECT_FALSE(editor->toPlainText().endsWith(QLatin1Char('x')));
        EXPECT_TRUE(redo->isEnabled());
        redo->trigger();
        EXPECT_EQ(editor->toPlainText(), typed);
        click(dialog, "cmdOK");
        EXPECT_TRUE(dialog->changed());
    });
}

TEST(ScriptEditorDialog, BareLineFeedsStayBareAndUnchangedBytesStayExact) {
    const std::string lf = "Sub A\nEnd Sub\n";
    EXPECT_EQ(runEditor(lf,
                        [](ScriptEditorDialog *dialog) {
                            typeAtEnd(editorOf(dialog), QStringLiteral("'x"));
                            click(dialog, "cmdOK");
                        }),
              std::optional<std::string>(lf + "'x"));

    // Mixed line ends are not rewritten unless the user edits the text.
    const std::string withNul("a\0b\r\n", 5);
    EXPECT_EQ(runEditor(withNul,
                        [](ScriptEditorDialog *dialog) {
                            typeAtEnd(editorOf(dialog), QStringLiteral("c"));
                            click(dialog, "cmdOK");
                        }),
              std::optional<std::string>(withNul + "c"));

    const std::string mixed = "a\r\nb\nc\xA0";
    ScriptEditorDialog dialog(QStringLiteral("Script Editor"), mixed);
    EXPECT_EQ(dialog.script(), mixed);
    EXPECT_FALSE(dialog.changed());
    dialog.accept();
    EXPECT_FALSE(dialog.changed()) << "a non-breaking space is no change";
    EXPECT_EQ(dialog.script(), mixed);
}

TEST(ScriptEditorDialog, FindBarWrapsAndSaysNotFound) {
    const std::string script = "call a\r\nx = 1\r\nCALL b\r\n";
    runEditor(script, [](ScriptEditorDialog *dialog) {
        QPlainTextEdit *editor = editorOf(dialog);
        ASSERT_NE(editor, nullptr);
        QWidget *bar = child<QWidget>(dialog, "findBar");
        ASSERT_NE(bar, nullptr);
        EXPECT_FALSE(bar->isVisible());
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));

        QTest::keySequence(editor, QKeySequence(Qt::CTRL | Qt::Key_F));
        auto *text = child<QLineEdit>(dialog, "txFind");
        auto *status = child<QLabel>(dialog, "lbFindStatus");
        auto *matchCase = child<QCheckBox>(dialog, "chkMatchCase");
        ASSERT_TRUE(text && status && matchCase);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_TRUE(text->hasFocus());

        struct Step {
            const char *name;
            std::function<void()> key;
            int selectionStart;
            QString status;
        };
        const Step steps[] = {
            {"Return in the find text", [&] { QTest::keyClick(text, Qt::Key_Return); }, 0,
             QString()},
            {"F3", [&] { QTest::keyClick(editor, Qt::Key_F3); }, 13, QString()},
            {"F3 again wraps", [&] { QTest::keyClick(editor, Qt::Key_F3); }, 0,
             QStringLiteral("Continued from the top")},
            {"Shift+F3 wraps back", [&] { QTest::keyClick(editor, Qt::Key_F3, Qt::ShiftModifier); },
             13, QStringLiteral("Continued from the bottom")},
            {"Next button", [&] { click(dialog, "cmdFindNext"); }, 0,
             QStringLiteral("Continued from the top")},
        };
        QTest::keyClicks(text, QStringLiteral("call"));
        for (const Step &step : steps) {
            step.key();
            EXPECT_EQ(editor->textCursor().selectionStart(), step.selectionStart) << step.name;
            EXPECT_EQ(editor->textCursor().selectedText().toLower(), QStringLiteral("call"))
                << step.name;
            EXPECT_EQ(status->text(), step.status) << step.name;
        }
        EXPECT_TRUE(dialog->isVisible()) << "Return in the find text must not press OK";

        matchCase->setChecked(true);
        QTest::keyClick(editor, Qt::Key_F3);
        EXPECT_EQ(editor->textCursor().selectionStart(), 0) << "only the lower-case one matches";
        EXPECT_EQ(status->text(), QStringLiteral("Continued from the top"));

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

TEST(ScriptEditorDialog, KeyboardLeavesTheEditor) {
    runEditor(kScript, [](ScriptEditorDialog *dialog) {
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        QPlainTextEdit *editor = editorOf(dialog);
        auto *ok = child<QPushButton>(dialog, "cmdOK");
        ASSERT_TRUE(editor && ok);
        const QString before = editor->toPlainText();
        QTest::keyClick(editor, Qt::Key_Tab);
        EXPECT_TRUE(editor->hasFocus()) << "Tab types a tab";
        QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_TRUE(ok->hasFocus()) << "Ctrl+Tab goes on to the buttons";
        QTest::keyClick(ok, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_TRUE(editor->hasFocus());
        QTest::keyClick(editor, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_FALSE(editor->hasFocus()) << "Ctrl+Shift+Tab leaves backwards";
        EXPECT_EQ(editor->toPlainText(), QLatin1Char('\t') + before);
    });
}

TEST(ScriptEditorDialog, CtrlReturnIsOk) {
    const auto result = runEditor(kScript, [](ScriptEditorDialog *dialog) {
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        QPlainTextEdit *editor = editorOf(dialog);
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->hasFocus());
        QTest::keyClicks(editor, QStringLiteral("x"));
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_FALSE(dialog->isVisible());
    });
    EXPECT_EQ(result, std::optional<std::string>("x" + kScript));
}

} // namespace
} // namespace zelp
