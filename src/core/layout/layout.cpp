#include "core/layout/layout.h"

#include <algorithm>
#include <cmath>

namespace stock {

ControlSpec makeControl(std::string name, ControlKind kind, std::u16string caption, int left, int top, int width,
                        int height, int tab) {
    ControlSpec c;
    c.name = std::move(name);
    c.kind = kind;
    c.accessibleName = caption;
    c.caption = std::move(caption);
    c.left = left, c.top = top, c.width = width, c.height = height, c.tab = tab;
    return c;
}

FontSpec pGothic(double points, int weight) {
    FontSpec f;
    f.family = u"ＭＳ Ｐゴシック";
    f.points = points;
    f.weight = weight;
    f.charset = 128;
    return f;
}

int twipsToPixels(double twips, double twipsPerPixel) {
    if (!(twipsPerPixel > 0)) return 0;
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

PixelRect twipsToPixels(int left, int top, int width, int height, double tpp) {
    PixelRect r;
    r.x = twipsToPixels(left, tpp);
    r.y = twipsToPixels(top, tpp);
    r.w = twipsToPixels(static_cast<double>(left) + width, tpp) - r.x;
    r.h = twipsToPixels(static_cast<double>(top) + height, tpp) - r.y;
    return r;
}

int pixelsToTwips(double pixels, double twipsPerPixel) { return static_cast<int>(std::lround(pixels * twipsPerPixel)); }

double twipsPerPixelAt(double dpi) { return dpi > 0 ? kTwipsPerInch / dpi : kTwipsPerInch / 96; }

bool takesFocus(const ControlSpec& c) {
    const bool focusable =
        c.kind == ControlKind::Button || c.kind == ControlKind::ListBox || c.kind == ControlKind::TextBox;
    return focusable && c.tab >= 0;
}

std::vector<const ControlSpec*> inFocusOrder(const FormSpec& form) {
    std::vector<const ControlSpec*> order;
    order.reserve(form.controls.size());
    for (const auto& c : form.controls) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
        return takesFocus(*a) && (!takesFocus(*b) || a->tab < b->tab);
    });
    return order;
}

std::vector<std::string> focusOrder(const FormSpec& form) {
    std::vector<std::string> names;
    for (const auto* c : inFocusOrder(form)) {
        if (!takesFocus(*c)) break;
        names.push_back(c->name);
    }
    return names;
}

std::vector<MenuNode> menuTree(const std::vector<MenuSpec>& menu) {
    std::vector<MenuNode> tree(menu.size());
    std::vector<std::size_t> open;  // the entries whose descendants may still follow
    for (std::size_t i = 0; i < menu.size(); ++i) {
        while (!open.empty() && menu[open.back()].level >= menu[i].level) {
            tree[open.back()].end = i;
            open.pop_back();
        }
        tree[i].parent = open.empty() ? kMenuBar : open.back();
        open.push_back(i);
    }
    for (const std::size_t i : open) tree[i].end = menu.size();
    return tree;
}

const ControlSpec* findControl(const FormSpec& form, std::string_view name) {
    for (const auto& c : form.controls)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace stock
