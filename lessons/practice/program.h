#pragma once
// 方程式の練習: practice sets the student answers, with verdicts, hints and
// progress kept on the device.
#include "engine/shell/program.h"

namespace lk::practice {
// The program's main loop: the menu of sets, and each set's problems.
void run_practice(Engine& e);
}  // namespace lk::practice

namespace lk {
const ProgramDef& practicelesson_program();
}  // namespace lk
