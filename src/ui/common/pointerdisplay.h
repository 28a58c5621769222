#pragma once

namespace zelp {

// Shows the application-wide mouse pointer as the override cursor: one cursor at most, not a
// stack, so that setting the pointer twice needs only one reset.
void installPointerDisplay();

} // namespace zelp
