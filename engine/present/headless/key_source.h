#pragma once
// A source of keys for the headless back end when its script is used up:
// returns the next key, or "" to end the run.
#include <functional>
#include <string>

namespace lk {
using KeySource = std::function<std::string()>;
}
