// The history under load: 100,000 clipboard texts (unless told) taken by the watcher into
// the real main window, one per tick, with the event loop running between
// ticks. Reports time per insert, the longest tick (the longest stall of the
// UI thread), and resident memory over the bytes of text held.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench_window.h"

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
    stock::bench::MainWindowBench bench(argc, argv);
    auto& frm = bench.frm;
    auto& clipboard = bench.clipboard;

    auto& clip = frm.window().textBox("RichTextBox2");
    const long rss0 = stock::bench::rssKiB();
    std::size_t textBytes = 0;
    double longest = 0, total = 0;
    for (int i = 0; i < entries; ++i) {
        std::string s = "entry " + std::to_string(i) + ": the quick brown fox jumps over the lazy dog";
        clipboard.text = stock::SharedText(std::u16string(s.begin(), s.end()));
        textBytes += clipboard.text.size() * sizeof(char16_t);
        const auto t0 = std::chrono::steady_clock::now();
        // what a tick does with a new text: it becomes the current clip and a row
        if (auto read = clipboard.readText()) clip.setText(read->text);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        total += ms;
        longest = std::max(longest, ms);
        if (i % 100 == 0) {
            const auto p0 = std::chrono::steady_clock::now();
            QApplication::processEvents();  // repaint and layout, as between real ticks
            longest = std::max(
                longest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - p0).count());
        }
    }
    QApplication::processEvents();
    const long rss1 = stock::bench::rssKiB();
    std::printf("history: %d entries, %.2f us per insert, longest UI stall %.2f ms\n", entries,
                total * 1000.0 / entries, longest);
    std::printf("history memory: %.1f MiB resident for %.1f MiB of text (%.2f x)\n", (rss1 - rss0) / 1024.0,
                textBytes / 1048576.0, (rss1 - rss0) * 1024.0 / static_cast<double>(textBytes));
    std::printf("rows held: %zu\n", frm.history().size());
    return frm.history().size() == 0 ? 1 : 0;
}
