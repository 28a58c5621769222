#include "client/connection/telnetprotocol.h"
#include "client/widgets/terminalscreen.h"

#include <QObject>

#include <cstdlib>

// Any bytes from a host, cut into reads where the input says: the telnet parser takes the
// commands out, the terminal screen the rest. Never a crash or a hang, answers stay in
// proportion to what came in, and the cursor stays on the screen.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const uint8_t mode = data[0];
    const qsizetype step = 1 + data[1];
    const QByteArrayView input(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    zelp::TelnetProtocol protocol("VT220");
    zelp::TerminalScreen screen(1 + mode % 30, 1 + mode % 90);
    screen.setSingleByte(mode & 0x80);
    qsizetype answered = 0;
    QObject::connect(&screen, &zelp::TerminalScreen::answer,
                     [&](const QByteArray &bytes) { answered += bytes.size(); });
    qsizetype replied = 0;
    for (qsizetype at = 0; at < input.size(); at += step) {
        const auto out = protocol.feed(input.sliced(at, std::min(step, input.size() - at)));
        replied += out.reply.size();
        screen.feed(out.screen);
    }
    if (replied > 2 * input.size() + 64 || answered > 64 * (input.size() + 1) ||
        screen.cursorRow() < 0 || screen.cursorRow() >= screen.rows() ||
        screen.cursorColumn() < 0 || screen.cursorColumn() > screen.columns()) {
        std::abort();
    }
    return 0;
}
