#include "topics.h"

namespace lk::apply {

Topic topic5() {
    Topic t;
    t.bar = "①比例式　②P107Q　③性質(問1)　④例1　⑤問2　⑥問3　⑦問4　⑧終了";
    t.entries = 8;
    t.items.assign(7, [](Script&) {});
    return t;
}

}  // namespace lk::apply
