#pragma once
// Strings are kept as UTF-8 but counted and cut with the semantics of code
// page 932: a character is one code point, and it is "double-byte" exactly
// when code page 932 needs two bytes for it (half-width katakana take one).
#include <string>
#include <string_view>
#include <vector>

namespace lk {

// Splits a UTF-8 text into its characters. Malformed bytes become one
// character each, so no input can make a later operation fail.
std::vector<std::string> split_chars(std::string_view s);
// The bytes of the character that begins at byte i (i < s.size()), as
// split_chars counts them.
size_t char_size_at(std::string_view s, size_t i);
bool is_double_byte(std::string_view ch);
// The code point of one character (U+FFFD for a malformed one).
char32_t code_point(std::string_view ch);

int byte_length(std::string_view s);
int char_length(std::string_view s);
std::string byte_left(std::string_view s, int n);
std::string byte_right(std::string_view s, int n);
std::string byte_mid(std::string_view s, int start, int n);
int byte_find(int start, std::string_view s, std::string_view t);
std::string char_left(std::string_view s, int n);
std::string char_right(std::string_view s, int n);
std::string char_mid(std::string_view s, int start, int n);
int char_find(int start, std::string_view s, std::string_view t);
std::string char_of_code(int code);

// A long text (a file's path) cut to its end for a line of at most `most`
// bytes: "..." and the end, starting at a character; a text that fits is
// kept.
std::string ending_of(std::string_view text, std::size_t most);

// True when every character of s has a code page 932 encoding.
bool representable_in_cp932(std::string_view s);

}  // namespace lk
