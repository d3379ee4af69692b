#include "web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "../errors.h"
#include "../keys.h"
#include "../layout.h"
#include "../probe.h"
#include "../svg/svg_player.h"
#include "../strings.h"
#include "../trace.h"
#include "overlay_2d.h"

// The page's side (web_page.js).
extern "C" {
int lk_page_fit(int* size);
void lk_page_sleep(int ms);
void lk_page_pause(int ms);
void lk_page_wake();
double lk_page_pixel_ratio();
int lk_page_touch_device();
void lk_page_fullscreen();
void lk_page_painted(int x, int y, int w, int h, double scale);
void lk_page_ended();
void lk_page_print_page(const char* svg, double width_mm, double height_mm);
void lk_page_print_show();
int lk_page_probing();
void lk_page_probe(const char* kind, const char* text);
char* lk_page_request();
int lk_page_hand_in(const char* name, const char* text);
}

namespace lk {

namespace {

// How long the error line's endless wait sleeps between looks.
constexpr int kHoldMs = 1000;

// The platform the page's handlers talk to.
WebPlatform* running = nullptr;

}  // namespace

std::string WebPlatform::address_request() {
    char* text = lk_page_request();
    if (!text) return {};
    std::string request(text);
    std::free(text);
    return request;
}

WebPlatform::WebPlatform() {
    running = this;
    // With a touch screen there may be no keyboard: the keypad is there
    // from the first prompt. Otherwise it comes with the first tap or click.
    mutable_overlay().set_keypad_at_start(lk_page_touch_device() != 0);
    // The overlay knows the page's size from the start: the first prompt's
    // places are where they will be drawn.
    fit();
    // Each prompt goes to the page's test object, if there is one.
    set_prompt_listener([this](const PromptEvent& prompt, bool moved) {
        if (moved) return;  // fit() tells the page itself
        prompt_ = prompt;
        paint_overlay();
        ++prompts_;
        // A test reads the prompt's description when it looks
        // (lk_prompt_state), not at every prompt.
        if (lk_page_probing()) lk_page_probe("prompt", "");
    });
}

bool WebPlatform::fit() {
    int size[2] = {0, 0};
    const bool changed = lk_page_fit(size) != 0 || !overlay_viewed_;
    view_ = fit_view(size[0], size[1], lk_page_pixel_ratio(), palette());
    if (changed) {
        mutable_overlay().set_view(size[0], size[1], view_.pixel_ratio);
        overlay_viewed_ = true;
        // The prompt waiting has moved with the picture: its places again,
        // under the same number.
        if (prompt_.kind != PromptKind::none && lk_page_probing()) lk_page_probe("prompt_moved", "");
    }
    return changed;
}

std::string WebPlatform::describe_waiting() const { return describe_prompt(prompts_, prompt_, overlay()); }

WebPlatform::~WebPlatform() {
    if (running == this) running = nullptr;
}

WebPlatform* WebPlatform::current() { return running; }

bool WebPlatform::paint_overlay() {
    overlay::Rect area;
    if (overlay_viewed_ && mutable_overlay().take_damage(area)) {
        paint_overlay_2d(overlay(), palette(), area);
        if (lk_page_probing()) {
            const std::string area_text = json_number(static_cast<float>(area.x)) + "," +
                                          json_number(static_cast<float>(area.y)) + "," +
                                          json_number(static_cast<float>(area.w)) + "," +
                                          json_number(static_cast<float>(area.h));
            lk_page_probe("overlay_painted", area_text.c_str());
        }
    }
    return overlay().animating();
}

bool WebPlatform::key(std::string_view name, double time_ms) {
    const auto now = static_cast<std::uint64_t>(std::max(0.0, time_ms));
    bool taken = true;
    if (auto named_key = named_key_of_dom(name)) {
        named(*named_key, now);
    } else if (split_chars(name).size() == 1) {
        typed(name, now);
    } else {
        // Shift, a modifier's combination, an input method at work: the
        // keypad goes all the same, as for any key typed.
        typed({}, now);
        taken = false;
    }
    paint_overlay();
    return taken;
}

void WebPlatform::pointer_event(overlay::PointerPhase phase, overlay::PointerType type,
                                std::int64_t id, double x, double y, double time_ms) {
    pointer({phase, type, id, x, y, static_cast<std::uint64_t>(std::max(0.0, time_ms))});
}

bool WebPlatform::tick(double time_ms) {
    mutable_overlay().tick(static_cast<std::uint64_t>(std::max(0.0, time_ms)));
    return paint_overlay();
}

void WebPlatform::resized() {
    needs_full_render_ = true;
    lk_page_wake();
}

void WebPlatform::wake() { lk_page_wake(); }

HandInOutcome WebPlatform::hand_in(const std::string& name, const std::string& text) {
    // The page shares the file where the device can (a tap or key has just
    // come, which the share sheet needs), and otherwise downloads it.
    switch (lk_page_hand_in(name.c_str(), text.c_str())) {
        case 1: return {true, "共有の画面で、学校の提出先を選んでください。", name};
        case 2: return {true, "ファイルをダウンロードしました。学校の提出先に出してください。", name};
        default: return {false, "ファイルを作れませんでした。", ""};
    }
}

bool WebPlatform::print_pages(const std::vector<const Canvas*>& pages) {
    present();
    for (const Canvas* page : pages) {
        const Paper paper = page->page().paper.value_or(kA4Portrait);
        lk_page_print_page(svg_document(*page).c_str(), paper.width_mm, paper.height_mm);
    }
    lk_page_print_show();
    // The window may change meanwhile (a tablet turned): all of it again
    // when the view is closed.
    needs_full_render_ = true;
    return true;
}

void WebPlatform::toggle_fullscreen() { lk_page_fullscreen(); }

std::uint64_t WebPlatform::now_ms() { return static_cast<std::uint64_t>(emscripten_get_now()); }

void WebPlatform::show(bool now) {
    if (now) present();
}

void WebPlatform::rest(int ms) { lk_page_sleep(ms); }

void WebPlatform::pause(int ms) { lk_page_pause(ms); }

bool WebPlatform::present() {
    if (fit()) needs_full_render_ = true;
    if (needs_full_render_) {
        // The overlay's canvas was cleared with the new size: all of it again.
        overlay::Rect whole;
        mutable_overlay().take_damage(whole);
        paint_overlay_2d(overlay(), palette(),
                         overlay::Rect{0, 0, view_.width, view_.height});
    }
    tick(emscripten_get_now());
    static const Canvas empty;
    const Canvas& shown = canvas() ? *canvas() : empty;
    Box area;
    bool damaged = shown.take_damage(area);
    std::uint64_t fingerprint = damaged || needs_full_render_ ? shown.fingerprint() : shown_;
    if (needs_full_render_) {
        render_canvas_2d(shown, view_);
        needs_full_render_ = false;
    } else if (damaged && fingerprint != shown_) {
        render_region_2d(shown, view_, area);
    } else {
        return false;
    }
    shown_ = fingerprint;
    lk_page_painted(static_cast<int>(view_.offset_x), static_cast<int>(view_.offset_y),
                    static_cast<int>(kCanvasWidth * view_.scale + 0.5),
                    static_cast<int>(kCanvasHeight * view_.scale + 0.5), view_.scale);
    return true;
}

void WebPlatform::hold() {
    holding_ = true;
    present();
    lk_page_sleep(kHoldMs);
}

void WebPlatform::resume() {
    if (holding_) {
        hold();
        return;
    }
    if (delaying() && !delay_over()) return;
    if (auto waiting = std::exchange(waiting_, {})) resume_task(waiting);
    if (after_resume_) after_resume_();
}

void WebPlatform::end_program() {
    present();
    lk_page_ended();
}

}  // namespace lk

