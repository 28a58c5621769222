#include "cli/stoprequest.h"

#include <csignal>

namespace zelp::cli {

namespace {
volatile sig_atomic_t g_signal = 0;
struct sigaction g_previousInt {
}, g_previousTerm{};

extern "C" void onStop(int number) {
    g_signal = number;
}
} // namespace

StopRequest::StopRequest() {
    g_signal = 0;
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &g_previousInt);
    ::sigaction(SIGTERM, &action, &g_previousTerm);
}

StopRequest::~StopRequest() {
    ::sigaction(SIGINT, &g_previousInt, nullptr);
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
}

int StopRequest::signal() {
    return g_signal;
}

} // namespace zelp::cli
