#include "probe.h"

#include <cmath>

#include "keys.h"
#include "trace.h"

namespace lk {

namespace {

std::string at(double x, double y) {
    return std::to_string(std::lround(x)) + "," + std::to_string(std::lround(y));
}

std::string button_name(const overlay::Button& b) {
    using overlay::Action;
    switch (b.action) {
        case Action::back: return "back";
        case Action::forward: return "forward";
        case Action::pen: return "pen";
        case Action::colour:
            return b.colour == overlay::InkColour::red    ? "red"
                   : b.colour == overlay::InkColour::blue ? "blue"
                                                          : "ink";
        case Action::clear_ink: return "clear_ink";
        case Action::keypad: return "keypad";
        case Action::fullscreen: return "fullscreen";
        case Action::key: break;
    }
    // A key whose character would break a NAME=VALUE word goes by a name.
    return "key" + std::string(b.key == "\b"   ? "BS"
                               : b.key == "\f" ? "C"
                               : b.key == "\r" ? "Enter"
                               : b.key == "=" ? "Equals"
                               : b.key == " " ? "Space"
                                               : b.key);
}

// A choice by its number, or a button by what it does (ヒント, メニューへ).
std::string choice_name(const PromptChoice& c) {
    if (c.key == "h") return "hint_button";
    if (c.key == kKeyEscape) return "menu_button";
    return "choice" + std::to_string(c.number);
}

}  // namespace

const char* prompt_kind_name(PromptKind kind) {
    switch (kind) {
        case PromptKind::menu: return "menu";
        case PromptKind::bar: return "bar";
        case PromptKind::step: return "step";
        case PromptKind::next_step: return "next_step";
        case PromptKind::answer: return "answer";
        case PromptKind::verdict: return "verdict";
        case PromptKind::none: break;
    }
    return "none";
}

std::string describe_overlay(const overlay::Overlay& o) {
    const double r = o.view().pixel_ratio;
    std::string line = "view=" + at(o.width() / r, o.height() / r) +
                       std::string(" keypad_shown=") + (o.keypad_visible() ? "1" : "0") +
                       " toolbar=" + json_number(o.toolbar_alpha()) +
                       " pen_on=" + (o.pen_on() ? "1" : "0") +
                       " strokes=" + std::to_string(o.strokes().size());
    auto add = [&](const overlay::Button& b) {
        line += ' ' + button_name(b) + '=' + at((b.rect.x + b.rect.w / 2) / r, (b.rect.y + b.rect.h / 2) / r) +
                ',' + at(b.rect.w / r, b.rect.h / r);
    };
    for (const auto& b : o.toolbar_buttons()) add(b);
    for (const auto& b : o.keypad_buttons()) add(b);
    return line;
}

std::string describe_prompt(int n, const PromptEvent& p, const overlay::Overlay& o) {
    const View& box = o.view();
    const double r = o.view().pixel_ratio;
    std::string line = "n=" + std::to_string(n) + " kind=" + prompt_kind_name(p.kind) +
                       " step=" + std::to_string(p.step);
    if (!p.expected.empty()) line += " expected=" + p.expected;
    for (const auto& c : p.choices)
        line += " " + choice_name(c) + "=" +
                at((box.offset_x + (c.area.x1 + c.area.x2) / 2 * box.scale) / r,
                   (box.offset_y + (c.area.y1 + c.area.y2) / 2 * box.scale) / r);
    return line + " " + describe_overlay(o);
}

}  // namespace lk
