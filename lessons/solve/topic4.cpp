// Topic 4: equations of various forms. Equations with parentheses, with
// decimal coefficients and with fractional coefficients, each introduced by a
// generated drill and followed by worked textbook problems, and the notion of
// a linear equation in a given letter.
#include <vector>

#include "drill.h"
#include "topics.h"

namespace lk::solve {

namespace {

// A decimal number text with the zero the number texts leave out before the
// point: ".3" reads "0.3" and "-.4" reads "-0.4"; other texts are kept.
std::string with_leading_zero(const std::string& t) {
    if (t.starts_with(".")) return "0" + t;
    if (t.starts_with("-.")) return "-0" + t.substr(1);
    return t;
}

// The denominators a fractional drill picks from: picking position i takes
// the i-th entry and closes the gap, so that no denominator repeats within
// one problem. The list is reset before every problem.
struct Denominators {
    std::vector<float> left{1, 2, 3, 5, 7, 11};
    float pick(float position) {
        const auto at = left.begin() + (static_cast<int>(position) - 1);
        const float chosen = *at;
        left.erase(at);
        return chosen;
    }
};

// Example 1: a x + p (q x + t) = d, with parentheses to remove.
void item_example1(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "例1 次の方程式を解きなさい。");
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    s.drill([&] {
        const float p = -s.draw(3, 2);
        float q = s.draw(3, 1);
        const float tt = s.draw(3, 1);
        const float a = s.draw(9, 1);
        float m = -p * q, k = p * tt;
        // The x coefficient inside the parentheses grows until collecting the
        // x-terms leaves at least 2x or -2x.
        while (a - m == 0 || a - m == 1 || m - a == 0 || m - a == 1) {
            q = q + 1;
            m = -p * q;
            k = p * tt;
        }
        const float d = s.draw(9, 1);
        v[1] = a;
        v[2] = p;
        v[3] = q;
        v[4] = tt;
        v[5] = d;
        v[6] = -m;
        v[7] = k;
        v[8] = -k;
        v[9] = a - m;
        v[10] = d - k;
        e.format_number_tables();
        const std::string xa = x_term(a, t[1]), xm = x_term(-m, t[6]);
        make_fraction(e, d - k, a - m);
        const std::string f = e.fraction_line;

        s.erase(40, 90, 2000, 1800);
        s.text(100, 90, 0, xa + t[2] + "(" + x_term(q, t[3]) + signed_text(tt, t[4]) + ")=" + t[5]);
        s.wait();
        s.text(100, 160, 0, xa + xm + signed_text(k, t[7]) + "=" + t[5]);
        s.wait();
        s.text(100, 230, 0, xa + xm + "=" + t[5] + signed_text(-k, t[8]));
        s.wait();
        s.text(100, 300, 0, x_term(a - m, t[9]) + "=" + t[10]);
        s.wait();
        s.text(100, 370, 5, "x=" + f);
    });
    s.wait();
    s.text(40, 430, 3, "かっこをはずしてから解く");
    s.wait();

    s.text(44, 600, 7, "教科書P98 問1 をしなさい。");
    s.wait();

