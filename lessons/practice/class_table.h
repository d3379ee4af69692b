#pragma once
// The class page's reading of a student's record: what each cell of the
// table says (not started, working, ★, due for review, stuck) and the
// record as JSON for the page, with the sets' and mistakes' names. The page
// runs this code compiled to WebAssembly (apps/class_web.cpp), so that the
// record is read by the same codec that wrote it.
#include <string>

#include "engine/practice/class_record.h"

namespace lk::practice {

enum class CellState { not_started, working, mastered, review, stuck };

// Stuck: at least kStuckTried tried today with at most kStuckFirstTries
// solved at the first try, or the last three ended with the answer shown.
inline constexpr int kStuckTried = 5, kStuckFirstTries = 1;
CellState cell_state(const SetFigures& figures);

// {"ok":true,"record":{"seat":12,"label":"1-3","day":"2026-12-09","sets":[
//   {"code":5,"id":"solve-both-sides","name":"…","state":"stuck",
//    "tried":6,…,"last":"○△×","mistakes":[{"code":1,"name":"…","count":2}]}]}}
// or {"ok":false,"error":"…"}.
std::string record_json(const ClassRecord& record);
std::string refusal_json(const std::string& error);
// The sets a record can carry, in the menu's order, and the mistakes:
// {"sets":[{"code":1,"id":"…","name":"…"}],"mistakes":[{"code":1,"name":"…"}]}.
std::string tables_json();

}  // namespace lk::practice
