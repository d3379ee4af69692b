// Arc spans: a chain of dots along a half ellipse between two points, with a
// label placed outside its middle.
#include <cmath>

#include "engine.h"

namespace lk {

void Engine::vector_angle_of() {
    float angle;
    if (vector_y2 < vector_y1)
        angle = kPi / 2 + std::atan((vector_x2 - vector_x1) / (vector_y2 - vector_y1));
    else if (vector_y2 > vector_y1)
        angle = 3 * kPi / 2 + std::atan((vector_x2 - vector_x1) / (vector_y2 - vector_y1));
    else if (vector_x2 > vector_x1)
        angle = 0;
    else
        angle = kPi;
    vector_angle = angle;
    vector_angle_deg = angle * 180 / kPi;
}

void Engine::bisect_angles() {
    vector_x1 = centre_x, vector_y1 = centre_y, vector_x2 = direction_x1, vector_y2 = direction_y1;
    vector_angle_of();
    angle_a = vector_angle;
    vector_x2 = direction_x2, vector_y2 = direction_y2;
    vector_angle_of();
    angle_b = vector_angle;
    if (label_dir == -1) std::swap(angle_a, angle_b);
    angle_mid = (angle_a + angle_b) / 2;
    if (angle_b < angle_a) angle_mid += kPi;
}

void Engine::place_label() {
    run_text = span_label;
    measure_rich_text();
    float w = measured_width;
    centre_x = label_x;
    centre_y = label_y;
    bisect_angles();
    float b = angle_mid;
    const float h = 40;
    float y = label_y - 2 * h * (std::sin(b) / 2 + 0.5f) + label_dy;
    float x = label_x + w * (std::cos(b) / 2 - 0.5f) + label_dx;
    text = span_label;
    text_x = x;
    text_y = y;
    draw_rich_text();
    label_dir = 0;
    label_dx = 0;
    label_dy = 0;
    span_label.clear();
}

void Engine::draw_arc_span() {
    if (span_height > 0 && span_height < 16) span_height *= 16;
    if (span_height < 0) span_height = -span_height;
    const float x1 = span_x1, y1 = span_y1, x2 = span_x2, y2 = span_y2;
    const float half = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1)) / 2;
    vector_x1 = x1, vector_y1 = y1, vector_x2 = x2, vector_y2 = y2;
    vector_angle_of();
    const float base = vector_angle;
    const float first = span_side > 0 ? 180 : 0;
    const float last = span_side > 0 ? 360 : 180;

    auto point_at = [&](float t, float& out_x, float& out_y) {
        float rad = t * kPi / 180;
        float px = x1 + half + half * std::cos(rad);
        float py = y1 - span_height * std::sin(rad);
        float r = std::sqrt((px - x1) * (px - x1) + (py - y1) * (py - y1));
        vector_x1 = x1, vector_y1 = y1, vector_x2 = px, vector_y2 = py;
        vector_angle_of();
        float a = vector_angle;
        out_x = x1 + r * std::cos(base + a);
        out_y = y1 - r * std::sin(base + a);
    };

    // A step that is not positive would never reach the end of the range; it
    // draws the first dot only.
    const int dot_colour = colour(frame_colour);
    if (arc_step > 0) {
        for (float t = first; t <= last; t += arc_step) {
            float dx, dy;
            point_at(t, dx, dy);
            p.fill_circle(dx, dy, 0.5f, dot_colour);
        }
    } else {
        float dx, dy;
        point_at(first, dx, dy);
        p.fill_circle(dx, dy, 0.5f, dot_colour);
    }
    float mx, my;
    point_at((first + last) / 2, mx, my);
    label_x = mx;
    label_y = my;
    direction_x1 = x1, direction_y1 = y1, direction_x2 = x2, direction_y2 = y2;
    label_dir = span_side;
    place_label();
    span_label.clear();
    label_dx = 0;
    label_dy = 0;
}

}  // namespace lk
