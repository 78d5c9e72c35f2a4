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

// Opens a folder this user owns and nobody else may enter, never reached
// through a symbolic link at its last step (-1 otherwise). With create, a
// missing folder is made first (mode 0700); a folder of the user's own that
// the umask left without some owner right gets them back. Checked on the
// open folder itself, so nothing can be swapped in between.
int openPrivateFolder(const std::string& path, bool create);

// Removes a file; on failure errno says why (ENOENT: there was none).
bool removeFile(const std::string& path);

// The absolute path of the running program, when the system tells it.
std::optional<std::string> runningProgramPath();

}  // namespace stock::posix
