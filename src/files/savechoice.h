#pragma once

#include <array>
#include <cstdint>

// What the save dialog answers: the chosen launch page in the low part, the GUI choice in bit 7.
namespace zelp::SaveChoice {

inline constexpr int kOptionCount = 3; // no page, Internet page, intranet page
inline constexpr int16_t kCancelled = 0;
inline constexpr int16_t kNoPage = 1;
inline constexpr int16_t kInternetPage = 2;
inline constexpr int16_t kIntranetPage = 3;
inline constexpr int16_t kGuiSupport = 128;

// The first selected option's index + 1, plus kGuiSupport when the box is ticked; kCancelled
// when no option is selected, whatever the box shows.
int16_t resultFor(const std::array<bool, kOptionCount> &selected, bool guiTicked);

// The page part of a result (kCancelled, kNoPage, kInternetPage or kIntranetPage).
constexpr int16_t pageOf(int16_t result) {
    return static_cast<int16_t>(result & ~kGuiSupport);
}
constexpr bool guiSupportOf(int16_t result) {
    return (result & kGuiSupport) != 0;
}

// The HTML name, its Browse button and the GUI box apply only to a page being written.
constexpr bool htmlControlsEnabled(int selectedOption) {
    return selectedOption != 0;
}

} // namespace zelp::SaveChoice
