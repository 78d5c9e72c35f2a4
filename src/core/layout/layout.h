// Window layouts as plain data: every front end builds its windows from these
// tables, so a layout is written once, in twips, and never per toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stock {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class ControlKind { Timer, Button, Label, Line, ListBox, TextBox, Image };

struct FontSpec {
    std::u16string family;
    double points = 9.0;
    int weight = 400;  // 400 regular, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;  // 128: Shift-JIS
};

// Colours the platform chooses itself.
enum class SystemColour { None, ScrollBar };

struct ControlSpec {
    std::string name;
    ControlKind kind = ControlKind::Button;
    std::u16string caption;                        // caption, initial text or tool tip-less label text
    int left = 0, top = 0, width = 0, height = 0;  // twips, client coordinates
    int tab = -1;                                  // focus order, -1: never takes the focus
    std::optional<Rgb> back;                       // nullopt: the platform's default
    std::optional<Rgb> fore;
    bool transparent = false;  // draws straight on the window's surface
    std::optional<FontSpec> font;
    bool centred = false;
    std::u16string accessibleName;
    std::u16string toolTip;
    int intervalMs = 0;            // timers
    bool readOnly = false;         // text boxes
    bool multiLine = false;        // text boxes
    std::size_t displayLimit = 0;  // read-only text boxes: code units shown at most, 0 for all
    bool defaultButton = false;    // buttons: pressed by Enter unless another button has the focus
    bool cancelButton = false;     // buttons: pressed by Esc wherever the focus is
    SystemColour lineColour = SystemColour::None;
};

struct MenuSpec {
    std::string name;
    std::u16string caption;  // "-" is a separator; '&' marks the access key
    int level = 1;           // 1: menu bar entry; deeper levels nest under the last shallower entry
};

enum class Border { FixedSingle, FixedDialog };

struct FormSpec {
    std::string name;
    std::u16string caption;
    int clientWidth = 0, clientHeight = 0;  // twips
    Rgb back;
    Border border = Border::FixedSingle;
    bool centred = false;  // start centred on the screen
    bool showInTaskbar = false;
    std::vector<ControlSpec> controls;  // in creation order
    std::vector<MenuSpec> menu;         // depth-first
};

// Twips to pixels for a rectangle: each edge is rounded on its own, so that
// rectangles which touch in twips still touch in pixels.
struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A control at its place in twips; its caption also names it for
// accessibility.
ControlSpec makeControl(std::string name, ControlKind kind, std::u16string caption, int left, int top, int width,
                        int height, int tab);

// The layouts' Japanese proportional gothic face, character set 128.
FontSpec pGothic(double points, int weight);

inline constexpr double kTwipsPerInch = 1440.0;

// Twips per pixel at `dpi` dots per inch; 15 (96 DPI) when the DPI is unknown.
double twipsPerPixelAt(double dpi);

// Each to the nearest whole unit; no pixels when the scale is unknown.
int twipsToPixels(double twips, double twipsPerPixel);
PixelRect twipsToPixels(int left, int top, int width, int height, double twipsPerPixel);
int pixelsToTwips(double pixels, double twipsPerPixel);

// Buttons, lists and text boxes with a tab index take the focus.
bool takesFocus(const ControlSpec& control);

// Every control of a form, those that take the focus first by tab index,
// then the others as the form lists them: the order in which to create them
// where the tab order follows the order of creation.
std::vector<const ControlSpec*> inFocusOrder(const FormSpec& form);

// Keyboard focus order: the names of the controls that take the focus, by tab index.
std::vector<std::string> focusOrder(const FormSpec& form);

// Where an entry of a depth-first menu table stands: under the last entry
// before it of a smaller level, or in the menu bar when there is none.
inline constexpr std::size_t kMenuBar = static_cast<std::size_t>(-1);
struct MenuNode {
    std::size_t parent = kMenuBar;  // index of the entry it nests under
    std::size_t end = 0;            // one past its last descendant
    bool hasChildren(std::size_t self) const { return end > self + 1; }
};
std::vector<MenuNode> menuTree(const std::vector<MenuSpec>& menu);

const ControlSpec* findControl(const FormSpec& form, std::string_view name);

}  // namespace stock
