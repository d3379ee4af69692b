// Printed practice sheets, read back as a teacher reads them: each problem
// from the text drawn in its cell, solved with exact arithmetic, against the
// answer the key prints for it; every page watched for text cut, outside the
// page or colliding; the PDF's page size and text; and プリント on the menu.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "engine/present/headless/headless_platform.h"
#include "engine/present/prompt.h"
#include "engine/present/strings.h"
#include "engine/present/svg/svg_player.h"
#include "lessons/practice/program.h"
#include "lessons/practice/sheet.h"
#include "support/equation_check.h"
#include "support/layout_watch.h"
#include "support/replay.h"

namespace {

using namespace lk::testing;
namespace practice = lk::practice;

constexpr Box kPage{0, 0, practice::kSheetWidth, practice::kSheetHeight};

// What a sheet drew: its pages, and each page's rich texts as the engine was
// asked to draw them.
struct Drawn {
    std::vector<practice::SheetPage> pages;
    std::vector<std::vector<RichText>> texts;
};

Drawn draw(const practice::SheetRequest& request, LayoutWatch* watch = nullptr) {
    Drawn out;
    std::vector<RichText> current;
    practice::SheetWatch w;
    w.sink = watch;
    w.on_rich_text = [&](const std::string& text, float x, float y, float colour) {
        current.push_back({text, x, y, colour});
        if (watch) watch->rich_text(text);
    };
    w.on_page = [&](const practice::SheetPage&) {
        out.texts.push_back(std::move(current));
        current.clear();
        if (watch) watch->look_now();
    };
    out.pages = practice::make_sheets(request, w);
    return out;
}

bool inside(const Box& outer, const Box& inner, float slack = 0.5f) {
    return inner.x1 >= outer.x1 - slack && inner.y1 >= outer.y1 - slack && inner.x2 <= outer.x2 + slack &&
           inner.y2 <= outer.y2 + slack;
}
bool reaches_into(const Box& a, const Box& b) {
    return std::min(a.x2, b.x2) - std::max(a.x1, b.x1) > 0.5f && std::min(a.y2, b.y2) - std::max(a.y1, b.y1) > 0.5f;
}

// The lines of a cell as drawn: its rich texts (by where they start), runs
// on one line joined. The first text is the cell's number.
struct CellText {
    std::string mark;
    std::vector<std::string> lines;
};
CellText cell_text(const std::vector<RichText>& texts, const Box& area) {
    CellText out;
    float y = -1;
    for (const auto& t : texts) {
        if (t.x < area.x1 || t.x > area.x2 || t.y < area.y1 || t.y > area.y2) continue;
        if (out.mark.empty()) {
            out.mark = t.text;
            y = t.y;
            continue;
        }
        if (out.lines.empty() || t.y != y) out.lines.emplace_back();
        out.lines.back() += t.text;
        y = t.y;
    }
    return out;
}

std::string joined(const std::vector<std::string>& lines, size_t from = 0, size_t to = std::string::npos) {
    std::string out;
    for (size_t i = from; i < lines.size() && i < to; ++i) out += (out.empty() ? "" : " ") + lines[i];
    return out;
}

// A problem as printed: an equation (or proportion) and its solution, or the
// yes/no question and what substituting the value gives.
struct Printed {
    bool yes_no = false;
    bool is_solution = false;
    Rational value, left, right;  // the yes/no kind's value and the two sides there
    Rational solution;
};
Printed solve_printed(const std::string& text) {
    Printed p;
    std::smatch m;
    if (std::regex_match(text, m, std::regex("(-?\\d+) は、方程式 (.+) の解ですか。"))) {
        p.yes_no = true;
        p.value = Rational(std::stoll(m[1]));
        const auto sides = Parser(as_drawn(m[2].str())).equation();
        if (sides.size() != 2) throw std::runtime_error("not an equation: " + text);
        p.left = at(sides[0], p.value);
        p.right = at(sides[1], p.value);
        p.is_solution = p.left == p.right;
    } else if (text.find(':') != std::string::npos) {
        p.solution = proportion_solution(text);
    } else {
        p.solution = solution_of(as_drawn(text));
    }
    return p;
}

// A printed problem as an equation, for telling problems apart: the two
// sides as drawn, in order (the same equation with its sides swapped is the
// same problem); the yes/no question with its value. Each side is parsed, so
// that only an equation of two sides counts.
std::string as_equation(const std::string& text) {
    std::string value;
    std::string equation = text;
    std::smatch m;
    if (std::regex_match(text, m, std::regex("(-?\\d+) は、方程式 (.+) の解ですか。"))) {
        value = m[1].str() + "?";
        equation = m[2].str();
    }
    std::vector<std::string> sides = split(as_drawn(equation), '=');
    if (sides.size() != 2) throw std::runtime_error("not an equation: " + text);
    for (const auto& side : sides)
        for (const auto& term : split(side, ':')) expression(term);
    std::sort(sides.begin(), sides.end());
    return value + sides[0] + "=" + sides[1];
}

// A substitution chain of the key, "左辺=…=…=v" over the lines from `side`;
// every part of it must be `value`.
std::string check_chain(const std::vector<std::string>& lines, const std::string& side, const Rational& value) {
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].starts_with(side)) continue;
        const std::string chain = lines[i].substr(side.size()) + lines[i + 1];
        for (const auto& part : Parser(as_drawn(chain)).equation())
            if (!(part.c == 0) || !(part.k == value)) return "substitution wrong: " + side + chain;
        return "";
    }
    return "no " + side;
}

