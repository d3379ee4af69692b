#pragma once
// Runs a program headlessly from a key script and keeps everything it drew,
// for tests that check the recorded operations.
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/present/headless/headless_platform.h"
#include "engine/present/presenter.h"
#include "engine/shell/program.h"

namespace lk::testing {

using Record = std::variant<DrawOp, Event>;

class Recorder : public OpSink {
public:
    void on_draw(const DrawOp& op) override { records.emplace_back(op); }
    void on_event(const Event& e) override { records.emplace_back(e); }
    std::vector<Record> records;

    std::vector<DrawText> texts() const;
    std::vector<DrawLine> lines() const;
    std::vector<FillBox> boxes() const;
    std::vector<FillCircle> discs() const;
    // Every drawn text joined, for a quick look for a word.
    std::string all_text() const;
    // The number of key events.
    int keys() const;
    void clear() { records.clear(); }
};

// One rich text as a lesson asked for it, before the renderer typeset it.
struct RichText {
    std::string text;
    float x, y, colour;
};

// A headless program run: the platform, presenter and recorder together.
struct Run {
    explicit Run(const std::string& keys);
    HeadlessPlatform platform;
    Presenter presenter;
    Recorder recorder;
    std::vector<RichText> rich_texts;
    int status = -1;
};

// Runs the named program ("applylesson" or "solvelesson") with the keys (in
// the key-script notation of lessonreplay).
std::unique_ptr<Run> run_program_with(const std::string& program, const std::string& keys,
                                      std::uint64_t seed = 1);

// Whether a box covers a point (a text's origin, a corner), edges included.
inline bool covers(const FillBox& b, float x, float y) {
    return b.x1 <= x && x <= b.x2 && b.y1 <= y && y <= b.y2;
}

// What a shell command prints on its standard output.
std::string output_of(const std::string& cmd);

// An engine over a headless canvas, for tests of single routines.
struct Bench {
    Bench();
    HeadlessPlatform platform;
    Presenter presenter;
    Engine engine;
    Recorder recorder;
};

}  // namespace lk::testing
