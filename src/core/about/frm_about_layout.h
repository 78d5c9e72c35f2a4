#pragma once

#include "core/layout/layout.h"

namespace stock {

// The About window: its properties and its nine controls.
const FormSpec& frmAboutLayout();

inline constexpr char16_t kHomePage[] = u"https://stockkun.example/";
inline constexpr char16_t kUnknownUser[] = u"???";
inline constexpr char16_t kSysInfoError[] = u"error : can't use sysinfo now.";

}  // namespace stock
