// The kept history: the file's size for ENTRIES stored texts against the
// text they hold; then the real main window started over that store, the
// time until its rows arrive and the longest UI stall meanwhile, the
// resident memory with them; and the longest UI stall while a text of
// BIG_MIB is stored (none with 0). With STATE_DIR the store is only filled
// and left there (for startup_bench with XDG_STATE_HOME=STATE_DIR).
// Usage: kept_history_bench ENTRIES BIG_MIB [STATE_DIR]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "bench_window.h"
#include "core/main_window/frm_clipboard.h"
#include "os/store/sqlite_history_store.h"

namespace stock::bench {
namespace {

// ENTRIES texts of 105 code units, alike but not equal.
std::uint64_t fill(const store::StorePlace& place, std::size_t entries) {
    std::string why;
    if (!store::turnOn(place, why)) throw std::runtime_error(why);
    std::vector<SharedText> texts;
    std::uint64_t units = 0;
    for (std::size_t i = 0; i < entries; ++i) {
        std::u16string t = u"entry " + std::u16string(99, static_cast<char16_t>(u'a' + i % 26));
        for (std::size_t n = i, k = 0; k < 6; ++k, n /= 10) t[k] = static_cast<char16_t>(u'0' + n % 10);
        units += t.size();
        texts.emplace_back(std::move(t));
    }
    store::HistoryDb db(place.file);
    if (db.open() != store::HistoryDb::Opened::Ready || db.append(texts) != store::HistoryDb::Wrote::Done)
        throw std::runtime_error("cannot fill " + place.file + ": " + db.error());
    return units * 2;
}

struct KeptWindow {
    KeptWindow(int& argc, char** argv, const std::string& file) : app(argc, argv), store(file) {
        qt::installFontSubstitutions();
    }
    PreparedAsTheProgram prepared;
    QApplication app;
    qt::QtUi ui;
    MemoryClipboard clipboard;
    NoLock lock;
    Lifetime lifetime{ui};
    store::SqliteHistoryStore store;
    FrmClipboard frm{{ui, clipboard, lock, lifetime, nullptr, nullptr, &store}};
};

// Runs the event loop with the gap probe until `done`, checked every ms.
double stallUntil(const std::function<bool()>& done) {
    GapProbe probe;
    QTimer check;
    check.setInterval(1);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) QApplication::quit();
    });
    probe.start();
    check.start();
    QApplication::exec();
    return probe.stop();
}

int run(int argc, char** argv) {
    const std::size_t entries = std::strtoul(argv[1], nullptr, 10);
    const std::size_t bigMiB = std::strtoul(argv[2], nullptr, 10);
    const std::filesystem::path dir =
        argc > 3 ? std::filesystem::path(argv[3]) : std::filesystem::temp_directory_path() / "stockkun-kept-bench";
    std::filesystem::remove_all(dir / "stockkun");
    const store::StorePlace place{(dir / "stockkun").string(), (dir / "stockkun/history.sqlite3").string()};
    const std::uint64_t textBytes = fill(place, entries);
    const auto fileBytes = std::filesystem::file_size(place.file);
    std::printf("kept history: %zu entries, %.1f MiB of text (UTF-16): file %.1f MiB, %.3f x the text\n", entries,
                textBytes / 1048576.0, fileBytes / 1048576.0, double(fileBytes) / double(textBytes));
    if (argc > 3) return 0;

    int qtArgc = 1;
    KeptWindow w(qtArgc, argv, place.file);
    const long rssBefore = rssKiB();
    QElapsedTimer since;
    since.start();
    w.frm.load();
    const double windowMs = since.nsecsElapsed() / 1e6;
    const double rowsStall = stallUntil([&] { return w.frm.history().size() >= entries; });
    const double rowsMs = since.nsecsElapsed() / 1e6;
    std::printf(
        "kept history: window loaded in %.1f ms; %zu rows shown %.0f ms after the start (at the first tick); "
        "longest UI stall meanwhile %.1f ms; resident memory %ld -> %ld KiB\n",
        windowMs, w.frm.history().size(), rowsMs, rowsStall, rssBefore, rssKiB());

    if (bigMiB == 0) {
        std::filesystem::remove_all(dir);
        return 0;
    }
    const SharedText big(std::u16string(bigMiB << 19, u'b'));
    QElapsedTimer writing;
    std::atomic<bool> stored{false};
    QTimer::singleShot(0, [&] {
        writing.start();
        w.store.append(big);
        std::thread([&] {
            w.store.flush();
            stored = true;
        }).detach();
    });
    const double bigStall = stallUntil([&] { return stored.load(); });
    std::printf("kept history: a %zu MiB text stored in %.0f ms on the writer; longest UI stall meanwhile %.1f ms\n",
                bigMiB, writing.nsecsElapsed() / 1e6, bigStall);
    std::filesystem::remove_all(dir);
    return 0;
}

}  // namespace
}  // namespace stock::bench

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kept_history_bench ENTRIES BIG_MIB [STATE_DIR]\n");
        return 2;
    }
    try {
        return stock::bench::run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kept_history_bench: %s\n", e.what());
        return 1;
    }
}
