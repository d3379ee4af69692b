#include "sdl_platform.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>

#include "../cairo/cairo_player.h"
#include "../cairo/overlay_painter.h"
#include "../errors.h"
#include "../keys.h"
#include "../layout.h"
#include "../strings.h"

namespace lk {

namespace {

// One display frame.
constexpr std::uint64_t kFrameMs = 16;
// The longest sleep inside an animation's pause, so that the window's
// events are still handled meanwhile.
constexpr int kPauseSliceMs = 5;
// The window's size before it is maximised.
constexpr int kStartWidth = 1366, kStartHeight = 768;
// How long after a window event every frame is presented again.
constexpr std::uint64_t kSettleMs = 500;
// After an event that moves, sizes or shows the window, the whole picture is
// presented again 1, 2, 4, 8 and 16 s after it: on a busy machine the window system can take seconds to give
// the drawing target its new geometry, and a window that shrank gets no
// exposure afterwards to show the picture again.
constexpr std::uint64_t kCatchUpLastStepMs = 8000;

// SDL wakes a program waiting for events by sending an event to its window
// over a second X connection. When the window is closed, that event can
// reach the X server after the window is gone; Xlib's default handler would
// then end the process with status 1 as SDL shuts down. An event sent to a
// window that is gone is harmless, and only that error is ignored: any
// other goes to the handler there was before.
XErrorHandler g_x_error_handler = nullptr;
int on_x_error(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return g_x_error_handler ? g_x_error_handler(display, error) : 0;
}

// When SDL took an event in, on the clock of SDL_GetTicks64: an event
// handled late still counts at the time it happened (a toolbar button
// pressed just before the toolbar faded is still a button).
std::uint64_t event_time(std::uint32_t timestamp) {
    const std::uint64_t now = SDL_GetTicks64();
    const std::uint32_t age = static_cast<std::uint32_t>(now) - timestamp;
    return age <= now ? now - age : now;
}

std::optional<NamedKey> named_key(SDL_Keycode code) {
    switch (code) {
        case SDLK_BACKSPACE: return NamedKey::backspace;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_RETURN2: return NamedKey::enter;
        case SDLK_CLEAR:
        case SDLK_DELETE:
        case SDLK_KP_CLEAR: return NamedKey::clear;
        case SDLK_LEFT:
        case SDLK_PAGEUP: return NamedKey::back;
        case SDLK_RIGHT:
        case SDLK_PAGEDOWN: return NamedKey::forward;
        case SDLK_F11: return NamedKey::fullscreen;
        case SDLK_F2: return NamedKey::palette;
        case SDLK_ESCAPE: return NamedKey::escape;
        default: return std::nullopt;
    }
}

}  // namespace

SdlPlatform::SdlPlatform(const std::string& title) {
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Before SDL starts: SDL keeps the handler it finds and puts it back as
    // it shuts down, just before it closes its connections, which is when
    // that late error arrives.
    g_x_error_handler = XSetErrorHandler(on_x_error);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        SDL_Log("SDL_Init failed: %s", SDL_GetError());
        throw ProgramEnd{1};
    }
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               kStartWidth, kStartHeight, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window_) {
        SDL_Log("SDL_CreateWindow failed: %s", SDL_GetError());
        throw ProgramEnd{1};
    }
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    // After the renderer, which may make the window anew: the first window
    // then lives no longer than before, for whoever looks for it by name.
    SDL_SetWindowMinimumSize(window_, static_cast<int>(overlay::kMinWindowWidth),
                             static_cast<int>(overlay::kMinWindowHeight));
    SDL_StartTextInput();
    // With a touch screen (a touch board, a tablet) there may be no
    // keyboard: the keypad is there from the first prompt. Otherwise it
    // comes with the first use of a pointer.
    mutable_overlay().set_keypad_at_start(SDL_GetNumTouchDevices() > 0);
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
        pump();
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
    pump();
    resize_target();
}

