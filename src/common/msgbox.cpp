#include "msgbox.h"

#include "errhndlr.h"
#include "msgboxstyle.h"

#include <cstdio>

namespace zelp {

namespace {
MessageBoxService *g_service = nullptr;
} // namespace

void setMessageBoxService(MessageBoxService *service) {
    g_service = service;
}
MessageBoxService *messageBoxService() {
    return g_service;
}

namespace {
constexpr int kMessagesTopic = 450;
int g_messageHelp = kMessagesTopic;
} // namespace

MessageHelpScope::MessageHelpScope(int context) : previous_(g_messageHelp) {
    g_messageHelp = context;
}

MessageHelpScope::~MessageHelpScope() {
    g_messageHelp = previous_;
}

int MessageHelpScope::current() {
    return g_messageHelp;
}

int16_t MessageBox(const QString &text, int16_t style) {
    Guarded guard("zelpdev", "MessageBox");
    return guard.value(
        [&]() -> int16_t {
            if (g_service) {
                return g_service->showMessage(text, style);
            }
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            return Msg::buttonSet(style).escapeAnswer;
        },
        int16_t{0});
}

} // namespace zelp
