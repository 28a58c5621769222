#include "client/widgets/previewcontroller.h"
#include "client/widgets/terminalscreen.h"
#include "client/widgets/terminalview.h"

#include "telnethost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace zelp::test {
namespace {

using State = TelnetSession::State;

QByteArray joined(const QSignalSpy &spy) {
    QByteArray all;
    for (const QList<QVariant> &args : spy) {
        all += args[0].toByteArray();
    }
    return all;
}

TEST(TerminalScreen, CellsCarryCharactersAttributesAndWidth) {
    TerminalScreen screen;
    screen.feed("\x1b[1;4;7mB\x1b[0mN\x1b[31;42mC\x1b[0m\x1b[3;9mI\x1b[0m\xe4\xb8\xad!");
    // Each cell as its text, width and the letters of its attributes.
    auto described = [&](int column) {
        const TerminalCell c = screen.cell(0, column);
        return c.text + QString::number(c.width) + (c.bold ? "b" : "") + (c.underline ? "u" : "") +
               (c.reverse ? "r" : "") + (c.italic ? "i" : "") + (c.strike ? "s" : "");
    };
    const QString expected[] = {"B1bur", "N1", "C1", "I1is", QStringLiteral("\u4e2d2"), "0", "!1"};
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(described(column), expected[column]) << column;
    }
    EXPECT_EQ(screen.rowText(0), QStringLiteral("BNCI\u4e2d!"));
    EXPECT_TRUE(screen.cell(0, 0).foreground.isDefault);
    const TerminalCell coloured = screen.cell(0, 2);
    EXPECT_FALSE(coloured.foreground.isDefault || coloured.background.isDefault);
    EXPECT_GT(coloured.foreground.red, coloured.foreground.green);
    EXPECT_GT(coloured.background.green, coloured.background.red);
    // Outside the screen: an empty cell, no crash.
    for (const auto &[row, column] : {std::pair(-1, 0), {0, 80}, {24, 0}}) {
        EXPECT_TRUE(screen.cell(row, column).text.isEmpty());
    }
    EXPECT_TRUE(screen.rowText(99).isEmpty());
}

TEST(TerminalScreen, SizesResizeSingleByteAndReset) {
    const int cases[][4] = {{25, 132, 25, 132},
                            {0, 0, 24, 80},
                            {-5, -1, 24, 80},
                            {1000, 99999, 255, 512},
                            {1, 1, 1, 2}};
    for (const auto &c : cases) {
        TerminalScreen screen(c[0], c[1]), resized;
        resized.resize(c[0], c[1]);
        EXPECT_EQ(QSize(screen.columns(), screen.rows()), QSize(c[3], c[2]));
        EXPECT_EQ(QSize(resized.columns(), resized.rows()), QSize(c[3], c[2]));
    }
    TerminalScreen screen;
    QSignalSpy changed(&screen, &TerminalScreen::changed);
    screen.feed("top\r\nsecond");
    screen.feed("");
    screen.resize(10, 40);
    screen.resize(10, 40); // the same size again changes nothing
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(screen.rowText(0) + screen.rowText(1), QStringLiteral("topsecond"));
    screen.feed("\x1b[H\x1b[2J" + QByteArray(45, 'y'));
    EXPECT_EQ(screen.rowText(0) + "|" + screen.rowText(1), QString(40, 'y') + "|yyyyy");
    screen.feed("\x1b[?25l");
    EXPECT_FALSE(screen.cursorVisible());
    screen.reset();
    EXPECT_TRUE(screen.cursorVisible());
    EXPECT_TRUE(screen.rowText(0).isEmpty());
    EXPECT_EQ(QPoint(screen.cursorColumn(), screen.cursorRow()), QPoint(0, 0));
    screen.setSingleByte(true);
    screen.feed("caf\xe9 \x80\x1b[1;1HC");
    EXPECT_EQ(screen.rowText(0), QStringLiteral("Caf\u00e9 \u20ac"));
    EXPECT_EQ(screen.encodeKey(Qt::Key_Eacute, {}, QStringLiteral("\u00e9")), "\xe9");
}

