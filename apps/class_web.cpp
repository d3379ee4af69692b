// The class page's reader: records from QR codes (their bytes) and from
// hand-in files (their text), read by the codec the student's program
// writes with, and handed to the page as JSON. Each answer stays valid until
// the next call.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lessons/practice/class_table.h"

namespace {
std::string answer;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* lk_class_read_bytes(const std::uint8_t* data, int size) {
    std::string error;
    const std::vector<std::uint8_t> bytes(data, data + (size > 0 ? size : 0));
    const auto record = lk::practice::decode_class_record(bytes, error);
    answer = record ? lk::practice::record_json(*record) : lk::practice::refusal_json(error);
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* lk_class_read_file(const char* text) {
    std::string error;
    const auto record = lk::practice::read_class_record_file(text, error);
    answer = record ? lk::practice::record_json(*record) : lk::practice::refusal_json(error);
    return answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* lk_class_tables() {
    answer = lk::practice::tables_json();
    return answer.c_str();
}

}
