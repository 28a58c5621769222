#include "savechoice.h"

namespace zelp::SaveChoice {

int16_t resultFor(const std::array<bool, kOptionCount> &selected, bool guiTicked) {
    for (int i = 0; i < kOptionCount; ++i) {
        if (selected[static_cast<std::size_t>(i)]) {
            return static_cast<int16_t>(i + 1 + (guiTicked ? kGuiSupport : 0));
        }
    }
    return kCancelled;
}

} // namespace zelp::SaveChoice
