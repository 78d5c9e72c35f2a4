#pragma once

#include <optional>
#include <string>

namespace stock::posix {

// Creates dir and its missing parents, the new ones private to the user.
// On failure errno says why.
bool makeDirectories(const std::string& dir);

// Writes body to path through a new file in the same folder, so that a
// reader never sees half a file. On failure errno says why.
bool writeWhole(const std::string& path, const std::string& body);

// Removes a file; on failure errno says why (ENOENT: there was none).
bool removeFile(const std::string& path);

// The absolute path of the running program, when the system tells it.
std::optional<std::string> runningProgramPath();

}  // namespace stock::posix
