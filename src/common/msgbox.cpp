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
