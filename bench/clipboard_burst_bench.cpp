// Whole-process CPU time of the built program while 200 different 1 KiB
// texts are put on the clipboard by xclip, 20 a second for 10 s: most of
// those owners are replaced before any tick asks for their text.
// Usage: clipboard_burst_bench PROGRAM
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "clipboard_bench_util.h"

namespace {

using stock::bench::cpuMs;

void reap(std::vector<pid_t>& running) {
    for (auto it = running.begin(); it != running.end();) {
        if (waitpid(*it, nullptr, WNOHANG) == *it)
            it = running.erase(it);
        else
            ++it;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: clipboard_burst_bench PROGRAM\n");
        return 2;
    }
    constexpr int kTexts = 200;
    std::vector<std::string> files;
    for (int i = 0; i < kTexts; ++i) {
        std::string text = "copy " + std::to_string(i) + " ";
        while (text.size() < 1024) text += static_cast<char>('a' + (text.size() * 7 + i) % 26);
        files.push_back(stock::bench::writeTemp(text));
    }
    const pid_t program = stock::bench::spawn({argv[1]});
    std::this_thread::sleep_for(std::chrono::seconds(4));  // start-up and the first ticks
    const double before = cpuMs(program);
    std::vector<pid_t> owners;  // each xclip ends when the next one takes over
    auto next = std::chrono::steady_clock::now();
    for (const auto& f : files) {
        owners.push_back(stock::bench::spawn({"xclip", "-quiet", "-selection", "clipboard", "-in"}, f));
        next += std::chrono::milliseconds(50);
        std::this_thread::sleep_until(next);
        reap(owners);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the last text's tick
    const double after = cpuMs(program);
    stock::bench::stop(program);
    for (pid_t p : owners) stock::bench::stop(p);
    for (const auto& f : files) std::remove(f.c_str());
    std::printf("clipboard burst: %.0f ms CPU for %d different 1 KiB copies at 20/s\n", after - before, kTexts);
    return 0;
}
