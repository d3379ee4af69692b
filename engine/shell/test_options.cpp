#include "test_options.h"

#include <cstdlib>
#include <cstring>

#include "engine/lesson/engine.h"
#include "script.h"

namespace lk {

bool parse_test_options(int argc, const char* const* argv, TestOptions& options,
                        std::string& error) {
    auto number = [&](int& i, const char* name, long long& out) {
        if (i + 1 >= argc) {
            error = std::string(name) + " needs a number";
            return false;
        }
        char* end = nullptr;
        out = std::strtoll(argv[++i], &end, 10);
        if (!*argv[i] || *end || out < 0) {
            error = std::string(name) + " needs a number, not \"" + argv[i] + "\"";
            return false;
        }
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        long long n = 0;
        if (std::strcmp(a, "--seed") == 0) {
            if (!number(i, a, n)) return false;
            options.seed = static_cast<std::uint64_t>(n);
        } else if (std::strcmp(a, "--tour") == 0) {
            if (!number(i, a, n)) return false;
            options.tour = static_cast<int>(n);
        } else if (std::strcmp(a, "--trace") == 0) {
            options.trace = true;
        } else if (std::strcmp(a, "--pictures") == 0) {
            options.pictures = true;
        } else if (std::strcmp(a, "--probe") == 0) {
            options.probe = true;
            if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) options.probe_dir = argv[++i];
        } else if (std::strcmp(a, "--fault") == 0) {
            if (i + 1 >= argc || std::strcmp(argv[i + 1], "runtime") != 0) {
                error = "--fault takes \"runtime\"";
                return false;
            }
            ++i;
            options.fault = true;
        } else {
            error = std::string("unknown option \"") + a + "\"";
            return false;
        }
    }
    return true;
}

ProgramDef with_runtime_fault(const ProgramDef& program) {
    ProgramDef faulty = program;
    if (!faulty.topics.empty() && !faulty.topics[0].items.empty())
        faulty.topics[0].items[0] = [](Script& s) -> Task<> {
            s.e.columns[51] = 0;
            co_return;
        };
    return faulty;
}

}  // namespace lk
