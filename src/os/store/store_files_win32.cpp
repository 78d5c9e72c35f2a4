#include <windows.h>
#include <shlobj.h>

#include "os/store/store_files.h"
#include "os/windows/win32_text.h"

namespace stock::store {
namespace {

using win32::utf8ToWide;
using win32::wideToUtf8;

// Neither a link nor a junction.
bool plain(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

std::optional<StorePlace> defaultPlace() {
    PWSTR local = nullptr;
    std::optional<StorePlace> place;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local)) && local && *local) {
        const std::string folder = wideToUtf8(local) + "\\stockkun";
        place = StorePlace{folder, folder + "\\history.sqlite3"};
    }
    CoTaskMemFree(local);
    return place;
}

// The local application data folder is the user's own already.
bool privateFolder(const std::string& folder) {
    const std::wstring w = utf8ToWide(folder);
    if (!CreateDirectoryW(w.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    const DWORD a = GetFileAttributesW(w.c_str());
    return plain(a) && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool privateFile(const std::string& path, bool create) {
    const std::wstring w = utf8ToWide(path);
    HANDLE h = CreateFileW(w.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info) && plain(info.dwFileAttributes) &&
                    !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(h);
    return ok;
}

std::uint64_t fileIdentity(const std::string& path) {
    HANDLE h = CreateFileW(utf8ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    std::uint64_t id = 0;
    if (GetFileInformationByHandle(h, &info))
        id = ((std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow) ^
              (std::uint64_t{info.dwVolumeSerialNumber} << 20)) |
             (std::uint64_t{1} << 63);
    CloseHandle(h);
    return id;
}

bool moveFile(const std::string& from, const std::string& to) {
    return MoveFileExW(utf8ToWide(from).c_str(), utf8ToWide(to).c_str(), 0) != 0;
}

bool removeFile(const std::string& path) {
    return DeleteFileW(utf8ToWide(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}

}  // namespace stock::store
