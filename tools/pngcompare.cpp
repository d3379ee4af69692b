// pngcompare: small picture checks for the window tests. Reads PNG files
// (through cairo) and X window dumps (xwd, 24/32 bits per pixel, TrueColor).
//
//   pngcompare palette N original|projector  prints palette colour N as RRGGBB
//   pngcompare size IMAGE                  prints "W H"
//   pngcompare pixel IMAGE X Y             prints the pixel as RRGGBB
//   pngcompare bbox IMAGE RRGGBB           prints "X1 Y1 X2 Y2", the smallest box
//                                          holding every pixel of another colour
//                                          ("none" when there is none)
//   pngcompare diff IMAGE X Y W H REF [--upscale F] [--ref-at RX RY]
//       prints "mad M tile T": the mean absolute difference per channel
//       (0-255) between IMAGE's W x H area at (X, Y) and REF's area at
//       (0, 0), or at (RX, RY) with --ref-at, and the largest mean
//       difference of any 32 x 32 tile, counting only differences that hold
//       across 3 x 3 pixels; with --upscale, REF is first enlarged F times
//       with bilinear filtering.
//   pngcompare crop IMAGE X Y W H OUT.png  writes IMAGE's W x H area at (X, Y)
//                                          as a PNG (a screenshot for the docs)
// Exit status 2 on a usage or file error.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/present/ops.h"

namespace {

struct Image {
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;  // 0xRRGGBB
    std::uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "pngcompare: %s\n", message.c_str());
    std::exit(2);
}

Image from_surface(cairo_surface_t* s) {
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) die("cannot read the picture");
    cairo_surface_flush(s);
    Image img;
    img.w = cairo_image_surface_get_width(s);
    img.h = cairo_image_surface_get_height(s);
    int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    img.px.resize(static_cast<size_t>(img.w) * img.h);
    for (int y = 0; y < img.h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < img.w; ++x) img.px[static_cast<size_t>(y) * img.w + x] = row[x] & 0xFFFFFF;
    }
    return img;
}

std::uint32_t be32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// Scales a masked channel value to 0-255.
unsigned channel(std::uint32_t pixel, std::uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    std::uint32_t max = mask >> shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / max);
}

Image read_xwd(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (d.size() < 100) die("short xwd file " + path);
    auto field = [&](int i) { return be32(&d[static_cast<size_t>(i) * 4]); };
    std::uint32_t header_size = field(0), version = field(1), format = field(2);
    std::uint32_t width = field(4), height = field(5), byte_order = field(7);
    std::uint32_t bpp = field(11), bytes_per_line = field(12);
    std::uint32_t red = field(14), green = field(15), blue = field(16), ncolors = field(19);
    if (version != 7 || format != 2 || (bpp != 32 && bpp != 24))
        die("unsupported xwd file (want a ZPixmap of 24 or 32 bits per pixel)");
    size_t offset = header_size + static_cast<size_t>(ncolors) * 12;
    if (d.size() < offset + static_cast<size_t>(bytes_per_line) * height) die("truncated xwd file");
    Image img;
    img.w = static_cast<int>(width);
    img.h = static_cast<int>(height);
    img.px.resize(static_cast<size_t>(img.w) * img.h);
    const unsigned bytes = bpp / 8;
    for (std::uint32_t y = 0; y < height; ++y) {
        const unsigned char* row = &d[offset + static_cast<size_t>(y) * bytes_per_line];
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = row + static_cast<size_t>(x) * bytes;
            std::uint32_t v = 0;
            for (unsigned b = 0; b < bytes; ++b) {
                // byte_order 0: least significant byte first.
                unsigned idx = byte_order == 0 ? bytes - 1 - b : b;
                v = (v << 8) | p[idx];
            }
            img.px[static_cast<size_t>(y) * img.w + x] =
                (channel(v, red) << 16) | (channel(v, green) << 8) | channel(v, blue);
        }
    }
    return img;
}

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

Image read_image(const std::string& path) {
    if (ends_with(path, ".xwd")) return read_xwd(path);
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    Image img = from_surface(s);
    cairo_surface_destroy(s);
    return img;
}

// REF enlarged `factor` times with bilinear filtering, to at least w x h.
Image upscaled(const std::string& path, double factor, int w, int h) {
    cairo_surface_t* src = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(src) != CAIRO_STATUS_SUCCESS) die("cannot read " + path);
    cairo_surface_t* dst = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(dst);
    cairo_scale(cr, factor, factor);
    cairo_set_source_surface(cr, src, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    Image img = from_surface(dst);
    cairo_surface_destroy(dst);
    cairo_surface_destroy(src);
    return img;
}

