#pragma once
// The trace player: every operation as one JSON object per line, in call
// order. Tests outside the code base read this format, so it stays exactly
// as it is.
#include <ostream>
#include <string>

#include "presenter.h"

namespace lk {

std::string json_string(const std::string& s);
std::string json_number(float f);
std::string trace_line(const DrawOp& op);
std::string trace_line(const Event& e);

class TraceWriter : public OpSink {
public:
    explicit TraceWriter(std::ostream& out) : out_(out) {}
    void on_draw(const DrawOp& op) override { out_ << trace_line(op) << '\n'; }
    void on_event(const Event& e) override { out_ << trace_line(e) << '\n'; }

private:
    std::ostream& out_;
};

}  // namespace lk
