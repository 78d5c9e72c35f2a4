#include "os/store/sqlite_history_store.h"

#include <ctime>
#include <utility>

#include "core/guard/guard.h"

namespace stock::store {
namespace {

// A name beside `path` that nothing has yet: PATH.broken-SECONDS[-N].
std::string asideName(const std::string& path) {
    const std::string base = path + ".broken-" + std::to_string(static_cast<long long>(std::time(nullptr)));
    std::string name = base;
    for (int n = 2; fileIdentity(name) != 0 || fileIdentity(name + "-journal") != 0; ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

// A file at the store's path that is not a store of ours: moved aside, never
// deleted, and an empty store made in its place.
HistoryDb::Opened renew(HistoryDb& db, const std::string& path) {
    db.close();
    const std::string aside = asideName(path);
    const bool moved = moveFile(path, aside) &&
                       (fileIdentity(path + "-journal") == 0 || moveFile(path + "-journal", aside + "-journal"));
    if (!moved) {
        tell("cannot move the unreadable history " + path + " aside; it is left as it is");
        return HistoryDb::Opened::Foreign;
    }
    tell("the history " + path + " could not be read; it was moved to " + aside + " and a new one begun");
    if (!privateFile(path, true)) return HistoryDb::Opened::Failed;
    return db.open();
}

// Opens the store at path, renewing a foreign or corrupt one.
HistoryDb::Opened openOrRenew(HistoryDb& db, const std::string& path) {
    const HistoryDb::Opened opened = db.open();
    return opened == HistoryDb::Opened::Foreign ? renew(db, path) : opened;
}

}  // namespace

SqliteHistoryStore::SqliteHistoryStore(std::string path, Options options)
    : path_(std::move(path)), options_(options), db_(path_, options.bounds), writer_([this] { run(); }) {}

SqliteHistoryStore::~SqliteHistoryStore() {
    {
        const std::lock_guard lock(m_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void SqliteHistoryStore::append(const SharedText& text) {
    const std::lock_guard lock(m_);
    if (state_ != State::On) return;
    jobs_.push_back({false, {text}});
    wake_.notify_one();
}

void SqliteHistoryStore::clear() {
    const std::lock_guard lock(m_);
    if (state_ != State::On) return;
    // What was waiting to be stored goes unwritten (the one being written
    // stays until it is done).
    jobs_.erase(jobs_.begin() + (busy_ && !jobs_.empty() ? 1 : 0), jobs_.end());
    jobs_.push_back({true, {}});
    wake_.notify_one();
}

HistoryStore::News SqliteHistoryStore::poll() {
    const std::lock_guard lock(m_);
    News news;
    if (loaded_) news.loaded = std::exchange(loaded_, std::nullopt).value();
    if (state_ == State::Wanting) {
        news.wantsAll = true;
        state_ = State::On;  // appendAll follows at once, on this thread
    }
    return news;
}

void SqliteHistoryStore::appendAll(std::vector<SharedText> oldestFirst) {
    const std::lock_guard lock(m_);
    if (state_ != State::On) return;
    if (oldestFirst.size() > options_.bounds.entries)
        oldestFirst.erase(oldestFirst.begin(),
                          oldestFirst.end() - static_cast<std::ptrdiff_t>(options_.bounds.entries));
    jobs_.push_back({false, std::move(oldestFirst)});
    wake_.notify_one();
}

void SqliteHistoryStore::flush() {
    std::unique_lock lock(m_);
    idle_.wait(lock, [this] { return looked_ && (failing_ || (jobs_.empty() && !busy_)); });
}

void SqliteHistoryStore::setState(State state) {
    const std::lock_guard lock(m_);
    state_ = state;
    if (state != State::On) jobs_.clear();
}

// Whatever the writer throws (memory running out) ends the keeping, never
// the program: the history goes on in memory.
void SqliteHistoryStore::run() noexcept {
    try {
        write();
    } catch (...) {
        reportFailure("keeping the history");
        db_.close();
        const std::lock_guard lock(m_);
        state_ = State::LeftAlone;
        jobs_.clear();
        looked_ = true;
        failing_ = true;
        idle_.notify_all();
    }
}

void SqliteHistoryStore::write() {
    follow();
    std::unique_lock lock(m_);
    looked_ = true;
    for (;;) {
        while (!failing_ && !jobs_.empty() && db_.isOpen()) writeNext(lock);
        idle_.notify_all();
        if (stopping_) return;
        const bool woken = wake_.wait_for(
            lock, options_.poll, [this] { return stopping_ || (!failing_ && !jobs_.empty() && db_.isOpen()); });
        // A failed write is tried again at the next look, and once more at the end.
        if (!woken || stopping_) failing_ = false;
        lock.unlock();
        follow();
        lock.lock();
    }
}

// The store is on while its file is there.
void SqliteHistoryStore::follow() {
    {
        const std::lock_guard lock(m_);
        if (state_ == State::LeftAlone) return;
    }
    const bool there = fileIdentity(path_) != 0;
    if (db_.isOpen() && !there) {
        db_.close();
        setState(State::Off);
    } else if (!db_.isOpen() && there) {
        openStore();
    } else if (!there) {
        started_ = true;  // off at the start: nothing to load
    }
}

void SqliteHistoryStore::openStore() {
    if (!privateFile(path_, false)) {
        tell("the history " + path_ + " is not a private file of this user's; it is not used");
        return setState(State::LeftAlone);
    }
    switch (openOrRenew(db_, path_)) {
        case HistoryDb::Opened::Ready:
            break;
        case HistoryDb::Opened::Newer:
            tell("the history " + path_ +
                 " is of a newer stockkun; it is left as it is, and this run keeps its history in memory only");
            return setState(State::LeftAlone);
        case HistoryDb::Opened::Foreign:
            return setState(State::LeftAlone);
        case HistoryDb::Opened::Failed:
            return failing(db_.error());
        case HistoryDb::Opened::Missing:
            return;
    }
    if (started_) return setState(State::Wanting);  // turned on while running
    auto rows = db_.loadNewestFirst();
    if (!rows && db_.corrupt() && renew(db_, path_) == HistoryDb::Opened::Ready) rows.emplace();
    if (!rows) {
        db_.close();
        return failing(db_.error());
    }
    started_ = true;
    const std::lock_guard lock(m_);
    loaded_ = std::move(rows);
    state_ = State::On;
}

void SqliteHistoryStore::writeNext(std::unique_lock<std::mutex>& lock) {
    // The job stays at the front while it is written: the UI thread only
    // adds behind it.
    const Job& job = jobs_.front();
    busy_ = true;
    lock.unlock();
    HistoryDb::Wrote wrote = job.clear ? db_.clear() : db_.append(job.texts);
    const bool corrupt = wrote == HistoryDb::Wrote::Failed && db_.corrupt();
    if (corrupt && renew(db_, path_) == HistoryDb::Opened::Ready) {
        setState(State::Wanting);
    } else if (wrote == HistoryDb::Wrote::Gone || corrupt) {
        db_.close();
        setState(State::Off);
    }
    lock.lock();
    busy_ = false;
    if (wrote == HistoryDb::Wrote::Done) {
        jobs_.pop_front();
        reported_ = false;
    } else if (wrote == HistoryDb::Wrote::Failed && !corrupt) {
        lock.unlock();
        failing(db_.error());
        lock.lock();
    }
}

// Says once why the history cannot be stored now.
void SqliteHistoryStore::failing(const std::string& why) {
    {
        const std::lock_guard lock(m_);
        failing_ = true;
    }
    if (reported_) return;
    reported_ = true;
    tell("cannot store the history in " + path_ + " now (" + why + "); it is kept in memory and stored once it can be");
}

bool turnOn(const StorePlace& place, std::string& why) {
    if (!privateFolder(place.folder)) {
        why = "cannot make " + place.folder + " a folder of this user's alone";
        return false;
    }
    if (!privateFile(place.file, true)) {
        why = "cannot make " + place.file + " a file of this user's alone";
        return false;
    }
    HistoryDb db(place.file);
    switch (openOrRenew(db, place.file)) {
        case HistoryDb::Opened::Ready:
            return true;
        case HistoryDb::Opened::Newer:
            why = place.file + " is of a newer stockkun (or cannot be moved aside); it is left as it is";
            return false;
        case HistoryDb::Opened::Foreign:
            why = place.file + " cannot be read, nor moved aside; it is left as it is";
            return false;
        default:
            why = "cannot set up " + place.file + ": " + db.error();
            return false;
    }
}

bool turnOff(const StorePlace& place, std::string& why) {
    const auto remove = [&] { return removeFile(place.file + "-journal") && removeFile(place.file); };
    HistoryDb db(place.file);
    // Taken while a running instance writes nothing, so it never writes
    // into the removed file: it sees the file gone at its next write.
    const bool held = db.open() == HistoryDb::Opened::Ready && db.hold();
    bool removed = remove();
    if (held) db.release();
    db.close();
    // Where an open file cannot be removed (Windows), once it is let go.
    if (!removed) removed = remove();
    if (!removed) why = "cannot remove " + place.file + " (is a stockkun that keeps it still running?)";
    return removed;
}

}  // namespace stock::store
