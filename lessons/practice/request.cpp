#include "request.h"

#include <charconv>
#include <set>

#include "engine/present/strings.h"

namespace lk::practice {

namespace {

const std::string kRefused = "先生からの問題の指定を読めません。";
// A piece of the address worth quoting back: short, and of characters the
// menu's plain text shows as themselves (in full width).
constexpr std::size_t kMaxQuoted = 32;

std::string quoted(std::string_view text) {
    if (text.empty() || text.size() > kMaxQuoted) return "";
    for (const char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.';
        if (!plain) return "";
    }
    return "「" + std::string(text) + "」";
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

// A whole number written with digits alone; false otherwise (or when too
// large for an int).
bool whole_number(std::string_view text, int& out) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

// A field of a version: its name, whether a request needs it, and its
// reader, which fills the request or says what is wrong.
struct Field {
    std::string_view name;
    bool needed;
    std::string_view missing;  // what to say when a needed field is absent
    bool (*read)(std::string_view value, PracticeRequest& request, std::string& error);
};

bool read_sets(std::string_view value, PracticeRequest& request, std::string& error) {
    for (const auto id : split(value, ',')) {
        if (id.empty()) return error = "練習セットの指定に空の名前があります。", false;
        const PracticeSet* set = nullptr;
        for (const auto& s : practice_sets())
            if (s.id == id) set = &s;
        if (!set) return error = "知らない練習セット" + quoted(id) + "があります。", false;
        if (request.sets.size() == kMaxRequestSets)
            return error = "練習セットが多すぎます（" + std::to_string(kMaxRequestSets) + "まで）。", false;
        request.sets.push_back(set);
    }
    return true;
}

bool read_count(std::string_view value, PracticeRequest& request, std::string& error) {
    if (!whole_number(value, request.count) || request.count < 1 || request.count > kMaxRequestProblems) {
        error = "問題の数" + quoted(value) + "が正しくありません（1～" + std::to_string(kMaxRequestProblems) +
                "）。";
        return false;
    }
    return true;
}

// An address's %XX escapes (a link made with encodeURIComponent writes
// them); false for a broken one.
bool unescaped(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        int value = 0;
        if (i + 2 >= text.size()) return false;
        const auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (error != std::errc() || end != text.data() + i + 3) return false;
        out += static_cast<char>(value);
        i += 2;
    }
    return true;
}

// A teacher's list of equations: e=NAME,EQUATION,EQUATION… (the name may be
// empty), each as the equation field takes it. The list becomes a set of
// its own, after any of s.
bool read_list(std::string_view value, PracticeRequest& request, std::string& error) {
    std::string text;
    if (!unescaped(value, text)) return error = "方程式のリストの「%」の書き方が正しくありません。", false;
    const auto items = split(text, ',');
    std::string list_text;
    for (std::size_t i = 1; i < items.size(); ++i) list_text += std::string(items[i]) + "\n";
    problems::ListReading list = problems::read_equation_list(list_text, "番目の方程式");
    if (!list.ok) return error = "方程式のリスト：" + list.error, false;
    list.list.name = std::string(items.front());
    if (static_cast<std::size_t>(char_length(list.list.name)) > problems::kMaxListNameChars ||
        list.list.name.find_first_of("\n\r#") != std::string::npos)
        return error = "方程式のリストの名前が長すぎるか、使えない文字があります。", false;
    if (request.sets.size() == kMaxRequestSets)
        return error = "練習セットが多すぎます（" + std::to_string(kMaxRequestSets) + "まで）。", false;
    request.sets.push_back(&add_list_set(list.list));
    return true;
}

// Version 1's fields: the sets (s, and a list of equations as one more,
// e), of which there must be one, and the number of problems.
const Field kVersion1[] = {
    {"s", false, "", read_sets},
    {"n", true, "問題の数の指定（n=）がありません。", read_count},
    {"e", false, "", read_list},
};

}  // namespace

RequestReading read_request(std::string_view text) {
    RequestReading reading;
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.empty()) return reading;
    reading.asked = true;
    const auto refuse = [&](const std::string& why) {
        reading.error = kRefused + why;
        return reading;
    };
    if (text.size() > kMaxRequestChars) return refuse("長すぎます。");

    const auto parts = split(text, ';');
    const std::string_view version = parts.front();
    int number = 0;
    if (version.size() < 2 || version.front() != 'v' || !whole_number(version.substr(1), number))
        return refuse("版の番号（v" + std::to_string(kRequestVersion) + " など）で始まっていません。");
    if (number != kRequestVersion)
        return refuse("版" + quoted(version) + "はこのプログラムが知らない版です（読めるのは v" +
                      std::to_string(kRequestVersion) + "）。");

    PracticeRequest request;
    std::set<std::string_view> seen;
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string_view part = parts[i];
        const auto eq = part.find('=');
        if (eq == std::string_view::npos) return refuse("項目" + quoted(part) + "に「=」がありません。");
        const std::string_view name = part.substr(0, eq);
        const Field* field = nullptr;
        for (const auto& f : kVersion1)
            if (f.name == name) field = &f;
        if (!field) return refuse("知らない項目" + quoted(name) + "があります。");
        if (!seen.insert(name).second) return refuse("項目" + quoted(name) + "が二度あります。");
        std::string error;
        if (!field->read(part.substr(eq + 1), request, error)) return refuse(error);
    }
    for (const auto& f : kVersion1)
        if (f.needed && !seen.count(f.name)) return refuse(std::string(f.missing));
    if (request.sets.empty()) return refuse("練習セットの指定（s=）がありません。");
    reading.ok = true;
    reading.request = std::move(request);
    return reading;
}

std::string describe(const PracticeRequest& request) {
    std::string words;
    for (const PracticeSet* set : request.sets) words += (words.empty() ? "" : "、") + set->name;
    return words + "　" + std::to_string(request.count) + "問";
}

}  // namespace lk::practice
