#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>

namespace zelp {

// The telnet option negotiation of a client: separates the host's data from its commands,
// answers the terminal type, accepts remote echo and suppressed go-ahead, refuses the rest.
class TelnetProtocol {
public:
    // Telnet command and option codes.
    enum Code : uint8_t {
        SE = 240,
        NOP = 241,
        SB = 250,
        WILL = 251,
        WONT = 252,
        DO = 253,
        DONT = 254,
        IAC = 255,
        OptEcho = 1,
        OptSuppressGoAhead = 3,
        OptTerminalType = 24,
        TerminalTypeIs = 0,
        TerminalTypeSend = 1,
    };

    struct Output {
        QByteArray screen; // the host's data, commands removed
        QByteArray reply;  // negotiation answers to send back to the host
    };

    // An empty or unusable terminal type is sent as "VT100".
    explicit TelnetProtocol(const QByteArray &terminalType = {});

    // Takes the next bytes from the host; a command may be split across calls.
    Output feed(QByteArrayView bytes);
    // Forgets the negotiated options and any half-read command, for a new connection.
    void reset();

    // The name sent in answer to the host's terminal-type request.
    QByteArray terminalType() const { return terminalType_; }
    // True once the host echoes what we send.
    bool remoteEcho() const { return remote_[OptEcho] == Option::Yes; }

    // Keys as they go on the wire: 255 doubled, a bare CR followed by NUL.
    static QByteArray encode(QByteArrayView keys);

private:
    enum class Parse : uint8_t { Data, Command, Option, Sub, SubCommand };
    // Refused: answered once with a refusal, further requests are not answered again.
    enum class Option : uint8_t { No, Yes, Refused };

    void afterIac(uint8_t byte);
    void command(uint8_t verb, uint8_t option, QByteArray &reply);
    void subnegotiation(QByteArray &reply);

    QByteArray terminalType_;
    Parse parse_ = Parse::Data;
    uint8_t verb_ = 0;
    QByteArray sub_;
    bool subOverflow_ = false;
    std::array<Option, 256> local_{};
    std::array<Option, 256> remote_{};
};

} // namespace zelp
