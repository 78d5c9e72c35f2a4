// Text between the core (UTF-16, and UTF-8 as its narrow encoding) and the
// Windows API (UTF-16 wide calls, the ANSI code page for the narrow ones).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace stock::win32 {

// wchar_t is 16 bits on Windows: the same code units.
inline std::wstring toWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string fromWide(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

// UTF-16 to the ANSI code page (WideCharToMultiByte with CP_ACP), and back.
std::string toAcp(std::u16string_view text);
std::u16string fromAcp(std::string_view bytes);

// UTF-8 (paths, the command line) to the wide calls' UTF-16, and back.
std::wstring utf8ToWide(std::string_view utf8);
std::string wideToUtf8(std::wstring_view wide);

// The core's narrow text (UTF-8) to the ANSI code page, and back.
std::string utf8ToAcp(std::string_view utf8);
std::string acpToUtf8(std::string_view acp);

}  // namespace stock::win32
