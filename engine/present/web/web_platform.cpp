#include "web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <deque>
#include <variant>

#include "../errors.h"
#include "../keys.h"
#include "../layout.h"
#include "../prompt.h"
#include "../strings.h"
#include "../trace.h"

namespace lk {

namespace {

// One unit of the lessons' delay, in milliseconds, as on the desktop.
constexpr double kDelayUnitMs = 1.5;
// How long the error line's endless wait sleeps between looks.
constexpr int kHoldMs = 1000;
// A named key arrives from the page behind this mark; a typed character
// arrives as itself.
constexpr char kNamedMark = '\x01';

// The page's side of the back end: its key queue, its canvas and its sleep.
EM_JS(char*, web_next_key, (), {
    const key = Module.lkKeys.shift();
    return key === undefined ? 0 : allocateUTF8(key);
});
// Sizes the canvas to the page at the device's pixel ratio; writes its size
// in device pixels and tells whether it changed.
EM_JS(int, web_fit_canvas, (int* size), {
    const canvas = Module.canvas;
    const ratio = window.devicePixelRatio || 1;
    const w = Math.max(1, Math.round(canvas.clientWidth * ratio));
    const h = Math.max(1, Math.round(canvas.clientHeight * ratio));
    const changed = canvas.width !== w || canvas.height !== h;
    if (changed) {
        canvas.width = w;
        canvas.height = h;
    }
    HEAP32[size >> 2] = w;
    HEAP32[(size >> 2) + 1] = h;
    return changed || Module.lkRepaint ? (Module.lkRepaint = false, 1) : 0;
});
// Sleeps until a key or another event wakes the program, or `ms` pass.
// lkIdle tells a test that the program is waiting with its picture drawn.
EM_ASYNC_JS(void, web_sleep, (int ms), {
    if (Module.lkKeys.length) return;
    Module.lkIdle = true;
    await new Promise(resolve => {
        const timer = setTimeout(() => { Module.lkWake = null; resolve(); }, ms);
        Module.lkWake = () => { clearTimeout(timer); Module.lkWake = null; resolve(); };
    });
    Module.lkIdle = false;
});
// Where the layout area lies on the canvas, in device pixels.
EM_JS(void, web_view, (int x, int y, int w, int h, double scale), {
    Module.lkView = {x: x, y: y, w: w, h: h, scale: scale};
});
// A plain timer, for the lessons' delay: keys typed meanwhile wait their turn.
EM_ASYNC_JS(void, web_pause, (int ms), {
    await new Promise(resolve => setTimeout(resolve, ms));
});
EM_JS(void, web_prompt, (const char* json), {
    Module.lkPrompt = JSON.parse(UTF8ToString(json));
    Module.lkPrompts += 1;
});
EM_JS(void, web_toggle_fullscreen, (), { Module.lkToggleFullscreen(); });
EM_JS(void, web_painted, (), { Module.lkPainted(); });
EM_JS(void, web_ended, (), { Module.lkEnded(); });

// How long a program waiting at a prompt sleeps when its picture did not
// change: a key or any other event still wakes it at once. A waiting
// program only redraws its answer cursor where it already is.
constexpr int kQuietMs = 500;

// A fingerprint of everything a canvas shows, so that a redraw of the same
// picture (the answer cursor drawn again on every poll) is not painted.
std::uint64_t fingerprint(const Canvas& canvas) {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    };
    for (const auto& op : canvas.ops()) {
        std::size_t kind = op.index();
        mix(&kind, sizeof kind);
        std::visit(
            [&](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, DrawText>) {
                    float numbers[3] = {o.x, o.y, o.font.size};
                    int ints[5] = {o.h, o.v, o.colour, o.font.bold, o.font.italic};
                    mix(numbers, sizeof numbers);
                    mix(ints, sizeof ints);
                    mix(o.text.data(), o.text.size());
                    mix(o.font.face.data(), o.font.face.size());
                } else if constexpr (std::is_same_v<T, DrawPolyline> || std::is_same_v<T, FillPolygon>) {
                    mix(o.points.data(), o.points.size() * sizeof(Point));
                    mix(&o.colour, sizeof o.colour);
                    mix(&o.pen, sizeof o.pen);
                    if constexpr (std::is_same_v<T, FillPolygon>) mix(&o.fill, sizeof o.fill);
                } else {
                    // Plain structs of numbers.
                    mix(&o, sizeof o);
                }
            },
            op);
    }
    return h;
}

}  // namespace

