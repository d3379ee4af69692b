#include "engine/practice/progress.h"

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

// ---- Writing ----

void write_string(std::string& out, std::string_view s) {
    static const char* hex = "0123456789abcdef";
    out += '"';
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') out += '\\', out += c;
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else if (u < 0x20 || u == 0x7F) out += "\\u00", out += hex[u >> 4], out += hex[u & 15];
        else out += c;
    }
    out += '"';
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

bool read_set(const Value& v, SetProgress& set, std::string& field) {
    static const char* const fields[] = {"tried", "solved", "streak", "mastered", "last_day"};
    if (v.kind != Value::Kind::object) return false;
    for (const auto& m : v.members) {
        bool known = false;
        for (const char* f : fields) known = known || m.first == f;
        if (!known) {
            field = m.first;
            return false;
        }
    }
    if (!read_count(member(v, "tried"), set.tried)) return field = "tried", false;
    if (!read_count(member(v, "solved"), set.solved) || set.solved > set.tried) return field = "solved", false;
    if (!read_count(member(v, "streak"), set.streak) || set.streak > set.solved) return field = "streak", false;
    const Value* mastered = member(v, "mastered");
    if (!mastered || mastered->kind != Value::Kind::boolean) return field = "mastered", false;
    set.mastered = mastered->boolean;
    if (!read_day(member(v, "last_day"), set.last_day)) return field = "last_day", false;
    return true;
}

}  // namespace

void record(SetProgress& set, const Outcome& outcome, int needed, const std::string& today) {
    count_up(set.tried);
    if (outcome.solved) count_up(set.solved);
    if (outcome.solved && outcome.first_try) count_up(set.streak);
    else set.streak = 0;
    if (set.streak >= needed) set.mastered = true;
    set.last_day = today;
}

std::string to_json(const Progress& progress) {
    std::string out = "{\n  \"version\": " + std::to_string(kProgressVersion) + ",\n  \"sets\": {";
    bool first = true;
    for (const auto& [id, set] : progress.sets) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        write_string(out, id);
        out += ": {\"tried\": " + std::to_string(set.tried) + ", \"solved\": " + std::to_string(set.solved) +
               ", \"streak\": " + std::to_string(set.streak) +
               ", \"mastered\": " + (set.mastered ? "true" : "false") + ", \"last_day\": ";
        write_string(out, set.last_day);
        out += "}";
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
    if (number != kProgressVersion) {
        error = prefix + "版 " + std::to_string(number) + " の記録です（このプログラムが読めるのは版 " +
                std::to_string(kProgressVersion) + "）";
        return false;
    }
    for (const auto& m : root.members) {
        if (m.first != "version" && m.first != "sets") {
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
    for (const auto& [id, value] : sets->members) {
        if (id.size() > kMaxIdBytes) {
            error = prefix + "練習セットの名前が長すぎます";
            return false;
        }
        std::string field;
        if (!read_set(value, read.sets[id], field)) {
            error = prefix + "練習セット" + quoted(id) + "の" + (field.empty() ? std::string("中身") : quoted(field)) +
                    "が正しくありません";
            return false;
        }
    }
    progress = std::move(read);
    return true;
}

}  // namespace lk::practice
