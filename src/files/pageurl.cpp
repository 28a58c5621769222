#include "pageurl.h"

#include "common/ansi.h"

#include <QList>

namespace zelp {

namespace {

bool needsEncoding(char32_t c) {
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
        return true;
    }
    switch (c) {
    case U'"':
    case U'\'':
    case U'<':
    case U'>':
    case U'&':
    case U'\\':
    case U'#':
    case U'?':
    case U'%': // else a browser decodes "p%20q" to "p q"
        return true;
    default:
        break;
    }
    if (c < 0x80) {
        return false;
    }
    const QString one = QString::fromUcs4(&c, 1);
    return Ansi::toUnicode(Ansi::fromUnicode(one)) != one;
}

void appendEncoded(QString &out, char32_t c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char byte : QString::fromUcs4(&c, 1).toUtf8()) {
        const auto b = static_cast<unsigned char>(byte);
        out += QLatin1Char('%');
        out += QLatin1Char(kHex[b >> 4]);
        out += QLatin1Char(kHex[b & 15]);
    }
}

} // namespace

QString pageUrlOf(const QString &fileName) {
    QString out;
    out.reserve(fileName.size());
    for (const char32_t c : fileName.toUcs4()) {
        if (needsEncoding(c)) {
            appendEncoded(out, c);
        } else {
            out += QString::fromUcs4(&c, 1);
        }
    }
    return out;
}

} // namespace zelp
