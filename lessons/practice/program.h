#pragma once
// 方程式の練習: practice sets the student answers, with verdicts, hints and
// progress kept on the device.
#include <string_view>

#include "engine/shell/program.h"
#include "request.h"
#include "sheet.h"

namespace lk::practice {
// The program's main loop: the menu of sets, and each set's problems; with a
// printer, プリント too. A teacher's request (request.h) starts with its
// 今日の問題 and stays on the menu; a refused one is said on the menu.
Task<> run_practice(Engine& e, const SheetPrinter& printer = {}, const RequestReading& request = {});
}  // namespace lk::practice

namespace lk {
// The program where nothing prints (the menu: the sets, 記録を消す, 終わり).
const ProgramDef& practicelesson_program();
// The program with a platform's printer: プリント comes after the sets.
// `request` is a teacher's request as the page's address carries it after
// "#" (request.h); empty for none.
ProgramDef practicelesson_program(practice::SheetPrinter printer, std::string_view request = {});
}  // namespace lk
