#include "terminalscreen.h"

#include "terminalkeys.h"

#include "common/ansi.h"

#include <vterm.h>

#include <algorithm>

namespace zelp {

namespace {

// libvterm keeps a run of text on its stack, four bytes a character: one huge write
// overflows the stack, so it is fed in slices of this many bytes.
constexpr qsizetype kSliceBytes = 16 * 1024;
constexpr char kEsc = '\x1b';
constexpr char kCan = '\x18';
constexpr char kSub = '\x1a';
// No control string we answer has more intermediate and final bytes than this.
constexpr qsizetype kMaxDcsCommand = 4;
// A longer control sequence is no sequence any host means; it is dropped whole.
constexpr qsizetype kMaxCsi = 64;
// libvterm keeps 16 arguments of a sequence; more run past its array.
constexpr qsizetype kMaxCsiSeparators = 15;

int clampSize(int value, int fallback, int maximum) {
    return value <= 0 ? fallback : std::min(value, maximum);
}

TerminalColor toColor(const VTermScreen *screen, VTermColor color, bool isDefault) {
    vterm_screen_convert_color_to_rgb(screen, &color);
    return {color.rgb.red, color.rgb.green, color.rgb.blue, isDefault};
}

// What libvterm is given of a text: valid UTF-8, so that it cannot join the bytes of a broken
// character across a control, and no C1 controls written as characters (U+0080-U+009F), which
// it puts on the screen with a width of -1 so that the next erase writes through a null pointer.
QByteArray screenSafe(QString text) {
    text.removeIf([](QChar c) { return c.unicode() >= 0x80 && c.unicode() < 0xa0; });
    return text.toUtf8();
}

bool isAscii(QByteArrayView bytes) {
    return std::none_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0x80; });
}

// How many bytes at the end of the text start a multi-byte character that is not complete yet.
qsizetype incompleteUtf8Tail(QByteArrayView text) {
    qsizetype continuation = 0;
    while (continuation < 3 && continuation < text.size() &&
           (uchar(text[text.size() - 1 - continuation]) & 0xC0) == 0x80) {
        ++continuation;
    }
    if (continuation == text.size()) {
        return 0;
    }
    const uchar lead = uchar(text[text.size() - 1 - continuation]);
    const qsizetype length = lead >= 0xF0 && lead <= 0xF7   ? 4
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                                                            : 0;
    return continuation + 1 < length ? continuation + 1 : 0;
}

} // namespace

// libvterm calls back with a plain pointer; these forward to the screen object.
struct TerminalScreenCallbacks {
    static void output(const char *bytes, size_t length, void *user) {
        auto *self = static_cast<TerminalScreen *>(user);
        const QByteArray data(bytes, qsizetype(length));
        if (self->capture_) {
            self->capture_->append(data);
        } else {
            Q_EMIT self->answer(data);
        }
    }
    static int damage(VTermRect, void *user) {
        static_cast<TerminalScreen *>(user)->dirty_ = true;
        return 1;
    }
    static int moveCursor(VTermPos, VTermPos, int visible, void *user) {
        auto *self = static_cast<TerminalScreen *>(user);
        self->cursorVisible_ = visible != 0;
        self->dirty_ = true;
        return 1;
    }
    static int termProp(VTermProp prop, VTermValue *value, void *user) {
        auto *self = static_cast<TerminalScreen *>(user);
        if (prop == VTERM_PROP_CURSORVISIBLE) {
            self->cursorVisible_ = value->boolean != 0;
            self->dirty_ = true;
        }
        return 1;
    }
    static constexpr VTermScreenCallbacks screen{
        &damage, nullptr, &moveCursor, &termProp, nullptr, nullptr, nullptr, nullptr,
    };
};

TerminalScreen::TerminalScreen(int rows, int columns, QObject *parent)
    : QObject(parent), rows_(clampSize(rows, kDefaultRows, kMaxRows)),
      columns_(std::max(kMinColumns, clampSize(columns, kDefaultColumns, kMaxColumns))) {
    vt_ = vterm_new(rows_, columns_);
    vterm_set_utf8(vt_, 1);
    vterm_output_set_callback(vt_, &TerminalScreenCallbacks::output, this);
    screen_ = vterm_obtain_screen(vt_);
    vterm_screen_set_callbacks(screen_, &TerminalScreenCallbacks::screen, this);
    vterm_screen_enable_altscreen(screen_, 1);
    vterm_screen_reset(screen_, 1);
}

TerminalScreen::~TerminalScreen() {
    vterm_free(vt_);
}

void TerminalScreen::resize(int rows, int columns) {
    rows = clampSize(rows, kDefaultRows, kMaxRows);
    columns = std::max(kMinColumns, clampSize(columns, kDefaultColumns, kMaxColumns));
    if (rows == rows_ && columns == columns_) {
        return;
    }
    rows_ = rows;
    columns_ = columns;
    vterm_set_size(vt_, rows_, columns_);
    Q_EMIT changed();
}

