#include "topics.h"

namespace lk::apply {

Topic topic4() {
    Topic t;
    t.bar = "①例３　②問4(1)　③問4(2)　④問5　⑤解き方　⑥終了";
    t.entries = 6;
    t.items.assign(5, [](Script&) {});
    return t;
}

}  // namespace lk::apply
