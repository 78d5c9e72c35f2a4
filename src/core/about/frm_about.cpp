#include "core/about/frm_about.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "core/about/frm_about_layout.h"
#include "core/text/ansi.h"
#include "core/guard/guard.h"

namespace stock {
namespace {

// Closes an opened key on every way out of the reader, errors included.
class KeyCloser {
public:
    KeyCloser(Registry& registry, RegKey key) : registry_(registry), key_(key) {}
    ~KeyCloser() {
        try {
            registry_.closeKey(key_);  // its status does not matter
        } catch (...) {
            reportFailure("closing a registry key");
        }
    }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    Registry& registry_;
    RegKey key_;
};

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

}  // namespace

FrmAbout::FrmAbout(Services services) : s_(services) {}

FrmAbout::~FrmAbout() = default;

void FrmAbout::load() {
    // An earlier, unloaded window is released here, outside its own handlers.
    window_ = s_.ui.createWindow(frmAboutLayout());
    loaded_ = true;
    s_.lifetime.windowLoaded();
    wire();
    Form_Load();
}

Window& FrmAbout::window() {
    if (!loaded_) load();
    return *window_;
}

void FrmAbout::wire() {
    Window& w = *window_;
    w.button("cmdOK").onClick(guarded("cmdOK_Click", [this] { cmdOK_Click(); }));
    w.button("cmdSysInfo").onClick(guarded("cmdSysInfo_Click", [this] { cmdSysInfo_Click(); }));
    w.label("url").onClick(guarded("url_Click", [this] { url_Click(); }));
    w.label("url").onMouseMove(guarded("url_MouseMove", [this] { url_MouseMove(); }));
    w.onMouseMove(guarded("Form_MouseMove", [this] { Form_MouseMove(); }));
    // Nothing holds the window open: closing it from the frame unloads it.
    w.onCloseRequest(guarded("frmAbout close", [this] { unload(); }));
}

void FrmAbout::setTop(int twips) { window().setTop(twips); }

void FrmAbout::setLeft(int twips) { window().setLeft(twips); }

void FrmAbout::show() { window().show(); }

void FrmAbout::unload() {
    if (!loaded_) return;
    loaded_ = false;
    window_->destroy();
    s_.lifetime.windowUnloaded();
}

void FrmAbout::Form_Load() {
    TextBox& box = window_->textBox("txtUserName");
    try {
        std::string buffer(kUserNameBufferSize, ' ');
        std::uint32_t count = kUserNameBufferSize;
        s_.userName.getUserName(buffer.data(), count);  // only the count decides
        if (count >= 1) {
            std::string_view name(buffer.data(), std::min<std::size_t>(count, buffer.size()));
            name = name.substr(0, name.find('\0'));
            box.setText(fromAnsi(name));
        } else {
            box.setText(u"");
        }
    } catch (...) {
        reportFailure("reading the user name");
        box.setText(kUnknownUser);
    }
}

void FrmAbout::cmdOK_Click() { unload(); }

void FrmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void FrmAbout::url_Click() { s_.shell.open(window_->label("url").caption()); }

void FrmAbout::url_MouseMove() { window_->label("url").setBold(true); }

void FrmAbout::Form_MouseMove() { window_->label("url").setBold(false); }

void FrmAbout::StartSysInfo() {
    bool started = false;
    try {
        std::u16string path;
        bool found = GetKeyValue(reg::kLocalMachine, kMsinfoKey, kMsinfoValue, path);
        if (!found && GetKeyValue(reg::kLocalMachine, kMsinfoLocationKey, kMsinfoLocationValue, path)) {
            // The folder as stored: no separator added or removed.
            path += kMsinfoFile;
            found = s_.programs.isFile(path);
        }
        if (found) {
            // The path is the program itself: a path with spaces is never
            // split into a shorter program and arguments.
            s_.programs.start(path);
            started = true;
        }
    } catch (...) {
        reportFailure("cmdSysInfo_Click");  // and the one message below
    }
    if (!started) s_.messageBox.show(kSysInfoError, loaded_ ? window_.get() : nullptr);
}

bool FrmAbout::GetKeyValue(RegKey KeyRoot, const std::u16string& KeyName, const std::u16string& SubKeyRef,
                           std::u16string& KeyVal) {
    // Read rights only: asking for write rights that are never used would
    // fail for every user without administrator rights.
    RegKey key = 0;
    if (s_.registry.openKey(KeyRoot, toAnsi(KeyName), 0, reg::kRead, key) != reg::kSuccess) {
        KeyVal.clear();
        return false;
    }
    KeyCloser closer(s_.registry, key);

    std::vector<std::uint8_t> buffer(kRegValueBufferSize, 0);
    std::uint32_t size = kRegValueBufferSize;
    std::uint32_t type = reg::kNone;
    if (s_.registry.queryValue(key, toAnsi(SubKeyRef), type, buffer.data(), size) != reg::kSuccess) {
        KeyVal.clear();
        return false;
    }
    if (size == 0) throw std::runtime_error("registry value without data");
    size = std::min(size, kRegValueBufferSize);
    if (buffer[size - 1] == 0) --size;  // the string's terminator

    switch (type) {
        case reg::kSz:
            KeyVal = fromAnsi(std::string_view(reinterpret_cast<const char*>(buffer.data()), size));
            break;
        case reg::kDword:
            KeyVal = formatHexLiteral(regDwordLiteral(buffer.data(), size));
            break;
        default:
            break;  // read, but not as text: KeyVal keeps what it held
    }
    return true;
}

std::u16string regDwordLiteral(const std::uint8_t* data, std::size_t size) {
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string literal = u"&h";
    for (std::size_t i = size; i-- > 0;) {
        literal.push_back(digits[data[i] >> 4]);
        literal.push_back(digits[data[i] & 0xF]);
    }
    return literal;
}

// A reg::kDword is an unsigned 32-bit number, so its text is that number in
// decimal: "&h000105" gives "261", "&hFFFFFFFF" gives "4294967295".
std::u16string formatHexLiteral(const std::u16string& literal) {
    if (literal.size() < 3 || literal[0] != u'&' || (literal[1] != u'h' && literal[1] != u'H'))
        throw std::invalid_argument("not a hexadecimal literal");
    std::uint64_t value = 0;
    for (std::size_t i = 2; i < literal.size(); ++i) {
        const int d = hexDigit(literal[i]);
        if (d < 0) throw std::invalid_argument("not a hexadecimal literal");
        value = value * 16 + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFu) throw std::overflow_error("more than 32 bits");
    }
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return text;
}

}  // namespace stock
