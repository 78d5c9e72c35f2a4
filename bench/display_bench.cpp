// What the text boxes cost to show: the longest stall of the UI thread while
// the program's own ticks take clipboard texts of one grapheme cluster each
// ("a", then "b", with 65,535 combining marks) into the current clip, and
// while a row of 100 MiB is recalled into the edit box, until its document
// holds all of it. A 1 ms probe timer measures the longest gap in the event
// loop; the layout and paint after each step count.
// Usage: display_bench [--long-line]  (also recalls one line of 100 MiB)
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "bench_window.h"
#include "ui/qt/qt_window.h"
#include "core/text/text_map.h"

namespace {

// Runs `step` from the event loop, then the loop until `done` holds and
// 300 ms more; returns the longest gap between two probe ticks, in ms.
double longestStall(const std::function<void()>& step, const std::function<bool()>& done, double* total = nullptr) {
    QElapsedTimer clock;
    stock::bench::GapProbe probe;
    clock.start();
    probe.start();
    QTimer::singleShot(0, step);
    qint64 finished = -1;
    while (finished < 0 || clock.elapsed() < finished + 300) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (finished < 0 && done()) finished = clock.elapsed();
    }
    const double longest = probe.stop();
    if (total) *total = static_cast<double>(finished);
    return longest;
}

std::u16string cluster(char16_t base) { return base + std::u16string(65535, u'\u0301'); }

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known
    const bool longLine = argc > 1 && std::strcmp(argv[1], "--long-line") == 0;
    stock::bench::MainWindowBench bench(argc, argv);
    auto& frm = bench.frm;
    auto& clipboard = bench.clipboard;
    auto& clip = frm.window().textBox("RichTextBox2");
    auto& edit = frm.window().textBox("RichTextBox1");
    auto* editBox =
        qobject_cast<QPlainTextEdit*>(dynamic_cast<stock::qt::QtWindow&>(frm.window()).control("RichTextBox1"));

    double clipStall = 0;
    for (int i = 0; i < 4; ++i) {
        const stock::SharedText text(cluster(i % 2 ? u'b' : u'a'));
        // on the clipboard: the next tick takes it
        clipStall =
            std::max(clipStall, longestStall([&] { clipboard.text = text; }, [&] { return clip.text() == text; }));
    }
    std::printf("current clip of one cluster of 65,535 marks, taken 4 times in turn: longest UI stall %.0f ms\n",
                clipStall);

    auto recall = [&](const char* what, std::u16string text) {
        const stock::SharedText row(std::move(text));
        const std::size_t shown = stock::displayLength(row.view());
        // a row of the history, taken by a tick from the clipboard
        longestStall([&] { clipboard.text = row; }, [&] { return clip.text() == row; });
        double total = 0;
        const double stall = longestStall(
            [&] { edit.setText(frm.history().Text(0)); },
            [&] { return static_cast<std::size_t>(editBox->document()->characterCount() - 1) == shown; }, &total);
        std::printf("recall of %s into the edit box: longest UI stall %.0f ms, document full after %.0f ms\n", what,
                    stall, total);
        edit.setText(u"");
        longestStall([&] { clipboard.text = stock::SharedText(); }, [&] { return clip.text().empty(); });
    };
    // 100 MiB of UTF-16: lines of 78 characters and CR LF.
    const std::u16string line = std::u16string(78, u'x') + u"\r\n";
    std::u16string big;
    big.reserve(50u << 20);
    while (big.size() * 2 < (100u << 20)) big += line;
    recall("100 MiB in lines of 80", std::move(big));
    if (longLine) recall("100 MiB in one line", std::u16string(50u << 20, u'x'));
    return 0;
}