TEST(TerminalScreen, TextAndCursorAndAHostileHostCannotCrashItOrMakeItAnswerWithoutEnd) {
    const QByteArray request = "\x1bP$q\"p\x1b\\", invalid = "\x1bP0$r\x1b\\";
    struct Case {
        const char *name;
        std::vector<QByteArray> feeds; // one call of feed each
        QString rows;                  // the top rows, joined by '|'
        QByteArray answers;
        std::optional<QPoint> cursor = {}; // column and row
    };
    const Case cases[] = {
        {"CR LF", {"ab\r\ncd"}, "ab|cd", "", QPoint(2, 1)},
        {"LF alone", {"ab\ncd"}, "ab|  cd", "", QPoint(4, 1)},
        {"split sequence", {"\x1b[", "2;", "3HY"}, "|  Y", "", QPoint(3, 1)},
        {"wrap", {QByteArray(85, 'x')}, QString(80, 'x') + "|xxxxx", "", QPoint(5, 1)},
        {"UTF-8 split", {"caf\xc3\xa9", "\xc3", "\xa9!"}, "caf\u00e9\u00e9!", "", QPoint(6, 0)},
        {"2 feeds", {"caf\xc3", "\xa9!"}, "caf\u00e9!", "", QPoint(5, 0)},
        {"3 feeds", {"1\xe2\x82", "\xac\x32\xe2", "\x82\xac"}, "1\u20ac2\u20ac", "", QPoint(4, 0)},
        // One read of 4 MiB or more overflowed libvterm's stack.
        {"huge read", {QByteArray(4 << 20, 'x') + "\x1b[Hok"}, "ok" + QString(78, 'x'), ""},
        {"status request", {"a" + request + "b"}, "ab", invalid},
        {"split request", {"a\x1b", "P$", "q\"p\x1b", "\\b\x1b[6n"}, "ab", invalid + "\x1b[1;3R"},
        {"repeat requests hung it", {"\x1b[b\x1b[6", "b\x1b[?5b\x1b[5 bok"}, "ok", ""},
        {"an intermediate before a repeat", {"\x1b,[b\x1b$ [6bok"}, "ok", ""},
        {"an escape before a repeat", {"\x1b\x1b[b[b\x1b$\x1b", "[bok"}, "[bok", ""},
        {"a stray byte in a repeat", {"\x1b[\2516b\x1b[\3646bok"}, "ok", ""},
        {"C1 characters then an erase", {"a\xc2\x81\xc2\x9b\x1b[Xb"}, "ab", ""},
        {"a character cut by a control", {"a\xc2\x01\x81\x1b[Xb"}, "a\uFFFD\uFFFDb", ""},
        {"a control inside", {"a\x1b\x07P$q\"p\x1b\\b"}, "ab", invalid},
        {"an intermediate before", {"a\x1b$P$qp\x1b\\b"}, "ab", invalid},
        {"a character before", {"a\x1b\xc2\xbcP$qp\x1b\\b"}, "ab", invalid},
        {"many intermediates", {"a\x1b" + QByteArray(80, '$') + "P$qp\x1b\\b"}, "ab", invalid},
        {"too many arguments", {"\x1b[;" + QByteArray(20, ':') + "[ok"}, "ok", ""},
        {"others dropped", {"\x1bP1;2|x\x1b\\a\x1bPq\030b\x1bP$q\x1b[6n"}, "ab", "\x1b[1;3R"},
    };
    for (const Case &c : cases) {
        TerminalScreen screen;
        QSignalSpy answers(&screen, &TerminalScreen::answer);
        for (const QByteArray &feed : c.feeds) {
            screen.feed(feed);
        }
        QStringList shown;
        for (int row = 0; row <= c.rows.count(QLatin1Char('|')); ++row) {
            shown << screen.rowText(row);
        }
        EXPECT_EQ(shown.join(QLatin1Char('|')), c.rows) << c.name;
        EXPECT_EQ(joined(answers), c.answers) << c.name;
        if (c.cursor) {
            EXPECT_EQ(QPoint(screen.cursorColumn(), screen.cursorRow()), *c.cursor) << c.name;
        }
    }
}

