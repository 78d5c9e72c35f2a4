#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include "core/ports/tray.h"

namespace stock::qt {

// The notification-area icon through QSystemTrayIcon: a StatusNotifierItem
// where the desktop hosts those, an XEmbed icon otherwise. Qt docks the icon
// again whenever a new notification area appears.
class QtTrayIcon final : public TrayIcon {
public:
    ~QtTrayIcon() override;
    void add(const std::u16string& tip, std::function<void(int)> onEvent) override;
    void remove() override;

    QSystemTrayIcon* icon() const { return icon_; }

    // The mouse message a tray activation stands for. A StatusNotifierItem
    // host reports a left click as an activation and never a double-click:
    // there the activation does what the double-click does elsewhere.
    static int messageFor(QSystemTrayIcon::ActivationReason reason, bool statusNotifierHost = false);

    // Whether the session has a StatusNotifierItem host, which makes Qt show
    // the icon as such an item instead of an XEmbed icon.
    static bool statusNotifierHostPresent();

private:
    void takeDown();

    QPointer<QSystemTrayIcon> icon_;
    std::function<void(int)> onEvent_;
    // Activations running now: hiding the icon frees the widget that
    // delivers them, so a removal asked for meanwhile waits until they end.
    int activations_ = 0;
    bool statusNotifierHost_ = false;
    bool removeAsked_ = false;
};

}  // namespace stock::qt
