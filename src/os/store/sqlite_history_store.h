// The kept history: an SQLite file written on a thread of its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/history_store.h"
#include "os/store/history_db.h"
#include "os/store/store_files.h"

namespace stock::store {

// The store is on while its file is there: `--keep-history on` makes it,
// `off` removes it. The writer looks for it every `poll`, opens it when it
// appears (then asks for the history held) and lets go of it when it goes.
// Writes that fail (a full disk, a read-only folder) wait and are tried
// again; the program goes on recording in memory meanwhile.
class SqliteHistoryStore final : public HistoryStore {
public:
    struct Options {
        Bounds bounds;
        std::chrono::milliseconds poll{2000};
    };

    explicit SqliteHistoryStore(std::string path) : SqliteHistoryStore(std::move(path), Options{}) {}
    SqliteHistoryStore(std::string path, Options options);
    // Finishes the writes that can be finished.
    ~SqliteHistoryStore() override;
    SqliteHistoryStore(const SqliteHistoryStore&) = delete;
    SqliteHistoryStore& operator=(const SqliteHistoryStore&) = delete;

    void append(const SharedText& text) override;
    void clear() override;
    News poll() override;
    void appendAll(std::vector<SharedText> oldestFirst) override;

    // Waits until the writer has looked for the store once and every write
    // asked for so far is done or failed (tests, benchmarks).
    void flush();

private:
    enum class State { Off, Wanting, On, LeftAlone };
    struct Job {
        bool clear = false;
        std::vector<SharedText> texts;  // oldest first
    };

    void run() noexcept;
    void write();
    void follow();
    void openStore();
    void writeNext(std::unique_lock<std::mutex>& lock);
    void failing(const std::string& why);
    void setState(State state);

    const std::string path_;
    const Options options_;
    HistoryDb db_;  // the writer's own
    std::mutex m_;
    std::condition_variable wake_, idle_;
    std::deque<Job> jobs_;
    State state_ = State::Off;
    std::optional<std::vector<SharedText>> loaded_;
    bool stopping_ = false, busy_ = false, failing_ = false, looked_ = false;
    bool started_ = false, reported_ = false;  // the writer's own
    std::thread writer_;
};

// --keep-history on: the store's folder and an empty store in it. False
// with a reason in `why`.
bool turnOn(const StorePlace& place, std::string& why);
// --keep-history off: the database and its journal gone. False with a
// reason in `why`.
bool turnOff(const StorePlace& place, std::string& why);

}  // namespace stock::store