    s.text(480, 80, 3, "(1)");
    s.text(561, 80, 0, "5(x+1)-2x=11");
    s.wait();
    s.text(561, 130, 0, "5x+5-2x=11");
    s.wait();
    s.text(561, 180, 0, "5x-2x=11-5");
    s.wait();
    s.text(561, 230, 0, "3x=6");
    s.wait();
    s.text(561, 300, 0, "x=ﾀ6/3ﾀ=");
    s.more(5, "2");
    s.text(480, 380, 3, "(2)");
    s.text(561, 380, 0, "1+2(x-4)=3");
    s.wait();
    s.text(561, 430, 0, "1+2x-8=3");
    s.wait();
    s.text(561, 480, 0, "2x=3-1+8");
    s.wait();
    s.text(561, 530, 0, "2x=10");
    s.wait();
    // One unit higher than the column's step would put it: the
    // denominator's foot stays clear of the bottom band.
    s.text(561, 599, 0, "x=ﾀ10/2ﾀ=");
    s.more(5, "5");
    s.text(840, 30, 3, "(3)");
    s.text(921, 30, 0, "2x-3(2-x)=4");
    s.wait();
    s.text(921, 80, 0, "2x-6+3x=4");
    s.wait();
    s.text(921, 130, 0, "2x+3x=4+6");
    s.wait();
    s.text(921, 180, 0, "5x=10");
    s.wait();
    s.text(921, 250, 0, "x=ﾀ10/5ﾀ=");
    s.more(5, "2");
    s.text(840, 330, 3, "(4)");
    s.text(921, 330, 0, "7x+9=3(x-1)");
    s.wait();
    s.text(921, 380, 0, "7x+9=3x-3");
    s.wait();
    s.text(921, 430, 0, "7x-3x=-3-9");
    s.wait();
    s.text(921, 480, 0, "4x=-12");
    s.wait();
    s.text(921, 550, 0, "x=ﾀ-12/4ﾀ=");
    s.more(5, "-3");
}

// Example 2: decimal coefficients, shown in tenths and then multiplied by 10.
void item_example2(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "例2 次の方程式を解きなさい。");
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    s.drill([&] {
        float a = s.draw(7, 1), c = s.draw(7, 1);
        if (a - c == 0 || a - c == 1) a = a + 2;
        else if (c - a == 1) c = c + 2;
        c = -c;
        const float b = s.draw(9, 1);
        const float d = 10 * s.draw(9, 1);
        v[1] = a / 10;
        v[2] = b / 10;
        v[3] = c / 10;
        v[4] = d / 10;
        v[5] = a;
        v[6] = b;
        v[7] = c;
        v[8] = d;
        v[9] = -c;
        v[10] = -b;
        v[11] = a - c;
        v[12] = d - b;
        e.format_number_tables();
        const std::string a10 = with_leading_zero(t[1]), b10 = with_leading_zero(t[2]),
                          c10 = with_leading_zero(t[3]);
        make_fraction(e, d - b, a - c);
        const std::string f = e.fraction_line;

        s.erase(40, 90, 2000, 1800);
        s.text(100, 90, 0,
               x_term(v[1], a10) + signed_text(v[2], b10) + "=" + x_term(v[3], c10) +
                   signed_text(v[4], t[4]));
        s.wait();
        s.text(100, 160, 0,
               x_term(a, t[5]) + signed_text(b, t[6]) + "=" + x_term(c, t[7]) + signed_text(d, t[8]));
        s.wait();
        s.text(100, 230, 0, x_term(a, t[5]) + "+" + x_term(-c, t[9]) + "=" + t[8] + signed_text(-b, t[10]));
        s.wait();
        s.text(100, 300, 0, x_term(a - c, t[11]) + "=" + t[12]);
        s.wait();
        s.text(100, 370, 5, "x=" + f);
    });
    s.wait();
    s.text(40, 430, 3, "10,100,1000などを両辺にかけ、");
    s.text(40, 490, 3, "係数を整数にしてから解く。");
    s.wait();

    s.text(44, 600, 7, "教科書P98 問2 をしなさい。");
    s.wait();

    s.text(640, 30, 3, "(1)");
    s.text(721, 30, 0, "0.5x-0.3=4.2");
    s.wait();
    s.text(937, 80, 3, "両辺に10をかけて");
    s.wait();
    s.text(721, 80, 0, "5x-3=42");
    s.wait();
    s.text(721, 130, 0, "5x=42+3");
    s.wait();
    s.text(721, 180, 0, "5x=45");
    s.wait();
    s.text(721, 250, 0, "x=ﾀ45/5ﾀ=");
    s.more(5, "9");
    s.text(640, 330, 3, "(2)");
    s.text(721, 330, 0, "0.12x-0.28=0.8");
    s.wait();
    s.text(751, 380, 3, "両辺に100をかけて");
    s.wait();
    s.text(721, 430, 0, "12x-28=80");
    s.wait();
    s.text(721, 480, 0, "12x=80+28");
    s.wait();
    s.text(721, 530, 0, "12x=108");
    s.wait();
    // One unit higher, as in example 1.
    s.text(721, 599, 0, "x=ﾀ108/12ﾀ=");
    s.more(5, "9");
}

