// Reading an equation: the typed characters (full-width ones as their plain
// forms), the checks that name the place of what is refused, a syntax tree,
// and from it the terms of each side with their rich text as typed.
#include <array>
#include <cctype>
#include <optional>

#include "terms.h"

namespace lk::steps::detail {

namespace {

// One typed character, with its place (from 1).
struct Char {
    char c = 0;
    int place = 0;
    std::string typed;  // as typed, for the messages
};

[[noreturn]] void refuse(int place, std::string message) {
    if (place > 0) message = std::to_string(place) + "文字目" + message;
    throw Refused{Refusal{std::move(message), place}};
}

// The plain character an input method's character stands for; 0 when there
// is none.
char plain_char(char32_t cp) {
    constexpr char32_t kFullWidthFirst = 0xFF01, kFullWidthLast = 0xFF5E, kFullWidthOffset = 0xFEE0;
    if (cp < 0x80) return static_cast<char>(cp);
    if (cp >= kFullWidthFirst && cp <= kFullWidthLast) return static_cast<char>(cp - kFullWidthOffset);
    switch (cp) {
        case 0x3000: return ' ';   // the full-width space
        case 0x30FC:               // the long vowel mark, next to the minus key
        case 0xFF70:               // its half-width form
        case 0x2212:               // the minus sign
        case 0x2010: return '-';   // the hyphen
        case 0x00D7: return '*';   // ×
        case 0x00F7: return '/';   // ÷
        case 0x00B2: return '^';   // ², a square
        default: return 0;
    }
}

// The characters of a UTF-8 text; refuses a broken sequence and a text
// longer than the field takes.
std::vector<Char> characters(std::string_view text) {
    std::vector<Char> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int place = static_cast<int>(out.size()) + 1;
        if (place > kMaxCharacters)
            refuse(place, "から先は入りません。式は" + std::to_string(kMaxCharacters) + "文字までです。");
        int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) refuse(place, "の文字が読めません。");
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 0x2) refuse(place, "の文字が読めません。");
            cp = (cp << 6) | (next & 0x3F);
        }
        out.push_back(Char{plain_char(cp), place, std::string(text.substr(i, length))});
        i += length;
    }
    return out;
}

// A node of the syntax tree.
struct Node {
    enum class Type { number, x, sum, product, quotient, group, negate };
    Type type = Type::number;
    int place = 0;
    Rational value;        // a number's value
    std::string text;      // a number's text
    bool decimal = false;  // a number with a point
    std::vector<int> kids;
    std::vector<char> signs;  // a sum's sign before each term
    std::vector<bool> star;   // a product: "*" typed before each factor

    static Node of(Type type, int place, std::vector<int> kids = {}) {
        Node n;
        n.type = type;
        n.place = place;
        n.kids = std::move(kids);
        return n;
    }
};

// The linear value a·x + b of a node.
struct Linear {
    Rational a, b;
};

// What a node is as a term: a coefficient times a number, x or a group,
// and what it is made of.
struct Shape {
    Rational coef;
    Term::Shape shape = Term::Shape::number;
    Terms body;
    bool decimal = false, fraction = false;

    static Shape of(Rational coef, Term::Shape shape = Term::Shape::number, bool decimal = false) {
        Shape s;
        s.coef = coef;
        s.shape = shape;
        s.decimal = decimal;
        return s;
    }
};

class Reader {
public:
    explicit Reader(std::vector<Char> chars) : all_(std::move(chars)) {
        for (const Char& c : all_)
            if (c.c != ' ') t_.push_back(c);
    }

