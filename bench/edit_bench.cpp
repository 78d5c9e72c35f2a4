// The edit box under load: pasting a 50 MiB text, and recalling rows from a
// history of 100,000 entries (or the sizes told). Each figure is the time the
// UI thread spends in the step, including the layout and paint that follow it.
// Usage: edit_bench [PASTE_MIB] [ROWS]
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "bench_window.h"

namespace {

template <class F>
double timed(F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    QApplication::processEvents();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t pasteMiB = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
    const long rows = argc > 2 ? std::atol(argv[2]) : 100000;
    if (rows < 1) {
        std::fprintf(stderr, "edit_bench: ROWS is at least 1\n");
        return 2;
    }
    stock::bench::MainWindowBench bench(argc, argv);
    auto& frm = bench.frm;
    auto& clipboard = bench.clipboard;

    // PASTE_MIB of UTF-16: lines of 78 characters and CR LF.
    const std::u16string line = std::u16string(78, u'x') + u"\r\n";
    std::u16string big;
    big.reserve(pasteMiB << 19);
    while (big.size() * 2 < (pasteMiB << 20)) big += line;
    clipboard.text = std::move(big);
    stock::bench::GapProbe probe;
    probe.start();
    const double paste = timed([&] { frm.mnuPaste_Click(); });
    const double longestGap = probe.stop();
    if (frm.window().textBox("RichTextBox1").text() != clipboard.text) {
        std::fprintf(stderr, "edit_bench: the edit box does not hold the text pasted\n");
        return 1;
    }
    std::printf("paste of a %zu MiB text into the edit box: %.0f ms in all, longest UI stall %.0f ms\n", pasteMiB,
                paste, longestGap);
    frm.window().textBox("RichTextBox1").setText(u"");
    QApplication::processEvents();

    // One line of 300,000 characters (minified data, say) recalled, then typed into.
    const double longLine = timed([&] {
        frm.window().textBox("RichTextBox1").setText(std::u16string(300000, u'x'));
        QApplication::processEvents();
    });
    const double cleared = timed([&] { frm.window().textBox("RichTextBox1").setText(u""); });
    std::printf("recall of a 300,000-character line into the edit box: %.0f ms; the box emptied after it: %.0f ms\n",
                longLine, cleared);

    for (long i = 0; i < rows; ++i) {
        const std::string s = "row " + std::to_string(i) + "\r\nsecond line of the row";
        // each new current clip becomes a row
        frm.window().textBox("RichTextBox2").setText(std::u16string(s.begin(), s.end()));
    }
    const auto& list = frm.history();
    QApplication::processEvents();
    std::mt19937 rng(1);
    double longest = 0;
    for (int i = 0; i < 200; ++i) {
        const long row = static_cast<long>(rng() % static_cast<unsigned long>(rows));
        const double ms = timed([&] {
            // what a click on a row does: the row becomes current, then recall
            frm.window().textBox("RichTextBox1").setText(list.Text(static_cast<std::size_t>(row)));
        });
        longest = std::max(longest, ms);
    }
    std::printf("recall from %ld rows: longest %.2f ms over 200 recalls\n", rows, longest);
    return 0;
}