// Example 3: fractional coefficients (drill 1) and fractions on both sides
// (drill 2), each cleared by multiplying by the product of the denominators.
void item_example3(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "例3 次の方程式を解きなさい。");
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    // Drill 1: (g/e) x + s = (h/f) x.
    s.drill([&] {
        Denominators list;
        const float de = list.pick(s.draw(3, 3));
        const float df = list.pick(s.draw(2, 3));
        const float g = list.pick(s.draw(3, 1));
        const float h = list.pick(s.draw(2, 1));
        make_fraction(e, g, de);
        const std::string gt = e.value_text;
        make_fraction(e, h, df);
        const std::string ht = e.value_text;
        const float l = de * df, u = g * df, w = h * de;
        const float sv = s.draw(3, 1), k = sv * l;
        v[1] = l;
        v[2] = sv;
        v[3] = u;
        v[4] = k;
        v[5] = w;
        v[6] = -w;
        v[7] = -k;
        v[8] = u - w;
        e.format_number_tables();
        make_fraction(e, -k, u - w);
        const std::string f = e.fraction_line;

        s.erase(40, 90, 2000, 1800);
        s.text(40, 110, 0, "① " + gt + "x" + signed_text(sv, t[2]) + "=" + ht + "x");
        s.wait();
        s.text(100, 180, 0, t[1] + "*" + gt + "x+" + t[1] + "*" + t[2] + "=" + t[1] + "*" + ht + "x");
        s.wait();
        s.text(100, 250, 0, x_term(u, t[3]) + signed_text(k, t[4]) + "=" + x_term(w, t[5]));
        s.wait();
        s.text(100, 320, 0,
               x_term(u, t[3]) + x_term(-w, t[6]) + "=" +
                   without_leading_plus(e, signed_text(-k, t[7])));
        if (u - w == 1) {
            // x alone is left: this line is the answer.
            s.wait();
            s.text(100, 390, 5, x_term(u - w, t[8]) + "=" + t[7]);
            return;
        }
        s.wait();
        s.text(100, 390, 0, x_term(u - w, t[8]) + "=" + t[7]);
        s.wait();
        s.text(100, 460, 5, "x=" + f);
    });
    s.wait();
    s.text(40, 520, 3, "分母の公倍数を両辺にかけ、整数に");
    s.text(40, 570, 3, "してから解く。");
    s.more(5, "(分母をはらう)");

    // Drill 2: (u x + v)/m = (w x + z)/n. Numbers for which both sides keep
    // the same x coefficient after clearing (n u = m w) give no single
    // solution, so they are drawn again.
    s.drill([&] {
        float m, n, u, vv, w, z;
        do {
            Denominators list;
            m = list.pick(s.draw(4, 2));
            n = list.pick(s.draw(3, 2));
            u = s.draw(3, 1);
            vv = s.draw(3, 1);
            if (vv == u) vv = vv + 1;
            w = s.draw(3, 1);
            z = -s.draw(3, 1);
        } while (n * u == m * w);
        v[1] = m;
        v[2] = n;
        v[3] = m * n;
        v[4] = u;
        v[5] = vv;
        v[6] = w;
        v[7] = z;
        v[8] = n * u;
        v[9] = n * vv;
        v[10] = m * w;
        v[11] = m * z;
        v[12] = -m * w;
        v[13] = -n * vv;
        v[14] = n * u - m * w;
        v[15] = m * z - n * vv;
        e.format_number_tables();
        const std::string left = x_term(u, t[4]) + signed_text(vv, t[5]);
        const std::string right = x_term(w, t[6]) + t[7];
        make_fraction(e, v[15], v[14]);
        const std::string f = e.fraction_line;

        s.erase(640, 30, 2000, 1800);
        s.text(640, 50, 0, "② ﾀ" + left + "/" + t[1] + "ﾀ=ﾀ" + right + "/" + t[2] + "ﾀ");
        s.wait();
        s.text(700, 120, 0,
               t[3] + "*ﾀ" + left + "/" + t[1] + "ﾀ=" + t[3] + "*ﾀ" + right + "/" + t[2] + "ﾀ");
        s.wait();
        s.text(700, 190, 0, t[2] + "(" + left + ")=" + t[1] + "(" + right + ")");
        s.wait();
        s.text(700, 260, 0,
               x_term(v[8], t[8]) + signed_text(v[9], t[9]) + "=" + x_term(v[10], t[10]) + t[11]);
        s.wait();
        s.text(700, 330, 0,
               x_term(v[8], t[8]) + x_term(v[12], t[12]) + "=" + t[11] + signed_text(v[13], t[13]));
        s.wait();
        s.text(700, 400, 0, x_term(v[14], t[14]) + "=" + t[15]);
        s.wait();
        s.text(700, 470, 5, "x=" + f);
    });
    s.wait();
    s.text(640, 600, 7, "教科書P100 問3 をしなさい。");
}

