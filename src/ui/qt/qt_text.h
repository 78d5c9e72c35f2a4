#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

#include "core/layout/layout.h"

namespace stock::qt {

inline QColor toQ(Rgb c) { return QColor(c.r, c.g, c.b); }

inline QString toQ(std::u16string_view s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

inline std::u16string fromQ(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

}  // namespace stock::qt
