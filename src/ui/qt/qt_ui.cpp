#include "ui/qt/qt_ui.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/guard/guard.h"
#include "ui/qt/qt_window.h"

namespace stock::qt {

std::unique_ptr<Window> QtUi::createWindow(const FormSpec& form) {
    return std::make_unique<QtWindow>(form, twipsPerPixelX());
}

double QtUi::twipsPerPixelX() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return twipsPerPixelAt(dpi);
}

void QtUi::processEvents() { QCoreApplication::processEvents(); }

void QtUi::runSoon(Handler handler) {
    QTimer::singleShot(0, QCoreApplication::instance(), [h = std::move(handler)] { callGuarded("run soon", h); });
}

void QtUi::endProcess() {
    ended_ = true;
    QCoreApplication::exit(0);
}

void QtUi::beep() { QApplication::beep(); }

namespace {
int signalPipe[2] = {-1, -1};

void noteSignal(int) {
    const char byte = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &byte, 1);
}
}  // namespace

void onTerminationRequest(std::function<void()> handler) {
    if (signalPipe[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [h = std::move(handler)] {
        char buffer[16];
        while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        callGuarded("termination request", h);
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
}

void installFontSubstitutions() {
    QFont::insertSubstitutions(
        QStringLiteral(u"ＭＳ Ｐゴシック"),
        {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
}

}  // namespace stock::qt