WebPlatform::WebPlatform() = default;

bool WebPlatform::present(bool everything) {
    int size[2] = {0, 0};
    if (web_fit_canvas(size) || everything) needs_full_render_ = true;
    Letterbox box = fit_layout(size[0], size[1]);
    view_.scale = box.scale;
    view_.offset_x = box.offset_x;
    view_.offset_y = box.offset_y;
    view_.width = size[0];
    view_.height = size[1];
    web_view(static_cast<int>(box.offset_x), static_cast<int>(box.offset_y),
             static_cast<int>(kCanvasWidth * box.scale + 0.5),
             static_cast<int>(kCanvasHeight * box.scale + 0.5), box.scale);
    static const Canvas empty;
    const Canvas& canvas = canvas_ ? *canvas_ : empty;
    Box area;
    bool damaged = canvas.take_damage(area);
    std::uint64_t shown = damaged || needs_full_render_ ? fingerprint(canvas) : shown_;
    if (needs_full_render_) {
        render_canvas_2d(canvas, view_);
        needs_full_render_ = false;
    } else if (damaged && shown != shown_) {
        render_region_2d(canvas, view_, area);
    } else {
        return false;
    }
    shown_ = shown;
    web_painted();
    return true;
}

void WebPlatform::handle_named_key(const std::string& name) {
    auto key = named_key_of_dom(name);
    if (!key) return;
    if (*key == NamedKey::fullscreen) {
        web_toggle_fullscreen();
    } else if (*key == NamedKey::palette) {
        view_.palette = view_.palette == Palette::original ? Palette::projector : Palette::original;
        needs_full_render_ = true;
    }
}

std::string WebPlatform::poll_key() {
    if (!pending_.empty()) {
        std::string key = pending_.front();
        pending_.pop_front();
        return key;
    }
    for (;;) {
        char* raw = web_next_key();
        if (!raw) break;
        std::string key(raw);
        std::free(raw);
        if (key.empty()) continue;
        if (key[0] != kNamedMark) return key;
        std::string name = key.substr(1);
        auto named = named_key_of_dom(name);
        if (!named) continue;
        std::string program = program_key(*named);
        if (!program.empty()) return program;
        handle_named_key(name);
    }
    if (pending_.empty() && key_source_) {
        // A driven run: the picture of each step is shown before its key.
        present();
        for (const auto& c : split_chars(key_source_())) pending_.push_back(c);
    }
    if (pending_.empty()) return {};
    std::string key = pending_.front();
    pending_.pop_front();
    return key;
}

void WebPlatform::idle(int max_ms) {
    web_sleep(present() ? max_ms : kQuietMs);
}

void WebPlatform::delay(int duration) {
    present();
    double end = emscripten_get_now() + std::max(0.0, duration * kDelayUnitMs);
    for (double now = emscripten_get_now(); now < end; now = emscripten_get_now())
        web_pause(static_cast<int>(std::ceil(end - now)));
}

void WebPlatform::hold() {
    for (;;) {
        present();
        web_sleep(kHoldMs);
    }
}

void WebPlatform::on_prompt(const PromptEvent& prompt) {
    static const char* const kinds[] = {"none", "menu", "bar", "step", "next_step"};
    auto box = [](const Box& b) {
        return "[" + json_number(b.x1) + "," + json_number(b.y1) + "," + json_number(b.x2) + "," +
               json_number(b.y2) + "]";
    };
    std::string json = "{\"kind\":\"" + std::string(kinds[static_cast<int>(prompt.kind)]) +
                       "\",\"step\":" + std::to_string(prompt.step) +
                       ",\"field\":" + box(prompt.field) + ",\"choices\":[";
    for (size_t i = 0; i < prompt.choices.size(); ++i) {
        if (i) json += ",";
        json += "{\"number\":" + std::to_string(prompt.choices[i].number) +
                ",\"area\":" + box(prompt.choices[i].area) + "}";
    }
    web_prompt((json + "]}").c_str());
}

void WebPlatform::end_program() {
    present();
    web_ended();
}

}  // namespace lk
