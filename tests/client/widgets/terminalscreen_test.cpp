#include "client/widgets/terminalscreen.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <string>
#include <vector>

namespace zelp::test {
namespace {

struct ScreenCase {
    const char *name;
    std::vector<QByteArray> feeds;
    std::vector<QString> rows; // the top rows as rowText gives them
    int cursorRow;
    int cursorColumn;
};

TEST(TerminalScreen, TextAndCursorMovement) {
    const ScreenCase cases[] = {
        {"text from the top left", {"Hello"}, {"Hello"}, 0, 5},
        {"CR LF starts the next row", {"ab\r\ncd"}, {"ab", "cd"}, 1, 2},
        {"LF alone keeps the column", {"ab\ncd"}, {"ab", "  cd"}, 1, 4},
        {"CR returns to the first column", {"abc\rX"}, {"Xbc"}, 0, 1},
        {"backspace moves left", {"abc\bX"}, {"abX"}, 0, 3},
        {"cursor position escape", {"\x1b[3;5HX"}, {"", "", "    X"}, 2, 5},
        {"escape split across feeds", {"\x1b[", "2;", "3HY"}, {"", "  Y"}, 1, 3},
        {"cursor up and right", {"\r\n\r\n\x1b[2A\x1b[4CZ"}, {"    Z"}, 0, 5},
        {"erase display", {"junk\r\nmore\x1b[2J\x1b[H"}, {"", ""}, 0, 0},
        {"erase to end of line", {"abcdef\x1b[1;3H\x1b[K"}, {"ab"}, 0, 2},
        {"long line wraps at the last column",
         {QByteArray(85, 'x')},
         {QString(80, 'x'), QString(5, 'x')},
         1,
         5},
        {"UTF-8 text", {"caf\xc3\xa9"}, {QStringLiteral("caf\u00e9")}, 0, 4},
        {"UTF-8 split across feeds", {"\xc3", "\xa9!"}, {QStringLiteral("\u00e9!")}, 0, 2},
    };
    for (const ScreenCase &c : cases) {
        TerminalScreen screen;
        for (const QByteArray &feed : c.feeds) {
            screen.feed(feed);
        }
        for (size_t row = 0; row < c.rows.size(); ++row) {
            EXPECT_EQ(screen.rowText(int(row)).toStdString(), c.rows[row].toStdString())
                << c.name << ", row " << row;
        }
        EXPECT_EQ(screen.cursorRow(), c.cursorRow) << c.name;
        EXPECT_EQ(screen.cursorColumn(), c.cursorColumn) << c.name;
    }
}

TEST(TerminalScreen, CellsCarryCharactersAndAttributes) {
    TerminalScreen screen;
    screen.feed("\x1b[1;4;7mB\x1b[0mN\x1b[31;42mC\x1b[0m\x1b[3;9mI");
    const TerminalCell bold = screen.cell(0, 0);
    EXPECT_EQ(bold.text, QStringLiteral("B"));
    EXPECT_TRUE(bold.bold);
    EXPECT_TRUE(bold.underline);
    EXPECT_TRUE(bold.reverse);
    EXPECT_TRUE(bold.foreground.isDefault);

    const TerminalCell plain = screen.cell(0, 1);
    EXPECT_EQ(plain.text, QStringLiteral("N"));
    EXPECT_FALSE(plain.bold || plain.underline || plain.reverse || plain.italic || plain.strike);

    const TerminalCell coloured = screen.cell(0, 2);
    EXPECT_FALSE(coloured.foreground.isDefault);
    EXPECT_GT(coloured.foreground.red, coloured.foreground.green);
    EXPECT_FALSE(coloured.background.isDefault);
    EXPECT_GT(coloured.background.green, coloured.background.red);

    const TerminalCell italic = screen.cell(0, 3);
    EXPECT_TRUE(italic.italic);
    EXPECT_TRUE(italic.strike);

    EXPECT_TRUE(screen.cell(0, 4).text.isEmpty());
    EXPECT_EQ(screen.cell(0, 4).width, 1);
    // Outside the screen: an empty cell, no crash.
    EXPECT_TRUE(screen.cell(-1, 0).text.isEmpty());
    EXPECT_TRUE(screen.cell(0, 80).text.isEmpty());
    EXPECT_TRUE(screen.cell(24, 0).text.isEmpty());
    EXPECT_TRUE(screen.rowText(99).isEmpty());
}

TEST(TerminalScreen, WideCharacterTakesTwoCells) {
    TerminalScreen screen;
    screen.feed("\xe4\xb8\xad!");
    EXPECT_EQ(screen.cell(0, 0).text, QStringLiteral("\u4e2d"));
    EXPECT_EQ(screen.cell(0, 0).width, 2);
    EXPECT_EQ(screen.cell(0, 1).width, 0);
    EXPECT_EQ(screen.cell(0, 2).text, QStringLiteral("!"));
    EXPECT_EQ(screen.rowText(0), QStringLiteral("\u4e2d!"));
}

TEST(TerminalScreen, SingleByteModeUsesTheAnsiCodePage) {
    TerminalScreen screen;
    screen.setSingleByte(true);
    screen.feed("caf\xe9 \x80");
    screen.feed("\x1b[1;1HC");
    EXPECT_EQ(screen.rowText(0), QStringLiteral("Caf\u00e9 \u20ac"));
    EXPECT_EQ(screen.encodeKey(Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00e9")),
              QByteArray("\xe9"));
    EXPECT_EQ(screen.encodeKey(Qt::Key_Up, Qt::NoModifier, {}), QByteArray("\x1b[A"));
}

TEST(TerminalScreen, SizesAreBoundedAndResizeKeepsText) {
    struct Case {
        int rows, columns, expectRows, expectColumns;
    };
    const Case cases[] = {
        {24, 80, 24, 80}, {25, 132, 25, 132},      {0, 0, 24, 80},
        {-5, -1, 24, 80}, {1000, 99999, 255, 512}, {1, 1, 1, 1},
    };
    for (const Case &c : cases) {
        TerminalScreen screen(c.rows, c.columns);
        EXPECT_EQ(screen.rows(), c.expectRows);
        EXPECT_EQ(screen.columns(), c.expectColumns);
        TerminalScreen resized;
        resized.resize(c.rows, c.columns);
        EXPECT_EQ(resized.rows(), c.expectRows);
        EXPECT_EQ(resized.columns(), c.expectColumns);
    }

    TerminalScreen screen;
    screen.feed("top\r\nsecond");
    QSignalSpy changed(&screen, &TerminalScreen::changed);
    screen.resize(10, 40);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(screen.rows(), 10);
    EXPECT_EQ(screen.columns(), 40);
    EXPECT_EQ(screen.rowText(0), QStringLiteral("top"));
    EXPECT_EQ(screen.rowText(1), QStringLiteral("second"));
    screen.feed("\x1b[H\x1b[2J" + QByteArray(45, 'y'));
    EXPECT_EQ(screen.rowText(0), QString(40, 'y'));
    EXPECT_EQ(screen.rowText(1), QString(5, 'y'));
    // The same size again changes nothing.
    changed.clear();
    screen.resize(10, 40);
    EXPECT_EQ(changed.count(), 0);
}

TEST(TerminalScreen, ChangedAnswerAndReset) {
    TerminalScreen screen;
    QSignalSpy changed(&screen, &TerminalScreen::changed);
    QSignalSpy answers(&screen, &TerminalScreen::answer);
    screen.feed("x");
    EXPECT_EQ(changed.count(), 1);
    screen.feed("");
    EXPECT_EQ(changed.count(), 1);

    // A cursor position report goes back to the host, nothing lands on the screen.
    screen.feed("\x1b[5;7H\x1b[6n");
    QByteArray answered;
    for (const QList<QVariant> &args : answers) {
        answered += args[0].toByteArray();
    }
    EXPECT_EQ(answered, QByteArray("\x1b[5;7R"));

    screen.feed("\x1b[?25l");
    EXPECT_FALSE(screen.cursorVisible());
    screen.reset();
    EXPECT_TRUE(screen.cursorVisible());
    EXPECT_TRUE(screen.rowText(0).isEmpty());
    EXPECT_EQ(screen.cursorRow(), 0);
    EXPECT_EQ(screen.cursorColumn(), 0);
}

TEST(TerminalScreen, KeysAsTheTerminalSendsThem) {
    struct Case {
        const char *name;
        QByteArray hostModes; // what the host set before the key
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"letter", {}, Qt::Key_A, Qt::NoModifier, "a", "a"},
        {"shifted letter", {}, Qt::Key_A, Qt::ShiftModifier, "A", "A"},
        {"non-ASCII text in UTF-8", {}, Qt::Key_Eacute, Qt::NoModifier, "\u00e9", "\xc3\xa9"},
        {"Enter is CR", {}, Qt::Key_Return, Qt::NoModifier, "\r", "\r"},
        {"keypad Enter is CR", {}, Qt::Key_Enter, Qt::KeypadModifier, "\r", "\r"},
        {"Backspace is DEL", {}, Qt::Key_Backspace, Qt::NoModifier, "\b", "\x7f"},
        {"Tab", {}, Qt::Key_Tab, Qt::NoModifier, "\t", "\t"},
        {"Shift+Tab", {}, Qt::Key_Backtab, Qt::ShiftModifier, {}, "\x1b[Z"},
        {"Escape", {}, Qt::Key_Escape, Qt::NoModifier, "\x1b", "\x1b"},
        {"Up", {}, Qt::Key_Up, Qt::NoModifier, {}, "\x1b[A"},
        {"Down", {}, Qt::Key_Down, Qt::NoModifier, {}, "\x1b[B"},
        {"Right", {}, Qt::Key_Right, Qt::NoModifier, {}, "\x1b[C"},
        {"Left", {}, Qt::Key_Left, Qt::NoModifier, {}, "\x1b[D"},
        {"Up in application cursor mode", "\x1b[?1h", Qt::Key_Up, Qt::NoModifier, {}, "\x1bOA"},
        {"Left in application cursor mode", "\x1b[?1h", Qt::Key_Left, Qt::NoModifier, {}, "\x1bOD"},
        {"F1", {}, Qt::Key_F1, Qt::NoModifier, {}, "\x1bOP"},
        {"F5", {}, Qt::Key_F5, Qt::NoModifier, {}, "\x1b[15~"},
        {"Delete", {}, Qt::Key_Delete, Qt::NoModifier, {}, "\x1b[3~"},
        {"Page Down", {}, Qt::Key_PageDown, Qt::NoModifier, {}, "\x1b[6~"},
        {"Ctrl+C", {}, Qt::Key_C, Qt::ControlModifier, "\x03", "\x03"},
        {"Ctrl+C without text", {}, Qt::Key_C, Qt::ControlModifier, {}, "\x03"},
        {"Ctrl+[", {}, Qt::Key_BracketLeft, Qt::ControlModifier, {}, "\x1b"},
        {"Ctrl+Space is NUL", {}, Qt::Key_Space, Qt::ControlModifier, {}, QByteArray(1, '\0')},
        {"Alt+x", {}, Qt::Key_X, Qt::AltModifier, "x", "\x1bx"},
        {"keypad digit", {}, Qt::Key_5, Qt::KeypadModifier, "5", "5"},
        {"keypad digit in application keypad mode", "\x1b=", Qt::Key_5, Qt::KeypadModifier, "5",
         "\x1bOu"},
        {"a modifier alone sends nothing", {}, Qt::Key_Shift, Qt::ShiftModifier, {}, {}},
    };
    for (const Case &c : cases) {
        TerminalScreen screen;
        QSignalSpy answers(&screen, &TerminalScreen::answer);
        screen.feed(c.hostModes);
        EXPECT_EQ(screen.encodeKey(c.key, c.modifiers, c.text).toStdString(), c.bytes.toStdString())
            << c.name;
        // Key bytes are returned, never sent as an answer.
        EXPECT_EQ(answers.count(), 0) << c.name;
    }
}

} // namespace
} // namespace zelp::test