struct Tally {
    long sheets = 0, pages = 0, problems = 0, answers_checked = 0, wrong = 0, layout = 0, repeats = 0;
    std::vector<std::string> first_faults;
    void fault(const std::string& what) {
        ++wrong;
        if (first_faults.size() < 10) first_faults.push_back(what);
    }
};

// Every problem a set's kinds make, as an equation (as_equation of the
// problem's lines as printed).
void walk_set(const practice::PracticeSet& set, const std::function<void(const std::string&)>& each) {
    for (const auto* kind : set.kinds)
        for (int variant = 1; variant <= kind->variants; ++variant) {
            const auto walk = lk::problems::for_each_problem(*kind, variant, [&](const lk::problems::Problem& p) {
                std::vector<std::string> lines;
                for (const auto& line : p.shown) lines.push_back(line.joined());
                each(as_equation(joined(lines)));
            });
            ASSERT_TRUE(walk.walked) << kind->id;
        }
}

// One sheet and its key: every problem read from its cell, every key entry
// checked against it, and everything drawn inside its cell and the page.
void check_sheet(const practice::SheetRequest& request, Tally& tally) {
    const Drawn d = draw(request);
    ++tally.sheets;
    tally.pages += static_cast<long>(d.pages.size());
    const std::string where = request.set->id + " seed " + std::to_string(request.seed) + " count " +
                              std::to_string(request.count) + ": ";
    std::map<int, Printed> printed;
    std::vector<int> sheet_numbers, key_numbers;
    // No problem twice on a sheet (the same equation in another form counts).
    std::map<int, std::set<std::string>> equations;  // by sheet
    std::map<int, std::vector<std::string>> orders;   // by sheet, in order
    for (size_t n = 0; n < d.pages.size(); ++n) {
        const auto& page = d.pages[n];
        // Layout: everything on the page; what reaches into a cell stays in
        // it; cells apart.
        for (const auto& op : page.canvas.ops()) {
            if (const auto* b = std::get_if<lk::FillBox>(&op); b && b->colour == 15 && b->fill == 15) continue;
            const Box e = lk::layout_extent(op);
            if (!inside(kPage, e)) {
                ++tally.layout;
                tally.fault(where + "drawn outside the page");
            }
            for (const auto& cell : page.cells)
                if (reaches_into(cell.area, e) && !inside(cell.area, e)) {
                    ++tally.layout;
                    tally.fault(where + "cell " + std::to_string(cell.number) + " overflows");
                }
        }
        for (size_t i = 0; i < page.cells.size(); ++i)
            for (size_t j = i + 1; j < page.cells.size(); ++j)
                if (reaches_into(page.cells[i].area, page.cells[j].area)) tally.fault(where + "cells overlap");

        for (const auto& cell : page.cells) {
            const CellText t = cell_text(d.texts[n], cell.area);
            if (t.mark != practice::circled_number(cell.number)) tally.fault(where + "mark " + t.mark);
            try {
                if (!page.key) {
                    sheet_numbers.push_back(cell.number);
                    // The problem's lines, then what the student fills in.
                    std::vector<std::string> lines = t.lines;
                    const bool choice = !lines.empty() && lines.back() == "解である　・　解ではない";
                    const bool blank = !lines.empty() && lines.back() == "x=";
                    if (choice || blank) lines.pop_back();
                    Printed p = solve_printed(joined(lines));
                    orders[page.sheet].push_back(as_equation(joined(lines)));
                    if (!equations[page.sheet].insert(orders[page.sheet].back()).second) {
                        ++tally.repeats;
                        tally.fault(where + "sheet " + std::to_string(page.sheet) + " repeats " + joined(lines));
                    }
                    if (p.yes_no != choice || p.yes_no == blank) tally.fault(where + "answer place: " + joined(t.lines));
                    printed[cell.number] = p;
                    ++tally.problems;
                    continue;
                }
                key_numbers.push_back(cell.number);
                auto found = printed.find(cell.number);
                if (found == printed.end() || t.lines.size() < 2) {
                    tally.fault(where + "key entry " + std::to_string(cell.number) + " without its problem");
                    continue;
                }
                const Printed& p = found->second;
                ++tally.answers_checked;
                const std::string& answer = t.lines[0];
                if (p.yes_no) {
                    if (answer != (p.is_solution ? "解である" : "解ではない")) tally.fault(where + "verdict " + answer);
                    // The checks: both substitutions, and the verdict they give.
                    for (const auto& f : {check_chain(t.lines, "左辺=", p.left), check_chain(t.lines, "右辺=", p.right)})
                        if (!f.empty()) tally.fault(where + f);
                    const std::string all = joined(t.lines);
                    const std::string verdict = p.is_solution ? "左辺=右辺 だから 解である。" : "左辺≠右辺 だから 解ではない。";
                    if (!all.ends_with(verdict)) tally.fault(where + "verdict line: " + all);
                    continue;
                }
                // "x=" and the value, which must be the printed problem's
                // solution; every worked line keeps it, the last states it.
                const auto sides = Parser(as_drawn(answer)).equation();
                if (!answer.starts_with("x=") || sides.size() != 2 || !(sides[1].c == 0) ||
                    !(sides[1].k == p.solution))
                    tally.fault(where + "answer " + answer + " for " + std::to_string(cell.number));
                for (size_t i = 1; i < t.lines.size(); ++i)
                    if (!(solution_of(as_drawn(t.lines[i])) == p.solution)) tally.fault(where + "worked " + t.lines[i]);
                if (!(Parser(as_drawn(t.lines.back())).equation().back().k == p.solution))
                    tally.fault(where + "last line " + t.lines.back());
            } catch (const std::exception& e) {
                tally.fault(where + e.what());
            }
        }
    }
    // Each sheet's problems (all the set makes, where that is fewer than
    // asked for), and its key.
    const int count = practice::sheet_problem_count(request);
    if (count < request.count && count < static_cast<int>(practice::kCountedProblems)) {
        std::set<std::string> different;
        walk_set(*request.set, [&](const std::string& equation) { different.insert(equation); });
        if (static_cast<int>(different.size()) != count) tally.fault(where + "the set makes " + std::to_string(different.size()));
    }
    std::set<std::vector<std::string>> different_orders;
    for (const auto& [sheet, order] : orders)
        if (!different_orders.insert(order).second) tally.fault(where + "sheet " + std::to_string(sheet) + " as before");
    std::vector<int> all;
    for (int k = 0; k < request.sheets; ++k)
        for (int i = 1; i <= count; ++i) all.push_back(i);
    if (sheet_numbers != all || key_numbers != all) tally.fault(where + "problems missing or out of order");
}

