#include "client/widgets/terminalview.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace zelp::test {
namespace {

TEST(TerminalView, SizedToRowsAndColumnsOfItsFont) {
    TerminalView view;
    struct Case {
        int rows, columns, pointSize;
    };
    const Case cases[] = {{24, 80, 10}, {25, 132, 10}, {24, 80, 16}, {10, 40, 8}};
    for (const Case &c : cases) {
        view.setTerminalFont(QString(), c.pointSize);
        view.setTerminalSize(c.rows, c.columns);
        const QFontMetrics metrics(view.terminalFont());
        EXPECT_EQ(view.cellSize(),
                  QSize(metrics.horizontalAdvance(QLatin1Char('M')), metrics.height()));
        EXPECT_EQ(view.sizeHint(),
                  QSize(view.cellSize().width() * c.columns, view.cellSize().height() * c.rows));
        EXPECT_EQ(view.terminalFont().pointSize(), c.pointSize);
    }
    const QSize small = view.cellSize();
    view.setTerminalFont(QString(), 20);
    EXPECT_GT(view.cellSize().height(), small.height());
    // No family and no size: the system's fixed font.
    view.setTerminalFont(QString(), 0);
    EXPECT_TRUE(view.terminalFont().fixedPitch());
    EXPECT_GT(view.terminalFont().pointSizeF(), 0);
}

TEST(TerminalView, KeysAreForwardedOnlyWhileASessionRuns) {
    TerminalView view;
    QSignalSpy keys(&view, &TerminalView::keyPressed);
    EXPECT_TRUE(view.isIdle());
    QTest::keyClick(&view, Qt::Key_A);
    EXPECT_EQ(keys.count(), 0);

    view.setIdle(false);
    QTest::keyClick(&view, Qt::Key_A);
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_Up);
    QTest::keyClick(&view, Qt::Key_Tab);
    QByteArray sent;
    for (const QList<QVariant> &args : keys) {
        sent += args[0].toByteArray();
    }
    EXPECT_EQ(sent.toStdString(), std::string("a\r\x7f\x1b[A\t"));
}

TEST(TerminalView, PaintsTheScreenOrTheTitlePage) {
    TerminalView view;
    view.setTerminalFont(QString(), 12);
    view.setTerminalSize(4, 10);
    view.resize(view.sizeHint());
    view.setTitle(QStringLiteral("Payroll host"));
    view.setStatusText(QStringLiteral("Not connected"));

    const QImage idle = view.grab().toImage();
    const QRgb idleCorner = idle.pixel(0, 0);
    const QRgb idleMiddle = idle.pixel(idle.width() / 2, idle.height() / 2 - 2);
    EXPECT_EQ(qBlue(idleCorner), 0x80);

    view.setIdle(false);
    // A red background cell at the top left, a blank screen elsewhere.
    view.screen()->feed("\x1b[41m \x1b[0m");
    const QImage screen = view.grab().toImage();
    const QSize cell = view.cellSize();
    const QRgb red = screen.pixel(cell.width() / 2, cell.height() / 2);
    EXPECT_GT(qRed(red), 0x80);
    EXPECT_LT(qGreen(red), 0x40);
    const QRgb blank = screen.pixel(cell.width() * 5 + 1, cell.height() * 2 + 1);
    EXPECT_EQ(qRgb(qRed(blank), qGreen(blank), qBlue(blank)), qRgb(0, 0, 0));
    EXPECT_NE(idleMiddle, screen.pixel(idle.width() / 2, idle.height() / 2 - 2));
}

} // namespace
} // namespace zelp::test
