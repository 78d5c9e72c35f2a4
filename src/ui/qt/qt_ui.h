#pragma once

#include <functional>

#include "core/ports/controls.h"

namespace stock::qt {

class QtUi final : public Ui {
public:
    std::unique_ptr<Window> createWindow(const FormSpec& form) override;
    double twipsPerPixelX() const override;
    void processEvents() override;
    void runSoon(Handler handler) override;
    void endProcess() override;
    void beep() override;
    bool endRequested() const { return ended_; }

private:
    bool ended_ = false;
};

// Runs `handler` from the event loop when the process is asked to end by
// SIGTERM, SIGINT or SIGHUP (a logout, a service manager, Ctrl+C).
void onTerminationRequest(std::function<void()> handler);

// Maps the layouts' Japanese font names to installed, metric-compatible faces.
void installFontSubstitutions();

}  // namespace stock::qt
