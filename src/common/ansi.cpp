#include "ansi.h"

#include <array>

namespace zelp::Ansi {

namespace {

// 0x80..0x9F; the five unassigned codes map to the C1 controls of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t decode(unsigned char c) {
    return (c >= 0x80 && c <= 0x9F) ? kHigh[c - 0x80] : static_cast<char16_t>(c);
}

char encode(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return static_cast<char>(u);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == u) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

QString toUnicode(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[static_cast<qsizetype>(i)] = QChar(decode(static_cast<unsigned char>(bytes[i])));
    }
    return out;
}

QString toUnicode(const QByteArray &bytes) {
    return toUnicode(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string fromUnicode(const QString &text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i; // one character outside the code page, one "?"
        }
        out += encode(c.unicode());
    }
    return out;
}

QByteArray bytesFromUnicode(const QString &text) {
    const std::string s = fromUnicode(text);
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace zelp::Ansi
