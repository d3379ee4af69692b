#include "topics.h"

namespace lk::apply {

Topic topic6() {
    Topic t;
    t.bar = "①～④解答　　　⑤終了";
    t.entries = 5;
    t.items.assign(4, [](Script&) {});
    return t;
}

}  // namespace lk::apply
