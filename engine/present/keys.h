#pragma once
// The keys every back end understands beyond the printable characters, and
// what each one does. A back end maps its own key codes to these names; the
// meaning is decided here once.
#include <optional>
#include <string>
#include <string_view>

#include "platform.h"

namespace lk {

enum class NamedKey {
    backspace,   // clears the answer field
    enter,       // ends a typed answer
    clear,       // Delete or Clear: clears the answer field
    back,        // Left, Page Up (a presentation remote's "previous")
    forward,     // Right, Page Down
    fullscreen,  // F11: the platform's own, never reaches the program
    palette,     // F2: projector colours on or off, the platform's own
    escape,      // Escape: leaves a practice problem for the menu
};
inline constexpr const char* kKeyEscape = "\x1b";

// The key the program reads for a named key; "" for the platform's own keys.
inline std::string program_key(NamedKey key) {
    switch (key) {
        case NamedKey::backspace: return "\b";
        case NamedKey::enter: return "\r";
        case NamedKey::clear: return "\f";
        case NamedKey::back: return kKeyStepBack;
        case NamedKey::forward: return kKeyForward;
        case NamedKey::escape: return kKeyEscape;
        case NamedKey::fullscreen:
        case NamedKey::palette: return {};
    }
    return {};
}

// A browser's names (KeyboardEvent.key) for the named keys. A page takes
// these keys for itself, so that none of them reaches the browser
// (Backspace never navigates back, F11 goes through the Fullscreen API).
struct DomKey {
    const char* name;
    NamedKey key;
};
inline constexpr DomKey kDomKeys[] = {
    {"Backspace", NamedKey::backspace}, {"Enter", NamedKey::enter},
    {"Delete", NamedKey::clear},        {"Clear", NamedKey::clear},
    {"ArrowLeft", NamedKey::back},      {"PageUp", NamedKey::back},
    {"ArrowRight", NamedKey::forward},  {"PageDown", NamedKey::forward},
    {"F11", NamedKey::fullscreen},      {"F2", NamedKey::palette},
    {"Escape", NamedKey::escape},
};

inline std::optional<NamedKey> named_key_of_dom(std::string_view name) {
    for (const auto& k : kDomKeys)
        if (name == k.name) return k.key;
    return std::nullopt;
}

// One typed character as the plain key it stands for, in every field: what
// a Japanese input method commits (full-width digits, "＋", "／", "．", "＝",
// "：", "（", "）", "＊", "ｘ", "Ｘ", the full-width space, the minus signs
// "ー", "ｰ", "－", "−" and "‐") becomes the ASCII key; "×" becomes "*" and
// "÷" becomes "/". Anything else is returned as it is.
std::string plain_key(std::string_view key);

}  // namespace lk
