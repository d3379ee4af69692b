#include "replay.h"

#include <array>
#include <cstdio>

#include "lessons/apply/topics.h"
#include "lessons/solve/topics.h"

namespace lk::testing {

namespace {

template <typename T>
std::vector<T> only(const std::vector<Record>& records) {
    std::vector<T> out;
    for (const auto& r : records)
        if (const auto* op = std::get_if<DrawOp>(&r))
            if (const auto* t = std::get_if<T>(op)) out.push_back(*t);
    return out;
}

}  // namespace

std::vector<DrawText> Recorder::texts() const { return only<DrawText>(records); }
std::vector<DrawLine> Recorder::lines() const { return only<DrawLine>(records); }
std::vector<FillBox> Recorder::boxes() const { return only<FillBox>(records); }
std::vector<FillCircle> Recorder::discs() const { return only<FillCircle>(records); }

std::string Recorder::all_text() const {
    std::string out;
    for (const auto& t : texts()) out += t.text;
    return out;
}

int Recorder::keys() const {
    int n = 0;
    for (const auto& r : records)
        if (const auto* e = std::get_if<Event>(&r); e && std::holds_alternative<KeyEvent>(*e)) ++n;
    return n;
}

Run::Run(const std::string& keys) : platform(decode_key_script(keys)), presenter(platform) {
    presenter.add_sink(&recorder);
}

std::unique_ptr<Run> run_program_with(const std::string& program, const std::string& keys,
                                      std::uint64_t seed) {
    auto run = std::make_unique<Run>(keys);
    const ProgramDef& def =
        program == "solvelesson" ? solvelesson_program() : applylesson_program();
    Run* r = run.get();
    run->status = lk::finished(lk::run_program(def, run->presenter, seed, [r](Engine& e) {
        e.on_rich_text = [r](const std::string& text, float x, float y, float colour) {
            r->rich_texts.push_back({text, x, y, colour});
        };
    }));
    return run;
}

Bench::Bench() : presenter(platform), engine(presenter) {
    presenter.add_sink(&recorder);
    presenter.painter().set_font_face("ｺﾞｼｯｸ");
    presenter.painter().set_font_size(16);
    presenter.painter().set_pen_width(3);
    recorder.clear();
}

std::string output_of(const std::string& cmd) {
    std::string out;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
    ::pclose(pipe);
    return out;
}

}  // namespace lk::testing
