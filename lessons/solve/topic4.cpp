#include "topics.h"

namespace lk::solve {

Topic topic4() {
    Topic t;
    t.bar = "①例1　②例２　③例3　④問３　⑤例４　⑥終了";
    t.entries = 6;
    t.items.assign(5, [](Script&) {});
    return t;
}

}  // namespace lk::solve
