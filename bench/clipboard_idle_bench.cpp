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

using stock::bench::cpuMs;

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
