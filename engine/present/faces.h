#pragma once
// How a face name of the lessons maps to a font, and how its glyphs sit in a
// magnified cell. Every player (cairo, Canvas 2D) draws text with these.
//
// The Gothic is the metric face of the layout (8 units half-width, 16
// full-width at size 16); the serif faces are drawn a little narrower than
// their em so that an italic letter fits the advance the formula renderer
// gives it, and their baseline is set so that they stand on the same line as
// the Gothic digits beside them.
#include <string>

namespace lk {

struct FaceStyle {
    std::string family;    // the font family (fontconfig's name on the desktop)
    double width_factor;   // horizontal em, as a share of size * h
    double baseline;       // baseline below the cell top, as a share of size * v
    bool script_ell;       // draw "l" as the script ell
};

inline constexpr const char* kGothicFamily = "BIZ UDGothic";
inline constexpr const char* kSerifFamily = "Liberation Serif";
// The browser build carries a subset of each font; a subset of the serif
// must not use its original's reserved name, so it goes by this one.
inline constexpr const char* kSerifSubsetFamily = "Lesson Serif";

// The family a page registers a font under.
inline std::string web_family(const std::string& family) {
    return family == kSerifFamily ? kSerifSubsetFamily : family;
}

inline FaceStyle style_for(const std::string& face) {
    if (face == "ｺﾞｼｯｸ" || face == "ゴシック") return {kGothicFamily, 1.0, 0.88, false};
    if (face == "Times New Roman") return {kSerifFamily, 0.62, 1.10, false};
    if (face == "MT Extra") return {kSerifFamily, 0.6, 0.88, true};
    return {face, 1.0, 0.88, false};
}

// The text a player draws for a glyph of a face ("l" as "ℓ" where asked).
inline std::string displayed_text(const FaceStyle& style, const std::string& text) {
    if (!style.script_ell) return text;
    std::string out;
    for (char c : text) out += c == 'l' ? std::string("\u2113") : std::string(1, c);
    return out;
}

}  // namespace lk
