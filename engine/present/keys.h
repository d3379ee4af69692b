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
};

// The key the program reads for a named key; "" for the platform's own keys.
inline std::string program_key(NamedKey key) {
    switch (key) {
        case NamedKey::backspace: return "\b";
        case NamedKey::enter: return "\r";
        case NamedKey::clear: return "\f";
        case NamedKey::back: return kKeyStepBack;
        case NamedKey::forward: return kKeyForward;
        case NamedKey::fullscreen:
        case NamedKey::palette: return {};
    }
    return {};
}

// The named key of a browser's KeyboardEvent.key value.
inline std::optional<NamedKey> named_key_of_dom(std::string_view name) {
    if (name == "Backspace") return NamedKey::backspace;
    if (name == "Enter") return NamedKey::enter;
    if (name == "Delete" || name == "Clear") return NamedKey::clear;
    if (name == "ArrowLeft" || name == "PageUp") return NamedKey::back;
    if (name == "ArrowRight" || name == "PageDown") return NamedKey::forward;
    if (name == "F11") return NamedKey::fullscreen;
    if (name == "F2") return NamedKey::palette;
    return std::nullopt;
}

}  // namespace lk
