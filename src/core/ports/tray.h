#pragma once

#include <functional>
#include <string>

namespace stock {

// Mouse messages a notification-area icon reports, by their numbers.
namespace tray_message {
inline constexpr int kMove = 512;
inline constexpr int kLeftDown = 513;
inline constexpr int kLeftUp = 514;
inline constexpr int kLeftDoubleClick = 515;
inline constexpr int kRightDown = 516;
inline constexpr int kRightUp = 517;
inline constexpr int kMiddleDown = 519;
}  // namespace tray_message

// One icon in the desktop's notification area, showing the program's icon.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // Adds the icon with its tip; its mouse events arrive as message numbers.
    virtual void add(const std::u16string& tip, std::function<void(int message)> onEvent) = 0;
    virtual void remove() = 0;
};

}  // namespace stock
