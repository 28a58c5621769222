#pragma once

#include <array>

namespace zelp {

// The eight commands, each with a button and a menu item.
enum class Command { New, Open, Save, Close, Settings, Script, Connect, Disconnect };
inline constexpr int kCommandCount = 8;

enum class CommandState { NoDocument, Busy, Document, Connected };

// Whether command is enabled in state, for its button and its menu item alike. The one
// exception: while a save waits, DesignerCommands::Save turns the New and Open buttons (not
// their menu items) back on.
bool commandEnabled(CommandState state, Command command);

inline constexpr std::array<Command, kCommandCount> kAllCommands = {
    Command::New,      Command::Open,   Command::Save,    Command::Close,
    Command::Settings, Command::Script, Command::Connect, Command::Disconnect,
};

} // namespace zelp
