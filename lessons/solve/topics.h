#pragma once
// The topics of solvelesson, one file each.
#include "engine/shell/program.h"

namespace lk::solve {

Topic topic1();
Topic topic2();
Topic topic3();
Topic topic4();
Topic topic5();
// 方程式を入力: an equation the teacher types, worked step by step.
Topic own_equation();

}  // namespace lk::solve

namespace lk {
// The whole program: title, menu and topics.
const ProgramDef& solvelesson_program();
}  // namespace lk
