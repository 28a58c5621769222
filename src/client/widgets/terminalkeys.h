#pragma once

#include <QByteArray>
#include <QString>

namespace zelp {

// A key as the terminal sees it: a special key for the terminal to encode in its current
// modes, or the bytes of a text key.
struct TerminalKey {
    int special = 0;   // a VTermKey; 0 for a text key
    int modifiers = 0; // VTermModifier bits of a special key
    QByteArray bytes;  // a text key's bytes; empty when the key sends nothing
};

// Maps a Qt key code, its modifiers and its text. Control with a letter (or @ [ \ ] ^ _
// space) is the control character; Alt puts ESC before a text key. Text goes in UTF-8, or
// single-byte in the ANSI code page.
TerminalKey MapKey(int key, Qt::KeyboardModifiers modifiers, const QString &text,
                   bool singleByte = false);

} // namespace zelp
