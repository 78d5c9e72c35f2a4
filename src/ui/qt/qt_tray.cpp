#include "ui/qt/qt_tray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>

#include "ui/qt/program_icon.h"
#include "core/guard/guard.h"
#include "ui/qt/qt_text.h"

namespace stock::qt {

QtTrayIcon::~QtTrayIcon() {
    if (icon_) {
        icon_->hide();
        delete icon_.data();
    }
}

bool QtTrayIcon::statusNotifierHostPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")))
        return false;
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

int QtTrayIcon::messageFor(QSystemTrayIcon::ActivationReason reason, bool statusNotifierHost) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return statusNotifierHost ? tray_message::kLeftDoubleClick : tray_message::kLeftDown;
        case QSystemTrayIcon::DoubleClick:
            return tray_message::kLeftDoubleClick;
        case QSystemTrayIcon::Context:
            return tray_message::kRightDown;
        case QSystemTrayIcon::MiddleClick:
            return tray_message::kMiddleDown;
        case QSystemTrayIcon::Unknown:
            break;
    }
    return 0;
}

void QtTrayIcon::add(const std::u16string& tip, std::function<void(int)> onEvent) {
    if (icon_) return;  // added once
    onEvent_ = std::move(onEvent);
    // Qt makes the same choice once, when it creates the first icon.
    statusNotifierHost_ = statusNotifierHostPresent();
    icon_ = new QSystemTrayIcon(programIcon());
    icon_->setToolTip(toQ(tip));
    QObject::connect(icon_, &QSystemTrayIcon::activated, icon_, [this](QSystemTrayIcon::ActivationReason r) {
        if (removeAsked_) return;
        const int message = messageFor(r, statusNotifierHost_);
        if (!message || !onEvent_) return;
        ++activations_;
        callGuarded("tray event", onEvent_, message);
        if (--activations_ == 0 && removeAsked_) {
            // Out of the handler, but still inside the icon's own event:
            // take it down from the event loop.
            QMetaObject::invokeMethod(
                icon_, [this] { takeDown(); }, Qt::QueuedConnection);
        }
    });
    icon_->show();
}

void QtTrayIcon::remove() {
    if (!icon_ || removeAsked_) return;
    removeAsked_ = true;
    if (activations_ == 0) takeDown();
}

// Hides the icon; the object itself lives until this one goes, which is
// never inside one of its events.
void QtTrayIcon::takeDown() {
    if (icon_ && activations_ == 0) icon_->hide();
}

}  // namespace stock::qt
