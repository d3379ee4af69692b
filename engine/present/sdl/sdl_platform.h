#pragma once
// The SDL2 window back end: one window titled with the program's name, the
// layout area scaled to fit it and rendered at the window's own resolution.
//
// Implemented features
//  - Keys: text input (one key per character) and the named keys of keys.h
//    from SDL's key codes.
//  - Mouse (left button), touch and pen as pointer events, stamped with the
//    time SDL took them in; a touch's synthetic mouse events are dropped; a
//    touch device named as a pen or a stylus is a pen.
//  - Painting: the damaged area of the canvas and the overlay rendered with
//    cairo at the window's pixel size, uploaded at most once a frame, and
//    only where pixels really changed.
//  - Window geometry: resize, maximise, full screen; after a window event the
//    picture is presented again while the window system settles.
//  - The close box ends the program, with status 0 (an X error about the
//    closed window on SDL's wake-up connection is not fatal).
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "../backend.h"
#include "../canvas.h"
#include "../layout.h"
#include "../ops.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
typedef struct _cairo_surface cairo_surface_t;
union SDL_Event;
struct SDL_Rect;

namespace lk {

class SdlPlatform : public Backend {
public:
    explicit SdlPlatform(const std::string& title);
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    void maximize_window() override;
    void hold() override;
    void end_program() override;

    // Pointer events handled, and how long each repaint that only the
    // overlay asked for took (render, upload and present), in ms.
    int pointer_events() const { return pointer_events_; }
    const std::vector<double>& overlay_repaint_ms() const { return overlay_repaint_ms_; }
protected:
    void pump() override;
    // Shows whatever changed, at most once per display frame unless `now`.
    void show(bool now) override;
    void rest(int ms) override;
    void pause(int ms) override;
    std::uint64_t now_ms() override;
    void toggle_fullscreen() override;
    void palette_changed() override { needs_full_render_ = true; }
    bool settling() const override;

private:
    void handle(const SDL_Event& event);
    void resize_target();
    void pointer(overlay::PointerPhase phase, overlay::PointerType type, std::int64_t id,
                 double x, double y, std::uint32_t timestamp);
    overlay::PointerType touch_type(std::int64_t touch_id);
    void render_all();
    // The view in the palette now chosen.
    View view() const {
        View v = view_;
        v.palette = palette();
        return v;
    }
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
    View view_;  // the layout area on the window's pixels
    bool closed_ = false;
    bool needs_full_render_ = true;
    bool dirty_ = false;
    std::uint64_t last_present_ms_ = 0;
    std::uint64_t settle_until_ms_ = 0;
    // Later whole presents after a window event, at growing intervals.
    std::uint64_t catch_up_at_ms_ = 0, catch_up_step_ms_ = 0;
    std::vector<unsigned char> saved_;
    int pointer_events_ = 0;
    std::vector<double> overlay_repaint_ms_;
};

}  // namespace lk
