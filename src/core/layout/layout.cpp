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

std::vector<std::string> focusOrder(const FormSpec& form) {
    std::vector<const ControlSpec*> stops;
    for (const auto& c : form.controls) {
        const bool focusable =
            c.kind == ControlKind::Button || c.kind == ControlKind::ListBox || c.kind == ControlKind::TextBox;
        if (focusable && c.tab >= 0) stops.push_back(&c);
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const ControlSpec* a, const ControlSpec* b) { return a->tab < b->tab; });
    std::vector<std::string> names;
    names.reserve(stops.size());
    for (const auto* c : stops) names.push_back(c->name);
    return names;
}

const ControlSpec* findControl(const FormSpec& form, std::string_view name) {
    for (const auto& c : form.controls)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace stock