void SdlPlatform::resize_target() {
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    if (w <= 0 || h <= 0) SDL_GetWindowSize(window_, &w, &h);
    w = std::max(w, 1);
    h = std::max(h, 1);
    SDL_GetWindowSize(window_, &window_w_, &window_h_);
    window_w_ = std::max(window_w_, 1);
    window_h_ = std::max(window_h_, 1);
    if (w == pixel_w_ && h == pixel_h_ && surface_) return;
    pixel_w_ = w;
    pixel_h_ = h;
    if (surface_) cairo_surface_destroy(surface_);
    if (texture_) SDL_DestroyTexture(texture_);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 w, h);
    // A CSS px is a window unit: more pixels per unit on a high-density
    // display.
    view_ = fit_view(w, h, static_cast<double>(w) / window_w_);
    mutable_overlay().set_view(w, h, view_.pixel_ratio);
    needs_full_render_ = true;
    view_moved();
}

void SdlPlatform::render_all() {
    cairo_t* cr = cairo_create(surface_);
    static const Canvas empty;
    render_canvas(cr, canvas() ? *canvas() : empty, view());
    paint_overlay(cr, overlay(), palette(), overlay::Rect{0, 0, static_cast<double>(pixel_w_),
                                                        static_cast<double>(pixel_h_)});
    cairo_destroy(cr);
}

