#pragma once
// The whole life of a windowed program: start-up of the platform, the fatal
// error box when the process faults, and the run itself.

namespace lk {

struct ProgramDef;
int run_window_program(const ProgramDef& program, int argc, char** argv);

}  // namespace lk
