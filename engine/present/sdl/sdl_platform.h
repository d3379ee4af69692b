#pragma once
// The SDL2 window back end: one window titled with the program's name, the
// layout area scaled to fit it and rendered at the window's own resolution.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "../canvas.h"
#include "../ops.h"
#include "../platform.h"
#include "../headless/key_source.h"
#include "../overlay/overlay.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
typedef struct _cairo_surface cairo_surface_t;
union SDL_Event;
struct SDL_Rect;

namespace lk {

class SdlPlatform : public Platform {
public:
    explicit SdlPlatform(const std::string& title);
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    void attach(const Canvas& canvas) override { canvas_ = &canvas; }
    void maximize_window() override;
    std::string poll_key() override;
    void idle(int max_ms) override;
    void delay(int duration) override;
    void hold() override;
    void end_program() override;
    void on_prompt(const PromptEvent& prompt) override;
    void on_item(bool started) override;

    // Keys to use when nobody typed one (a driver for the window tests);
    // "" from it means "nothing yet".
    void set_key_source(KeySource source) { key_source_ = std::move(source); }

    // Shows whatever changed, at most once per display frame.
    void present(bool force = false);

    // The pointer overlay as it stands (toolbar, keypad, ink).
    const overlay::Overlay& overlay() const { return overlay_; }
    // Pointer events handled, and how long each repaint that only the
    // overlay asked for took (render, upload and present), in ms.
    int pointer_events() const { return pointer_events_; }
    const std::vector<double>& overlay_repaint_ms() const { return overlay_repaint_ms_; }
    // Called after each prompt reached the overlay (a window test's probe).
    void set_prompt_listener(std::function<void(const PromptEvent&)> listener) {
        prompt_listener_ = std::move(listener);
    }

private:
    void pump_events();
    void handle(const SDL_Event& event);
    void resize_target();
    void toggle_fullscreen();
    void pointer(overlay::PointerPhase phase, overlay::PointerType type, std::int64_t id,
                 double x, double y);
    overlay::PointerType touch_type(std::int64_t touch_id);
    void render_all();
    // The device pixels a canvas area covers, clipped to the surface.
    SDL_Rect device_rect(const Box& area) const;
    // Keep a copy of an area of the surface, and compare it afterwards.
    void save_rect(const SDL_Rect& rect);
    bool rect_unchanged(const SDL_Rect& rect);

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    cairo_surface_t* surface_ = nullptr;
    int pixel_w_ = 0, pixel_h_ = 0;
    int window_w_ = 1, window_h_ = 1;  // in the units mouse events use
    double scale_ = 1, offset_x_ = 0, offset_y_ = 0;
    Palette palette_ = Palette::original;
    const Canvas* canvas_ = nullptr;
    std::deque<std::string> keys_;
    KeySource key_source_;
    bool closed_ = false;
    bool needs_full_render_ = true;
    bool dirty_ = false;
    std::uint64_t last_present_ms_ = 0;
    std::uint64_t settle_until_ms_ = 0;
    // Later whole presents after a window event, at growing intervals.
    std::uint64_t catch_up_at_ms_ = 0, catch_up_step_ms_ = 0;
    std::vector<unsigned char> saved_;
    std::uint64_t idle_fingerprint_ = 0;  // the picture at the last idle
    overlay::Overlay overlay_;
    int pointer_events_ = 0;
    std::vector<double> overlay_repaint_ms_;
    std::function<void(const PromptEvent&)> prompt_listener_;
};

}  // namespace lk
