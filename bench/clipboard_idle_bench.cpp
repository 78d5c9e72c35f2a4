// Whole-process CPU time of the built program over an idle span while xclip
// holds an unchanged 10 MiB text: the program takes the text once, after
// that every tick should cost next to nothing.
// Usage: clipboard_idle_bench PROGRAM [SECONDS]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "clipboard_bench_util.h"

namespace {

// utime + stime of a process, in milliseconds.
double cpuMs(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(in, stat);
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: clipboard_idle_bench PROGRAM [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const std::string file = stock::bench::writeTemp(stock::bench::bigUtf8(10u << 20));
    const pid_t xclip = stock::bench::xclipHolding(file);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const pid_t program = stock::bench::spawn({argv[1]});
    // Start-up, the first tick and the one fetch of the text.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const double before = cpuMs(program);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double after = cpuMs(program);
    stock::bench::stop(program);
    stock::bench::stop(xclip);
    std::remove(file.c_str());
    std::printf(
        "clipboard idle: %.0f ms CPU over %d s while xclip holds 10 MiB (%.2f ms per tick), "
        "start-up and the first fetch took %.0f ms\n",
        after - before, seconds, (after - before) / seconds, before);
    return 0;
}
