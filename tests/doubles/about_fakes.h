// Test doubles for the services of the About window: registry, user name,
// shell, programs and message box. Each writes its calls into the shared log.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "doubles/fakes.h"
#include "main_window/lifetime.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/user_name.h"

namespace stock::test {

struct FakeRegValue {
    std::uint32_t type = reg::kSz;
    std::vector<std::uint8_t> data;
};

inline FakeRegValue regSz(const std::string& text, bool terminator = true) {
    FakeRegValue v{reg::kSz, {text.begin(), text.end()}};
    if (terminator) v.data.push_back(0);
    return v;
}

inline FakeRegValue regDword(std::uint32_t n) {
    return {reg::kDword,
            {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
             static_cast<std::uint8_t>(n >> 24)}};
}

// Keys below reg::kLocalMachine, by path, as a user without administrator
// rights sees them: asking for more than read rights is refused.
class FakeRegistry final : public Registry {
public:
    explicit FakeRegistry(Log&) {}

    RegStatus openKey(RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t rights,
                      RegKey& result) override {
        rightsAsked.push_back(rights);
        if (options != 0) return 87;  // ERROR_INVALID_PARAMETER
        if (root != reg::kLocalMachine || !keys.count(subKey)) return reg::kFileNotFound;
        if (!administrator && (rights & ~reg::kRead) != 0) return reg::kAccessDenied;
        result = nextHandle_++;
        openKeys[result] = subKey;
        ++opens;
        return reg::kSuccess;
    }
    RegStatus queryValue(RegKey key, const std::string& name, std::uint32_t& type, std::uint8_t* data,
                         std::uint32_t& size) override {
        auto k = openKeys.find(key);
        if (k == openKeys.end()) return reg::kInvalidHandle;
        for (std::uint32_t i = 0; i < size; ++i) cleanBuffers = cleanBuffers && data[i] == 0;
        if (failQuery) throw std::runtime_error("query failed");
        auto& values = keys[k->second];
        auto v = values.find(name);
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
    RegStatus closeKey(RegKey key) override {
        ++closes;
        return openKeys.erase(key) ? reg::kSuccess : reg::kInvalidHandle;
    }

    std::map<std::string, std::map<std::string, FakeRegValue>> keys;
    bool administrator = false;
    bool failQuery = false;
    bool cleanBuffers = true;  // every buffer handed in was all zero
    std::vector<std::uint32_t> rightsAsked;
    std::map<RegKey, std::string> openKeys;  // opened and not yet closed
    int opens = 0, closes = 0;

private:
    RegKey nextHandle_ = 0x100;
};

// Answers with a scripted name and count, or throws.
class FakeUserName final : public UserName {
public:
    explicit FakeUserName(Log&) {}
    bool getUserName(char* buffer, std::uint32_t& count) override {
        ++calls;
        bufferOnEntry.assign(buffer, count);
        if (fail) throw std::runtime_error("advapi32 missing");
        if (written.size() <= count) std::memcpy(buffer, written.data(), written.size());
        count = countAfter ? *countAfter : static_cast<std::uint32_t>(written.size());
        return true;
    }

    std::string written = std::string("alice") + '\0';  // bytes written, the NUL included
    std::optional<std::uint32_t> countAfter;            // unset: the number of bytes written
    bool fail = false;
    int calls = 0;
    std::string bufferOnEntry;
};

class FakeShell final : public Shell {
public:
    explicit FakeShell(Log&) {}
    void open(const std::u16string& address) override {
        opened.push_back(address);
        if (fail) throw std::runtime_error("no handler");
    }
    std::vector<std::u16string> opened;
    bool fail = false;
};

// Files on a disk; programs start when their file exists.
class FakePrograms final : public Programs {
public:
    explicit FakePrograms(Log& log) : log_(log) {}
    bool isFile(const std::u16string& path) override {
        tested.push_back(path);
        return files.count(path) > 0;
    }
    void start(const std::u16string& path) override {
        log_.push_back("start " + narrow(path));
        if (path.empty() || !files.count(path)) throw std::runtime_error("cannot start");
        started.push_back(path);
    }
    std::set<std::u16string> files;
    std::vector<std::u16string> tested, started;

private:
    Log& log_;
};

class FakeMessageBox final : public MessageDialog {
public:
    explicit FakeMessageBox(Log&) {}
    void show(const std::u16string& prompt, Window*) override {
        shown.push_back(prompt);
        if (whileShown) whileShown();
    }
    std::vector<std::u16string> shown;
    Handler whileShown;
};

// Every service of the About window a double; the process it may end is
// `fakeUi`, which only notes the end.
struct AboutDoubles {
    Log log;
    FakeUi fakeUi{log};
    Lifetime lifetime{fakeUi};
    FakeUserName userName{log};
    FakeShell shell{log};
    FakePrograms programs{log};
    FakeRegistry registry{log};
    FakeMessageBox messageBox{log};
};

}  // namespace stock::test
