#include "topics.h"

namespace lk {

const ProgramDef& applylesson_program() {
    static const ProgramDef program{
        "applylesson",
        9,
        {
            {"1　導入、手順", 44, 120, 13, 0},
            {"2　個数と代金", 44, 180, 15, 1},
            {"3　過不足", 44, 240, 13, 2},
            {"4　速さ、時間、道のり", 44, 300, 15, 3},
            {"5　比例式", 44, 360, 13, 4},
            {"6　P109(基本の問題)", 44, 420, 15, 5},
            {"7　P110(章の問題A)", 44, 480, 13, 6},
            {"8　P111(章の問題B)", 44, 540, 15, 7},
            {"9　終了", 704, 120, 13, -1},
        },
        {apply::topic1(), apply::topic2(), apply::topic3(), apply::topic4(), apply::topic5(),
         apply::topic6(), apply::topic7(), apply::topic8()},
        "方程式の利用",
    };
    return program;
}

}  // namespace lk
