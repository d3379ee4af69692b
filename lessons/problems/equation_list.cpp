#include "equation_list.h"

#include "engine/present/strings.h"

namespace lk::problems {

namespace {

constexpr int kInk = 0;

// A worked line's runs: the answer after the line's second "=" stands out,
// as the drills draw it; a line that is the answer as a whole keeps its own
// colour.
Line line_of(const std::string& rich, int colour) {
    std::size_t second = std::string::npos;
    const auto first = rich.find('=');
    if (first != std::string::npos) second = rich.find('=', first + 1);
    if (second == std::string::npos) return Line{{{colour, rich}}};
    return Line{{{kInk, rich.substr(0, second + 1)}, {colour, rich.substr(second + 1)}}};
}

std::string trimmed(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    // A full-width blank, as an input method leaves one.
    const std::string_view wide_blank = "\u3000";
    while (line.substr(0, wide_blank.size()) == wide_blank) line.remove_prefix(wide_blank.size());
    while (line.size() >= wide_blank.size() && line.substr(line.size() - wide_blank.size()) == wide_blank)
        line.remove_suffix(wide_blank.size());
    return std::string(line);
}

bool valid_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > text.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

ListReading refused(std::string error) {
    ListReading r;
    r.error = std::move(error);
    return r;
}

}  // namespace

Problem problem_of(const steps::Solution& solution) {
    Problem p;
    p.shown.push_back(Line{{{kInk, solution.given_rich}}});
    for (const auto& step : solution.steps) p.worked.push_back(line_of(step.rich, step.colour));
    p.answer = solution.x;
    return p;
}

ListReading read_equation_list(std::string_view text, std::string_view unit) {
    if (text.size() > kMaxListBytes) return refused("リストが長すぎます（" + std::to_string(kMaxListBytes) + "バイトまで）。");
    // A byte-order mark, as some editors write one.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (!valid_utf8(text)) return refused("リストの文字が読めません（UTF-8 で保存してください）。");
    ListReading r;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        const std::string where = std::to_string(number) + std::string(unit) + "：";
        if (line.empty()) continue;
        if (line[0] == '#') {
            if (number != 1) return refused(where + "「#」で始まる行は、1行目（リストの名前）だけです。");
            r.list.name = trimmed(std::string_view(line).substr(1));
            if (static_cast<std::size_t>(char_length(r.list.name)) > kMaxListNameChars)
                return refused(where + "名前は" + std::to_string(kMaxListNameChars) + "文字までにしてください。");
            continue;
        }
        if (r.list.problems.size() == kMaxListEquations)
            return refused(where + "方程式は" + std::to_string(kMaxListEquations) + "個までです。");
        const steps::Result result = steps::solve(line);
        if (const auto* no = std::get_if<steps::Refusal>(&result)) return refused(where + no->message);
        const auto& solution = std::get<steps::Solution>(result);
        if (solution.outcome != steps::Outcome::one)
            return refused(where + "解がただ一つではないので、練習には使えません。");
        r.list.equations.push_back(line);
        r.list.problems.push_back(problem_of(solution));
    }
    if (r.list.problems.empty()) return refused("リストに方程式がありません。");
    r.ok = true;
    return r;
}

}  // namespace lk::problems
