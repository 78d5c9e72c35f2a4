#include "core/main_window/frm_clipboard_layout.h"

namespace stock {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kLavender{213, 209, 243};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kLightYellow{255, 255, 192};
constexpr Rgb kLightGreen{192, 255, 192};

ControlSpec button(const char* name, std::u16string caption, int l, int t, int w, int h, int tab) {
    return makeControl(name, ControlKind::Button, std::move(caption), l, t, w, h, tab);
}

ControlSpec styledLabel(const char* name, std::u16string caption, int l, int t, int w, int h, int tab, Rgb fore) {
    ControlSpec c = makeControl(name, ControlKind::Label, std::move(caption), l, t, w, h, tab);
    c.fore = fore;
    c.transparent = true;
    c.font = pGothic(9.75, 700);
    c.centred = true;
    return c;
}

ControlSpec textBox(const char* name, std::u16string accessible, int l, int t, int w, int h, int tab, Rgb back,
                    bool readOnly) {
    ControlSpec c = makeControl(name, ControlKind::TextBox, u"", l, t, w, h, tab);
    c.accessibleName = std::move(accessible);
    c.back = back;
    c.multiLine = true;
    c.readOnly = readOnly;
    return c;
}

ControlSpec timer() {
    ControlSpec c;
    c.name = "Timer1";
    c.kind = ControlKind::Timer;
    c.intervalMs = 1000;
    return c;
}

ControlSpec historyList() {
    ControlSpec c;
    c.name = "List1";
    c.kind = ControlKind::ListBox;
    c.accessibleName = u"History";
    c.left = 0, c.top = 240, c.width = 7215, c.height = 1950, c.tab = 0;
    c.back = kLavender;
    c.fore = kBlue;
    return c;
}

ControlSpec line() {
    ControlSpec c;
    c.name = "Line1";
    c.kind = ControlKind::Line;
    c.left = 5760, c.top = 4800, c.width = 0, c.height = 360;
    c.lineColour = SystemColour::ScrollBar;
    return c;
}

// The controls in the form's own order, which is also their stacking order.
std::vector<ControlSpec> controls() {
    std::vector<ControlSpec> c;
    c.push_back(timer());
    c.push_back(button("Command9", u"About", 5040, 0, 1195, 265, 15));
    c.push_back(button("Command8", kShowNormal, 5520, 5160, 1695, 255, 6));
    c.push_back(button("Command6", u"Hide", 3990, 5160, 1530, 255, 5));
    c.push_back(button("Command7", u"Exit", 6240, 0, 975, 265, 9));
    c.push_back(button("Command5", u"Delete", 3260, 0, 1785, 265, 8));
    c.push_back(button("Command4", u"Cut", 0, 5160, 1320, 255, 2));
    c.push_back(button("Command3", u"Paste", 2540, 5160, 1455, 255, 4));
    c.push_back(button("Command2", u"Copy", 1320, 5160, 1215, 255, 3));
    c.push_back(textBox("RichTextBox2", u"Current clip", 3960, 2160, 3255, 2730, 10, kLightGreen, true));
    // A huge clip is shown only in part (the text itself stays whole).
    c.back().displayLimit = kCurrentClipDisplayUnits;
    c.push_back(textBox("RichTextBox1", u"Edit box", 0, 2160, 3975, 3015, 1, kLightYellow, false));
    c.push_back(historyList());
    c.push_back(button("Command1", u"Clear   History", 1080, 0, 2175, 265, 7));
    c.push_back(line());
    c.push_back(styledLabel("Label4", u"← Edit History", 3770, 4920, 2055, 195, 14, kLightYellow));
    c.push_back(makeControl("Label3", ControlKind::Label, u"Label3", 3840, 2160, 135, 15, 13));
    c.push_back(styledLabel("Label1", u"History↓", 0, 0, 1215, 255, 12, kLavender));
    c.push_back(styledLabel("Label2", u"Now Clip ↑", 5880, 4920, 1455, 195, 11, kLightGreen));
    return c;
}

std::vector<MenuSpec> menu() {
    return {
        {"mnuAbout", u"about", 1},
        {"mnuedit", u"edit", 2},
        {"mnuCut", u"cut", 3},
        {"mnuCopy", u"copy", 3},
        {"mnuPaste", u"paste", 3},
        {"mnuDelete", u"delete", 2},
        {"mnuBar1", u"-", 2},
        {"mnuCHistory", u"clear history", 2},
        {"mnuBar2", u"-", 2},
        {"mnuHide", u"hide", 2},
        {"mnusnormal", kShowNormal, 2},
        {"mnuBar3", u"-", 2},
        {"mnuExit", u"exit            (&X)", 2},
    };
}

FormSpec build() {
    FormSpec f;
    f.name = "frmClipboard";
    f.caption = u" すとっくん  [クリップボードテキスト収集・編集・再利用ツール]";
    f.clientWidth = 7215;
    f.clientHeight = 5415;
    f.back = kBlack;
    f.border = Border::FixedSingle;
    f.centred = true;
    f.showInTaskbar = false;
    f.controls = controls();
    f.menu = menu();
    return f;
}

}  // namespace

const FormSpec& frmClipboardLayout() {
    static const FormSpec layout = build();
    return layout;
}

}  // namespace stock
