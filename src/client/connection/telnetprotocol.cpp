#include "telnetprotocol.h"

namespace zelp {

namespace {

// No sub-negotiation we answer is longer; anything longer is read to its end and dropped.
constexpr qsizetype kMaxSub = 512;
// Terminal type names are at most 40 characters of printable ASCII.
constexpr qsizetype kMaxTerminalType = 40;

bool weOffer(uint8_t option) {
    return option == TelnetProtocol::OptTerminalType;
}

bool weAccept(uint8_t option) {
    return option == TelnetProtocol::OptEcho || option == TelnetProtocol::OptSuppressGoAhead;
}

void put(QByteArray &out, uint8_t verb, uint8_t option) {
    out.append(char(TelnetProtocol::IAC));
    out.append(char(verb));
    out.append(char(option));
}

QByteArray cleanTerminalType(const QByteArray &type) {
    QByteArray clean;
    for (const char c : type) {
        if (c > ' ' && c < 127 && clean.size() < kMaxTerminalType) {
            clean.append(c);
        }
    }
    return clean.isEmpty() ? QByteArrayLiteral("VT100") : clean;
}

} // namespace

TelnetProtocol::TelnetProtocol(const QByteArray &terminalType)
    : terminalType_(cleanTerminalType(terminalType)) {
    reset();
}

void TelnetProtocol::reset() {
    parse_ = Parse::Data;
    verb_ = 0;
    sub_.clear();
    subOverflow_ = false;
    local_.fill(Option::No);
    remote_.fill(Option::No);
}

TelnetProtocol::Output TelnetProtocol::feed(QByteArrayView bytes) {
    Output out;
    out.screen.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto byte = static_cast<uint8_t>(ch);
        switch (parse_) {
        case Parse::Data:
            if (byte == IAC) {
                parse_ = Parse::Command;
            } else {
                out.screen.append(ch);
            }
            break;
        case Parse::Command:
            if (byte == IAC) {
                out.screen.append(ch);
                parse_ = Parse::Data;
            } else {
                afterIac(byte);
            }
            break;
        case Parse::Option:
            command(verb_, byte, out.reply);
            parse_ = Parse::Data;
            break;
        case Parse::Sub:
            if (byte == IAC) {
                parse_ = Parse::SubCommand;
            } else if (sub_.size() < kMaxSub) {
                sub_.append(ch);
            } else {
                subOverflow_ = true;
            }
            break;
        case Parse::SubCommand:
            if (byte == IAC) {
                if (sub_.size() < kMaxSub) {
                    sub_.append(ch);
                } else {
                    subOverflow_ = true;
                }
                parse_ = Parse::Sub;
            } else if (byte == SE) {
                if (!subOverflow_) {
                    subnegotiation(out.reply);
                }
                sub_.clear();
                parse_ = Parse::Data;
            } else {
                // A command inside a sub-negotiation ends it unanswered; the command counts.
                afterIac(byte);
            }
            break;
        }
    }
    return out;
}

void TelnetProtocol::afterIac(uint8_t byte) {
    sub_.clear();
    subOverflow_ = false;
    if (byte >= WILL && byte <= DONT) {
        verb_ = byte;
        parse_ = Parse::Option;
    } else if (byte == SB) {
        parse_ = Parse::Sub;
    } else {
        // NOP, data mark, go-ahead and the rest carry nothing for the screen.
        parse_ = Parse::Data;
    }
}

void TelnetProtocol::command(uint8_t verb, uint8_t option, QByteArray &reply) {
    // Only a change of state is answered, and each refusal is sent once, so that two sides
    // that disagree never answer each other in a loop.
    switch (verb) {
    case DO:
        if (local_[option] == Option::No) {
            const bool agree = weOffer(option);
            local_[option] = agree ? Option::Yes : Option::Refused;
            put(reply, agree ? WILL : WONT, option);
        }
        break;
    case DONT:
        if (local_[option] == Option::Yes) {
            local_[option] = Option::No;
            put(reply, WONT, option);
        }
        break;
    case WILL:
        if (remote_[option] == Option::No) {
            const bool agree = weAccept(option);
            remote_[option] = agree ? Option::Yes : Option::Refused;
            put(reply, agree ? DO : DONT, option);
        }
        break;
    case WONT:
        if (remote_[option] == Option::Yes) {
            remote_[option] = Option::No;
            put(reply, DONT, option);
        }
        break;
    default:
        break;
    }
}

void TelnetProtocol::subnegotiation(QByteArray &reply) {
    if (sub_.size() == 2 && uint8_t(sub_[0]) == OptTerminalType &&
        uint8_t(sub_[1]) == TerminalTypeSend && local_[OptTerminalType] == Option::Yes) {
        reply.append(char(IAC));
        reply.append(char(SB));
        reply.append(char(OptTerminalType));
        reply.append(char(TerminalTypeIs));
        reply.append(terminalType_);
        reply.append(char(IAC));
        reply.append(char(SE));
    }
}

QByteArray TelnetProtocol::encode(QByteArrayView keys) {
    QByteArray wire;
    wire.reserve(keys.size() + 2);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const char c = keys[i];
        wire.append(c);
        if (uint8_t(c) == IAC) {
            wire.append(c);
        } else if (c == '\r' && (i + 1 == keys.size() || keys[i + 1] != '\n')) {
            wire.append('\0');
        }
    }
    return wire;
}

} // namespace zelp
