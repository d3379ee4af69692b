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
#include "overlay_2d.h"

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
// Sizes the canvas (and the overlay's canvas above it) to the page at the
// device's pixel ratio; writes its size in device pixels and tells whether
// it changed.
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
    const top = Module.lkOverlayCanvas;
    if (top && (top.width !== w || top.height !== h)) {
        top.width = w;
        top.height = h;
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
EM_JS(double, web_pixel_ratio, (), { return window.devicePixelRatio || 1; });
// A device with a touch screen (a tablet, a touch board) may have no
// keyboard at all.
EM_JS(int, web_touch_device, (), {
    return navigator.maxTouchPoints > 0 ||
           (window.matchMedia && window.matchMedia('(pointer: coarse)').matches) ? 1 : 0;
});
// A key from the overlay: into the keyboard's queue, waking the program.
EM_JS(void, web_push_key, (const char* key), {
    Module.lkKeys.push(UTF8ToString(key));
    if (!Module.lkKeyAt) Module.lkKeyAt = performance.now();
    if (Module.lkWake) Module.lkWake();
});
// The area the overlay last repainted, for the figures of the tests.
EM_JS(void, web_overlay_painted, (double x, double y, double w, double h), {
    Module.lkOverlayPainted = [x, y, w, h];
});
EM_JS(void, web_toggle_fullscreen, (), { Module.lkToggleFullscreen(); });
EM_JS(void, web_painted, (), { Module.lkPainted(); });
EM_JS(void, web_ended, (), { Module.lkEnded(); });

// How long a program waiting at a prompt sleeps when its picture did not
// change: a key or any other event still wakes it at once. A waiting
// program only redraws its answer cursor where it already is.
constexpr int kQuietMs = 500;

// The platform the page's pointer handlers talk to.
WebPlatform* running = nullptr;

}  // namespace

WebPlatform::WebPlatform() {
    running = this;
    // With a touch screen there may be no keyboard: the keypad is there
    // from the first prompt. Otherwise it comes with the first tap or click.
    overlay_.set_keypad_at_start(web_touch_device() != 0);
}

WebPlatform::~WebPlatform() {
    if (running == this) running = nullptr;
}

WebPlatform* WebPlatform::current() { return running; }

bool WebPlatform::paint_overlay() {
    overlay::Rect area;
    if (overlay_viewed_ && overlay_.take_damage(area)) {
        paint_overlay_2d(overlay_, view_.palette, area);
        web_overlay_painted(area.x, area.y, area.w, area.h);
    }
    return overlay_.animating();
}

void WebPlatform::pointer(overlay::PointerPhase phase, overlay::PointerType type, std::int64_t id,
                          double x, double y, double time_ms) {
    overlay::Response response = overlay_.on_pointer(
        {phase, type, id, x, y, static_cast<std::uint64_t>(std::max(0.0, time_ms))});
    for (const auto& key : response.keys) web_push_key(key.c_str());
    if (response.toggle_fullscreen) web_toggle_fullscreen();
}

void WebPlatform::key_typed(double time_ms) {
    overlay_.on_key(static_cast<std::uint64_t>(std::max(0.0, time_ms)));
}

bool WebPlatform::tick(double time_ms) {
    overlay_.tick(static_cast<std::uint64_t>(std::max(0.0, time_ms)));
    return paint_overlay();
}

void WebPlatform::on_prompt(const PromptEvent& prompt) {
    overlay_.on_prompt(prompt);
    paint_overlay();
    announce_prompt(prompt);
}

void WebPlatform::on_item(bool started) {
    overlay_.on_item(started);
    paint_overlay();
}

