#pragma once
// 先生に見せる: the student's record for the teacher, as one QR code (the
// class page reads it with the device's camera) with the same figures in
// words beside it, and as a file for the school's own hand-in route. Only a
// seat number and a class label say whose it is: never a name.
#include <functional>
#include <string>
#include <vector>

#include "engine/lesson/engine.h"
#include "engine/practice/class_record.h"
#include "engine/practice/progress.h"
#include "engine/present/answer_field.h"
#include "sets.h"

namespace lk::practice {

// A seat number at its prompt: one or two digits.
inline constexpr FieldSpec kSeatField{"0123456789", 2, FieldSpec::AtLimit::refuse, FieldSpec::Backspace::delete_one,
                                      "", KeypadLayout::number};
// A class label at its prompt: digits and "-", as "1-3".
inline constexpr FieldSpec kClassLabelField{"0123456789-", kMaxClassLabel, FieldSpec::AtLimit::refuse,
                                            FieldSpec::Backspace::delete_one, "", KeypadLayout::number};

// What the record shows the teacher on `today`: the seat, the class label
// and the figures of every set practised, the most recently practised first.
ClassRecord class_record_of(const Progress& progress, const std::string& today);

// The figures in words: a set's name on a line, its details on the lines
// after it (which start with a full-width space).
std::vector<std::string> describe(const ClassRecord& record);

// The screen. The seat is asked for the first time, and both it and the
// class label can be changed there (`keep` is called to keep them).
Task<> show_teacher(Engine& e, Progress& progress, std::function<void()> keep, std::string today);

}  // namespace lk::practice
