#include "tour.h"

#include <algorithm>

namespace lk {

TourDriver::TourDriver(const ProgramDef& program, int problems)
    : program_(program), problems_(problems) {
    for (size_t i = 0; i < program.menu.size(); ++i)
        if (program.menu[i].topic >= 0) topic_menu_numbers_.push_back(static_cast<int>(i) + 1);
    if (program.main) topic_menu_numbers_ = program.tour_entries;
}

bool TourDriver::only_topic(int menu_number) {
    if (program_.main) {
        const auto& entries = program_.tour_entries;
        if (std::find(entries.begin(), entries.end(), menu_number) == entries.end()) return false;
        topic_menu_numbers_ = {menu_number};
        topic_ = 0;
        return true;
    }
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
    if (prompt.kind != PromptKind::none) {
        prompt_ = prompt.kind;
        expected_ = prompt.expected;
        // Answered by a choice (the yes/no kind), not typed into a field.
        expected_is_choice_ = false;
        for (const auto& c : prompt.choices) expected_is_choice_ |= !c.key.empty() && c.key == prompt.expected;
    }
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
        case Prompt::answer: {
            // A set's first problem goes through a hint and a wrong answer
            // before the right one; the others are answered at once. After
            // `problems` answered, back to the menu for the next set.
            if (answered_ >= problems_) {
                answered_ = 0;
                ++topic_;
                return "\x1b";
            }
            const bool choice = expected_is_choice_;
            const int stage = answered_ == 0 ? attempt_++ : 2;
            if (stage == 0) return "h";
            if (stage == 1) return choice ? (expected_ == "1" ? "2" : "1") : "\f9999\r";
            return choice ? expected_ : "\f" + expected_ + "\r";
        }
        case Prompt::verdict:
            ++answered_;
            ++problems_shown_;
            attempt_ = 0;
            return " ";
        case Prompt::none: break;
    }
    return {};
}

}  // namespace lk