void TerminalScreen::reset() {
    vterm_screen_reset(screen_, 1);
    pendingUtf8_.clear();
    dcs_ = Dcs::None;
    dcsCommand_.clear();
    csi_.clear();
    cursorVisible_ = true;
    dirty_ = false;
    Q_EMIT changed();
}

void TerminalScreen::feed(QByteArrayView bytes) {
    for (qsizetype at = 0; at < bytes.size(); at += kSliceBytes) {
        const QByteArrayView piece = bytes.sliced(at, std::min(kSliceBytes, bytes.size() - at));
        if (singleByte_) {
            // Every byte is a whole character, so a split between feeds needs no care.
            writeSlice(screenSafe(Ansi::toUnicode(piece.toByteArray())));
            continue;
        }
        // The host's data arrives cut anywhere, also inside a character: hold back a cut
        // character's first bytes until the rest comes.
        const QByteArray joined =
            pendingUtf8_.isEmpty() ? QByteArray() : pendingUtf8_ + piece.toByteArray();
        const QByteArrayView utf8 = pendingUtf8_.isEmpty() ? piece : QByteArrayView(joined);
        const qsizetype tail = incompleteUtf8Tail(utf8);
        const QByteArrayView complete = utf8.first(utf8.size() - tail);
        if (isAscii(complete)) {
            writeSlice(complete);
        } else {
            writeSlice(screenSafe(QString::fromUtf8(complete)));
        }
        pendingUtf8_ = utf8.last(tail).toByteArray();
    }
    if (dirty_) {
        dirty_ = false;
        Q_EMIT changed();
    }
}

// Device control strings are taken out before libvterm sees them: its answer to a status
// request (DECRQSS) reads past the request, and it does nothing with any other. A status
// request is answered "not valid" here, so that a host waiting for the answer goes on.
// A repeat request (REP, CSI n b) with nothing before it to repeat sends libvterm into an
// endless loop; hosts of VT terminals never send one, so it is dropped, and so is a
// sequence with more arguments than libvterm has room for.
void TerminalScreen::writeSlice(QByteArrayView utf8) {
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        if (dcs_ == Dcs::BodyEscape && takeStringEnd(c, out)) {
            continue;
        }
        switch (dcs_) {
        case Dcs::None:
            if (c == kEsc) {
                dcs_ = Dcs::Escape; // held back until the next byte says what it starts
                csi_ = QByteArray(1, kEsc);
            } else {
                out.append(c);
            }
            break;
        case Dcs::Escape:
            takeInEscape(c, out);
            break;
        case Dcs::Csi:
            takeInCsi(c, out);
            break;
        case Dcs::Header:
        case Dcs::Body:
            takeInString(c);
            break;
        case Dcs::BodyEscape:
            break;
        }
    }
    flush(out);
}

void TerminalScreen::flush(QByteArray &out) {
    if (!out.isEmpty()) {
        vterm_input_write(vt_, out.constData(), size_t(out.size()));
        out.clear();
    }
}

// The byte after an ESC inside a control string: a backslash ends the string, anything else
// ends it unfinished and starts an escape of its own. True when the byte is used up.
bool TerminalScreen::takeStringEnd(char c, QByteArray &out) {
    const bool terminated = c == '\\';
    if (terminated && dcsCommand_ == "$q") {
        flush(out); // the answer comes after what came before the request
    }
    endDcs(terminated);
    if (!terminated) {
        dcs_ = Dcs::Escape;
        csi_ = QByteArray(1, kEsc);
    }
    return terminated;
}

void TerminalScreen::takeInEscape(char c, QByteArray &out) {
    if (c == 'P') {
        dcs_ = Dcs::Header; // intermediates before it do not hide it from libvterm
        dcsCommand_.clear();
    } else if (uchar(c) < 0x20 && c != kEsc && c != kCan && c != kSub) {
        out.append(c); // takes effect at once; the escape goes on after it
    } else if (uchar(c) >= 0x20 && uchar(c) <= 0x2f) {
        // An intermediate; libvterm drops those past its room and keeps the escape open.
        if (csi_.size() < kMaxCsi) {
            csi_.append(c);
        }
    } else if (uchar(c) >= 0x7f) {
        // libvterm passes over these and keeps the escape open, so they must not hide a P.
    } else if (c == '[') {
        dcs_ = Dcs::Csi; // libvterm starts a sequence here whatever came between
        csi_ = "\x1b[";
    } else if (c == kEsc) {
        // Drops the unfinished escape, as libvterm does; sent on, libvterm would join what
        // follows to it, past the checks here.
        csi_ = QByteArray(1, kEsc);
    } else {
        out.append(csi_);
        out.append(c);
        csi_ = QByteArray(1, kEsc);
        dcs_ = Dcs::None;
    }
}

