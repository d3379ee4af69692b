#include "sdl_platform.h"

#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "../cairo/cairo_player.h"
#include "../errors.h"

namespace lk {

namespace {

// The layout area the window shows; everything is scaled to fit it.
constexpr double kLayoutWidth = 1366;
constexpr double kLayoutHeight = 720;
// One display frame.
constexpr std::uint64_t kFrameMs = 16;
// After this many empty polls in a row the platform starts to sleep a little
// in each poll, so that a program waiting at a prompt does not burn a core.
constexpr unsigned kBusyPolls = 64;
constexpr unsigned kIdleSleepMs = 4;
// One unit of delay, in milliseconds: an animation frame of 30 units then
// takes 45 ms, and nine frames about 0.4 s.
constexpr double kDelayUnitMs = 1.5;

}  // namespace

SdlPlatform::SdlPlatform(const std::string& title) {
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        SDL_Log("SDL_Init failed: %s", SDL_GetError());
        throw ProgramEnd{1};
    }
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1366,
                               768, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window_) {
        SDL_Log("SDL_CreateWindow failed: %s", SDL_GetError());
        throw ProgramEnd{1};
    }
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    SDL_StartTextInput();
    resize_target();
}

SdlPlatform::~SdlPlatform() {
    if (surface_) cairo_surface_destroy(surface_);
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
}

void SdlPlatform::maximize_window() {
    SDL_MaximizeWindow(window_);
    // Give the window manager a moment to honour the request.
    for (int i = 0; i < 20; ++i) {
        pump_events();
        if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) break;
        SDL_Delay(10);
    }
    if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED)) {
        // No window manager maximised it (as under a bare X server): size it
        // to the display's usable area ourselves.
        SDL_Rect usable;
        int display = SDL_GetWindowDisplayIndex(window_);
        if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) == 0) {
            SDL_SetWindowPosition(window_, usable.x, usable.y);
            SDL_SetWindowSize(window_, usable.w, usable.h);
        }
    }
    pump_events();
    resize_target();
}

void SdlPlatform::resize_target() {
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    if (w <= 0 || h <= 0) SDL_GetWindowSize(window_, &w, &h);
    w = std::max(w, 1);
    h = std::max(h, 1);
    if (w == pixel_w_ && h == pixel_h_ && surface_) return;
    pixel_w_ = w;
    pixel_h_ = h;
    if (surface_) cairo_surface_destroy(surface_);
    if (texture_) SDL_DestroyTexture(texture_);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 w, h);
    scale_ = std::min(w / kLayoutWidth, h / kLayoutHeight);
    offset_x_ = std::floor((w - kLayoutWidth * scale_) / 2);
    offset_y_ = std::floor((h - kLayoutHeight * scale_) / 2);
    needs_full_render_ = true;
}

void SdlPlatform::render_all() {
    cairo_t* cr = cairo_create(surface_);
    RenderOptions options{scale_, offset_x_, offset_y_, palette_};
    static const Canvas empty;
    render_canvas(cr, canvas_ ? *canvas_ : empty, options);
    cairo_destroy(cr);
}

void SdlPlatform::present(bool force) {
    std::uint64_t now = SDL_GetTicks64();
    if (!force && now - last_present_ms_ < kFrameMs) return;
    Box area;
    bool changed = canvas_ && canvas_->take_damage(area);
    if (needs_full_render_) {
        render_all();
        needs_full_render_ = false;
        changed = true;
    } else if (changed) {
        cairo_t* cr = cairo_create(surface_);
        RenderOptions options{scale_, offset_x_, offset_y_, palette_};
        render_region(cr, *canvas_, options, area);
        cairo_destroy(cr);
    }
    if (!changed && !dirty_) return;
    cairo_surface_flush(surface_);
    SDL_UpdateTexture(texture_, nullptr, cairo_image_surface_get_data(surface_),
                      cairo_image_surface_get_stride(surface_));
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    last_present_ms_ = now;
    dirty_ = false;
}

void SdlPlatform::handle(const SDL_Event& ev) {
    switch (ev.type) {
        case SDL_QUIT: closed_ = true; break;
        case SDL_WINDOWEVENT:
            if (ev.window.event == SDL_WINDOWEVENT_CLOSE) closed_ = true;
            if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                ev.window.event == SDL_WINDOWEVENT_RESIZED ||
                ev.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED)
                resize_target();
            if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) dirty_ = true;
            break;
        case SDL_TEXTINPUT:
            // Printable keys arrive as text, one character each.
            for (const char* c = ev.text.text; *c;) {
                int len = 1;
                unsigned char lead = static_cast<unsigned char>(*c);
                if (lead >= 0xF0) len = 4;
                else if (lead >= 0xE0) len = 3;
                else if (lead >= 0xC0) len = 2;
                keys_.emplace_back(c, static_cast<size_t>(len));
                for (int k = 0; k < len && *c; ++k) ++c;
            }
            break;
        case SDL_KEYDOWN:
            switch (ev.key.keysym.sym) {
                case SDLK_BACKSPACE: keys_.emplace_back("\b"); break;
                case SDLK_RETURN:
                case SDLK_KP_ENTER:
                case SDLK_RETURN2: keys_.emplace_back("\r"); break;
                case SDLK_CLEAR:
                case SDLK_DELETE:
                case SDLK_KP_CLEAR: keys_.emplace_back("\f"); break;
                // A presentation remote's "previous" sends Page Up.
                case SDLK_LEFT:
                case SDLK_PAGEUP: keys_.emplace_back(kKeyStepBack); break;
                case SDLK_RIGHT:
                case SDLK_PAGEDOWN: keys_.emplace_back(kKeyForward); break;
                case SDLK_F11: {
                    bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
                    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
                    break;
                }
                case SDLK_F2:
                    palette_ = palette_ == Palette::original ? Palette::projector
                                                             : Palette::original;
                    needs_full_render_ = true;
                    break;
                default: break;
            }
            break;
        default: break;
    }
}

void SdlPlatform::pump_events() {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) handle(ev);
    if (closed_) throw ProgramEnd{0};
}

std::string SdlPlatform::poll_key() {
    pump_events();
    present();
    if (!keys_.empty()) {
        std::string key = keys_.front();
        keys_.pop_front();
        empty_polls_ = 0;
        return key;
    }
    if (++empty_polls_ > kBusyPolls) {
        // Show the latest picture before resting, then rest briefly: a key
        // still takes effect well within one frame.
        present(true);
        SDL_Delay(kIdleSleepMs);
    }
    return {};
}

void SdlPlatform::delay(int duration) {
    std::uint64_t end = SDL_GetTicks64() + static_cast<std::uint64_t>(
                                               std::max(0.0, duration * kDelayUnitMs));
    present(true);
    for (;;) {
        pump_events();
        std::uint64_t now = SDL_GetTicks64();
        if (now >= end) break;
        SDL_Delay(static_cast<Uint32>(std::min<std::uint64_t>(end - now, 5)));
    }
}

void SdlPlatform::wait_until_closed() {
    for (;;) {
        pump_events();
        present();
        SDL_Delay(10);
    }
}

void SdlPlatform::end_program() {
    if (window_) SDL_HideWindow(window_);
}

}  // namespace lk
