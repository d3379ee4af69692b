#include "topics.h"

namespace lk::apply {

Topic topic2() {
    Topic t;
    t.bar = "①例１　②問1　③終了";
    t.entries = 3;
    t.items.assign(2, [](Script&) {});
    return t;
}

}  // namespace lk::apply