bool WebPlatform::present(bool everything) {
    int size[2] = {0, 0};
    if (web_fit_canvas(size) || everything) needs_full_render_ = true;
    Letterbox box = fit_layout(size[0], size[1]);
    view_.scale = box.scale;
    view_.offset_x = box.offset_x;
    view_.offset_y = box.offset_y;
    view_.width = size[0];
    view_.height = size[1];
    const bool resized = needs_full_render_;
    if (resized || !overlay_viewed_) {
        // The overlay's canvas was cleared with the new size: all of it again.
        overlay_.set_view(size[0], size[1], web_pixel_ratio());
        overlay_viewed_ = true;
        overlay::Rect whole{0, 0, static_cast<double>(size[0]), static_cast<double>(size[1])};
        paint_overlay_2d(overlay_, view_.palette, whole);
    }
    tick(emscripten_get_now());
    web_view(static_cast<int>(box.offset_x), static_cast<int>(box.offset_y),
             static_cast<int>(kCanvasWidth * box.scale + 0.5),
             static_cast<int>(kCanvasHeight * box.scale + 0.5), box.scale);
    static const Canvas empty;
    const Canvas& canvas = canvas_ ? *canvas_ : empty;
    Box area;
    bool damaged = canvas.take_damage(area);
    std::uint64_t shown = damaged || needs_full_render_ ? canvas.fingerprint() : shown_;
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

void WebPlatform::announce_prompt(const PromptEvent& prompt) {
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

// The page's calls into the program (page.js), made from its event handlers
// while the program sleeps: none of them waits.
extern "C" {

EMSCRIPTEN_KEEPALIVE void lk_pointer(int phase, int type, int id, double x, double y, double time_ms) {
    auto* platform = lk::WebPlatform::current();
    if (!platform || phase < 0 || phase > 3 || type < 0 || type > 2) return;
    platform->pointer(static_cast<lk::overlay::PointerPhase>(phase),
                      static_cast<lk::overlay::PointerType>(type), id, x, y, time_ms);
}

// Paints what the pointer events since the last call changed.
EMSCRIPTEN_KEEPALIVE int lk_overlay_flush() {
    auto* platform = lk::WebPlatform::current();
    return platform && platform->paint_overlay() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int lk_key_typed(double time_ms) {
    auto* platform = lk::WebPlatform::current();
    if (!platform) return 0;
    platform->key_typed(time_ms);
    return platform->paint_overlay() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int lk_overlay_tick(double time_ms) {
    auto* platform = lk::WebPlatform::current();
    return platform && platform->tick(time_ms) ? 1 : 0;
}

// The overlay as JSON, for tests: whether the keypad and the toolbar show,
// the pen, the number of strokes, and every button's place in device pixels.
EMSCRIPTEN_KEEPALIVE const char* lk_overlay_state() {
    static std::string json;
    auto* platform = lk::WebPlatform::current();
    if (!platform) return "null";
    const auto& o = platform->overlay();
    static const char* const actions[] = {"back", "forward", "pen", "colour", "clear_ink",
                                          "keypad", "fullscreen", "key"};
    static const char* const colours[] = {"red", "blue", "ink"};
    json = "{\"keypad\":" + std::string(o.keypad_visible() ? "true" : "false") +
           ",\"toolbar\":" + lk::json_number(o.toolbar_alpha()) +
           ",\"pen\":" + std::string(o.pen_on() ? "true" : "false") +
           ",\"strokes\":" + std::to_string(o.strokes().size()) + ",\"buttons\":[";
    bool first = true;
    auto add = [&](const lk::overlay::Button& b) {
        std::string name = actions[static_cast<int>(b.action)];
        if (b.action == lk::overlay::Action::colour) name += std::string(":") + colours[static_cast<int>(b.colour)];
        if (b.action == lk::overlay::Action::key) name += ":" + std::to_string(b.key.empty() ? 0 : b.key[0]);
        json += std::string(first ? "" : ",") + "{\"name\":\"" + name + "\",\"rect\":[" +
                lk::json_number(b.rect.x) + "," + lk::json_number(b.rect.y) + "," +
                lk::json_number(b.rect.w) + "," + lk::json_number(b.rect.h) + "]}";
        first = false;
    };
    for (const auto& b : o.toolbar_buttons()) add(b);
    for (const auto& b : o.keypad_buttons()) add(b);
    json += "]}";
    return json.c_str();
}

}  // extern "C"
