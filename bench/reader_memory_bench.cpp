// Peak memory of the clipboard reader while a 50 MiB ASCII text (unless
// told) arrives from xclip in INCR pieces, over the process's resident size
// before.
// Usage: reader_memory_bench [MIB]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "clipboard_bench_util.h"
#include "os/x11/x11_clipboard_reader.h"

namespace {

long statusKiB(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string k = key;
    while (std::getline(in, line))
        if (line.rfind(k, 0) == 0) return std::atol(line.c_str() + k.size());
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace std::chrono_literals;
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
    const std::size_t kBytes = mib << 20;
    std::string file;
    {
        std::string text(kBytes, 'x');
        for (std::size_t i = 80; i < kBytes; i += 81) text[i] = '\n';
        file = stock::bench::writeTemp(text);
    }
    stock::x11::ClipboardReader reader;
    if (!reader.usable()) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::this_thread::sleep_for(200ms);
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts from here
    const long idle = statusKiB("VmRSS:");
    const auto seen = reader.changeCount();
    const auto transfers = reader.transfers();
    const pid_t xclip = stock::bench::ownerHolding(file);
    const auto t0 = std::chrono::steady_clock::now();
    while (reader.changeCount() == seen && std::chrono::steady_clock::now() - t0 < 30s)
        std::this_thread::sleep_for(5ms);
    // One read asks for the text; the rest only watches, so that no copy
    // of the text is made outside the reader.
    if (reader.readText()) std::fprintf(stderr, "answered before the fetch\n");
    while (reader.transfers() == transfers && std::chrono::steady_clock::now() - t0 < 30s)
        std::this_thread::sleep_for(10ms);
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const long peak = statusKiB("VmHWM:");
    const long held = statusKiB("VmRSS:");
    const bool fetched = reader.transfers() != transfers;
    stock::bench::stop(xclip);
    std::remove(file.c_str());
    if (!fetched) {
        std::fprintf(stderr, "reader memory: the text was not fetched within 30 s\n");
        return 1;
    }
    std::printf("reader memory, %zu MiB ASCII by INCR: peak +%.0f MiB, held +%.0f MiB over idle (%.1f s)\n", mib,
                (peak - idle) / 1024.0, (held - idle) / 1024.0, secs);
    return 0;
}
