#include "app/options.h"

#include "os/store/sqlite_history_store.h"

#ifndef STOCK_VERSION
#error "STOCK_VERSION must come from the build"
#endif

namespace stock {
namespace {

void usageError(std::ostream& err, std::string_view usage, const std::string& message) {
    err << "stockkun: " << message << "\n" << usage;
}

// --NAME on|off, or --NAME=on|off, at args[i]; nothing after a mistake.
std::optional<bool> onOff(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                          std::string_view usage, std::ostream& err) {
    std::string value;
    if (args[i] == name) {
        if (i + 1 >= args.size()) {
            usageError(err, usage, name + " needs 'on' or 'off'");
            return std::nullopt;
        }
        value = args[++i];
    } else {
        value = args[i].substr(name.size() + 1);
    }
    if (value != "on" && value != "off") {
        usageError(err, usage, name + " takes 'on' or 'off', not '" + value + "'");
        return std::nullopt;
    }
    return value == "on";
}

struct Options {
    bool help = false, version = false;
    std::optional<bool> autostart, keepHistory;
};

std::optional<Options> parse(const std::vector<std::string>& args, std::string_view usage, std::ostream& err) {
    Options o;
    bool ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (ended || a.empty() || a == "-" || a[0] != '-') {
            usageError(err, usage, "unexpected argument '" + a + "'");
            return std::nullopt;
        }
        if (a == "--") {
            ended = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--autostart" || a.starts_with("--autostart=")) {
            if (!(o.autostart = onOff(args, i, "--autostart", usage, err))) return std::nullopt;
        } else if (a == "--keep-history" || a.starts_with("--keep-history=")) {
            if (!(o.keepHistory = onOff(args, i, "--keep-history", usage, err))) return std::nullopt;
        } else {
            usageError(err, usage, "unknown option '" + a + "'");
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace

const char* programVersion() { return STOCK_VERSION; }

std::optional<int> runOptions(const std::vector<std::string>& args, const OptionActions& actions, std::ostream& out,
                              std::ostream& err) {
    const auto o = parse(args, actions.usage, err);
    if (!o) return 2;
    int status = 0;
    if (o->help) {
        out << actions.usage;
    } else if (o->version) {
        out << "stockkun (すとっくん) " << STOCK_VERSION << "\n";
    } else if (o->autostart || o->keepHistory) {
        if (o->autostart) status = actions.autostart(*o->autostart);
        if (status == 0 && o->keepHistory) status = actions.keepHistory(*o->keepHistory);
    } else {
        return std::nullopt;
    }
    out.flush();
    if (!out) {
        err << "stockkun: cannot write to the standard output\n";
        return 1;
    }
    return status;
}

int keepHistory(bool on, std::ostream& out, std::ostream& err) {
    const auto place = store::defaultPlace();
    if (!place) {
        err << "stockkun: cannot find the folder for the history (no XDG_STATE_HOME, HOME or LOCALAPPDATA)\n";
        return 1;
    }
    const bool was = store::fileIdentity(place->file) != 0;
    std::string why;
    if (!(on ? store::turnOn(*place, why) : store::turnOff(*place, why))) {
        err << "stockkun: " << why << "\n";
        return 1;
    }
    if (on) {
        out << "Keep history on: " << place->file << "\n"
            << "Every text stockkun records is kept there and shown again at its next start\n"
            << "(a running stockkun follows within a few seconds).\n";
    } else if (!was) {
        out << "Keep history off: there was no " << place->file << "; nothing removed.\n";
    } else {
        out << "Keep history off: removed " << place->file << "\n"
            << "stockkun keeps nothing between runs (a running stockkun follows within a few seconds).\n";
    }
    return 0;
}

}  // namespace stock