    Reading reading() {
        check_characters();
        Reading r;
        const std::optional<std::size_t> equals = find_equals();
        std::size_t colon = 0;
        int colons = 0;
        for (std::size_t k = 0; k < t_.size(); ++k)
            if (t_[k].c == ':') ++colons, colon = k;
        if (colons == 0) {
            const int left = expr(), right = expr_after(*equals);
            r.left = side(left);
            r.right = side(right);
            r.given = sum_text(left) + "=" + sum_text(right);
            return r;
        }
        // a:b=c:d, one ":" on each side.
        std::size_t first = t_.size(), second = t_.size();
        for (std::size_t k = 0; k < t_.size(); ++k)
            if (t_[k].c == ':') (k < *equals ? first : second) = k;
        if (colons != 2 || first == t_.size() || second == t_.size())
            refuse(t_[colon].place, "の「:」: 比例式は a:b=c:d の形に書きます。");
        r.proportion = true;
        std::array<int, 4> parts{};
        parts[0] = expr();
        parts[1] = expr_after(first);
        parts[2] = expr_after(*equals);
        parts[3] = expr_after(second);
        std::string given;
        for (int k = 0; k < 4; ++k) {
            r.ratio[k] = part(parts[k]);
            if (r.ratio[k].shape == Term::Shape::number && r.ratio[k].coef == 0)
                refuse(nodes_[parts[k]].place, "からの項が0です。比の項に0は使えません。");
            given += (k == 0 ? "" : k == 2 ? "=" : ":") + sum_text(parts[k]);
        }
        r.given = given;
        return r;
    }

private:
    std::vector<Char> all_;  // every character, spaces too
    std::vector<Char> t_;    // the characters without spaces
    std::size_t i_ = 0;
    std::vector<Node> nodes_;

    char peek() const { return i_ < t_.size() ? t_[i_].c : '\0'; }
    int place() const { return i_ < t_.size() ? t_[i_].place : (t_.empty() ? 1 : t_.back().place + 1); }

    // Refusals that need no syntax: characters, numbers, parentheses, "="
    // and x, in the order a reader notices them.
    void check_characters() {
        for (const Char& c : all_) {
            if (c.c == 0) refuse(c.place, "の「" + c.typed + "」は式に使えません。");
            if (c.c == '^') refuse(c.place, "の「" + c.typed + "」: 2乗は使えません。xの1次方程式を入力します。");
            if (std::isalpha(static_cast<unsigned char>(c.c)) && c.c != 'x' && c.c != 'X')
                refuse(c.place, "の「" + c.typed + "」: 使える文字は x だけです。");
            if (std::string_view("0123456789.x()+-*/=: X").find(c.c) == std::string_view::npos)
                refuse(c.place, "の「" + c.typed + "」は式に使えません。");
        }
        for (std::size_t k = 0; k < t_.size();) {
            if (!std::isdigit(static_cast<unsigned char>(t_[k].c)) && t_[k].c != '.') {
                ++k;
                continue;
            }
            int digits = 0;
            const int start = t_[k].place;
            for (; k < t_.size() && (std::isdigit(static_cast<unsigned char>(t_[k].c)) || t_[k].c == '.'); ++k)
                digits += t_[k].c != '.';
            if (digits > kMaxDigits)
                refuse(start, "の数が長すぎます。数は" + std::to_string(kMaxDigits) + "けたまでです。");
        }
        std::vector<int> open;
        for (const Char& c : t_) {
            if (c.c == '(') {
                open.push_back(c.place);
                if (static_cast<int>(open.size()) > kMaxNesting)
                    refuse(c.place, "の「(」: かっこは" + std::to_string(kMaxNesting) + "重までです。");
            } else if (c.c == ')') {
                if (open.empty()) refuse(c.place, "の「)」に対応する「(」がありません。");
                open.pop_back();
            }
        }
        if (!open.empty()) refuse(open.back(), "の「(」が閉じていません。");
        int equals = 0;
        for (const Char& c : t_)
            if (c.c == '=' && ++equals == 2) refuse(c.place, "の「=」: 「=」は1つだけです。");
        if (equals == 0) refuse(0, "「=」がありません。方程式には「=」が1つ必要です。");
        bool x = false;
        for (const Char& c : t_) x = x || c.c == 'x' || c.c == 'X';
        if (!x) refuse(0, "x がありません。x をふくむ方程式を入力します。");
    }

    std::optional<std::size_t> find_equals() const {
        for (std::size_t k = 0; k < t_.size(); ++k)
            if (t_[k].c == '=') return k;
        return std::nullopt;
    }

