#pragma once
// The persistent canvas: the drawing operations since the last full erase, in
// call order. Players render it; the window back end re-renders it at its own
// scale whenever it changes.
#include <cstdint>
#include <optional>
#include <vector>

#include "ops.h"

namespace lk {

// The layout area every lesson coordinate lives in: what a window shows,
// scaled to fit, and the size of a picture or a page.
inline constexpr float kCanvasWidth = 1366;
inline constexpr float kCanvasHeight = 720;

// The sheet of paper a printed page fills: its name as print settings spell
// it, and its size in millimetres and in PDF points.
struct Paper {
    const char* name;
    float width_mm, height_mm;
    double width_pt, height_pt;
};
inline constexpr Paper kA4Portrait{"A4", 210, 297, 595.28, 841.89};

// The size of a canvas: its layout area, and for a printed page the paper
// it fills edge to edge (the area then has the paper's proportions). The
// players size a picture, a PDF page or a print view from it.
struct PageSize {
    float width = kCanvasWidth;
    float height = kCanvasHeight;
    std::optional<Paper> paper = std::nullopt;
};
// A printed page: the lesson's layout width, and A4's proportions (1 : √2).
inline constexpr PageSize kA4Page{kCanvasWidth, 1931.82f /* 1366 · √2 */, kA4Portrait};

class Canvas {
public:
    // A canvas keeps what reaches into its own area: the lesson's layout
    // area unless given another page (a printed page's, a scratch area's).
    explicit Canvas(PageSize page = {}) : page_(page) {}
    Canvas(float width, float height) : page_{width, height, std::nullopt} {}
    float width() const { return page_.width; }
    float height() const { return page_.height; }
    const PageSize& page() const { return page_; }
    Box area() const { return {0, 0, page_.width, page_.height}; }

    // Adds an operation. An operation that paints nothing visible is not kept,
    // and a solid box lets go of every earlier operation it covers entirely,
    // so the list stays bounded however long a lesson runs.
    void add(const DrawOp& op);
    void clear();
    // Becomes a copy of another canvas's picture and size (everything is
    // damaged).
    void replace_with(const Canvas& other);

    const std::vector<DrawOp>& ops() const { return ops_; }
    // Grows by one with every change, so that a back end can tell whether
    // the picture needs to be shown again.
    std::uint64_t revision() const { return revision_; }

    // The area changed since the last call (empty when nothing changed), so
    // that a window back end repaints only that part.
    bool take_damage(Box& out) const;
    const std::vector<Box>& bounds() const { return bounds_; }
    // A fingerprint of everything the canvas shows: equal fingerprints are
    // the same picture (a prompt's cursor drawn again where it was).
    std::uint64_t fingerprint() const;


private:
    PageSize page_;
    std::vector<DrawOp> ops_;
    std::vector<Box> bounds_;
    std::uint64_t revision_ = 0;
    mutable Box damage_{0, 0, 0, 0};
    mutable bool damaged_ = false;
    void damage(const Box& b);
};

}  // namespace lk
