#pragma once
// The topics of applylesson, one file each.
#include "engine/shell/program.h"

namespace lk::apply {

Topic topic1();
Topic topic2();
Topic topic3();
Topic topic4();
Topic topic5();
Topic topic6();
Topic topic7();
Topic topic8();

}  // namespace lk::apply

namespace lk {
// The whole program: title, menu and topics.
const ProgramDef& applylesson_program();
}  // namespace lk
