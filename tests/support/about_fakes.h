// Test doubles for the services of the About window: registry, user name,
// shell, programs and message box.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/fakes.h"
#include "core/main_window/lifetime.h"
#include "core/ports/message_box.h"
#include "core/ports/registry.h"
#include "core/ports/shell.h"
#include "core/ports/user_name.h"

namespace stock::test {

struct FakeRegValue {
    std::uint32_t type = reg::kSz;
    std::vector<std::uint8_t> data;
};

// A string value as it is stored: its bytes and a terminating zero.
inline FakeRegValue regSz(const std::string& text) {
    FakeRegValue v{reg::kSz, {text.begin(), text.end()}};
    v.data.push_back(0);
    return v;
}

// Keys below reg::kLocalMachine, by path, as a user without administrator
// rights sees them: asking for more than read rights is refused.
class FakeRegistry final : public Registry {
public:
    RegStatus openKey(RegKey root, const std::string& subKey, std::uint32_t, std::uint32_t rights,
                      RegKey& result) override {
        if (root != reg::kLocalMachine || !keys.count(subKey)) return reg::kFileNotFound;
        if ((rights & ~reg::kRead) != 0) return reg::kAccessDenied;
        result = nextHandle_++;
        openKeys[result] = subKey;
        return reg::kSuccess;
    }
    RegStatus queryValue(RegKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                         std::uint32_t& size) override {
        const auto& values = keys.at(openKeys.at(key));
        const auto v = values.find(name);
        if (v == values.end()) return reg::kFileNotFound;
        type = v->second.type;
        const auto n = static_cast<std::uint32_t>(v->second.data.size());
        if (n > size) {
            size = n;
            return reg::kMoreData;
        }
        if (n) std::memcpy(data, v->second.data.data(), n);
        size = n;
        return reg::kSuccess;
    }
    RegStatus closeKey(RegKey key) override { return openKeys.erase(key) ? reg::kSuccess : reg::kInvalidHandle; }

    std::map<std::string, std::map<std::string, FakeRegValue>> keys;
    std::map<RegKey, std::string> openKeys;  // opened and not yet closed

private:
    RegKey nextHandle_ = 0x100;
};

// Writes the name's bytes and answers their count, or throws.
class FakeUserName final : public UserName {
public:
    bool getUserName(char* buffer, std::uint32_t& count) override {
        if (fail) throw std::runtime_error("advapi32 missing");
        std::memcpy(buffer, written.data(), std::min<std::size_t>(written.size(), count));
        count = static_cast<std::uint32_t>(written.size());
        return true;
    }
    std::string written = std::string("alice") + '\0';  // the NUL included
    bool fail = false;
};

class FakeShell final : public Shell {
public:
    void open(const std::u16string& address) override { opened.push_back(address); }
    std::vector<std::u16string> opened;
};

// Files on a disk; a program starts when its file is there.
class FakePrograms final : public Programs {
public:
    bool isFile(const std::u16string& path) override { return files.count(path) > 0; }
    void start(const std::u16string& path) override {
        if (!files.count(path)) throw std::runtime_error("cannot start");
        started.push_back(path);
    }
    std::set<std::u16string> files;
    std::vector<std::u16string> started;
};

class FakeMessageBox final : public MessageDialog {
public:
    void show(const std::u16string& prompt, Window*) override { shown.push_back(prompt); }
    std::vector<std::u16string> shown;
};

// Every service of the About window a double; the process it may end is
// `fakeUi`, which only notes the end in the log.
struct AboutDoubles {
    Log log;
    FakeUi fakeUi{log};
    Lifetime lifetime{fakeUi};
    FakeUserName userName;
    FakeShell shell;
    FakePrograms programs;
    FakeRegistry registry;
    FakeMessageBox messageBox;
};

}  // namespace stock::test
