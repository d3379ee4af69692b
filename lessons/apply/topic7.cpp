#include "topics.h"

namespace lk::apply {

Topic topic7() {
    Topic t;
    t.bar = "P110(章の問題A)①1,2　②3　③4　④5　⑤６　⑥７　⑦終了";
    t.entries = 7;
    t.items.assign(6, [](Script&) {});
    return t;
}

}  // namespace lk::apply
