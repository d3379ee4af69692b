#pragma once
// A program is data: its title, quit number, main-menu entries and topics.
// Both programs run the same shell over their own tables.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../lesson/engine.h"
#include "script.h"

namespace lk {

using Step = std::function<Task<>(Script&)>;

struct Topic {
    Step goal;  // the goal screen; empty for none
    std::string bar;
    int entries = 0;          // N: entries 1 to N - 1 run items, N returns
    std::vector<Step> items;  // N - 1 items
};

struct MenuEntry {
    std::string label;
    float x, y;
    int colour;
    int topic;  // index into the topics, or -1 for a reserved entry
};

struct ProgramDef {
    std::string title;  // names the window and the fatal error box
    int quit_number = 0;
    std::vector<MenuEntry> menu;
    std::vector<Topic> topics;
    std::string name = {};  // the Japanese name in the main menu's title; the title when empty
    // A program with its own main loop (the practice program) runs this after
    // start-up in place of the menu of topics.
    std::function<Task<>(Engine&)> main = {};
    // Such a program's main-menu numbers that a tour visits, in order.
    std::vector<int> tour_entries = {};
};

// The standard goal screen: "<めあて>" and the goal lines.
Step goal_screen(float x, std::vector<std::string> lines, float first_y = 305, float pitch = 65);

// Runs a program until it ends; returns the exit status. Without a seed the
// random numbers are seeded from the clock.
// `configure`, when given, is called with the engine before start-up.
Task<int> run_program(const ProgramDef& program, Presenter& presenter,
                      std::optional<std::uint64_t> seed = std::nullopt,
                      const std::function<void(Engine&)>& configure = {});

// Pieces of run_program, for tests that drive one part of the shell.
void start_up(Engine& engine, const ProgramDef& program, std::optional<std::uint64_t> seed);
Task<> run_main_menu(Engine& engine, const ProgramDef& program);
Task<> run_topic(Engine& engine, const Topic& topic);
// Draws the run-time error's message (the picture then stays).
void error_routine(Engine& engine);

}  // namespace lk