void SdlPlatform::show(bool force) {
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
    const std::uint64_t started = SDL_GetPerformanceCounter();
    overlay::Overlay& overlay = mutable_overlay();
    overlay.tick(now);
    Box area;
    bool changed = canvas() && canvas()->take_damage(area);
    const bool canvas_changed = changed, needs_full = needs_full_render_ || dirty_;
    overlay::Rect ink;
    bool overlay_changed = overlay.take_damage(ink);
    // The device pixels that may change; the whole surface after a full render.
    SDL_Rect rect{0, 0, pixel_w_, pixel_h_};
    if (needs_full_render_) {
        render_all();
        needs_full_render_ = false;
        changed = true;
    } else if (changed || overlay_changed) {
        rect = changed ? device_rect(area) : SDL_Rect{0, 0, 0, 0};
        if (overlay_changed) {
            // The overlay's damage (ink, toolbar, keypad) in whole pixels.
            int x1 = std::clamp(static_cast<int>(std::floor(ink.x)), 0, pixel_w_);
            int y1 = std::clamp(static_cast<int>(std::floor(ink.y)), 0, pixel_h_);
            int x2 = std::clamp(static_cast<int>(std::ceil(ink.x + ink.w)), 0, pixel_w_);
            int y2 = std::clamp(static_cast<int>(std::ceil(ink.y + ink.h)), 0, pixel_h_);
            SDL_Rect more{x1, y1, x2 - x1, y2 - y1};
            if (rect.w <= 0 || rect.h <= 0) rect = more;
            else if (more.w > 0 && more.h > 0) SDL_UnionRect(&rect, &more, &rect);
        }
        if (rect.w <= 0 || rect.h <= 0) {
            changed = false;
        } else {
            // A prompt redraws its cursor dot on every poll and many steps
            // draw a shape again where it already is: the canvas reports
            // damage, yet the picture is the same. Compare the area before
            // and after rendering it, and leave the texture and the screen
            // alone when nothing changed; uploading and presenting the whole
            // window each frame is what would keep a core busy at a prompt.
            // The overlay is painted over the picture in the same pass.
            save_rect(rect);
            cairo_t* cr = cairo_create(surface_);
            static const Canvas empty;
            repaint_window_area(cr, canvas() ? *canvas() : empty, view(), overlay,
                                overlay::Rect{static_cast<double>(rect.x), static_cast<double>(rect.y),
                                              static_cast<double>(rect.w), static_cast<double>(rect.h)});
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
    if (overlay_changed && !needs_full && !canvas_changed && overlay_repaint_ms_.size() < 100000)
        overlay_repaint_ms_.push_back(static_cast<double>(SDL_GetPerformanceCounter() - started) *
                                      1000.0 / static_cast<double>(SDL_GetPerformanceFrequency()));
}

SDL_Rect SdlPlatform::device_rect(const Box& area) const {
    // As render_region rounds it, with a pixel to spare on each side.
    double x1 = std::floor(view_.device_x(std::max(area.x1, 0.0f))) - 1;
    double y1 = std::floor(view_.device_y(std::max(area.y1, 0.0f))) - 1;
    double x2 = std::ceil(view_.device_x(std::min(area.x2, kCanvasWidth))) + 1;
    double y2 = std::ceil(view_.device_y(std::min(area.y2, kCanvasHeight))) + 1;
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
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            // A touch's mouse copy is dropped: the touch itself comes too.
            if (ev.button.which == SDL_TOUCH_MOUSEID || ev.button.button != SDL_BUTTON_LEFT) break;
            pointer(ev.type == SDL_MOUSEBUTTONDOWN ? overlay::PointerPhase::down
                                                   : overlay::PointerPhase::up,
                    overlay::PointerType::mouse, 0,
                    ev.button.x * static_cast<double>(pixel_w_) / window_w_,
                    ev.button.y * static_cast<double>(pixel_h_) / window_h_, ev.button.timestamp);
            break;
        case SDL_MOUSEMOTION:
            if (ev.motion.which == SDL_TOUCH_MOUSEID) break;
            pointer(overlay::PointerPhase::move, overlay::PointerType::mouse, 0,
                    ev.motion.x * static_cast<double>(pixel_w_) / window_w_,
                    ev.motion.y * static_cast<double>(pixel_h_) / window_h_, ev.motion.timestamp);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            pointer(ev.type == SDL_FINGERDOWN   ? overlay::PointerPhase::down
                    : ev.type == SDL_FINGERUP ? overlay::PointerPhase::up
                                              : overlay::PointerPhase::move,
                    touch_type(ev.tfinger.touchId), ev.tfinger.fingerId,
                    ev.tfinger.x * pixel_w_, ev.tfinger.y * pixel_h_, ev.tfinger.timestamp);
            break;
        case SDL_TEXTINPUT:
            typed(ev.text.text, event_time(ev.text.timestamp));
            break;
        case SDL_KEYDOWN:
            if (auto key = named_key(ev.key.keysym.sym)) named(*key, event_time(ev.key.timestamp));
            else typed({}, event_time(ev.key.timestamp));  // the keypad goes all the same
            break;
        default: break;
    }
}

void SdlPlatform::toggle_fullscreen() {
    bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

overlay::PointerType SdlPlatform::touch_type(std::int64_t touch_id) {
    // SDL 2 reports a pen on a touch screen as a finger of a touch device;
    // the device's name is the only sign of a pen it gives.
    for (int i = 0; i < SDL_GetNumTouchDevices(); ++i) {
        if (SDL_GetTouchDevice(i) != touch_id) continue;
        const char* name = SDL_GetTouchName(i);
        std::string lower = name ? name : "";
        for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.find("pen") != std::string::npos || lower.find("stylus") != std::string::npos)
            return overlay::PointerType::pen;
        break;
    }
    return overlay::PointerType::touch;
}

void SdlPlatform::pointer(overlay::PointerPhase phase, overlay::PointerType type, std::int64_t id,
                          double x, double y, std::uint32_t timestamp) {
    ++pointer_events_;
    Backend::pointer({phase, type, id, x, y, event_time(timestamp)});
}

void SdlPlatform::pump() {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) handle(ev);
    if (closed_) throw ProgramEnd{0};
}

std::uint64_t SdlPlatform::now_ms() { return SDL_GetTicks64(); }

bool SdlPlatform::settling() const { return SDL_GetTicks64() < settle_until_ms_; }

void SdlPlatform::rest(int ms) {
    std::uint64_t now = SDL_GetTicks64();
    std::uint64_t rest = static_cast<std::uint64_t>(std::max(ms, 1));
    if (catch_up_at_ms_ != 0) rest = std::min(rest, catch_up_at_ms_ > now ? catch_up_at_ms_ - now : 1);
    SDL_Event ev;
    if (SDL_WaitEventTimeout(&ev, static_cast<int>(rest))) handle(ev);
    if (closed_) throw ProgramEnd{0};
}

void SdlPlatform::pause(int ms) { SDL_Delay(static_cast<Uint32>(std::clamp(ms, 0, kPauseSliceMs))); }

void SdlPlatform::hold() {
    while (!closed_) {
        show(true);
        SDL_Event ev;
        if (SDL_WaitEventTimeout(&ev, static_cast<int>(kFrameMs))) handle(ev);
        while (SDL_PollEvent(&ev)) handle(ev);
    }
}

void SdlPlatform::end_program() {
    if (window_) SDL_HideWindow(window_);
}

}  // namespace lk
