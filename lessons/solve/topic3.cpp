#include "topics.h"

namespace lk::solve {

Topic topic3() {
    Topic t;
    t.bar = "①P96Q　②問１　③例２　④問2　⑤終了";
    t.entries = 5;
    t.items.assign(4, [](Script&) {});
    return t;
}

}  // namespace lk::solve