    // An expression that must end at the separator at `at` (or at the end).
    int expr_after(std::size_t at) {
        if (i_ != at) unexpected();
        ++i_;
        return expr();
    }
    [[noreturn]] void unexpected() {
        if (i_ >= t_.size()) refuse(0, "式が途中で終わっています。");
        refuse(t_[i_].place, "の「" + t_[i_].typed + "」はここに書けません。");
    }
    // A term or factor is expected here.
    [[noreturn]] void missing() {
        if (i_ >= t_.size()) refuse(0, "式が途中で終わっています。最後に数か x が必要です。");
        refuse(t_[i_].place, "の「" + t_[i_].typed + "」の前に数か x が必要です。");
    }
    bool ends_expr() const {
        const char c = peek();
        return c == '\0' || c == '=' || c == ':' || c == ')';
    }

    int add(Node n) {
        nodes_.push_back(std::move(n));
        return static_cast<int>(nodes_.size()) - 1;
    }

    int expr() {
        Node sum = Node::of(Node::Type::sum, place());
        char sign = '+';
        if (peek() == '+' || peek() == '-') sign = t_[i_++].c;
        for (;;) {
            sum.signs.push_back(sign);
            sum.kids.push_back(term());
            if (peek() != '+' && peek() != '-') break;
            sign = t_[i_++].c;
        }
        if (!ends_expr()) unexpected();
        return add(std::move(sum));
    }

    bool starts_factor() const {
        const char c = peek();
        return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'x' || c == 'X' || c == '(';
    }

    int term() {
        int acc = factor();
        for (;;) {
            const char c = peek();
            if (c == '/') {
                ++i_;
                const int den = factor();
                acc = add(Node::of(Node::Type::quotient, nodes_[den].place, {acc, den}));
                continue;
            }
            const bool star = c == '*';
            if (!star && !starts_factor()) return acc;
            if (!star && (std::isdigit(static_cast<unsigned char>(c)) || c == '.'))
                refuse(place(), "の数の前に「*」などの記号が必要です。");
            if (star) ++i_;
            const int next = factor();
            if (nodes_[acc].type != Node::Type::product)
                {
                Node product = Node::of(Node::Type::product, nodes_[acc].place, {acc});
                product.star = {false};
                acc = add(std::move(product));
            }
            nodes_[acc].kids.push_back(next);
            nodes_[acc].star.push_back(star);
        }
    }

    int factor() {
        const int at = place();
        const char c = peek();
        int made;
        if (c == '-') {
            ++i_;
            made = add(Node::of(Node::Type::negate, at, {factor()}));
        } else if (c == 'x' || c == 'X') {
            ++i_;
            made = add(Node::of(Node::Type::x, at));
        } else if (c == '(') {
            ++i_;
            const int inner = expr();
            if (peek() != ')') unexpected();
            ++i_;
            made = add(Node::of(Node::Type::group, at, {inner}));
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            made = number();
        } else {
            missing();
        }
        return made;
    }

