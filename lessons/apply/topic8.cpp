#include "topics.h"

namespace lk::apply {

Topic topic8() {
    Topic t;
    t.bar = "P111(章の問題B)　①～⑥解答　　　⑦終了";
    t.entries = 7;
    t.items.assign(6, [](Script&) {});
    return t;
}

}  // namespace lk::apply
