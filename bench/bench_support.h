// Shared pieces of the benchmarks that run the real main window.
#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "core/ports/clipboard.h"
#include "core/ports/instance_lock.h"

namespace stock::bench {

// A clipboard in memory: reads answer the text last written.
class MemoryClipboard final : public Clipboard {
public:
    std::optional<ClipboardText> readText() override { return ClipboardText{text}; }
    std::optional<SharedText> readTextToPaste() override { return text; }
    bool writeText(const SharedText& t) override {
        text = t;
        return true;
    }
    SharedText text;
};

class NoLock final : public InstanceLock {
public:
    bool anotherInstanceRunning() override { return false; }
};

inline long rssKiB(const std::string& pid = "self") {
    std::ifstream in("/proc/" + pid + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

}  // namespace stock::bench