void check_sheets(long sheets) {
    const auto& sets = practice::practice_sets();
    Tally tally;
    for (long seed = 1; seed <= sheets; ++seed) {
        // The sets in turn, each with every count from 1 to 40 in turn.
        practice::SheetRequest request;
        request.set = &sets[static_cast<size_t>(seed - 1) % sets.size()];
        request.count = static_cast<int>((seed - 1) / static_cast<long>(sets.size()) % 40) + 1;
        request.seed = static_cast<std::uint64_t>(seed);
        check_sheet(request, tally);
    }
    std::printf("%ld sheets, %ld pages, %ld problems read back, %ld key answers checked, %ld wrong "
                "(%ld of layout)\n",
                tally.sheets, tally.pages, tally.problems, tally.answers_checked, tally.wrong, tally.layout);
    for (const auto& f : tally.first_faults) std::printf("  %s\n", f.c_str());
    EXPECT_EQ(tally.wrong, 0);
    EXPECT_EQ(tally.answers_checked, tally.problems);
}

// Every set, 40 problems on each of 25 sheets: no problem twice on a sheet,
// as many as the set makes where that is fewer, no two sheets alike, and
// every key still exact.
TEST(Sheets, NoProblemTwiceOnASheet) {
    Tally tally;
    for (const auto& set : practice::practice_sets()) {
        practice::SheetRequest request;
        request.set = &set;
        request.count = practice::kMaxSheetProblems;
        request.sheets = 25;
        request.seed = 11;
        check_sheet(request, tally);
    }
    for (const auto& f : tally.first_faults) std::printf("  %s\n", f.c_str());
    EXPECT_EQ(tally.repeats, 0);
    EXPECT_EQ(tally.wrong, 0);
    EXPECT_EQ(tally.answers_checked, tally.problems);
}

