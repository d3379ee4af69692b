#include "engine/practice/progress.h"

#include "engine/practice/class_record.h"
#include "engine/practice/json_text.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace lk::practice {

namespace {

// What a progress file may hold. A real record is far below every limit; a
// file beyond them is damaged (or not ours) and is refused before it can cost
// much time or memory.
constexpr std::size_t kMaxFileBytes = 1 << 20;
constexpr std::size_t kMaxValues = 20000;
constexpr int kMaxDepth = 16;
constexpr std::size_t kMaxSets = 1000;
constexpr std::size_t kMaxIdBytes = 64;
constexpr int kMaxCount = 1'000'000'000;

void count_up(int& n) {
    if (n < kMaxCount) ++n;
}

// ---- Reading: a strict JSON reader ----
// Objects keep their members in order; duplicates are refused. Numbers are
// kept as their text, checked when a field is read.

struct Member;
struct Value {
    enum class Kind { null, boolean, number, string, array, object } kind = Kind::null;
    bool boolean = false;
    std::string text;  // a string's characters or a number's digits
    std::vector<Value> items;
    std::vector<Member> members;
};
struct Member {
    std::string first;  // the name
    Value second;
};

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool document(Value& v) {
        skip_space();
        if (!value(v, 0)) return false;
        skip_space();
        if (pos_ != s_.size()) return fail("余分な文字が続いています");
        return true;
    }
    const std::string& error() const { return error_; }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
    std::size_t values_ = 0;
    std::string error_;

    bool fail(const std::string& what) {
        if (error_.empty()) error_ = what + "（" + std::to_string(pos_ + 1) + " バイト目）";
        return false;
    }
    bool at_end() const { return pos_ >= s_.size(); }
    char peek() const { return s_[pos_]; }
    void skip_space() {
        while (!at_end() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) ++pos_;
    }
    bool literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return fail("知らない語があります");
        pos_ += word.size();
        return true;
    }

    bool value(Value& v, int depth) {
        if (depth > kMaxDepth) return fail("入れ子が深すぎます");
        if (++values_ > kMaxValues) return fail("値が多すぎます");
        if (at_end()) return fail("途中で終わっています");
        switch (peek()) {
        case '{': return object(v, depth);
        case '[': return array(v, depth);
        case '"': v.kind = Value::Kind::string; return string(v.text);
        case 't': v.kind = Value::Kind::boolean; v.boolean = true; return literal("true");
        case 'f': v.kind = Value::Kind::boolean; v.boolean = false; return literal("false");
        case 'n': v.kind = Value::Kind::null; return literal("null");
        default: v.kind = Value::Kind::number; return number(v.text);
        }
    }

    bool object(Value& v, int depth) {
        v.kind = Value::Kind::object;
        ++pos_;
        skip_space();
        if (!at_end() && peek() == '}') return ++pos_, true;
        std::set<std::string> names;
        for (;;) {
            skip_space();
            if (at_end() || peek() != '"') return fail("名前が必要です");
            std::string key;
            if (!string(key)) return false;
            if (!names.insert(key).second) return fail("同じ名前が二度あります");
            skip_space();
            if (at_end() || peek() != ':') return fail("「:」が必要です");
            ++pos_;
            skip_space();
            v.members.push_back({std::move(key), Value{}});
            if (!value(v.members.back().second, depth + 1)) return false;
            skip_space();
            if (at_end()) return fail("途中で終わっています");
            if (peek() == '}') return ++pos_, true;
            if (peek() != ',') return fail("「,」か「}」が必要です");
            ++pos_;
        }
    }

    bool array(Value& v, int depth) {
        v.kind = Value::Kind::array;
        ++pos_;
        skip_space();
        if (!at_end() && peek() == ']') return ++pos_, true;
        for (;;) {
            skip_space();
            v.items.emplace_back();
            if (!value(v.items.back(), depth + 1)) return false;
            skip_space();
            if (at_end()) return fail("途中で終わっています");
            if (peek() == ']') return ++pos_, true;
            if (peek() != ',') return fail("「,」か「]」が必要です");
            ++pos_;
        }
    }

    bool number(std::string& out) {
        const std::size_t start = pos_;
        const auto digit = [&] { return !at_end() && peek() >= '0' && peek() <= '9'; };
        if (!at_end() && peek() == '-') ++pos_;
        if (!digit()) return fail("値が読めません");
        if (peek() == '0') ++pos_;
        else while (digit()) ++pos_;
        if (!at_end() && peek() == '.') {
            ++pos_;
            if (!digit()) return fail("数が読めません");
            while (digit()) ++pos_;
        }
        if (!at_end() && (peek() == 'e' || peek() == 'E')) {
            ++pos_;
            if (!at_end() && (peek() == '+' || peek() == '-')) ++pos_;
            if (!digit()) return fail("数が読めません");
            while (digit()) ++pos_;
        }
        out.assign(s_.substr(start, pos_ - start));
        return true;
    }

    int hex4() {
        if (s_.size() - pos_ < 4) return -1;
        int v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = s_[pos_ + i];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= c - '0';
            else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
            else return -1;
        }
        pos_ += 4;
        return v;
    }

    static void put_utf8(std::string& out, long cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    // One well-formed UTF-8 character copied to `out`.
    bool utf8_char(std::string& out) {
        const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s_[pos_ + i]); };
        const unsigned char lead = b(0);
        std::size_t len;
        long cp, min;
        if (lead >= 0xC2 && lead <= 0xDF) len = 2, cp = lead & 0x1F, min = 0x80;
        else if ((lead & 0xF0) == 0xE0) len = 3, cp = lead & 0x0F, min = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4) len = 4, cp = lead & 0x07, min = 0x10000;
        else return fail("文字の符号が正しくありません");
        if (s_.size() - pos_ < len) return fail("文字の符号が正しくありません");
        for (std::size_t i = 1; i < len; ++i) {
            if ((b(i) & 0xC0) != 0x80) return fail("文字の符号が正しくありません");
            cp = (cp << 6) | (b(i) & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return fail("文字の符号が正しくありません");
        out.append(s_.substr(pos_, len));
        pos_ += len;
        return true;
    }

    bool string(std::string& out) {
        ++pos_;  // the opening quote
        for (;;) {
            if (at_end()) return fail("文字列が閉じていません");
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') return ++pos_, true;
            if (c < 0x20) return fail("文字列に制御文字があります");
            if (c >= 0x80) {
                if (!utf8_char(out)) return false;
                continue;
            }
            ++pos_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at_end()) return fail("文字列が閉じていません");
            const char e = peek();
            ++pos_;
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                long cp = hex4();
                if (cp < 0) return fail("「\\u」のあとが正しくありません");
                if (cp >= 0xDC00 && cp <= 0xDFFF) return fail("「\\u」のあとが正しくありません");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    if (s_.substr(pos_, 2) != "\\u") return fail("「\\u」のあとが正しくありません");
                    pos_ += 2;
                    const long low = hex4();
                    if (low < 0xDC00 || low > 0xDFFF) return fail("「\\u」のあとが正しくありません");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                put_utf8(out, cp);
                break;
            }
            default: return fail("「\\」のあとが正しくありません");
            }
        }
    }
};

