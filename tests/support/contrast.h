#pragma once
// The WCAG 2 contrast ratio of two 0xRRGGBB colours (relative luminance).
#include <cmath>
#include <utility>

namespace lk::testing {

inline double channel_luminance(unsigned value) {
    double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline double luminance(unsigned rgb) {
    return 0.2126 * channel_luminance((rgb >> 16) & 0xFF) +
           0.7152 * channel_luminance((rgb >> 8) & 0xFF) + 0.0722 * channel_luminance(rgb & 0xFF);
}

inline double contrast(unsigned a, unsigned b) {
    double la = luminance(a), lb = luminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

}  // namespace lk::testing
