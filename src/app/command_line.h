#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace stock {

// What the options see of the process's surroundings.
struct CommandLineEnvironment {
    std::optional<std::string> xdgConfigHome;  // $XDG_CONFIG_HOME, when set
    std::optional<std::string> home;           // $HOME, when set
    std::string programPath;                   // absolute path of the running program
};

// Handles the program's options before anything else runs: no display, no
// toolkit, no instance lock. Returns the exit status when the options ask for
// something other than starting the program (--help, --version, --autostart,
// or a mistake: status 2 with a one-line error and the usage on err), and
// std::nullopt when the program is to start.
std::optional<int> runCommandLine(const std::vector<std::string>& args, const CommandLineEnvironment& env,
                                  std::ostream& out, std::ostream& err);

// The same on the process's own arguments, environment and standard streams.
std::optional<int> handleCommandLine(int argc, char** argv);

// The user's XDG autostart folder: $XDG_CONFIG_HOME/autostart when that is an
// absolute path, $HOME/.config/autostart otherwise; nothing without either.
std::optional<std::string> autostartDirectory(const CommandLineEnvironment& env);

// The autostart desktop entry that starts the program at programPath;
// nothing when the path cannot stand in a desktop entry.
std::optional<std::string> autostartEntry(const std::string& programPath);

// programPath as one argument of a desktop entry's Exec key, quoted and
// escaped when it needs it; nothing when a desktop entry cannot hold it (not
// UTF-8, or control characters other than tab and line breaks).
std::optional<std::string> desktopExecArgument(const std::string& programPath);

}  // namespace stock
