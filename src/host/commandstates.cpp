#include "commandstates.h"

namespace zelp {

bool commandEnabled(CommandState state, Command command) {
    // Rows in the order of Command; columns no document, busy, document, connected.
    static constexpr bool table[kCommandCount][4] = {
        {true, false, false, false}, // New
        {true, false, false, false}, // Open
        {false, false, true, true},  // Save
        {false, false, true, true},  // Close
        {false, false, true, true},  // Settings
        {false, false, true, true},  // Script
        {false, false, true, false}, // Connect
        {false, false, false, true}, // Disconnect
    };
    return table[int(command)][int(state)];
}

} // namespace zelp
