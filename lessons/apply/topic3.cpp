#include "topics.h"

namespace lk::apply {

Topic topic3() {
    Topic t;
    t.bar = "①例２　②問2　③問3　④終了";
    t.entries = 4;
    t.items.assign(3, [](Script&) {});
    return t;
}

}  // namespace lk::apply
