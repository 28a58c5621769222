#pragma once

#include <QString>

#include <cstdint>

namespace zelp {

// Puts a question or notice to a person: the message box window in the designer, a scripted
// answerer in tests, the terminal in the companion.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int16_t showMessage(const QString &text, int16_t style) = 0;
};

// nullptr: no one to ask; the text goes to stderr and the Escape answer is taken.
void setMessageBoxService(MessageBoxService *service);
MessageBoxService *messageBoxService();

// Shows text with the style's buttons and icon and returns the answer (+256 for the ticked
// check box).
int16_t MessageBox(const QString &text, int16_t style);

// The help topic of the message boxes shown while it lives (a question with a topic of its
// own, such as the conversion of a 97 file); without one the topic of messages.
class MessageHelpScope {
public:
    explicit MessageHelpScope(int context);
    ~MessageHelpScope();
    MessageHelpScope(const MessageHelpScope &) = delete;
    MessageHelpScope &operator=(const MessageHelpScope &) = delete;
    static int current();

private:
    int previous_;
};

} // namespace zelp
