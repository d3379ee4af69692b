#include "class_table.h"

#include <algorithm>

#include "engine/practice/json_text.h"
#include "lessons/problems/mistakes.h"
#include "sets.h"

namespace lk::practice {

namespace {


void put_field(std::string& out, const char* name, int value) {
    out += '"';
    out += name;
    out += "\":" + std::to_string(value) + ",";
}

const char* state_name(CellState state) {
    switch (state) {
        case CellState::not_started: return "none";
        case CellState::working: return "working";
        case CellState::mastered: return "star";
        case CellState::review: return "review";
        case CellState::stuck: return "stuck";
    }
    return "none";
}

std::string mistake_name(int code) {
    const auto* mistake = problems::mistake_of_code(code);
    return mistake ? std::string(mistake->name) : "つまずき " + std::to_string(code);
}

}  // namespace

CellState cell_state(const SetFigures& f) {
    if (f.tried == 0) return CellState::not_started;
    const bool shown_thrice = f.last.size() == kLastEndings &&
                              std::all_of(f.last.begin(), f.last.end(), [](Ending e) { return e == Ending::answer_shown; });
    if ((f.today_tried >= kStuckTried && f.today_solved <= kStuckFirstTries) || shown_thrice) return CellState::stuck;
    if (f.review_due || f.practise_again) return CellState::review;
    if (f.mastered) return CellState::mastered;
    return CellState::working;
}

std::string record_json(const ClassRecord& record) {
    std::string out = "{\"ok\":true,\"record\":{\"seat\":" + std::to_string(record.seat) + ",\"label\":";
    append_json_string(out, record.label);
    out += ",\"day\":";
    append_json_string(out, record.day);
    out += ",\"sets\":[";
    for (size_t i = 0; i < record.sets.size(); ++i) {
        const SetFigures& f = record.sets[i];
        const PracticeSet* set = set_of_code(f.set);
        out += i ? ",{" : "{";
        put_field(out, "code", f.set);
        out += "\"id\":";
        append_json_string(out, set ? set->id : "");
        out += ",\"name\":";
        append_json_string(out, set ? set->name : "セット " + std::to_string(f.set));
        out += ",\"state\":";
        append_json_string(out, state_name(cell_state(f)));
        out += ",";
        put_field(out, "tried", f.tried);
        put_field(out, "solved", f.solved);
        put_field(out, "streak", f.streak);
        put_field(out, "mastered", f.mastered);
        put_field(out, "review", f.review_due);
        put_field(out, "again", f.practise_again);
        put_field(out, "hints", f.hints);
        put_field(out, "shown", f.shown);
        put_field(out, "todayTried", f.today_tried);
        put_field(out, "todayFirst", f.today_solved);
        std::string last;
        for (Ending e : f.last) last += e == Ending::first_try ? "○" : e == Ending::after_help ? "△" : "×";
        out += "\"last\":";
        append_json_string(out, last);
        out += ",\"mistakes\":[";
        for (size_t m = 0; m < f.mistakes.size(); ++m) {
            out += m ? ",{" : "{";
            put_field(out, "code", f.mistakes[m].first);
            put_field(out, "count", f.mistakes[m].second);
            out += "\"name\":";
            append_json_string(out, mistake_name(f.mistakes[m].first));
            out += "}";
        }
        out += "]}";
    }
    out += "]}}";
    return out;
}

std::string refusal_json(const std::string& error) {
    std::string out = "{\"ok\":false,\"error\":";
    append_json_string(out, error);
    return out + "}";
}

std::string tables_json() {
    std::string out = "{\"sets\":[";
    bool first = true;
    for (const auto& set : practice_sets()) {
        const int code = set_code(set);
        if (code < 0) continue;
        out += first ? "{" : ",{";
        first = false;
        put_field(out, "code", code);
        out += "\"id\":";
        append_json_string(out, set.id);
        out += ",\"name\":";
        append_json_string(out, set.name);
        out += "}";
    }
    out += "],\"mistakes\":[";
    for (size_t i = 0; i < problems::mistakes().size(); ++i) {
        const auto& m = problems::mistakes()[i];
        out += i ? ",{" : "{";
        put_field(out, "code", m.code);
        out += "\"name\":";
        append_json_string(out, m.name);
        out += "}";
    }
    return out + "]}";
}

}  // namespace lk::practice
