// The step solver's time per equation: working it and writing its lines as
// solvelesson --steps prints them, over random equations of every accepted
// form (100,000, or the number given). Prints the median and p99 and fails
// when the median reaches a millisecond.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "engine/steps/steps.h"
#include "support/random_equations.h"

int main(int argc, char** argv) {
    constexpr int kDefaultCount = 100000;
    constexpr double kMedianLimitMicros = 1000;
    const int count = argc > 1 ? std::atoi(argv[1]) : kDefaultCount;
    if (count <= 0) return 2;
    lk::testing::RandomEquations equations(23);
    std::vector<lk::testing::TypedEquation> inputs;
    for (int i = 0; i < count; ++i) inputs.push_back(equations.next());

    std::vector<double> micros;
    micros.reserve(inputs.size());
    std::size_t printed = 0;
    for (const auto& e : inputs) {
        const auto start = std::chrono::steady_clock::now();
        const lk::steps::Result r = lk::steps::solve(e.typed);
        std::string out;
        if (const auto* s = std::get_if<lk::steps::Solution>(&r))
            for (const auto& step : s->steps) out += step.name + "\t" + step.plain + "\n";
        const auto end = std::chrono::steady_clock::now();
        printed += out.size();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    const double median = micros[micros.size() / 2], p99 = micros[micros.size() * 99 / 100];
    std::printf("steps over %d equations: median %.1f us, p99 %.1f us, max %.1f us (%zu bytes of lines)\n", count,
                median, p99, micros.back(), printed);
    return median < kMedianLimitMicros ? 0 : 1;
}
