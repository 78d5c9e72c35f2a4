// A minimal StatusNotifierItem host for tests: owns
// org.kde.StatusNotifierWatcher on the session bus, says that a host is
// registered, and prints the bus name of every item that registers, one a line.
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <cstdio>

class Watcher : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)

public:
    explicit Watcher(QObject* parent) : QDBusAbstractAdaptor(parent) {}
    bool hostRegistered() const { return true; }
    Q_SLOT void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
        // An item may name itself by a path only: its bus name is the sender.
        const QString name = service.startsWith(QLatin1Char('/')) ? message.service() : service;
        std::printf("%s\n", name.toUtf8().constData());
        std::fflush(stdout);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QObject root;
    new Watcher(&root);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &root) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "sni_watcher: cannot own the watcher's name\n");
        return 1;
    }
    return QCoreApplication::exec();
}

#include "sni_watcher.moc"
