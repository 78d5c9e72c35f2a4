// The file system as the kept history needs it, on each operating system.
// Paths are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace stock::store {

struct StorePlace {
    std::string folder;
    std::string file;  // the database, in folder
};

// This user's place for the kept history: $XDG_STATE_HOME/stockkun (by
// default ~/.local/state/stockkun) or %LOCALAPPDATA%\stockkun; nothing when
// neither can be found.
std::optional<StorePlace> defaultPlace();

// The folder, made when missing: the user's own, nobody else's to enter,
// not a link. False when it cannot be, or is not.
bool privateFolder(const std::string& folder);

// The file at path (created when missing and `create`): a regular file of
// the user's own that nobody else may read or write, not a link.
bool privateFile(const std::string& path, bool create);

// What tells the file at path from one put there later; 0 when there is none.
std::uint64_t fileIdentity(const std::string& path);

// Renames a file, never over another one.
bool moveFile(const std::string& from, const std::string& to);

// Removes a file; true also when there was none.
bool removeFile(const std::string& path);

}  // namespace stock::store