int to_int(const char* s) { return static_cast<int>(std::strtol(s, nullptr, 10)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) die("usage: pngcompare palette|size|pixel|bbox|diff ...");
    std::string cmd = argv[1];
    if (cmd == "palette" && argc == 4) {
        std::string which = argv[3];
        if (which != "original" && which != "projector") die("palette: original or projector");
        std::printf("%06X\n", lk::palette_rgb(to_int(argv[2]), which == "projector"
                                                                  ? lk::Palette::projector
                                                                  : lk::Palette::original));
        return 0;
    }
    Image img = read_image(argv[2]);
    if (cmd == "size") {
        std::printf("%d %d\n", img.w, img.h);
    } else if (cmd == "pixel" && argc == 5) {
        int x = to_int(argv[3]), y = to_int(argv[4]);
        if (x < 0 || y < 0 || x >= img.w || y >= img.h) die("pixel outside the picture");
        std::printf("%06X\n", img.at(x, y));
    } else if (cmd == "bbox" && argc == 4) {
        std::uint32_t bg = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 16));
        int x1 = img.w, y1 = img.h, x2 = -1, y2 = -1;
        for (int y = 0; y < img.h; ++y)
            for (int x = 0; x < img.w; ++x)
                if (img.at(x, y) != bg) {
                    x1 = std::min(x1, x), y1 = std::min(y1, y);
                    x2 = std::max(x2, x), y2 = std::max(y2, y);
                }
        if (x2 < 0) std::printf("none\n");
        else std::printf("%d %d %d %d\n", x1, y1, x2, y2);
    } else if (cmd == "crop" && argc == 8) {
        int x0 = to_int(argv[3]), y0 = to_int(argv[4]), w = to_int(argv[5]), h = to_int(argv[6]);
        if (w <= 0 || h <= 0 || x0 < 0 || y0 < 0 || x0 + w > img.w || y0 + h > img.h)
            die("area outside the picture");
        cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
        cairo_surface_flush(out);
        unsigned char* data = cairo_image_surface_get_data(out);
        int stride = cairo_image_surface_get_stride(out);
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
            for (int x = 0; x < w; ++x) row[x] = img.at(x0 + x, y0 + y);
        }
        cairo_surface_mark_dirty(out);
        bool ok = cairo_surface_write_to_png(out, argv[7]) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(out);
        if (!ok) die("cannot write " + std::string(argv[7]));
    } else if (cmd == "diff" && argc >= 8) {
        int x0 = to_int(argv[3]), y0 = to_int(argv[4]), w = to_int(argv[5]), h = to_int(argv[6]);
        if (w <= 0 || h <= 0 || x0 < 0 || y0 < 0 || x0 + w > img.w || y0 + h > img.h)
            die("area outside the picture");
        double factor = 0;
        int rx = 0, ry = 0;
        for (int i = 8; i < argc; ++i) {
            if (std::strcmp(argv[i], "--upscale") == 0 && i + 1 < argc) {
                factor = std::atof(argv[++i]);
            } else if (std::strcmp(argv[i], "--ref-at") == 0 && i + 2 < argc) {
                rx = to_int(argv[i + 1]), ry = to_int(argv[i + 2]);
                i += 2;
            } else {
                die("unknown option " + std::string(argv[i]));
            }
        }
        if (rx < 0 || ry < 0) die("reference area outside the reference");
        Image ref = factor > 0 ? upscaled(argv[7], factor, rx + w, ry + h) : read_image(argv[7]);
        if (ref.w < rx + w || ref.h < ry + h) die("reference smaller than the area");
        // The difference of each pixel, summed over the whole area; and,
        // for every tile of kTile x kTile pixels (tiles overlap by half),
        // the mean of the differences that hold across a pixel's 3 x 3
        // neighbourhood (its smallest there). Two rasterisers draw the
        // anti-aliased edge of a glyph a little differently, which that
        // leaves out; a glyph gone, in another font or moved by a unit
        // still shows, even in a large picture.
        constexpr int kTile = 32;
        std::vector<int> diff(static_cast<size_t>(w) * h);
        double sum = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint32_t a = img.at(x0 + x, y0 + y), b = ref.at(rx + x, ry + y);
                int d = 0;
                for (int shift : {16, 8, 0})
                    d += std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                  static_cast<int>((b >> shift) & 0xFF));
                diff[static_cast<size_t>(y) * w + x] = d;
                sum += d;
            }
        std::vector<int> held(diff.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int least = diff[static_cast<size_t>(y) * w + x];
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = std::clamp(x + dx, 0, w - 1), ny = std::clamp(y + dy, 0, h - 1);
                        least = std::min(least, diff[static_cast<size_t>(ny) * w + nx]);
                    }
                held[static_cast<size_t>(y) * w + x] = least;
            }
        double worst = 0;
        for (int ty = 0; ty + kTile <= h; ty += kTile / 2)
            for (int tx = 0; tx + kTile <= w; tx += kTile / 2) {
                double tile = 0;
                for (int y = ty; y < ty + kTile; ++y)
                    for (int x = tx; x < tx + kTile; ++x) tile += held[static_cast<size_t>(y) * w + x];
                worst = std::max(worst, tile / (3.0 * kTile * kTile));
            }
        std::printf("mad %.4f tile %.4f\n", sum / (3.0 * w * h), worst);
    } else {
        die("bad arguments");
    }
    return 0;
}
