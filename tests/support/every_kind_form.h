// A small form with a control of every kind that takes handlers and a menu
// of two levels, for the front ends' tests of what their windows do with
// handlers.
#pragma once

#include "core/layout/layout.h"
#include "core/ports/controls.h"

namespace stock::test {

inline FormSpec everyKindForm() {
    FormSpec f;
    f.name = "everyKind";
    f.caption = u"every kind";
    f.clientWidth = 3000;
    f.clientHeight = 2000;
    f.controls = {makeControl("ok", ControlKind::Button, u"OK", 120, 120, 1200, 375, 0),
                  makeControl("box", ControlKind::TextBox, u"", 120, 600, 2400, 375, 1),
                  makeControl("list", ControlKind::ListBox, u"", 120, 1080, 2400, 600, 2),
                  makeControl("label", ControlKind::Label, u"label", 1500, 120, 1200, 255, -1),
                  makeControl("tick", ControlKind::Timer, u"", 0, 0, 0, 0, -1)};
    f.controls.back().intervalMs = 10;
    f.menu = {{"top", u"Top", 1}, {"item", u"Item", 2}};
    return f;
}

// Gives every control of everyKindForm() and the window itself `h` for each
// of their events.
inline void giveEveryHandler(Window& w, const Handler& h) {
    w.button("ok").onClick(h);
    TextBox& box = w.textBox("box");
    box.onChange(h);
    for (const auto c : {EditCommand::Copy, EditCommand::Cut, EditCommand::Paste, EditCommand::Delete})
        box.onEditCommand(c, h);
    w.listBox("list").onClick(h);
    w.label("label").onClick(h);
    w.label("label").onMouseMove(h);
    w.menuEntry("item").onClick(h);
    w.timer("tick").onTick(h);
    w.onCloseRequest(h);
    w.onMouseMove(h);
}

}  // namespace stock::test
