#pragma once

#include <cstdint>
#include <functional>

// The application-wide mouse pointer: one value, not a stack. The desktop installs a display
// that shows it; without one it is only remembered.
namespace zelp::MousePointer {

inline constexpr int16_t Default = 0;
inline constexpr int16_t Hourglass = 11;

int16_t get();
void set(int16_t pointer);
void setDisplay(std::function<void(int16_t)> display);

} // namespace zelp::MousePointer
