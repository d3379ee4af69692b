#include "headless_platform.h"

#include "../errors.h"

namespace lk {

std::string decode_key_script(std::string_view script) {
    std::string keys;
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\\' && i + 1 < script.size()) {
            char c = script[i + 1];
            switch (c) {
                case 'r':
                case 'n': keys += '\r'; ++i; continue;
                case 'b': keys += '\b'; ++i; continue;
                case 'f': keys += '\f'; ++i; continue;
                case 'e': keys += '\x1b'; ++i; continue;
                case '\\': keys += '\\'; ++i; continue;
                default: break;
            }
        }
        keys += script[i] == '\n' ? '\r' : script[i];
    }
    return keys;
}

void HeadlessPlatform::snapshot_if_changed() {
    const Canvas* shown = canvas();
    if (shown && shown->revision() != shown_revision_) {
        shown_revision_ = shown->revision();
        if (on_step_) on_step_(*shown);
    }
}

void HeadlessPlatform::out_of_keys() { throw ProgramEnd{0}; }

}  // namespace lk