// A name from the file for a message: quoted when short and printable,
// left out otherwise.
std::string quoted(const std::string& name) {
    if (name.empty() || name.size() > kMaxIdBytes) return "";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "";
    return "「" + name + "」";
}

const Value* member(const Value& object, std::string_view name) {
    for (const auto& m : object.members)
        if (m.first == name) return &m.second;
    return nullptr;
}

// A count: a plain whole number 0..10^9 ("1.0", "1e3", "-0" are not).
bool read_count(const Value* v, int& out) {
    if (!v || v->kind != Value::Kind::number) return false;
    const std::string& t = v->text;
    if (t.empty() || t.size() > 10) return false;
    std::int64_t n = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n > kMaxCount) return false;
    out = static_cast<int>(n);
    return true;
}

// "YYYY-MM-DD", or empty.
bool read_day(const Value* v, std::string& out) {
    if (!v || v->kind != Value::Kind::string) return false;
    const std::string& t = v->text;
    if (!t.empty()) {
        if (t.size() != 10) return false;
        for (std::size_t i = 0; i < t.size(); ++i) {
            const bool dash = i == 4 || i == 7;
            if (dash ? t[i] != '-' : (t[i] < '0' || t[i] > '9')) return false;
        }
    }
    out = t;
    return true;
}

// A boolean member.
bool read_flag(const Value* v, bool& out) {
    if (!v || v->kind != Value::Kind::boolean) return false;
    out = v->boolean;
    return true;
}

// The mistakes: {"code": count, ...}, codes 1..255, counts at least 1.
bool read_mistakes(const Value* v, std::map<int, int>& out) {
    if (!v || v->kind != Value::Kind::object) return false;
    for (const auto& [name, value] : v->members) {
        Value code_text;
        code_text.kind = Value::Kind::number;
        code_text.text = name;
        int code = 0, count = 0;
        if (!read_count(&code_text, code) || code < 1 || code > kMaxMistakeCode) return false;
        if (!read_count(&value, count) || count < 1) return false;
        out[code] = count;
    }
    return true;
}

