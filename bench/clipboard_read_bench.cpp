// CPU time of one clipboard read while xclip holds an unchanged 10 MiB text:
// the reader hands out the text it fetched once, with no X traffic.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "clipboard_bench_util.h"
#include "os/x11/x11_clipboard_reader.h"

namespace {

bool failed = false;

void BM_ReadUnchanged10MiB(benchmark::State& state) {
    const std::string file = stock::bench::writeTemp(stock::bench::bigUtf8(10u << 20));
    const pid_t xclip = stock::bench::ownerHolding(file);
    stock::x11::ClipboardReader reader;
    std::size_t units = 0;
    for (int i = 0; i < 3000 && units == 0; ++i) {
        if (auto t = reader.readText(); t && !t->empty())
            units = t->size();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (units == 0) {
        failed = true;
        state.SkipWithError("the text was not read");
    }
    const auto transfers = reader.transfers();
    for (auto _ : state) {
        auto text = reader.readText();
        benchmark::DoNotOptimize(text);
    }
    state.counters["utf16_units"] = static_cast<double>(units);
    state.counters["fetches_during_reads"] = static_cast<double>(reader.transfers() - transfers);
    stock::bench::stop(xclip);
    std::remove(file.c_str());
}
BENCHMARK(BM_ReadUnchanged10MiB)->Unit(benchmark::kMillisecond);

}  // namespace

// As BENCHMARK_MAIN, but a benchmark that could not measure fails the run.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return failed ? 1 : 0;
}
