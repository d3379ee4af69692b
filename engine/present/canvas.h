#pragma once
// The persistent canvas: the drawing operations since the last full erase, in
// call order. Players render it; the window back end re-renders it at its own
// scale whenever it changes.
#include <cstdint>
#include <vector>

#include "ops.h"

namespace lk {

// The layout area every lesson coordinate lives in: what a window shows,
// scaled to fit, and the size of a picture or a page.
inline constexpr float kCanvasWidth = 1366;
inline constexpr float kCanvasHeight = 720;

class Canvas {
public:
    // A canvas keeps what reaches into its own area: the lesson's layout
    // area unless given another size (a printed page's).
    explicit Canvas(float width = kCanvasWidth, float height = kCanvasHeight) : width_(width), height_(height) {}
    float width() const { return width_; }
    float height() const { return height_; }
    Box area() const { return {0, 0, width_, height_}; }

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
    float width_, height_;
    std::vector<DrawOp> ops_;
    std::vector<Box> bounds_;
    std::uint64_t revision_ = 0;
    mutable Box damage_{0, 0, 0, 0};
    mutable bool damaged_ = false;
    void damage(const Box& b);
};

}  // namespace lk