TEST(TerminalScreen, KeysAsTheTerminalSendsThem) {
    using enum Qt::KeyboardModifier;
    // The modes the host set before the key, the key, its modifiers and text, the bytes.
    const std::tuple<QByteArray, int, Qt::KeyboardModifiers, QString, QByteArray> cases[] = {
        {{}, Qt::Key_A, NoModifier, "a", "a"},
        {{}, Qt::Key_Eacute, NoModifier, "\u00e9", "\xc3\xa9"},
        {{}, Qt::Key_Return, NoModifier, "\r", "\r"},
        {{}, Qt::Key_Enter, KeypadModifier, "\r", "\r"},
        {{}, Qt::Key_Backspace, NoModifier, "\b", "\x7f"},
        {{}, Qt::Key_Backtab, ShiftModifier, {}, "\x1b[Z"},
        {{}, Qt::Key_Up, NoModifier, {}, "\x1b[A"},
        {"\x1b[?1h", Qt::Key_Up, NoModifier, {}, "\x1bOA"},
        {{}, Qt::Key_F1, NoModifier, {}, "\x1bOP"},
        {{}, Qt::Key_Delete, NoModifier, {}, "\x1b[3~"},
        {{}, Qt::Key_C, ControlModifier, {}, "\x03"},
        {{}, Qt::Key_BracketLeft, ControlModifier, {}, "\x1b"},
        {{}, Qt::Key_Space, ControlModifier, {}, QByteArray(1, '\0')},
        {{}, Qt::Key_X, AltModifier, "x", "\x1bx"},
        {"\x1b=", Qt::Key_5, KeypadModifier, "5", "\x1bOu"},
        {{}, Qt::Key_Shift, ShiftModifier, {}, {}},
    };
    for (const auto &[hostModes, key, modifiers, text, bytes] : cases) {
        TerminalScreen screen;
        QSignalSpy answers(&screen, &TerminalScreen::answer);
        screen.feed(hostModes);
        EXPECT_EQ(screen.encodeKey(key, modifiers, text), bytes) << key;
        EXPECT_EQ(answers.count(), 0) << "key bytes are returned, never sent as an answer";
    }
}

TEST(TerminalView, SizeFollowsTheFontKeysOnlyWhileASessionRunsAndPainting) {
    TerminalView view;
    for (const auto &[rows, columns, points] : {std::tuple(24, 80, 10), {25, 132, 16}}) {
        view.setTerminalFont(QString(), points);
        view.setTerminalSize(rows, columns);
        const QSize cell = view.cellSize();
        EXPECT_EQ(view.sizeHint(), QSize(cell.width() * columns, cell.height() * rows));
    }
    view.setTerminalFont(QString(), 0); // no family and no size: the system's fixed font
    EXPECT_TRUE(view.terminalFont().fixedPitch());
    EXPECT_GT(view.terminalFont().pointSizeF(), 0);

    QSignalSpy keys(&view, &TerminalView::keyPressed);
    EXPECT_TRUE(view.isIdle());
    QTest::keyClick(&view, Qt::Key_A);
    view.setIdle(false);
    for (const Qt::Key key :
         {Qt::Key_A, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Up, Qt::Key_Tab}) {
        QTest::keyClick(&view, key);
    }
    EXPECT_EQ(joined(keys), QByteArray("a\r\x7f\x1b[A\t")) << "Tab is a key, not a focus move";

    // Painted: the title page while idle, the screen while a session runs.
    view.setIdle(true);
    view.setTerminalFont(QString(), 12);
    view.setTerminalSize(4, 10);
    view.resize(view.sizeHint());
    view.setTitle(QStringLiteral("Payroll host"));
    view.setStatusText(QStringLiteral("Not connected"));
    const QImage idle = view.grab().toImage();
    const QPoint middle(idle.width() / 2, idle.height() / 2 - 2);

    view.setIdle(false);
    view.screen()->feed("\x1b[41m \x1b[0m"); // a red cell at the top left, blank elsewhere
    const QImage screen = view.grab().toImage();
    const QSize cell = view.cellSize();
    const QRgb red = screen.pixel(cell.width() / 2, cell.height() / 2);
    EXPECT_GT(qRed(red), 0x80);
    EXPECT_LT(qGreen(red), 0x40);
    EXPECT_EQ(screen.pixel(cell.width() * 5 + 1, cell.height() * 2 + 1) & 0xffffff, 0u);
    EXPECT_NE(idle.pixel(middle), screen.pixel(middle));
}

PreviewParams paramsFor(quint16 port, QString host = QStringLiteral("127.0.0.1")) {
    return {host, QString::number(port), "VT220", 5, 25, 80, {}, 11, "Stock control"};
}

