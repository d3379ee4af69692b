#pragma once
// The options a test (or a demonstration) starts a program with, the same
// for the window and the page (whose address's query ?seed=7&tour=2&trace=1
// becomes --seed 7 --tour 2 --trace). A teacher starting a program gives
// none of them.
//
//   --seed N       repeatable practice problems
//   --tour N       the program answers its own prompts and walks every item
//                  of every topic, showing N practice problems per drill,
//                  then quits
//   --trace        every drawing operation as JSON Lines, to the probe
//   --pictures     the picture of each item as it ends, to the probe (the
//                  page; a tour implies it)
//   --probe DIR    (window) the test log: DIR/prompts.txt gets a line per
//                  prompt (probe.h), DIR/trace.jsonl the trace, and at the
//                  end DIR/pointer.txt the overlay's repaint times; the
//                  seed is 1 unless given
//   --probe        (page) the page's test object takes the prompts
//   --fault runtime  the first item of the first topic fails with a
//                  run-time error (an index outside its table)
#include <cstdint>
#include <optional>
#include <string>

#include "program.h"

namespace lk {

struct TestOptions {
    std::optional<std::uint64_t> seed;
    int tour = 0;
    bool trace = false;
    bool pictures = false;
    bool probe = false;
    std::string probe_dir;
    bool fault = false;
};

// Reads the options; false, with a message, for one it does not know.
bool parse_test_options(int argc, const char* const* argv, TestOptions& options,
                        std::string& error);

// The program as --fault runtime makes it: its first item fails.
ProgramDef with_runtime_fault(const ProgramDef& program);

}  // namespace lk
