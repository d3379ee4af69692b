#pragma once
// A driver that answers a program the way a careful user would, to walk every
// item of every topic: any key at a step, each item number in turn at a bar,
// a few practice problems at "次のステップは１を入力。", each topic in turn at
// the main menu, then the quit number. It watches what is drawn to know which
// prompt is waiting from the prompts' own announcements.
#include <string>
#include <vector>

#include "engine/present/presenter.h"
#include "engine/shell/program.h"

namespace lk {

class TourDriver : public OpSink {
public:
    // `problems`: how many practice problems each drill shows.
    TourDriver(const ProgramDef& program, int problems = 3);

    void on_draw(const DrawOp&) override {}
    void on_event(const Event&) override {}
    void on_prompt(const PromptEvent& prompt) override;

    // Walks only the topic of this main-menu number, then quits. False (and
    // nothing changed) when that entry has no topic.
    bool only_topic(int menu_number);

    // The keys for the prompt now waiting; "" once the tour is over.
    std::string next_keys();

    using Prompt = PromptKind;
    // The prompt now waiting (the last one announced).
    Prompt prompt() const { return prompt_; }
    // An answer field's expected answer (the practice program).
    const std::string& expected() const { return expected_; }
    // Counts of what the tour went through.
    int items_run() const { return items_run_; }
    int problems_shown() const { return problems_shown_; }
    int steps() const { return steps_; }

private:
    const ProgramDef& program_;
    int problems_;
    Prompt prompt_ = Prompt::none;
    size_t topic_ = 0;  // index into the menu entries that have topics
    int item_ = 0;      // the last item chosen in the current topic
    int drill_count_ = 0;
    int items_run_ = 0, problems_shown_ = 0, steps_ = 0;
    bool finished_ = false;
    std::vector<int> topic_menu_numbers_;
    // A program of answers (the practice program): the answer expected at
    // the prompt now waiting, the problems answered in the current set, and
    // the attempt at the current one.
    std::string expected_;
    bool expected_is_choice_ = false;
    int answered_ = 0, attempt_ = 0;
};

}  // namespace lk
