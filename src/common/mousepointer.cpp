#include "mousepointer.h"

namespace zelp::MousePointer {

namespace {
int16_t g_pointer = Default;
std::function<void(int16_t)> &display() {
    static std::function<void(int16_t)> d;
    return d;
}
} // namespace

int16_t get() {
    return g_pointer;
}

void set(int16_t pointer) {
    g_pointer = pointer;
    if (display()) {
        display()(pointer);
    }
}

void setDisplay(std::function<void(int16_t)> d) {
    display() = std::move(d);
}

} // namespace zelp::MousePointer
