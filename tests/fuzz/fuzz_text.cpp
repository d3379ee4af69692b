// Feeds arbitrary bytes to the rich-text and plain-text renderers and to the
// answer parser: no crash, no hang, the pen width restored.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/lesson/engine.h"
#include "engine/present/headless/headless_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    lk::HeadlessPlatform platform;
    lk::Presenter presenter(platform);
    lk::Engine e(presenter);
    presenter.set_pen_width(7);
    try {
        e.text = input;
        e.text_x = 40;
        e.text_y = 300;
        e.draw_rich_text();
        if (presenter.get_pen_width() != 7) std::abort();
        e.text = input;
        e.draw_plain_text();
        e.run_text = input;
        e.measure_rich_text();
        e.answer_text = input;
        e.parse_answer();
        (void)lk::to_integer(e.answer_value);
        (void)lk::text_to_number(input);
        e.run_text = input;
        e.strip_markup();
        e.run_text = input;
        e.cell_width = 60;
        e.cell_height = 50;
        e.draw_table_cell();
    } catch (const lk::RuntimeError&) {
        // A run-time error is a delivered error, not a crash.
    }
    if (presenter.get_pen_width() != 7) std::abort();
    return 0;
}