// The last endings: [0, 1, 2], oldest first.
bool read_endings(const Value* v, std::vector<ProblemEnding>& out) {
    if (!v || v->kind != Value::Kind::array || v->items.size() > kKeptEndings) return false;
    for (const auto& item : v->items) {
        int ending = 0;
        if (!read_count(&item, ending) || ending > static_cast<int>(ProblemEnding::answer_shown)) return false;
        out.push_back(static_cast<ProblemEnding>(ending));
    }
    return true;
}

// A set of a version 1 file has only the first five fields.
bool read_set(const Value& v, SetProgress& set, std::string& field, int version) {
    static const std::vector<std::string_view> v1_fields{"tried", "solved", "streak", "mastered", "last_day"};
    static const std::vector<std::string_view> v2_fields{"hints",       "shown",        "mistakes",
                                                         "today_tried", "today_solved", "last",
                                                         "reviews",     "practise_again"};
    if (v.kind != Value::Kind::object) return false;
    for (const auto& m : v.members) {
        bool known = std::find(v1_fields.begin(), v1_fields.end(), m.first) != v1_fields.end();
        if (version >= 2) known = known || std::find(v2_fields.begin(), v2_fields.end(), m.first) != v2_fields.end();
        if (!known) {
            field = m.first;
            return false;
        }
    }
    if (!read_count(member(v, "tried"), set.tried)) return field = "tried", false;
    if (!read_count(member(v, "solved"), set.solved) || set.solved > set.tried) return field = "solved", false;
    if (!read_count(member(v, "streak"), set.streak) || set.streak > set.solved) return field = "streak", false;
    if (!read_flag(member(v, "mastered"), set.mastered)) return field = "mastered", false;
    if (!read_day(member(v, "last_day"), set.last_day)) return field = "last_day", false;
    if (version < 2) return true;
    if (!read_count(member(v, "hints"), set.hints)) return field = "hints", false;
    if (!read_count(member(v, "shown"), set.shown) || set.shown > set.tried) return field = "shown", false;
    if (!read_mistakes(member(v, "mistakes"), set.mistakes)) return field = "mistakes", false;
    if (!read_count(member(v, "today_tried"), set.today_tried) || set.today_tried > set.tried)
        return field = "today_tried", false;
    if (!read_count(member(v, "today_solved"), set.today_solved) || set.today_solved > set.today_tried)
        return field = "today_solved", false;
    if (!read_endings(member(v, "last"), set.last)) return field = "last", false;
    if (!read_count(member(v, "reviews"), set.reviews)) return field = "reviews", false;
    if (!read_flag(member(v, "practise_again"), set.practise_again)) return field = "practise_again", false;
    return true;
}

}  // namespace

bool review_due(const SetProgress& set, const std::string& today) {
    if (!set.mastered) return false;
    const auto last = day_number_of(set.last_day), now = day_number_of(today);
    if (!last || !now) return false;
    return *now - *last >= (set.reviews == 0 ? kFirstReviewDays : kLaterReviewDays);
}

int tried_today(const SetProgress& set, const std::string& today) {
    return set.last_day == today ? set.today_tried : 0;
}
int solved_today(const SetProgress& set, const std::string& today) {
    return set.last_day == today ? set.today_solved : 0;
}

void review(SetProgress& set, bool first_try, const std::string& today) {
    if (first_try) {
        count_up(set.reviews);
        set.last_day = today;
    } else {
        set.practise_again = true;
    }
}

void record(SetProgress& set, const Outcome& outcome, int needed, const std::string& today) {
    const bool reviewing = review_due(set, today);
    const bool first = outcome.solved && outcome.first_try;
    if (set.last_day != today) set.today_tried = set.today_solved = 0;
    count_up(set.tried);
    count_up(set.today_tried);
    if (outcome.solved) count_up(set.solved);
    if (first) count_up(set.today_solved);
    if (first) count_up(set.streak);
    else set.streak = 0;
    if (set.streak >= needed) {
        set.mastered = true;
        set.practise_again = false;
    }
    if (reviewing) review(set, first, today);
    for (int i = 0; i < outcome.hints; ++i) count_up(set.hints);
    if (outcome.answer_shown) count_up(set.shown);
    for (const int code : outcome.mistakes)
        if (code >= 1 && code <= kMaxMistakeCode) count_up(set.mistakes[code]);
    set.last.push_back(first                  ? ProblemEnding::first_try
                       : outcome.answer_shown ? ProblemEnding::answer_shown
                                              : ProblemEnding::after_help);
    if (set.last.size() > kKeptEndings) set.last.erase(set.last.begin());
    set.last_day = today;
}

