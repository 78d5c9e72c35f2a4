#pragma once

#include <string>

namespace stock {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // An application-modal box with the prompt, an OK button only, no icon
    // and the application's title as its caption. Returns when the user has
    // dismissed it.
    virtual void show(const std::u16string& prompt) = 0;
};

}  // namespace stock
