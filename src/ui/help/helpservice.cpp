#include "helpservice.h"

namespace zelp {

namespace {
HelpService *g_service = nullptr;
} // namespace

void setHelpService(HelpService *service) {
    g_service = service;
}
HelpService *helpService() {
    return g_service;
}

void ShowHelpTopic(int context) {
    if (g_service) {
        g_service->showTopic(context);
    }
}
void ShowHelpContents() {
    if (g_service) {
        g_service->showContents();
    }
}

} // namespace zelp