TEST(PreviewController, SessionWithATelnetHostThenAnotherThatHangsUpThenTheViewGoes) {
    TelnetHost host;
    ASSERT_TRUE(host.listen());
    auto view = std::make_unique<TerminalView>();
    view->show();
    PreviewController preview(view.get());
    EXPECT_TRUE(view->isIdle());
    EXPECT_EQ(view->statusText(), QStringLiteral("Not connected"));
    PreviewParams idle = paramsFor(23);
    idle.rows = 30;
    preview.apply(idle);
    EXPECT_EQ(view->screen()->rows(), 30);
    EXPECT_EQ(view->terminalFont().pointSize(), 11);

    QSignalSpy states(&preview, &PreviewController::stateChanged);
    preview.Connect(paramsFor(host.port()));
    EXPECT_EQ(view->statusText(), QStringLiteral("Connecting to 127.0.0.1:%1...").arg(host.port()));
    EXPECT_TRUE(preview.isConnected());
    ASSERT_TRUE(WaitUntil([&] { return preview.state() == State::Connected; }));
    EXPECT_FALSE(view->isIdle());
    EXPECT_EQ(QSize(view->screen()->columns(), view->screen()->rows()), QSize(80, 25));
    // Keys typed in the view and the terminal's answers to the host's queries reach the host.
    QTest::keyClicks(view.get(), QStringLiteral("ls"));
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([&] { return host.received().endsWith(QByteArray("ls\r", 4)); }));
    host.send("\x1b[3;4H\x1b[6n");
    EXPECT_TRUE(WaitUntil([&] { return host.received().contains("\x1b[3;4R"); }));

    // Connecting again leaves the first host and starts on a clear screen.
    TelnetHost second("Second host\r\n");
    ASSERT_TRUE(second.listen());
    preview.Connect(paramsFor(second.port()));
    EXPECT_EQ(std::as_const(*view).screen()->rowText(0), QString());
    EXPECT_TRUE(WaitUntil([&] { return view->screen()->rowText(0) == "Second host"; }));
    EXPECT_TRUE(WaitUntil([&] { return host.clientGone(); }));
    second.hangUp();
    EXPECT_TRUE(WaitUntil([&] { return preview.state() == State::Closed; }));
    EXPECT_TRUE(view->isIdle());
    EXPECT_EQ(view->statusText(),
              QStringLiteral("Connection closed by 127.0.0.1:%1").arg(second.port()));
    ASSERT_GE(states.count(), 3);
    EXPECT_EQ(states[0][0].value<State>(), State::Connecting);
    EXPECT_EQ(states[1][0].value<State>(), State::Connected);
    EXPECT_EQ(states.last()[0].value<State>(), State::Closed);

    // The view going away ends the session; without a view nothing is shown, and nothing breaks.
    TelnetHost third;
    ASSERT_TRUE(third.listen());
    preview.Connect(paramsFor(third.port()));
    ASSERT_TRUE(WaitUntil([&] { return preview.state() == State::Connected; }));
    view.reset();
    EXPECT_EQ(preview.view(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return third.clientGone(); }));
    EXPECT_EQ(preview.state(), State::Closed);
    preview.apply(paramsFor(third.port()));
    preview.Connect(paramsFor(TelnetHost::freePort()));
    EXPECT_TRUE(WaitUntil([&] { return preview.state() == State::Failed; }));
}

TEST(PreviewController, ErrorsShowInTheViewWithoutADialog) {
    const quint16 free = TelnetHost::freePort();
    ASSERT_NE(free, 0);
    // Host, port, and what the view says.
    const std::tuple<QString, QString, QString> cases[] = {
        {"127.0.0.1", QString::number(free),
         QStringLiteral("Unable to connect to 127.0.0.1:%1 - connection refused").arg(free)},
        {"", "", "Unable to connect - no host name is set"},
        {"127.0.0.1", "x23", "Unable to connect to 127.0.0.1 - \"x23\" is not a port number"},
    };
    for (const auto &[host, port, status] : cases) {
        TerminalView view;
        PreviewController preview(&view);
        PreviewParams params = paramsFor(0, host);
        params.port = port;
        preview.Connect(params);
        EXPECT_TRUE(WaitUntil([&] { return preview.state() == State::Failed; }));
        EXPECT_TRUE(view.isIdle());
        EXPECT_EQ(view.statusText(), status);
        EXPECT_EQ(view.title(), QStringLiteral("Stock control"));
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

} // namespace
} // namespace zelp::test
