#include "strings.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>

#include "errors.h"

namespace lk {

namespace {

int utf8_len(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

std::string join(const std::vector<std::string>& chars, size_t from, size_t to) {
    std::string out;
    for (size_t i = from; i < to && i < chars.size(); ++i) out += chars[i];
    return out;
}

// Character positions covered by the first n code page 932 bytes; a cut that
// would split a double-byte character is an invalid string argument.
size_t chars_in_bytes(const std::vector<std::string>& chars, int n) {
    int bytes = 0;
    size_t i = 0;
    while (i < chars.size() && bytes < n) {
        bytes += is_double_byte(chars[i]) ? 2 : 1;
        ++i;
    }
    if (bytes > n) throw RuntimeError(kErrInvalidArgument);
    return i;
}

}  // namespace

char32_t code_point(std::string_view ch) {
    auto b = [&](size_t i) { return static_cast<unsigned char>(ch[i]); };
    switch (ch.size()) {
        case 1: return b(0);
        case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        case 4:
            return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) |
                   (b(3) & 0x3F);
        default: return 0xFFFD;
    }
}

size_t char_size_at(std::string_view s, size_t i) {
    size_t len = static_cast<size_t>(utf8_len(static_cast<unsigned char>(s[i])));
    bool ok = i + len <= s.size();
    for (size_t k = 1; ok && k < len; ++k)
        ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
    return ok ? len : 1;
}

std::vector<std::string> split_chars(std::string_view s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        size_t len = char_size_at(s, i);
        out.emplace_back(s.substr(i, len));
        i += len;
    }
    return out;
}

bool is_double_byte(std::string_view ch) {
    char32_t cp = code_point(ch);
    if (cp < 0x80) return false;
    if (cp >= 0xFF61 && cp <= 0xFF9F) return false;  // half-width katakana
    return true;
}

int byte_length(std::string_view s) {
    int n = 0;
    for (const auto& c : split_chars(s)) n += is_double_byte(c) ? 2 : 1;
    return n;
}

int char_length(std::string_view s) {
    int n = 0;
    for (size_t i = 0; i < s.size(); i += char_size_at(s, i)) ++n;
    return n;
}

std::string ending_of(std::string_view text, std::size_t most) {
    if (text.size() <= most) return std::string(text);
    std::size_t from = text.size() - most + 3;
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
    return "..." + std::string(text.substr(from));
}

std::string byte_left(std::string_view s, int n) {
    if (n < 0) throw RuntimeError(kErrInvalidArgument);
    auto chars = split_chars(s);
    return join(chars, 0, chars_in_bytes(chars, n));
}

std::string byte_right(std::string_view s, int n) {
    if (n < 0) throw RuntimeError(kErrInvalidArgument);
    int total = byte_length(s);
    if (n >= total) return std::string(s);
    auto chars = split_chars(s);
    return join(chars, chars_in_bytes(chars, total - n), chars.size());
}

std::string byte_mid(std::string_view s, int start, int n) {
    if (start < 1 || n < 0) throw RuntimeError(kErrInvalidArgument);
    auto chars = split_chars(s);
    int total = byte_length(s);
    if (start > total) return {};
    size_t from = chars_in_bytes(chars, start - 1);
    int end = std::min(total, start - 1 + n);
    size_t to = chars_in_bytes(chars, end);
    return join(chars, from, to);
}

int byte_find(int start, std::string_view s, std::string_view t) {
    if (start < 1) throw RuntimeError(kErrInvalidArgument);
    auto chars = split_chars(s);
    int bytes = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        int pos = bytes + 1;
        if (pos >= start && s.substr(join(chars, 0, i).size()).starts_with(t)) return pos;
        bytes += is_double_byte(chars[i]) ? 2 : 1;
    }
    return 0;
}

std::string char_left(std::string_view s, int n) {
    if (n < 0) throw RuntimeError(kErrInvalidArgument);
    return join(split_chars(s), 0, static_cast<size_t>(n));
}

std::string char_right(std::string_view s, int n) {
    if (n < 0) throw RuntimeError(kErrInvalidArgument);
    auto chars = split_chars(s);
    size_t k = std::min(chars.size(), static_cast<size_t>(n));
    return join(chars, chars.size() - k, chars.size());
}

std::string char_mid(std::string_view s, int start, int n) {
    if (start < 1 || n < 0) throw RuntimeError(kErrInvalidArgument);
    auto chars = split_chars(s);
    size_t from = static_cast<size_t>(start - 1);
    if (from >= chars.size()) return {};
    return join(chars, from, from + std::min(chars.size() - from, static_cast<size_t>(n)));
}

int char_find(int start, std::string_view s, std::string_view t) {
    if (start < 1) throw RuntimeError(kErrInvalidArgument);
    int n = 1;
    for (size_t offset = 0; offset < s.size(); offset += char_size_at(s, offset), ++n)
        if (n >= start && s.substr(offset).starts_with(t)) return n;
    return 0;
}

std::string char_of_code(int code) {
    if (code < 0 || code > 255) throw RuntimeError(kErrInvalidArgument);
    if (code < 0x80) return std::string(1, static_cast<char>(code));
    if (code >= 0xA1 && code <= 0xDF) {
        // Half-width katakana: U+FF61 onwards.
        char32_t cp = 0xFF61 + (code - 0xA1);
        std::string out;
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
        return out;
    }
    throw RuntimeError(kErrInvalidArgument);
}

bool representable_in_cp932(std::string_view s) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in(s);
    std::string out(in.size() * 2 + 8, '\0');
    char* ip = in.data();
    char* op = out.data();
    size_t il = in.size(), ol = out.size();
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    return r != static_cast<size_t>(-1) && il == 0;
}

}  // namespace lk
