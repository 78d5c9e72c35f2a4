// The program's options, the same on every operating system: --help,
// --version, --autostart on|off and --keep-history on|off.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace stock {

// The program's version, as packages and --version give it.
const char* programVersion();

// What each switch does where the program runs; each returns an exit status.
struct OptionActions {
    std::string_view usage;
    std::function<int(bool on)> autostart;
    std::function<int(bool on)> keepHistory;
};

// Handles the options before anything else runs: no display, no window, no
// instance lock. Returns the exit status when they ask for something other
// than starting the program (or hold a mistake: status 2, with a one-line
// error and the usage on err), and std::nullopt when the program is to start.
std::optional<int> runOptions(const std::vector<std::string>& args, const OptionActions& actions, std::ostream& out,
                              std::ostream& err);

// --keep-history on|off in this user's store place.
int keepHistory(bool on, std::ostream& out, std::ostream& err);

}  // namespace stock
