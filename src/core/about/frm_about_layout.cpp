#include "core/about/frm_about_layout.h"

#include <string>
#include <utility>

namespace stock {
namespace {

constexpr Rgb kDarkGreen{26, 123, 63};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kCyan{0, 255, 255};

// The window's own font, for the labels that set none: the proportional
// gothic face at 8.25 points, which also carries the product name's kana.
ControlSpec label(const char* name, std::u16string caption, int l, int t, int w, int h, int tab, Rgb fore) {
    ControlSpec c = makeControl(name, ControlKind::Label, std::move(caption), l, t, w, h, tab);
    c.fore = fore;
    c.transparent = true;
    c.centred = true;
    c.font = pGothic(8.25, 400);
    return c;
}

FormSpec build() {
    FormSpec f;
    f.name = "frmAbout";
    f.caption = u"すとっくん\u3000[いろいろな情報]";
    f.clientWidth = 4905;
    f.clientHeight = 1215;
    f.back = kDarkGreen;
    f.border = Border::FixedDialog;
    f.showInTaskbar = false;

    ControlSpec user = makeControl("txtUserName", ControlKind::TextBox, u"name", 840, 960, 3135, 270, 5);
    user.accessibleName = u"User name";
    user.back = kDarkGreen;
    user.fore = kYellow;
    user.font = pGothic(9.75, 400);
    user.centred = true;
    user.readOnly = true;
    f.controls.push_back(user);

    ControlSpec ok = makeControl("cmdOK", ControlKind::Button, u"OK", 4080, 120, 780, 705, 0);
    ok.defaultButton = true;
    ok.cancelButton = true;
    f.controls.push_back(ok);
    f.controls.push_back(makeControl("cmdSysInfo", ControlKind::Button, u"sys", 4100, 869, 765, 290, 1));

    ControlSpec url = label("url", kHomePage, 360, 600, 3375, 255, 7, kCyan);
    url.font = pGothic(9.75, 400);
    url.toolTip = u"すとっくんのホームページへジャンプ";
    f.controls.push_back(url);

    f.controls.push_back(label("luser", u"USER :", 120, 960, 645, 210, 6, kYellow));

    ControlSpec image = makeControl("Image1", ControlKind::Image, u"", 120, 120, 480, 480, -1);
    image.accessibleName = u"すとっくん";
    f.controls.push_back(image);

    f.controls.push_back(label("lblDescription", u"2001-2026 すとっくん", 2160, 360, 1965, 330, 2, kYellow));

    ControlSpec title = label("lblTitle", u"すとっくん", 720, 240, 1365, 360, 4, kMagenta);
    title.font = pGothic(15.75, 700);
    f.controls.push_back(title);

    f.controls.push_back(label("lblVersion", u"Ver 0.14  2001/01/24", 2280, 120, 1845, 225, 3, kYellow));
    return f;
}

}  // namespace

const FormSpec& frmAboutLayout() {
    static const FormSpec layout = build();
    return layout;
}

}  // namespace stock
