#include "tour.h"

namespace lk {

TourDriver::TourDriver(const ProgramDef& program, int problems)
    : program_(program), problems_(problems) {
    for (size_t i = 0; i < program.menu.size(); ++i)
        if (program.menu[i].topic >= 0) topic_menu_numbers_.push_back(static_cast<int>(i) + 1);
}

bool TourDriver::only_topic(int menu_number) {
    if (menu_number < 1 || static_cast<size_t>(menu_number) > program_.menu.size()) return false;
    int topic = program_.menu[static_cast<size_t>(menu_number - 1)].topic;
    if (topic < 0 || static_cast<size_t>(topic) >= program_.topics.size()) return false;
    topic_menu_numbers_ = {menu_number};
    topic_ = 0;
    return true;
}

void TourDriver::on_prompt(const PromptEvent& prompt) {
    // An answered prompt leaves the last one in place: the driver is asked
    // for keys only when the program waits again.
    if (prompt.kind != PromptKind::none) prompt_ = prompt.kind;
}

std::string TourDriver::next_keys() {
    if (finished_) return {};
    switch (prompt_) {
        case Prompt::step:
            ++steps_;
            return " ";
        case Prompt::next_step:
            ++problems_shown_;
            if (++drill_count_ < problems_) return "2\r";
            drill_count_ = 0;
            return "1\r";
        case Prompt::menu:
            if (topic_ >= topic_menu_numbers_.size()) {
                finished_ = true;
                return std::to_string(program_.quit_number) + "\r";
            }
            item_ = 0;
            return std::to_string(topic_menu_numbers_[topic_]) + "\r";
        case Prompt::bar: {
            int menu_number = topic_menu_numbers_[topic_];
            const Topic& topic =
                program_.topics[static_cast<size_t>(program_.menu[static_cast<size_t>(menu_number - 1)].topic)];
            ++item_;
            drill_count_ = 0;
            if (item_ >= topic.entries) {
                ++topic_;
                return std::to_string(topic.entries) + "\r";
            }
            ++items_run_;
            return std::to_string(item_) + "\r";
        }
        case Prompt::none: break;
    }
    return {};
}

}  // namespace lk
