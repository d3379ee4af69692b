#pragma once
// 方程式の練習: practice sets the student answers, with verdicts, hints and
// progress kept on the device.
#include "engine/shell/program.h"
#include "sheet.h"

namespace lk::practice {
// The program's main loop: the menu of sets, and each set's problems; with a
// printer, プリント too.
void run_practice(Engine& e, const SheetPrinter& printer = {});
}  // namespace lk::practice

namespace lk {
// The program where nothing prints (the menu: the sets, 記録を消す, 終わり).
const ProgramDef& practicelesson_program();
// The program with a platform's printer: プリント comes after the sets.
ProgramDef practicelesson_program(practice::SheetPrinter printer);
}  // namespace lk
