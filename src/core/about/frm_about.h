#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/main_window/about_form.h"
#include "core/main_window/lifetime.h"
#include "core/ports/controls.h"
#include "core/ports/message_box.h"
#include "core/ports/registry.h"
#include "core/ports/shell.h"
#include "core/ports/user_name.h"

namespace stock {

// The About window: who is logged on, the home-page link, and the launcher
// of the system's information tool. The window loads on its first touch and
// counts as a loaded window until it unloads.
class FrmAbout final : public AboutForm {
public:
    struct Services {
        Ui& ui;
        Lifetime& lifetime;
        UserName& userName;
        Shell& shell;
        Programs& programs;
        Registry& registry;
        MessageDialog& messageBox;
    };

    explicit FrmAbout(Services services);
    ~FrmAbout() override;
    FrmAbout(const FrmAbout&) = delete;
    FrmAbout& operator=(const FrmAbout&) = delete;

    // AboutForm: each of the first three loads the window when it is not loaded.
    void setTop(int twips) override;
    void setLeft(int twips) override;
    void show() override;
    void unload() override;

    bool loaded() const { return loaded_; }
    // The loaded window (loads it when it is not).
    Window& window();

    void Form_Load();
    void Form_MouseMove();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void url_Click();
    void url_MouseMove();

    void StartSysInfo();
    // Reads one value below KeyRoot as text into KeyVal. False when the key
    // or the value cannot be read; throws when the value holds no data.
    bool GetKeyValue(RegKey KeyRoot, const std::u16string& KeyName, const std::u16string& SubKeyRef,
                     std::u16string& KeyVal);

private:
    void load();
    void wire();

    Services s_;
    std::unique_ptr<Window> window_;
    bool loaded_ = false;
};

// The text of a reg::kDword value's bytes: "&h" and two upper-case hex digits
// per byte, the last byte first.
std::u16string regDwordLiteral(const std::uint8_t* data, std::size_t size);
// The general formatting of such a literal: its number in decimal. Throws
// when the literal is no number of at most 32 bits.
std::u16string formatHexLiteral(const std::u16string& literal);

inline constexpr std::uint32_t kRegValueBufferSize = 1024;
inline constexpr std::uint32_t kUserNameBufferSize = 255;
inline constexpr char16_t kMsinfoKey[] = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char16_t kMsinfoValue[] = u"PATH";
inline constexpr char16_t kMsinfoLocationKey[] = u"SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char16_t kMsinfoLocationValue[] = u"MSINFO";
inline constexpr char16_t kMsinfoFile[] = u"\\MSINFO32.EXE";

}  // namespace stock
