#include "terminalkeys.h"

#include "common/ansi.h"

#include <vterm_keycodes.h>

#include <optional>

namespace zelp {

namespace {

struct SpecialKey {
    int qtKey;
    VTermKey key;
};

// Keys that the terminal encodes itself, so that cursor keys follow the host's modes.
constexpr SpecialKey kSpecialKeys[] = {
    {Qt::Key_Return, VTERM_KEY_ENTER},
    {Qt::Key_Enter, VTERM_KEY_ENTER},
    {Qt::Key_Tab, VTERM_KEY_TAB},
    {Qt::Key_Backtab, VTERM_KEY_TAB},
    {Qt::Key_Backspace, VTERM_KEY_BACKSPACE},
    {Qt::Key_Escape, VTERM_KEY_ESCAPE},
    {Qt::Key_Up, VTERM_KEY_UP},
    {Qt::Key_Down, VTERM_KEY_DOWN},
    {Qt::Key_Left, VTERM_KEY_LEFT},
    {Qt::Key_Right, VTERM_KEY_RIGHT},
    {Qt::Key_Insert, VTERM_KEY_INS},
    {Qt::Key_Delete, VTERM_KEY_DEL},
    {Qt::Key_Home, VTERM_KEY_HOME},
    {Qt::Key_End, VTERM_KEY_END},
    {Qt::Key_PageUp, VTERM_KEY_PAGEUP},
    {Qt::Key_PageDown, VTERM_KEY_PAGEDOWN},
};

// The numeric keypad, told apart by Qt's keypad modifier. Its Enter stays a plain Enter (CR):
// the terminal would send LF for it.
constexpr SpecialKey kKeypadKeys[] = {
    {Qt::Key_0, VTERM_KEY_KP_0},           {Qt::Key_1, VTERM_KEY_KP_1},
    {Qt::Key_2, VTERM_KEY_KP_2},           {Qt::Key_3, VTERM_KEY_KP_3},
    {Qt::Key_4, VTERM_KEY_KP_4},           {Qt::Key_5, VTERM_KEY_KP_5},
    {Qt::Key_6, VTERM_KEY_KP_6},           {Qt::Key_7, VTERM_KEY_KP_7},
    {Qt::Key_8, VTERM_KEY_KP_8},           {Qt::Key_9, VTERM_KEY_KP_9},
    {Qt::Key_Asterisk, VTERM_KEY_KP_MULT}, {Qt::Key_Plus, VTERM_KEY_KP_PLUS},
    {Qt::Key_Comma, VTERM_KEY_KP_COMMA},   {Qt::Key_Minus, VTERM_KEY_KP_MINUS},
    {Qt::Key_Period, VTERM_KEY_KP_PERIOD}, {Qt::Key_Slash, VTERM_KEY_KP_DIVIDE},
    {Qt::Key_Equal, VTERM_KEY_KP_EQUAL},
};

int vtermModifiers(Qt::KeyboardModifiers modifiers) {
    int mods = VTERM_MOD_NONE;
    if (modifiers & Qt::ShiftModifier) {
        mods |= VTERM_MOD_SHIFT;
    }
    if (modifiers & Qt::AltModifier) {
        mods |= VTERM_MOD_ALT;
    }
    if (modifiers & Qt::ControlModifier) {
        mods |= VTERM_MOD_CTRL;
    }
    return mods;
}

// Control with @ A-Z [ \ ] ^ _ (and space for NUL) gives the C0 control character.
std::optional<char> controlCharacter(int key) {
    if (key == Qt::Key_Space) {
        return '\0';
    }
    if (key >= Qt::Key_At && key <= Qt::Key_Underscore) {
        return char(key & 0x1f);
    }
    return std::nullopt;
}

} // namespace

TerminalKey MapKey(int key, Qt::KeyboardModifiers modifiers, const QString &text, bool singleByte) {
    TerminalKey mapped;
    if (modifiers & Qt::KeypadModifier) {
        for (const SpecialKey &entry : kKeypadKeys) {
            if (entry.qtKey == key) {
                mapped.special = entry.key;
                mapped.modifiers = vtermModifiers(modifiers);
                return mapped;
            }
        }
    }
    for (const SpecialKey &entry : kSpecialKeys) {
        if (entry.qtKey == key) {
            mapped.special = entry.key;
            mapped.modifiers = vtermModifiers(modifiers);
            return mapped;
        }
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
        mapped.special = VTERM_KEY_FUNCTION(key - Qt::Key_F1 + 1);
        mapped.modifiers = vtermModifiers(modifiers);
        return mapped;
    }

    if (modifiers & Qt::ControlModifier) {
        if (const std::optional<char> control = controlCharacter(key)) {
            mapped.bytes.append(*control);
        }
    } else {
        mapped.bytes = singleByte ? Ansi::bytesFromUnicode(text) : text.toUtf8();
    }
    if ((modifiers & Qt::AltModifier) && !mapped.bytes.isEmpty()) {
        mapped.bytes.prepend('\x1b');
    }
    return mapped;
}

} // namespace zelp
