#include "sdl_platform.h"

#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "../cairo/cairo_player.h"
#include "../errors.h"
#include "../strings.h"

namespace lk {

namespace {

// The layout area the window shows; everything is scaled to fit it.
constexpr double kLayoutWidth = 1366;
constexpr double kLayoutHeight = 720;
// One display frame.
constexpr std::uint64_t kFrameMs = 16;
// After this many empty polls in a row the platform starts to wait for an
// event in each poll, at most one frame: a key ends the wait at once, and
// what the program draws meanwhile is still shown within a frame, while a
// program waiting at a prompt wakes only about 60 times a second.
constexpr unsigned kBusyPolls = 64;
constexpr int kIdleWaitMs = static_cast<int>(kFrameMs);
// How long after a window event every frame is presented again.
constexpr std::uint64_t kSettleMs = 500;
// After an event that moves, sizes or shows the window, the whole picture is
// presented again 1, 2, 4, 8 and 16 s after it: on a busy machine the window system can take seconds to give
// the drawing target its new geometry, and a window that shrank gets no
// exposure afterwards to show the picture again.
constexpr std::uint64_t kCatchUpLastStepMs = 8000;
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
    // A late present shows the texture again as it is: it already holds the
    // whole picture.
    bool again = false;
    if (now < settle_until_ms_) {
        dirty_ = true;
    } else if (catch_up_at_ms_ != 0 && now >= catch_up_at_ms_) {
        again = true;
        catch_up_step_ms_ *= 2;
        catch_up_at_ms_ = catch_up_step_ms_ > kCatchUpLastStepMs ? 0 : now + catch_up_step_ms_;
    }
    Box area;
    bool changed = canvas_ && canvas_->take_damage(area);
    // The device pixels that may change; the whole surface after a full render.
    SDL_Rect rect{0, 0, pixel_w_, pixel_h_};
    if (needs_full_render_) {
        render_all();
        needs_full_render_ = false;
        changed = true;
    } else if (changed) {
        rect = device_rect(area);
        if (rect.w <= 0 || rect.h <= 0) {
            changed = false;
        } else {
            // A prompt redraws its cursor dot on every poll and many steps
            // draw a shape again where it already is: the canvas reports
            // damage, yet the picture is the same. Compare the area before
            // and after rendering it, and leave the texture and the screen
            // alone when nothing changed; uploading and presenting the whole
            // window each frame is what would keep a core busy at a prompt.
            save_rect(rect);
            cairo_t* cr = cairo_create(surface_);
            RenderOptions options{scale_, offset_x_, offset_y_, palette_};
            render_region(cr, *canvas_, options, area);
            cairo_destroy(cr);
            changed = !rect_unchanged(rect);
        }
    }
    // Even an unchanged render counts as this frame's work, so the next
    // check waits a frame too.
    last_present_ms_ = now;
    if (!changed && !dirty_ && !again) return;
    if (changed || dirty_) {
        cairo_surface_flush(surface_);
        if (dirty_) rect = SDL_Rect{0, 0, pixel_w_, pixel_h_};
        // Only the changed rows and columns go to the texture.
        const unsigned char* data = cairo_image_surface_get_data(surface_);
        int stride = cairo_image_surface_get_stride(surface_);
        SDL_UpdateTexture(texture_, &rect, data + static_cast<size_t>(rect.y) * stride + rect.x * 4,
                          stride);
    }
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    dirty_ = false;
}

SDL_Rect SdlPlatform::device_rect(const Box& area) const {
    // As render_region rounds it, with a pixel to spare on each side.
    double x1 = std::floor(offset_x_ + std::max(area.x1, 0.0f) * scale_) - 1;
    double y1 = std::floor(offset_y_ + std::max(area.y1, 0.0f) * scale_) - 1;
    double x2 = std::ceil(offset_x_ + std::min(area.x2, kCanvasWidth) * scale_) + 1;
    double y2 = std::ceil(offset_y_ + std::min(area.y2, kCanvasHeight) * scale_) + 1;
    int ix1 = static_cast<int>(std::clamp(x1, 0.0, static_cast<double>(pixel_w_)));
    int iy1 = static_cast<int>(std::clamp(y1, 0.0, static_cast<double>(pixel_h_)));
    int ix2 = static_cast<int>(std::clamp(x2, 0.0, static_cast<double>(pixel_w_)));
    int iy2 = static_cast<int>(std::clamp(y2, 0.0, static_cast<double>(pixel_h_)));
    return SDL_Rect{ix1, iy1, ix2 - ix1, iy2 - iy1};
}

void SdlPlatform::save_rect(const SDL_Rect& rect) {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    size_t row = static_cast<size_t>(rect.w) * 4;
    saved_.resize(row * static_cast<size_t>(rect.h));
    for (int y = 0; y < rect.h; ++y)
        std::memcpy(&saved_[row * static_cast<size_t>(y)],
                    data + static_cast<size_t>(rect.y + y) * stride + rect.x * 4, row);
}

bool SdlPlatform::rect_unchanged(const SDL_Rect& rect) {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    size_t row = static_cast<size_t>(rect.w) * 4;
    for (int y = 0; y < rect.h; ++y)
        if (std::memcmp(&saved_[row * static_cast<size_t>(y)],
                        data + static_cast<size_t>(rect.y + y) * stride + rect.x * 4, row) != 0)
            return false;
    return true;
}

void SdlPlatform::handle(const SDL_Event& ev) {
    switch (ev.type) {
        case SDL_QUIT: closed_ = true; break;
        case SDL_WINDOWEVENT:
            // After the window is moved, resized, maximised or shown, the
            // window system may take a few frames to give the drawing target
            // its new geometry, and a picture presented meanwhile can land
            // shifted. Present the whole picture on every frame for a short
            // while, so the last one shown is right even when nothing in it
            // changes afterwards.
            settle_until_ms_ = SDL_GetTicks64() + kSettleMs;
            if (ev.window.event == SDL_WINDOWEVENT_SHOWN || ev.window.event == SDL_WINDOWEVENT_MOVED ||
                ev.window.event == SDL_WINDOWEVENT_RESIZED ||
                ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                ev.window.event == SDL_WINDOWEVENT_MAXIMIZED ||
                ev.window.event == SDL_WINDOWEVENT_RESTORED ||
                ev.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
                catch_up_step_ms_ = kSettleMs;
                catch_up_at_ms_ = settle_until_ms_ + kSettleMs;
            }
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
    if (keys_.empty() && key_source_) {
        // A driven run: the picture of each step is shown before its key.
        present(true);
        std::string more = key_source_();
        for (const auto& c : split_chars(more)) keys_.push_back(c);
    }
    if (!keys_.empty()) {
        std::string key = keys_.front();
        keys_.pop_front();
        empty_polls_ = 0;
        return key;
    }
    if (++empty_polls_ > kBusyPolls) {
        // Rest until the next event or a short while: a key wakes the wait
        // at once, so it still takes effect well within one frame. The
        // latest picture is shown by present() above within a frame, since
        // polls go on every few milliseconds; forcing it here would render
        // and upload at every poll.
        SDL_Event ev;
        if (SDL_WaitEventTimeout(&ev, kIdleWaitMs)) handle(ev);
        if (closed_) throw ProgramEnd{0};
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
