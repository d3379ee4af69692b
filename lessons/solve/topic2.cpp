#include "topics.h"

namespace lk::solve {

Topic topic2() {
    Topic t;
    t.bar = "①性質2　②解く　③性１　④性４　⑤性３　⑥まとめ　⑦練習　⑧問４　⑨終了";
    t.entries = 9;
    t.items.assign(8, [](Script&) {});
    return t;
}

}  // namespace lk::solve