void TerminalScreen::takeInCsi(char c, QByteArray &out) {
    if (c == kEsc || c == kCan || c == kSub) {
        // Ends the sequence unfinished; libvterm drops it.
        dcs_ = c == kEsc ? Dcs::Escape : Dcs::None;
        csi_ = QByteArray(1, kEsc);
        if (c != kEsc) {
            out.append(c);
        }
    } else if (uchar(c) < 0x20) {
        out.append(c); // a control inside a sequence takes effect at once
    } else if (uchar(c) >= 0x7f) {
        // libvterm passes over these; kept, they would hide a repeat request from the check.
    } else if (uchar(c) >= 0x40) {
        csi_.append(c);
        const bool repeat = c == 'b' && !std::any_of(csi_.begin() + 2, csi_.end() - 1,
                                                     [](char b) { return b < 0x30; });
        const bool tooMany = csi_.count(';') + csi_.count(':') > kMaxCsiSeparators;
        if (!repeat && !tooMany && csi_.size() <= kMaxCsi) {
            out.append(csi_);
        }
        dcs_ = Dcs::None;
    } else if (csi_.size() <= kMaxCsi) {
        csi_.append(c);
    }
}

void TerminalScreen::takeInString(char c) {
    if (c == kEsc) {
        dcs_ = Dcs::BodyEscape;
    } else if (c == kCan || c == kSub) {
        endDcs(false);
    } else if (dcs_ == Dcs::Header && uchar(c) >= 0x20 && uchar(c) <= 0x7e &&
               (uchar(c) < 0x30 || uchar(c) > 0x3f)) {
        // Parameters (0x30-0x3F) are passed over; intermediates up to the final byte.
        if (dcsCommand_.size() < kMaxDcsCommand) {
            dcsCommand_.append(c);
        }
        if (uchar(c) >= 0x40) {
            dcs_ = Dcs::Body;
        }
    }
}

void TerminalScreen::endDcs(bool terminated) {
    dcs_ = Dcs::None;
    if (terminated && dcsCommand_ == "$q") {
        TerminalScreenCallbacks::output("\x1bP0$r\x1b\\", 7, this);
    }
    dcsCommand_.clear();
}

TerminalCell TerminalScreen::cell(int row, int column) const {
    TerminalCell cell;
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) {
        return cell;
    }
    VTermScreenCell raw{};
    if (!vterm_screen_get_cell(screen_, VTermPos{row, column}, &raw)) {
        return cell;
    }
    // The right half of a wide character is marked with an impossible code point.
    if (raw.chars[0] == uint32_t(-1)) {
        cell.width = 0;
        return cell;
    }
    for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && raw.chars[i] != 0; ++i) {
        const char32_t code = raw.chars[i];
        cell.text += QString::fromUcs4(&code, 1);
    }
    cell.width = raw.width > 0 ? raw.width : 1;
    cell.bold = raw.attrs.bold;
    cell.italic = raw.attrs.italic;
    cell.underline = raw.attrs.underline != VTERM_UNDERLINE_OFF;
    cell.blink = raw.attrs.blink;
    cell.reverse = raw.attrs.reverse;
    cell.strike = raw.attrs.strike;
    cell.foreground = toColor(screen_, raw.fg, VTERM_COLOR_IS_DEFAULT_FG(&raw.fg));
    cell.background = toColor(screen_, raw.bg, VTERM_COLOR_IS_DEFAULT_BG(&raw.bg));
    return cell;
}

QString TerminalScreen::rowText(int row) const {
    QString text;
    for (int column = 0; column < columns_; ++column) {
        const TerminalCell one = cell(row, column);
        if (one.width == 0) {
            continue;
        }
        text += one.text.isEmpty() ? QStringLiteral(" ") : one.text;
    }
    while (text.endsWith(QLatin1Char(' '))) {
        text.chop(1);
    }
    return text;
}

// libvterm can be talked into a cursor left of the screen; what it says is kept on it.
int TerminalScreen::cursorRow() const {
    VTermPos pos{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt_), &pos);
    return std::clamp(pos.row, 0, rows_ - 1);
}

int TerminalScreen::cursorColumn() const {
    VTermPos pos{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt_), &pos);
    return std::clamp(pos.col, 0, columns_);
}

QByteArray TerminalScreen::encodeKey(int key, Qt::KeyboardModifiers modifiers,
                                     const QString &text) {
    QByteArray bytes;
    const TerminalKey mapped = MapKey(key, modifiers, text, singleByte_);
    if (mapped.special != 0) {
        capture_ = &bytes;
        vterm_keyboard_key(vt_, VTermKey(mapped.special), VTermModifier(mapped.modifiers));
        capture_ = nullptr;
    } else {
        bytes = mapped.bytes;
    }
    return bytes;
}

} // namespace zelp
