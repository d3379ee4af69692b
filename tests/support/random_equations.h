#pragma once
// Random equations of every form the step solver takes: whole numbers,
// decimals and fractions, x with every kind of coefficient, products and
// quotients, parentheses nested two deep, fractions over an expression and
// proportions with x in one or two terms. Each is at most 80 characters,
// and comes in plain ASCII and as an input method may type it.
#include <random>
#include <string>

namespace lk::testing {

struct TypedEquation {
    std::string ascii;  // for the tests' own reader
    std::string typed;  // the same, maybe in full-width characters and with blanks
};

class RandomEquations {
public:
    explicit RandomEquations(unsigned seed) : random_(seed) {}

    TypedEquation next() {
        for (;;) {
            std::string e = pick(0, 4) == 0 ? proportion() : expr(2, true, true) + "=" + expr(2, true, true);
            if (e.size() <= kLongest) return {e, typed(e)};
        }
    }

private:
    static constexpr std::size_t kLongest = 80;
    std::mt19937 random_;

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    std::string whole(int lo = 1, int hi = 12) { return std::to_string(pick(lo, hi)); }
    std::string decimal() { return std::to_string(pick(0, 3)) + "." + whole(1, 9) + (pick(0, 3) == 0 ? whole(1, 9) : ""); }
    std::string fraction() { return whole(1, 9) + "/" + whole(2, 9); }

    // `parens`: the term may bring parentheses of its own (it is not yet
    // two deep).
    std::string number(bool fractions, bool parens) {
        switch (pick(0, fractions ? 4 : 2)) {
            case 0:
            case 1: return whole();
            case 2: return decimal();
            case 3: return parens ? "(" + fraction() + ")" : fraction();
            default: return fraction();
        }
    }
    std::string x_term(bool fractions, bool parens) {
        switch (pick(0, fractions ? 8 : 4)) {
            case 0: return "x";
            case 1:
            case 2: return whole(2, 9) + "x";
            case 3: return decimal() + "x";
            case 4: return whole(2, 5) + "*x";
            case 5: return parens ? "(" + fraction() + ")x" : fraction() + "x";
            case 6: return "x/" + whole(2, 9);
            case 7: return whole(2, 9) + "x/" + whole(2, 9);
            default: return fraction() + "x";
        }
    }
    // A sum of up to three terms; `fractions` allows fractions in it, and a
    // group (depth > 0) nests parentheses one level more.
    std::string expr(int depth, bool fractions, bool need_x) {
        const int terms = pick(1, 3);
        const int x_at = need_x ? pick(0, terms - 1) : -1;
        std::string out;
        for (int k = 0; k < terms; ++k) {
            const bool minus = pick(0, 2) == 0;
            if (k > 0 || minus) out += minus ? "-" : "+";
            out += term(depth, fractions, k == x_at || pick(0, 2) == 0);
        }
        return out;
    }
    std::string term(int depth, bool fractions, bool with_x) {
        const int form = depth > 0 ? pick(0, fractions ? 5 : 4) : 0;
        if (form <= 2) return with_x ? x_term(fractions, depth > 0) : number(fractions, depth > 0);
        const std::string inner = expr(depth - 1, fractions && form != 5, with_x);
        switch (form) {
            case 3: return whole(2, 6) + "(" + inner + ")";
            case 4: return "(" + inner + ")";
            default: return "(" + inner + ")/" + whole(2, 9);
        }
    }
    std::string proportion() {
        // x in one term, or in two that are never multiplied together.
        static constexpr bool kWithX[][4] = {{true, false, false, false}, {false, true, false, false},
                                            {false, false, true, false}, {false, false, false, true},
                                            {true, true, false, false},  {true, false, true, false}};
        const bool* with_x = kWithX[pick(0, 5)];
        std::string out;
        for (int k = 0; k < 4; ++k) {
            out += k == 0 ? "" : k == 2 ? "=" : ":";
            out += with_x[k] ? (pick(0, 1) ? x_term(true, true) : "(" + expr(1, false, true) + ")") : whole(1, 9);
        }
        return out;
    }

    // Now and then as an input method types it: full-width digits, signs
    // and x, the long vowel mark for minus, × for *, and blanks.
    std::string typed(const std::string& ascii) {
        const int style = pick(0, 5);
        if (style > 1) return ascii;
        std::string out;
        std::size_t blanks = kLongest - ascii.size();
        for (char c : ascii) {
            if (style == 1) {
                out += c;
                if (pick(0, 4) == 0 && blanks > 0) out += ' ', --blanks;
                continue;
            }
            switch (c) {
                case '-': out += "ー"; break;
                case '*': out += "×"; break;
                case ' ': out += "　"; break;
                default: {
                    // U+FF01..U+FF5E are U+0021..U+007E, full width.
                    const char32_t wide = static_cast<char32_t>(c) + 0xFEE0;
                    out += static_cast<char>(0xE0 | (wide >> 12));
                    out += static_cast<char>(0x80 | ((wide >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (wide & 0x3F));
                }
            }
        }
        return out;
    }
};

}  // namespace lk::testing