TEST(Sheets, EveryKeyAnswersTheProblemAsPrinted) {
    const char* many = std::getenv("LESSONKIT_SHEETS");
    check_sheets(many ? std::atol(many) : 1000);
}

// Every set at a few counts: no glyph cut, outside the page, or running into
// another text, on any problem or key page.
TEST(Sheets, NoTextCutOutsideOrColliding) {
    int pages = 0;
    for (const auto& set : practice::practice_sets()) {
        for (int count : {1, 2, 13, 40}) {
            for (std::uint64_t seed : {1, 2}) {
                LayoutWatch watch("sheet " + set.id + " count " + std::to_string(count) + " seed " + std::to_string(seed),
                                  nullptr, kPage);
                practice::SheetRequest request;
                request.set = &set;
                request.count = count;
                request.seed = seed;
                pages += static_cast<int>(draw(request, &watch).pages.size());
                EXPECT_TRUE(watch.findings.empty()) << set.id << " count " << count << " seed " << seed << ":\n"
                                                    << listing(watch.findings);
                EXPECT_GT(watch.looks, 1);
            }
        }
    }
    std::printf("%d pages watched\n", pages);
}

std::string run(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

// Without blanks, the ideographic one too (a text extractor writes it as a
// plain space, or leaves it out).
std::string without_blanks(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\n' && c != '\t' && c != '\f' && c != '\r') out += c;
    for (size_t at; (at = out.find("　")) != std::string::npos;) out.erase(at, std::string("　").size());
    return out;
}

// A rich text as a PDF's text reads it: the characters in the order they
// are drawn (a fraction's denominator before its numerator, its bar not a
// character), markup that draws strokes left out, signs kept.
std::string as_printed(const std::string& rich) {
    const std::string text = as_drawn(rich);
    const std::string mark = "ﾀ";
    auto glyphs = [](const std::string& part) {
        std::string out;
        for (const auto& c : lk::split_chars(part)) {
            if (c == "*") out += "×";
            else if (c == "/") out += "÷";
            else if (c == "@") out += "±";
            else if (c == "%") out += "°";
            else if (c == "!" || c == "#" || c == "^" || c == "\\" || c == "ﾝ" || c == "&" || c == "＃") continue;
            else out += c;
        }
        return out;
    };
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t open = text.find(mark, i);
        if (open == std::string::npos) {
            out += glyphs(text.substr(i));
            break;
        }
        out += glyphs(text.substr(i, open - i));
        const size_t close = text.find(mark, open + mark.size());
        const std::string body = text.substr(open + mark.size(), close - open - mark.size());
        const size_t slash = body.find('/');
        if (slash == std::string::npos) out += glyphs(body);
        else out += glyphs(body.substr(slash + 1)) + glyphs(body.substr(0, slash));
        i = close + mark.size();
    }
    return out;
}

