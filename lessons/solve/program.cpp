#include "topics.h"

namespace lk {

const ProgramDef& solvelesson_program() {
    static const ProgramDef program{
        "solvelesson",
        8,
        {
            {"1　方程式とその解", 44, 120, 13, 0},
            {"2　等式の性質", 44, 180, 15, 1},
            {"3　方程式の解き方", 44, 240, 13, 2},
            {"4　いろいろな方程式", 44, 300, 15, 3},
            {"5　P100(基本の問題)", 44, 360, 13, 4},
            {"6　方程式を入力", 44, 420, 15, 5},
            // A reserved place: choosing it shows the menu again.
            {"7　", 44, 480, 13, -1},
            {"8　終了", 44, 540, 15, -1},
        },
        {solve::topic1(), solve::topic2(), solve::topic3(), solve::topic4(), solve::topic5(), solve::own_equation()},
        "方程式の解き方",
    };
    return program;
}

}  // namespace lk
