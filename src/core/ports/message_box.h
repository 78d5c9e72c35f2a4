#pragma once

#include <string>

namespace stock {

class Window;

class MessageDialog {
public:
    virtual ~MessageDialog() = default;
    // An application-modal box with the prompt, an OK button only, no icon
    // and the application's title as its caption, shown above `owner` (and
    // above every other window of the program). Returns when the user has
    // dismissed it.
    virtual void show(const std::u16string& prompt, Window* owner) = 0;
};

}  // namespace stock
