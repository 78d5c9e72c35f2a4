// The kept history's database: one SQLite file, used from one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/text/shared_text.h"

struct sqlite3;
struct sqlite3_stmt;

namespace stock::store {

// What the store keeps at most: the newest entries, dropping the oldest.
struct Bounds {
    std::size_t entries = 100000;
    std::uint64_t bytes = std::uint64_t{512} << 20;  // of text, as UTF-16
};

class HistoryDb {
public:
    enum class Opened { Ready, Missing, Newer, Foreign, Failed };
    enum class Wrote { Done, Failed, Gone };  // Gone: the file at the path is no longer this one

    explicit HistoryDb(std::string path, Bounds bounds = {});
    ~HistoryDb();
    HistoryDb(const HistoryDb&) = delete;
    HistoryDb& operator=(const HistoryDb&) = delete;

    // Opens the file at the path, setting an empty one up. Foreign: not a
    // database of this program's (or a corrupt one); Newer: of a later
    // version, left as it is.
    Opened open();
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // Every entry, newest first; nothing when it cannot be read (corrupt()
    // tells whether the file is at fault).
    std::optional<std::vector<SharedText>> loadNewestFirst();
    // Each a new newest entry, in one transaction, the oldest dropped past the bounds.
    Wrote append(const std::vector<SharedText>& oldestFirst);
    Wrote clear();
    // Waits until no other connection writes, and keeps them waiting until
    // release(): for removing the file.
    bool hold() { return exec("BEGIN IMMEDIATE"); }
    void release() { exec("ROLLBACK"); }

    bool corrupt() const { return corrupt_; }
    const std::string& error() const { return error_; }
    std::size_t entries() const { return entries_; }
    std::uint64_t textBytes() const { return bytes_; }

    static constexpr int kSchema = 1;

private:
    bool exec(const char* sql);
    bool failed();
    std::optional<long long> number(const char* sql);
    Opened setUp();
    bool insert(sqlite3_stmt* statement, const SharedText& text);
    bool trim();
    template <class Write>
    Wrote write(Write&& body);

    std::string path_;
    Bounds bounds_;
    sqlite3* db_ = nullptr;
    std::uint64_t identity_ = 0;
    std::size_t entries_ = 0;
    std::uint64_t bytes_ = 0;
    bool corrupt_ = false;
    std::string error_;
};

}  // namespace stock::store
