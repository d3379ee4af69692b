#include <cstdio>
#include <cstring>
#include <variant>

#include "apps/window_program.h"
#include "engine/steps/steps.h"
#include "lessons/solve/topics.h"

namespace {

// solvelesson --steps "EQUATION": the worked lines, one a line (the step's
// name, a tab, the line in plain text), for worksheets and scripts; no
// window. A text the solver refuses: its message on stderr, status 2.
constexpr int kRefusedStatus = 2;

int print_steps(const char* equation) {
    const lk::steps::Result result = lk::steps::solve(equation);
    if (const auto* refusal = std::get_if<lk::steps::Refusal>(&result)) {
        std::fprintf(stderr, "%s\n", refusal->message.c_str());
        return kRefusedStatus;
    }
    for (const lk::steps::Step& step : std::get<lk::steps::Solution>(result).steps)
        std::printf("%s\t%s\n", step.name.c_str(), step.plain.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--steps") == 0) {
        if (argc != 3) {
            std::fprintf(stderr, "usage: %s --steps EQUATION\n", argv[0]);
            return kRefusedStatus;
        }
        return print_steps(argv[2]);
    }
    return lk::run_window_program(lk::solvelesson_program(), argc, argv);
}
