#include "os/store/history_db.h"

#include <sqlite3.h>

#include <bit>
#include <cstring>
#include <utility>

#include "os/store/store_files.h"

namespace stock::store {
namespace {

// Another instance of the user's writing: waited for this long.
constexpr int kBusyMilliseconds = 5000;

// A prepared statement, finalized at the end of its scope.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK) s_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return s_; }
    explicit operator bool() const { return s_ != nullptr; }

private:
    sqlite3_stmt* s_ = nullptr;
};

// Texts are stored as their UTF-16 code units, little-endian, exactly.
SharedText fromBlob(const void* data, std::size_t bytes) {
    std::u16string text(bytes / 2, u'\0');
    if (bytes >= 2) std::memcpy(text.data(), data, text.size() * 2);
    if constexpr (std::endian::native == std::endian::big)
        for (char16_t& c : text) c = static_cast<char16_t>((c >> 8) | (c << 8));
    return SharedText(std::move(text));
}

}  // namespace

HistoryDb::HistoryDb(std::string path, Bounds bounds) : path_(std::move(path)), bounds_(bounds) {}

HistoryDb::~HistoryDb() { close(); }

void HistoryDb::close() {
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool HistoryDb::exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK || failed();
}

// Notes why the last call failed; always false.
bool HistoryDb::failed() {
    const int code = sqlite3_extended_errcode(db_) & 0xFF;
    corrupt_ = code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
    error_ = sqlite3_errmsg(db_);
    return false;
}

std::optional<long long> HistoryDb::number(const char* sql) {
    Statement s(db_, sql);
    if (!s || sqlite3_step(s.get()) != SQLITE_ROW) {
        failed();
        return std::nullopt;
    }
    return sqlite3_column_int64(s.get(), 0);
}

HistoryDb::Opened HistoryDb::open() {
    close();
    corrupt_ = false;
    identity_ = fileIdentity(path_);
    if (!identity_) return Opened::Missing;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        failed();
        close();
        return Opened::Failed;
    }
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
    const Opened opened = exec("PRAGMA secure_delete = ON") ? setUp() : (corrupt_ ? Opened::Foreign : Opened::Failed);
    if (opened != Opened::Ready) close();
    return opened;
}

HistoryDb::Opened HistoryDb::setUp() {
    const auto version = number("PRAGMA user_version");
    const auto tables = number("SELECT count(*) FROM sqlite_schema");
    if (!version || !tables) return corrupt_ ? Opened::Foreign : Opened::Failed;
    if (*version > kSchema) return Opened::Newer;
    if (*version == 0 && *tables == 0) {
        // Freed pages go back to the file system (incremental_vacuum), which
        // only a database without tables can be told.
        const bool made = exec("PRAGMA auto_vacuum = INCREMENTAL") && exec("BEGIN IMMEDIATE") &&
                          exec("CREATE TABLE entry(id INTEGER PRIMARY KEY, text BLOB NOT NULL)") &&
                          exec("PRAGMA user_version = 1") && exec("COMMIT");
        if (!made) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            return corrupt_ ? Opened::Foreign : Opened::Failed;
        }
    } else if (*version != kSchema || number("SELECT count(*) FROM sqlite_schema WHERE name = 'entry'") != 1) {
        return Opened::Foreign;
    }
    const auto entries = number("SELECT count(*) FROM entry");
    const auto bytes = number("SELECT coalesce(sum(length(text)), 0) FROM entry");
    if (!entries || !bytes) return corrupt_ ? Opened::Foreign : Opened::Failed;
    entries_ = static_cast<std::size_t>(*entries);
    bytes_ = static_cast<std::uint64_t>(*bytes);
    return Opened::Ready;
}

std::optional<std::vector<SharedText>> HistoryDb::loadNewestFirst() {
    Statement s(db_, "SELECT text FROM entry ORDER BY id DESC");
    if (!s) {
        failed();
        return std::nullopt;
    }
    std::vector<SharedText> rows;
    rows.reserve(entries_);
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        const void* data = sqlite3_column_blob(s.get(), 0);
        rows.push_back(fromBlob(data, static_cast<std::size_t>(sqlite3_column_bytes(s.get(), 0))));
    }
    if (rc != SQLITE_DONE) {
        failed();
        return std::nullopt;
    }
    return rows;
}

template <class Write>
HistoryDb::Wrote HistoryDb::write(Write&& body) {
    if (!db_) return Wrote::Gone;
    if (!exec("BEGIN IMMEDIATE")) return Wrote::Failed;
    // The store turned off (its file removed, or another put in its place)
    // while this one was open: nothing more goes into the old one.
    if (fileIdentity(path_) != identity_) {
        exec("ROLLBACK");
        return Wrote::Gone;
    }
    const auto entries = entries_;
    const auto bytes = bytes_;
    if (body() && trim() && exec("COMMIT")) return Wrote::Done;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    entries_ = entries;
    bytes_ = bytes;
    return Wrote::Failed;
}

HistoryDb::Wrote HistoryDb::append(const std::vector<SharedText>& oldestFirst) {
    return write([&] {
        Statement s(db_, "INSERT INTO entry(text) VALUES (?)");
        if (!s) return failed();
        for (const SharedText& text : oldestFirst)
            if (!insert(s.get(), text)) return false;
        return true;
    });
}

HistoryDb::Wrote HistoryDb::clear() {
    return write([&] {
        if (!exec("DELETE FROM entry") || !exec("PRAGMA incremental_vacuum")) return false;
        entries_ = 0;
        bytes_ = 0;
        return true;
    });
}

bool HistoryDb::insert(sqlite3_stmt* s, const SharedText& text) {
    sqlite3_reset(s);
    const std::uint64_t bytes = std::uint64_t{text.size()} * 2;
    std::u16string swapped;
    const void* data = text.str().data();
    if constexpr (std::endian::native == std::endian::big) {
        swapped = text.str();
        for (char16_t& c : swapped) c = static_cast<char16_t>((c >> 8) | (c << 8));
        data = swapped.data();
    }
    const int bound =
        bytes == 0 ? sqlite3_bind_zeroblob(s, 1, 0) : sqlite3_bind_blob64(s, 1, data, bytes, SQLITE_STATIC);
    if (bound != SQLITE_OK || sqlite3_step(s) != SQLITE_DONE) return failed();
    ++entries_;
    bytes_ += bytes;
    return true;
}

// Drops the oldest entries past the bounds (never the newest one) and gives
// their pages back to the file system.
bool HistoryDb::trim() {
    if (entries_ <= bounds_.entries && bytes_ <= bounds_.bytes) return true;
    Statement s(db_, "SELECT id, length(text) FROM entry ORDER BY id");
    if (!s) return failed();
    sqlite3_int64 last = -1;
    while ((entries_ > bounds_.entries || bytes_ > bounds_.bytes) && entries_ > 1 &&
           sqlite3_step(s.get()) == SQLITE_ROW) {
        last = sqlite3_column_int64(s.get(), 0);
        --entries_;
        bytes_ -= static_cast<std::uint64_t>(sqlite3_column_int64(s.get(), 1));
    }
    sqlite3_reset(s.get());
    Statement drop(db_, "DELETE FROM entry WHERE id <= ?");
    if (!drop || sqlite3_bind_int64(drop.get(), 1, last) != SQLITE_OK || sqlite3_step(drop.get()) != SQLITE_DONE)
        return failed();
    return exec("PRAGMA incremental_vacuum");
}

}  // namespace stock::store