// The command line's PDF: A4 pages, as many as the sheets have, and every
// glyph of every problem and answer (and the small print) in its text, in
// order, each problem's text whole with its signs. A bad argument is refused
// in both languages.
TEST(Sheets, PdfOfTheCommandIsA4WithTheProblemsText) {
    const char* bin = std::getenv("LESSONKIT_BIN");
    ASSERT_NE(bin, nullptr);
    const std::string program = std::string(bin) + "/practicelesson";
    const auto dir = std::filesystem::temp_directory_path() / ("lk-sheets-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string pdf = (dir / "sheets.pdf").string();
    int status = -1;
    run(program + " --sheet mixed --count 40 --seed 11 --sheets 2 --pdf " + pdf + " >/dev/null", status);
    ASSERT_EQ(status, 0);

    practice::SheetRequest request;
    request.set = practice::find_set("mixed");
    request.count = 40;
    request.seed = 11;
    request.sheets = 2;
    const Drawn drawn = draw(request);
    const auto& pages = drawn.pages;

    const std::string info = run("pdfinfo " + pdf, status);
    ASSERT_EQ(status, 0) << info;
    EXPECT_NE(info.find("Page size:       595.28 x 841.89 pts (A4)"), std::string::npos) << info;
    EXPECT_NE(info.find("Pages:           " + std::to_string(pages.size()) + "\n"), std::string::npos) << info;
    // The browser's print view takes the same paper from the page's canvas.
    const std::string svg = lk::svg_document(pages.front().canvas);
    EXPECT_NE(svg.find("width=\"210mm\" height=\"297mm\" viewBox=\"0 0 1366 1931.82\""), std::string::npos)
        << svg.substr(0, 200);

    // In the order of the file: each page's small print, and each cell's
    // glyphs as drawn.
    const std::string text = without_blanks(run("pdftotext -raw " + pdf + " -", status));
    ASSERT_EQ(status, 0);
    size_t at = 0, cells = 0, signs = 0;
    // "=" is strokes on paper, at the line's size; its glyph only in the
    // text layer.
    size_t equals_glyphs = 0, equals_in_text = 0;
    for (size_t n = 0; n < pages.size(); ++n) {
        const auto& page = pages[n];
        for (const auto& cell : page.cells) {
            // The texts the cell was asked to show, read from the PDF as one.
            std::string asked;
            for (const auto& t : drawn.texts[n])
                if (t.x >= cell.area.x1 && t.x <= cell.area.x2 && t.y >= cell.area.y1 && t.y <= cell.area.y2)
                    asked += as_printed(t.text);
            asked = without_blanks(asked);
            for (char c : asked) signs += c == '-' || c == '+';
            ASSERT_NE(text.find(asked, at), std::string::npos) << "not in the PDF's text after " << at << ": " << asked;
            std::string glyphs;
            for (const auto& op : page.canvas.ops())
                if (const auto* t = std::get_if<lk::DrawText>(&op); t && inside(cell.area, lk::glyph_cell(*t))) {
                    glyphs += t->text;
                    if (t->text == "=") ++(t->colour == lk::kTextLayerColour ? equals_in_text : equals_glyphs);
                }
            glyphs = without_blanks(glyphs);
            const size_t found = text.find(glyphs, at);
            ASSERT_NE(found, std::string::npos) << "not in the PDF's text after " << at << ": " << glyphs;
            at = found + glyphs.size();
            ++cells;
        }
    }
    EXPECT_EQ(cells, 2u * 2u * 40u);
    EXPECT_GT(signs, 100u);
    EXPECT_EQ(equals_glyphs, 0u);
    EXPECT_GT(equals_in_text, 160u);
    for (const char* small : {"IDmixedseed1140問", "IDmixedseed1240問"})
        EXPECT_NE(text.find(small), std::string::npos) << small;

    const std::string refused =
        run(program + " --sheet 5 --count 41 --pdf " + (dir / "no.pdf").string() + " 2>&1", status);
    EXPECT_EQ(status, 2);
    EXPECT_NE(refused.find("問題の数は 1 から 40"), std::string::npos) << refused;
    EXPECT_NE(refused.find("the count must be a whole number from 1 to 40"), std::string::npos) << refused;
    EXPECT_FALSE(std::filesystem::exists(dir / "no.pdf"));
    std::filesystem::remove_all(dir);
}

// プリント on the menu, where the platform prints: the set, the count, the
// number of sheets and the seed asked for in turn reach the printer, and
// what it says is shown; an answer out of range goes back to the menu
// unprinted.
// The menu of fifteen and the screen of プリント are watched as the layout
// tour watches every screen.
TEST(Sheets, MenuPrintAsksAndHandsTheRequestToThePrinter) {
    std::vector<practice::SheetRequest> asked;
    const lk::ProgramDef program = lk::practicelesson_program([&](const practice::SheetRequest& r) {
        asked.push_back(r);
        return practice::PrintOutcome{true, "テストの印刷です。", "/tmp/sheets-test.pdf"};
    });
    EXPECT_EQ(program.quit_number, 16);
    lk::HeadlessPlatform platform(lk::decode_key_script("13\r5\r41\r" "13\r5\r20\r2\r77\r " "16\r"));
    lk::Presenter presenter(platform);
    Recorder recorder;
    LayoutWatch watch("practicelesson");
    presenter.add_sink(&recorder);
    presenter.add_sink(&watch);
    EXPECT_EQ(lk::finished(lk::run_program(program, presenter, 3,
                              [&](lk::Engine& e) {
                                  e.on_rich_text = [&](const std::string& text, float, float, float) {
                                      watch.rich_text(text);
                                  };
                              })),
              0);
    EXPECT_GT(watch.looks, 10);
    EXPECT_TRUE(watch.findings.empty()) << listing(watch.findings);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].set, practice::find_set("5"));
    EXPECT_EQ(asked[0].count, 20);
    EXPECT_EQ(asked[0].sheets, 2);
    EXPECT_EQ(asked[0].seed, 77u);
    const std::string all = recorder.all_text();
    EXPECT_NE(all.find("プリント"), std::string::npos);
    EXPECT_NE(all.find("テストの印刷です。"), std::string::npos);
    EXPECT_NE(all.find("/tmp/sheets-test.pdf"), std::string::npos);
}

}  // namespace