std::string to_json(const Progress& progress) {
    std::string out = "{\n  \"version\": " + std::to_string(kProgressVersion) +
                      ",\n  \"seat\": " + std::to_string(progress.seat) + ",\n  \"class\": ";
    append_json_string(out, progress.class_label);
    out += ",\n  \"sets\": {";
    bool first = true;
    for (const auto& [id, set] : progress.sets) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        append_json_string(out, id);
        out += ": {\"tried\": " + std::to_string(set.tried) + ", \"solved\": " + std::to_string(set.solved) +
               ", \"streak\": " + std::to_string(set.streak) +
               ", \"mastered\": " + (set.mastered ? "true" : "false") + ", \"last_day\": ";
        append_json_string(out, set.last_day);
        out += ", \"hints\": " + std::to_string(set.hints) + ", \"shown\": " + std::to_string(set.shown) +
               ", \"mistakes\": {";
        bool first_mistake = true;
        for (const auto& [code, count] : set.mistakes) {
            out += (first_mistake ? "\"" : ", \"") + std::to_string(code) + "\": " + std::to_string(count);
            first_mistake = false;
        }
        out += "}, \"today_tried\": " + std::to_string(set.today_tried) +
               ", \"today_solved\": " + std::to_string(set.today_solved) + ", \"last\": [";
        for (std::size_t i = 0; i < set.last.size(); ++i)
            out += (i ? ", " : "") + std::to_string(static_cast<int>(set.last[i]));
        out += "], \"reviews\": " + std::to_string(set.reviews) +
               ", \"practise_again\": " + (set.practise_again ? "true" : "false") + "}";
    }
    out += first ? "}\n}\n" : "\n  }\n}\n";
    return out;
}

std::string newer_record_notice(int newer) {
    return "この記録は新しい版 " + std::to_string(newer) +
           " のプログラムのものです。記録はそのまま残し、今回の練習は記録しません。";
}

bool from_json(std::string_view text, Progress& progress, std::string& error) {
    int newer = 0;
    return from_json(text, progress, error, newer);
}

bool from_json(std::string_view text, Progress& progress, std::string& error, int& newer) {
    newer = 0;
    const std::string prefix = "学習の記録を読めません。";
    if (text.size() > kMaxFileBytes) {
        error = prefix + "ファイルが大きすぎます";
        return false;
    }
    Value root;
    Reader reader(text);
    if (!reader.document(root)) {
        error = prefix + "ファイルの形が正しくありません。" + reader.error();
        return false;
    }
    if (root.kind != Value::Kind::object) {
        error = prefix + "記録のファイルではありません";
        return false;
    }
    const Value* version = member(root, "version");
    if (!version) {
        error = prefix + "版の番号がありません";
        return false;
    }
    int number = 0;
    if (!read_count(version, number)) {
        error = prefix + "版の番号が正しくありません";
        return false;
    }
    if (number > kProgressVersion) newer = number;
    if (number < 1 || number > kProgressVersion) {
        error = prefix + "版 " + std::to_string(number) + " の記録です（このプログラムが読めるのは版 " +
                std::to_string(kProgressVersion) + " まで）";
        return false;
    }
    for (const auto& m : root.members) {
        const bool known = m.first == "version" || m.first == "sets" ||
                           (number >= 2 && (m.first == "seat" || m.first == "class"));
        if (!known) {
            error = prefix + "知らない項目" + quoted(m.first) + "があります";
            return false;
        }
    }
    const Value* sets = member(root, "sets");
    if (!sets || sets->kind != Value::Kind::object) {
        error = prefix + "練習セットの一覧がありません";
        return false;
    }
    if (sets->members.size() > kMaxSets) {
        error = prefix + "練習セットが多すぎます";
        return false;
    }
    Progress read;
    if (number >= 2) {
        const Value* seat = member(root, "seat");
        if (!read_count(seat, read.seat) || read.seat > kMaxSeat) {
            error = prefix + "出席番号が正しくありません";
            return false;
        }
        const Value* label = member(root, "class");
        if (!label || label->kind != Value::Kind::string ||
            !(label->text.empty() || valid_class_label(label->text))) {
            error = prefix + "クラスが正しくありません";
            return false;
        }
        read.class_label = label->text;
    }
    for (const auto& [id, value] : sets->members) {
        if (id.size() > kMaxIdBytes) {
            error = prefix + "練習セットの名前が長すぎます";
            return false;
        }
        std::string field;
        if (!read_set(value, read.sets[id], field, number)) {
            error = prefix + "練習セット" + quoted(id) + "の" + (field.empty() ? std::string("中身") : quoted(field)) +
                    "が正しくありません";
            return false;
        }
    }
    progress = std::move(read);
    return true;
}

}  // namespace lk::practice
