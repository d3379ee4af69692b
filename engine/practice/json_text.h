#pragma once
// A string as a JSON string: quoted, with quotes, backslashes and control
// characters escaped, and UTF-8 kept as it is. The record's file and the
// class page's answers write their strings so.
#include <string>
#include <string_view>

namespace lk::practice {

inline void append_json_string(std::string& out, std::string_view s) {
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

}  // namespace lk::practice