// Answers to P100 問3.
void item_q3(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "問3 解答");
    s.text(40, 100, 3, "(1)");
    s.text(121, 100, 0, "ﾀx/4ﾀ-ﾀ1/2ﾀ=ﾀx/2ﾀ+ﾀ3/4ﾀ");
    s.wait();
    s.text(40, 170, 0, "4*ﾀx/4ﾀ+4*(-ﾀ1/2ﾀ)=");
    s.text(175, 240, 0, "4*ﾀx/2ﾀ+4*ﾀ3/4ﾀ");
    s.wait();
    s.text(121, 300, 0, "x-2=2x+3");
    s.wait();
    s.text(121, 350, 0, "x-2x=3+2");
    s.wait();
    s.text(121, 400, 0, "-x=5");
    s.wait();
    s.text(121, 450, 0, "x=");
    s.more(5, "-5");
    s.text(40, 520, 3, "(2)");
    s.text(121, 520, 0, "ﾀ1/2ﾀx-ﾀ1/6ﾀ=ﾀ2/3ﾀx+ﾀ1/2ﾀ");
    s.wait();
    s.text(400, 30, 0, "6*ﾀ1/2ﾀx+6*(-ﾀ1/6ﾀ)=");
    s.text(535, 100, 0, "6*ﾀ2/3ﾀx+6*ﾀ1/2ﾀ");
    s.wait();
    s.text(481, 160, 0, "3x-1=4x+3");
    s.wait();
    s.text(481, 210, 0, "3x-4x=3+1");
    s.wait();
    s.text(481, 260, 0, "-x=4");
    s.wait();
    s.text(481, 310, 0, "x=");
    s.more(5, "-4");
    s.text(400, 380, 3, "(3)");
    s.text(481, 380, 0, "ﾀx-4/3ﾀ=ﾀ1/7ﾀx");
    s.wait();
    s.text(454, 450, 0, "21*ﾀx-4/3ﾀ=21*ﾀ1/7ﾀx");
    s.wait();
    s.text(481, 510, 0, "7(x-4)=3x");
    s.wait();
    s.text(481, 560, 0, "7x-28=3x");
    s.wait();
    s.text(481, 610, 0, "7x-3x=28");
    s.wait();
    s.text(841, 30, 0, "4x=28");
    s.wait();
    s.text(841, 80, 0, "x=");
    s.more(5, "7");
    s.text(760, 150, 3, "(4)");
    s.text(841, 150, 0, "ﾀ2x-1/3ﾀ=ﾀx+3/2ﾀ");
    s.wait();
    s.text(841, 220, 0, "6*ﾀ2x-1/3ﾀ=6*ﾀx+3/2ﾀ");
    s.wait();
    s.text(841, 280, 0, "2(2x-1)=3(x+3)");
    s.wait();
    s.text(841, 330, 0, "4x-2=3x+9");
    s.wait();
    s.text(841, 380, 0, "4x-3x=9+2");
    s.wait();
    s.text(841, 430, 0, "x=");
    s.more(5, "11");
}

// Example 4: what a linear equation in x is, and finding a parameter from a
// given solution.
void item_example4(Script& s) {
    s.erase(0, 0, 1320, 1300);

    s.text(40, 30, 5, "<xについての1次方程式>");
    s.text(40, 80, 0, "(1次式 ax+b)=0 と変形できる方程式");
    s.text(40, 130, 3, "① ");
    s.more(0, "5x=10→");
    s.more(3, "5x-10=0");
    s.text(40, 180, 3, "② 5a=10→");
    s.more(0, "aについての1次方程式");
    s.wait();

    s.text(40, 250, 7, "例4 ");
    s.more(0, "xについての方程式 2x-6=x+3a");
    s.text(100, 300, 0, "の解が x=5 のとき、aの値は？");
    s.text(40, 350, 7, "<考え方> ");
    s.remember(1);
    s.wait();

    s.at_mark(1, 0, "解が x=5 だから ");
    s.text(100, 400, 0, "2x-6=x+3a にx=5 を代入した");
    s.text(100, 450, 0, "左辺と右辺の値は等しい。");
    s.text(40, 500, 5, "<解答> ");
    s.remember(2);
    s.wait();

    s.at_mark(2, 3, "x=5 を代入して");
    s.wait();

    s.text(100, 550, 0, "2*5-6=5+3a ");
    s.wait();
    s.text(100, 600, 0, "3a+5=10-6");
    s.wait();
    s.text(780, 30, 0, "3a=10-6-5=-1");
    s.wait();
    s.text(780, 90, 5, "a=-ﾀ1/3ﾀ");
}

}  // namespace

Topic topic4() {
    Topic t;
    t.goal = goal_screen(76, {"かっこのある方程式や、小数・分数係数の方程式を解こう。"});
    t.bar = "①例1　②例２　③例3　④問３　⑤例４　⑥終了";
    t.entries = 6;
    t.items = {item_example1, item_example2, item_example3, item_q3, item_example4};
    return t;
}

}  // namespace lk::solve
