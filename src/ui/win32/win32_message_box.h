#pragma once

#include <string>

#include "core/ports/message_box.h"

namespace stock::win32 {

// MessageBoxW owned by the given window, above every other window (the main
// window is topmost).
class Win32MessageDialog final : public MessageDialog {
public:
    explicit Win32MessageDialog(std::u16string title) : title_(std::move(title)) {}
    void show(const std::u16string& prompt, Window* owner) override;

private:
    std::u16string title_;
};

}  // namespace stock::win32
