#pragma once

#include <string>
#include <utility>

#include "core/ports/message_box.h"
#include "core/ports/shell.h"

namespace stock::qt {

// Opens addresses with the desktop's default handler.
class QtShell final : public Shell {
public:
    void open(const std::u16string& address) override;
};

class QtMessageBox final : public MessageDialog {
public:
    // title: the application's title, the caption of every box.
    explicit QtMessageBox(std::u16string title) : title_(std::move(title)) {}
    void show(const std::u16string& prompt, Window* owner) override;

private:
    std::u16string title_;
};

}  // namespace stock::qt