// The page's calls into the program (page.js), made from its event handlers
// while the program sleeps: none of them waits.
extern "C" {

// A keydown: 1 when the program took it (the page then keeps it from the
// browser), plus 2 when the overlay wants animation frames (lk_overlay_tick).
EMSCRIPTEN_KEEPALIVE int lk_key(const char* name, double time_ms) {
    auto* platform = lk::WebPlatform::current();
    if (!platform) return 0;
    const bool taken = platform->key(name ? name : "", time_ms);
    return (taken ? 1 : 0) | (platform->overlay().animating() ? 2 : 0);
}

// A Pointer Event in the overlay canvas's device pixels; 1 when the
// overlay wants animation frames (lk_overlay_tick).
EMSCRIPTEN_KEEPALIVE int lk_pointer(int phase, int type, int id, double x, double y, double time_ms) {
    auto* platform = lk::WebPlatform::current();
    if (!platform || phase < 0 || phase > 3 || type < 0 || type > 2) return 0;
    platform->pointer_event(static_cast<lk::overlay::PointerPhase>(phase),
                            static_cast<lk::overlay::PointerType>(type), id, x, y, time_ms);
    return platform->tick(time_ms) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int lk_overlay_tick(double time_ms) {
    auto* platform = lk::WebPlatform::current();
    return platform && platform->tick(time_ms) ? 1 : 0;
}

// The program's rest is over (page.js, from a timer or an event handler,
// never from inside a call into the program).
EMSCRIPTEN_KEEPALIVE void lk_resume() {
    if (auto* platform = lk::WebPlatform::current()) platform->resume();
}

EMSCRIPTEN_KEEPALIVE void lk_resized() {
    if (auto* platform = lk::WebPlatform::current()) platform->resized();
}

// The overlay as the window's test log describes it, for the page's tests.
// The prompt waiting, as a test reads it (probe.h), under its number.
EMSCRIPTEN_KEEPALIVE const char* lk_prompt_state() {
    static std::string line;
    auto* platform = lk::WebPlatform::current();
    line = platform ? platform->describe_waiting() : std::string();
    return line.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* lk_overlay_state() {
    static std::string line;
    auto* platform = lk::WebPlatform::current();
    line = platform ? lk::describe_overlay(platform->overlay()) : std::string();
    return line.c_str();
}

}  // extern "C"
