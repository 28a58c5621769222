#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

struct VTerm;
struct VTermScreen;

namespace zelp {

// A colour of the screen; isDefault when the host left the terminal's own colour.
struct TerminalColor {
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;
    bool isDefault = true;
    friend bool operator==(const TerminalColor &, const TerminalColor &) = default;
};

// One character cell. A wide character's second cell has width 0 and no text.
struct TerminalCell {
    QString text;
    int width = 1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool blink = false;
    bool reverse = false;
    bool strike = false;
    TerminalColor foreground;
    TerminalColor background;
};

// The character screen of a VT-style terminal, fed with the host's output.
class TerminalScreen : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultRows = 24;
    static constexpr int kDefaultColumns = 80;
    static constexpr int kMaxRows = 255;
    static constexpr int kMaxColumns = 512;
    // A wide character on a screen of one column crashes libvterm.
    static constexpr int kMinColumns = 2;

    // Sizes of 0 or less take the defaults; larger than the maximum, the maximum; at least
    // two columns.
    explicit TerminalScreen(int rows = kDefaultRows, int columns = kDefaultColumns,
                            QObject *parent = nullptr);
    ~TerminalScreen() override;

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    void resize(int rows, int columns);
    // Clears the screen and every mode, cursor home.
    void reset();
    // Host output and keys are UTF-8, or single bytes in the ANSI code page (Windows-1252).
    void setSingleByte(bool singleByte) {
        singleByte_ = singleByte;
        pendingUtf8_.clear();
    }
    bool isSingleByte() const { return singleByte_; }

    // Any amount at once: libvterm gets it in bounded slices, and neither device control
    // strings (status requests among them) nor repeat requests reach it.
    void feed(QByteArrayView bytes);

    // An empty cell outside the screen.
    TerminalCell cell(int row, int column) const;
    // The row's characters, blanks for empty cells, trailing blanks removed.
    QString rowText(int row) const;
    int cursorRow() const;
    int cursorColumn() const;
    bool cursorVisible() const { return cursorVisible_; }

    // What the terminal sends for a key: a Qt key code, its modifiers and its text.
    // Cursor and keypad keys follow the modes the host has set.
    QByteArray encodeKey(int key, Qt::KeyboardModifiers modifiers, const QString &text);

Q_SIGNALS:
    // Something on the screen or the cursor changed.
    void changed();
    // The terminal's own answers to the host's queries (device attributes, cursor position).
    void answer(const QByteArray &bytes);

private:
    friend struct TerminalScreenCallbacks;

    // Where the filter of what libvterm must not see stands; it spans feeds.
    enum class Dcs : quint8 { None, Escape, Csi, Header, Body, BodyEscape };

    void writeSlice(QByteArrayView utf8);
    void flush(QByteArray &out);
    bool takeStringEnd(char c, QByteArray &out);
    void takeInEscape(char c, QByteArray &out);
    void takeInCsi(char c, QByteArray &out);
    void takeInString(char c);
    void endDcs(bool terminated);

    VTerm *vt_ = nullptr;
    VTermScreen *screen_ = nullptr;
    int rows_ = kDefaultRows;
    int columns_ = kDefaultColumns;
    bool cursorVisible_ = true;
    bool dirty_ = false;
    bool singleByte_ = false;
    // The start of a UTF-8 character whose other bytes are still on their way.
    QByteArray pendingUtf8_;
    Dcs dcs_ = Dcs::None;
    // The intermediate and final bytes of the control string being dropped, "$q" for a
    // status request; no longer than a few bytes.
    QByteArray dcsCommand_;
    // A control sequence held back until its final byte says whether libvterm may have it.
    QByteArray csi_;
    QByteArray *capture_ = nullptr;
};

} // namespace zelp
