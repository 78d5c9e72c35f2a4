#include "app/command_line.h"

#include "app/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

#include "core/text/utf8.h"
#include "os/posix/files.h"

namespace stock {
namespace {

constexpr std::string_view kUsage =
    "Usage: stockkun [--autostart on|off | --keep-history on|off | --help | --version]\n"
    "Collects the text that passes through the clipboard into a history (すとっくん).\n"
    "Without an option it starts on the X display named by DISPLAY.\n"
    "\n"
    "  --autostart on   start stockkun at login: writes stockkun.desktop into\n"
    "                   $XDG_CONFIG_HOME/autostart (~/.config/autostart by default)\n"
    "  --autostart off  no longer start it at login: removes that entry\n"
    "  --keep-history on   keep the history between runs, in\n"
    "                      $XDG_STATE_HOME/stockkun/history.sqlite3\n"
    "                      (~/.local/state/stockkun by default)\n"
    "  --keep-history off  keep nothing between runs: removes that file\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n";

constexpr std::string_view kEntryName = "stockkun.desktop";

int autostart(bool on, const CommandLineEnvironment& env, std::ostream& out, std::ostream& err) {
    const auto dir = autostartDirectory(env);
    if (!dir) {
        err << "stockkun: cannot find the autostart folder: neither XDG_CONFIG_HOME nor HOME is set\n";
        return 1;
    }
    const std::string path = *dir + "/" + std::string(kEntryName);
    if (on) {
        const auto entry = autostartEntry(env.programPath);
        if (!entry) {
            err << "stockkun: the program's path cannot stand in a desktop entry: " << env.programPath << "\n";
            return 1;
        }
        if (!posix::makeDirectories(*dir) || !posix::writeWhole(path, *entry)) {
            err << "stockkun: cannot write " << path << ": " << std::strerror(errno) << "\n";
            return 1;
        }
        out << "Autostart on: wrote " << path << "\n"
            << "stockkun will start when you log in (a running stockkun is left as it is).\n";
        return 0;
    }
    if (!posix::removeFile(path)) {
        if (errno == ENOENT) {
            out << "Autostart off: there was no " << path << "; nothing removed.\n";
            return 0;
        }
        err << "stockkun: cannot remove " << path << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    out << "Autostart off: removed " << path << "\n"
        << "stockkun will no longer start when you log in (a running stockkun is left as it is).\n";
    return 0;
}

}  // namespace

std::optional<std::string> autostartDirectory(const CommandLineEnvironment& env) {
    if (env.xdgConfigHome && env.xdgConfigHome->starts_with('/')) return *env.xdgConfigHome + "/autostart";
    if (env.home && env.home->starts_with('/')) {
        std::string home = *env.home;
        while (home.size() > 1 && home.ends_with('/')) home.pop_back();
        return (home == "/" ? "" : home) + "/.config/autostart";
    }
    return std::nullopt;
}

std::optional<std::string> desktopExecArgument(const std::string& programPath) {
    if (!wellFormedUtf8(programPath)) return std::nullopt;
    bool quote = programPath.empty();
    for (const char c : programPath) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\n' && c != '\r') || u == 0x7F) return std::nullopt;
        if (std::string_view(" \t\n\r\"'\\><~|&;$*?#()`=").find(c) != std::string_view::npos) quote = true;
    }
    // First the Exec key's own quoting, then the escapes of a string value.
    std::string arg;
    for (const char c : programPath) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) arg += '\\';
        arg += c;
        if (c == '%') arg += '%';
    }
    if (quote) arg = '"' + arg + '"';
    std::string value;
    for (const char c : arg) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    return value;
}

std::optional<std::string> autostartEntry(const std::string& programPath) {
    const auto exec = desktopExecArgument(programPath);
    if (!exec) return std::nullopt;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Stockkun\n"
           "Name[ja]=すとっくん\n"
           "Comment=Collect the text that passes through the clipboard, edit and reuse it\n"
           "Comment[ja]=クリップボードテキスト収集・編集・再利用ツール\n"
           "Exec=" +
           *exec +
           "\n"
           "Icon=stockkun\n"
           "Terminal=false\n"
           "StartupNotify=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::optional<int> runCommandLine(const std::vector<std::string>& args, const CommandLineEnvironment& env,
                                  std::ostream& out, std::ostream& err) {
    const OptionActions actions{kUsage, [&](bool on) { return autostart(on, env, out, err); },
                                [&](bool on) { return keepHistory(on, out, err); }};
    return runOptions(args, actions, out, err);
}

std::optional<int> handleCommandLine(int argc, char** argv) {
    if (argc <= 1) return std::nullopt;
    CommandLineEnvironment env;
    if (const char* v = std::getenv("XDG_CONFIG_HOME")) env.xdgConfigHome = v;
    if (const char* v = std::getenv("HOME")) env.home = v;
    env.programPath = posix::runningProgramPath().value_or("stockkun");
    return runCommandLine(std::vector<std::string>(argv + 1, argv + argc), env, std::cout, std::cerr);
}

}  // namespace stock
