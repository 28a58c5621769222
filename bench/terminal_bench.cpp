#include "client/connection/telnetprotocol.h"
#include "client/widgets/terminalscreen.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

namespace {

// About 1 MB of typical host output: coloured lines, cursor moves, the odd screen clear.
QByteArray hostOutput() {
    QByteArray chunk;
    for (int line = 0; line < 24; ++line) {
        chunk += "\x1b[" + QByteArray::number(line + 1) + ";1H\x1b[1;32mITEM-" +
                 QByteArray::number(line) + "\x1b[0m  quantity " + QByteArray::number(line * 37) +
                 "  description of the stock item\r\n";
    }
    chunk += "\x1b[2J";
    QByteArray out;
    while (out.size() < 1024 * 1024) {
        out += chunk;
    }
    return out;
}

// The same output with telnet commands in it, as it comes off the wire.
QByteArray wireOutput() {
    const QByteArray data = hostOutput();
    QByteArray out;
    out.reserve(data.size() + data.size() / 100);
    for (qsizetype i = 0; i < data.size(); i += 1000) {
        out += data.mid(i, 1000);
        out += QByteArray("\xff\xf1\xff\xff", 4); // NOP and a literal 255
    }
    return out;
}

void BM_TerminalScreenFeed(benchmark::State &state) {
    const QByteArray data = hostOutput();
    const qsizetype chunk = state.range(0);
    for (auto _ : state) {
        zelp::TerminalScreen screen;
        for (qsizetype i = 0; i < data.size(); i += chunk) {
            screen.feed(QByteArrayView(data.constData() + i, std::min(chunk, data.size() - i)));
        }
        benchmark::DoNotOptimize(screen.cursorRow());
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_TerminalScreenFeed)->Arg(512)->Arg(16384);

void BM_TelnetProtocolFeed(benchmark::State &state) {
    const QByteArray data = wireOutput();
    for (auto _ : state) {
        zelp::TelnetProtocol protocol("VT100");
        qsizetype shown = 0;
        for (qsizetype i = 0; i < data.size(); i += 4096) {
            shown += protocol
                         .feed(QByteArrayView(data.constData() + i,
                                              std::min<qsizetype>(4096, data.size() - i)))
                         .screen.size();
        }
        benchmark::DoNotOptimize(shown);
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_TelnetProtocolFeed);

void BM_TerminalScreenReadCells(benchmark::State &state) {
    zelp::TerminalScreen screen;
    screen.feed(hostOutput().left(4000));
    for (auto _ : state) {
        int filled = 0;
        for (int row = 0; row < screen.rows(); ++row) {
            for (int column = 0; column < screen.columns(); ++column) {
                filled += screen.cell(row, column).text.isEmpty() ? 0 : 1;
            }
        }
        benchmark::DoNotOptimize(filled);
    }
}
BENCHMARK(BM_TerminalScreenReadCells);

} // namespace

BENCHMARK_MAIN();