    int number() {
        const int at = place();
        std::string text;
        while (std::isdigit(static_cast<unsigned char>(peek())) || peek() == '.') text += t_[i_++].c;
        const std::size_t point = text.find('.');
        if (text.find('.', point == std::string::npos ? point : point + 1) != std::string::npos ||
            text.back() == '.')
            refuse(at, "の数「" + text + "」が読めません。");
        std::int64_t n = 0, d = 1;
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (text[k] == '.') continue;
            n = n * 10 + (text[k] - '0');
            if (point != std::string::npos && k > point) d *= 10;
        }
        if (text.front() == '.') text = "0" + text;
        Node made = Node::of(Node::Type::number, at);
        made.value = Rational(n, d);
        made.text = text;
        made.decimal = point != std::string::npos;
        return add(std::move(made));
    }

    // The value a·x + b of a node; refuses x times x, x in a denominator and
    // a division by 0.
    Linear linear(int id) const {
        const Node& n = nodes_[id];
        switch (n.type) {
            case Node::Type::number: return {0, n.value};
            case Node::Type::x: return {1, 0};
            case Node::Type::negate: {
                const Linear v = linear(n.kids[0]);
                return {neg(v.a), neg(v.b)};
            }
            case Node::Type::group: return linear(n.kids[0]);
            case Node::Type::sum: {
                Linear total;
                for (std::size_t k = 0; k < n.kids.size(); ++k) {
                    Linear v = linear(n.kids[k]);
                    if (n.signs[k] == '-') v = {neg(v.a), neg(v.b)};
                    total = {detail::add(total.a, v.a), detail::add(total.b, v.b)};
                }
                return total;
            }
            case Node::Type::product: {
                Linear p = linear(n.kids[0]);
                for (std::size_t k = 1; k < n.kids.size(); ++k) {
                    const Linear f = linear(n.kids[k]);
                    if (!(p.a == 0) && !(f.a == 0))
                        refuse(nodes_[n.kids[k]].place, ": x と x のかけ算（xの2乗）は使えません。");
                    p = {detail::add(mul(p.a, f.b), mul(f.a, p.b)), mul(p.b, f.b)};
                }
                return p;
            }
            case Node::Type::quotient: {
                const Linear num = linear(n.kids[0]), den = linear(n.kids[1]);
                if (!(den.a == 0)) refuse(nodes_[n.kids[1]].place, ": 分母に x があります。");
                if (den.b == 0) refuse(nodes_[n.kids[1]].place, ": 0 でわることはできません。");
                return {div(num.a, den.b), div(num.b, den.b)};
            }
        }
        return {};
    }

    // The rich text of a node as typed; `fraction_first`: nothing stands
    // before it in a product.
    std::string text(int id, bool fraction_first = true) const {
        const Node& n = nodes_[id];
        switch (n.type) {
            case Node::Type::number: return n.text;
            case Node::Type::x: return "x";
            case Node::Type::negate: return "-" + text(n.kids[0]);
            case Node::Type::group: {
                // (2/3)x is the fraction before x, unless a number stands
                // before it.
                const Node& inner = nodes_[n.kids[0]];
                if (fraction_first && inner.kids.size() == 1 && inner.signs[0] == '+' &&
                    nodes_[inner.kids[0]].type == Node::Type::quotient)
                    return text(inner.kids[0]);
                return "(" + sum_text(n.kids[0]) + ")";
            }
            case Node::Type::sum: return sum_text(id);
            case Node::Type::product: {
                std::string out;
                for (std::size_t k = 0; k < n.kids.size(); ++k) out += (n.star[k] ? "*" : "") + text(n.kids[k], k == 0);
                return out;
            }
            case Node::Type::quotient: {
                const std::string num = stripped(n.kids[0]), den = stripped(n.kids[1]);
                const std::string mark = "ﾀ";
                if (num.find(mark) != std::string::npos || den.find(mark) != std::string::npos)
                    refuse(n.place, ": 分数の中に分数は書けません。");
                return mark + num + "/" + den + mark;
            }
        }
        return {};
    }
    // A numerator's or denominator's text, without its parentheses.
    std::string stripped(int id) const {
        const Node& n = nodes_[id];
        return n.type == Node::Type::group ? sum_text(n.kids[0]) : text(id);
    }
    std::string sum_text(int id) const {
        const Node& n = nodes_[id];
        std::string out;
        for (std::size_t k = 0; k < n.kids.size(); ++k) {
            if (n.signs[k] == '-' || k > 0) out += n.signs[k];
            out += text(n.kids[k]);
        }
        return out;
    }

    // What a node is as a term.
    Shape shape(int id) const {
        const Node& n = nodes_[id];
        switch (n.type) {
            case Node::Type::number: return Shape::of(n.value, Term::Shape::number, n.decimal);
            case Node::Type::x: return Shape::of(1, Term::Shape::x);
            case Node::Type::negate: {
                Shape s = shape(n.kids[0]);
                s.coef = neg(s.coef);
                return s;
            }
            case Node::Type::group: {
                const Node& inner = nodes_[n.kids[0]];
                if (inner.kids.size() == 1) {
                    Shape s = shape(inner.kids[0]);
                    if (inner.signs[0] == '-') s.coef = neg(s.coef);
                    return s;
                }
                Shape s = Shape::of(1, Term::Shape::group);
                s.decimal = made_of(n.kids[0], Node::Type::number, true);
                s.fraction = made_of(n.kids[0], Node::Type::quotient, false);
                if (linear(n.kids[0]).a == 0) {
                    s.coef = linear(n.kids[0]).b;
                    s.shape = Term::Shape::number;
                    return s;
                }
                s.body = side(n.kids[0]);
                return s;
            }
            case Node::Type::sum: return {};
            case Node::Type::product: {
                Shape p = shape(n.kids[0]);
                for (std::size_t k = 1; k < n.kids.size(); ++k) {
                    Shape f = shape(n.kids[k]);
                    p.coef = mul(p.coef, f.coef);
                    p.decimal = p.decimal || f.decimal;
                    p.fraction = p.fraction || f.fraction;
                    if (f.shape != Term::Shape::number) {
                        p.shape = f.shape;
                        p.body = std::move(f.body);
                    }
                }
                return p;
            }
            case Node::Type::quotient: {
                Shape s = shape(n.kids[0]);
                const Shape den = shape(n.kids[1]);
                s.coef = div(s.coef, linear(n.kids[1]).b);
                s.decimal = s.decimal || den.decimal;
                s.fraction = true;
                return s;
            }
        }
        return {};
    }
    // Whether the subtree holds a node of the type (a number with a point,
    // when `decimal`).
    bool made_of(int id, Node::Type type, bool decimal) const {
        const Node& n = nodes_[id];
        if (n.type == type && (!decimal || n.decimal)) return true;
        for (int k : n.kids)
            if (made_of(k, type, decimal)) return true;
        return false;
    }

    // Typed in a form that needs no working out: a number, x, a number
    // before x, either of them over a number, or a fraction before x.
    bool plain_form(int id) const {
        const Node& n = nodes_[id];
        auto is = [&](int k, Node::Type t) { return nodes_[k].type == t; };
        auto number_fraction = [&](int k) {
            if (is(k, Node::Type::group)) {
                const Node& inner = nodes_[nodes_[k].kids[0]];
                if (inner.kids.size() != 1 || inner.signs[0] != '+') return false;
                k = inner.kids[0];
            }
            return is(k, Node::Type::quotient) && is(nodes_[k].kids[0], Node::Type::number) &&
                   is(nodes_[k].kids[1], Node::Type::number);
        };
        auto number_x = [&](int k) {
            return is(k, Node::Type::x) ||
                   (is(k, Node::Type::product) && nodes_[k].kids.size() == 2 && !nodes_[k].star[1] &&
                    (is(nodes_[k].kids[0], Node::Type::number) || number_fraction(nodes_[k].kids[0])) &&
                    is(nodes_[k].kids[1], Node::Type::x));
        };
        if (is(id, Node::Type::number) || number_x(id) || number_fraction(id)) return true;
        if (!is(id, Node::Type::quotient) || !is(n.kids[1], Node::Type::number)) return false;
        const int num = n.kids[0];
        return is(num, Node::Type::x) ||
               (is(num, Node::Type::product) && number_x(num) && is(nodes_[num].kids[0], Node::Type::number));
    }

    Term term_of(int id, bool minus) const {
        Shape s = shape(id);
        Term t;
        t.shape = s.shape;
        t.coef = minus ? neg(s.coef) : s.coef;
        t.body = std::move(s.body);
        t.minus = minus;
        t.text = text(id);
        t.plain_form = t.shape != Term::Shape::group && plain_form(id);
        t.decimal = s.decimal;
        t.fraction = s.fraction;
        return t;
    }

    // The terms of a sum.
    Terms side(int id) const {
        const Node& n = nodes_[id];
        (void)linear(id);
        Terms out;
        for (std::size_t k = 0; k < n.kids.size(); ++k) out.push_back(term_of(n.kids[k], n.signs[k] == '-'));
        return out;
    }

    // A proportion's part as one term: a sum of several terms is a group.
    Term part(int id) const {
        const Node& n = nodes_[id];
        (void)linear(id);
        if (n.kids.size() == 1) return term_of(n.kids[0], n.signs[0] == '-');
        Term t;
        t.shape = linear(id).a == 0 ? Term::Shape::number : Term::Shape::group;
        t.coef = t.shape == Term::Shape::number ? linear(id).b : Rational(1);
        if (t.shape == Term::Shape::group) t.body = side(id);
        t.text = "(" + sum_text(id) + ")";
        t.plain_form = false;
        t.decimal = made_of(id, Node::Type::number, true);
        t.fraction = made_of(id, Node::Type::quotient, false);
        return t;
    }
};

}  // namespace

Reading read(std::string_view text) { return Reader(characters(text)).reading(); }

}  // namespace lk::steps::detail
