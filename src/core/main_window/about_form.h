#pragma once

namespace stock {

// What the main window needs of the About window. Setting a position loads
// the window first when it is not loaded; unloading one that is not loaded
// does nothing.
class AboutForm {
public:
    virtual ~AboutForm() = default;
    virtual void setTop(int twips) = 0;
    virtual void setLeft(int twips) = 0;
    virtual void show() = 0;
    virtual void unload() = 0;
};

}  // namespace stock
