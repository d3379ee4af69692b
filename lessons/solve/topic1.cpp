#include "topics.h"

namespace lk::solve {

Topic topic1() {
    Topic t;
    t.bar = "①P91Q　②P92Q　③例1　④練習　⑤問1　⑥問2　⑦終了";
    t.entries = 7;
    t.items.assign(6, [](Script&) {});
    return t;
}

}  // namespace lk::solve
