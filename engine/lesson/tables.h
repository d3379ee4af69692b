#pragma once
// Working tables with fixed, inclusive index ranges. An index outside the
// range (or one that is not a number at all) is a run-time error delivered
// to the error routine, never a stray memory access.
#include <array>
#include <cmath>

#include "../present/errors.h"
#include "../present/numbers.h"

namespace lk {

template <typename T, int Lo, int Hi>
class Table {
public:
    static constexpr int first = Lo;
    static constexpr int last = Hi;

    T& operator[](double index) { return values_[slot(index)]; }
    const T& operator[](double index) const { return values_[slot(index)]; }

private:
    static size_t slot(double index) {
        int i = to_integer(static_cast<float>(index));
        if (i == kNoInteger || i < Lo || i > Hi) throw RuntimeError(kErrSubscript);
        return static_cast<size_t>(i - Lo);
    }
    std::array<T, Hi - Lo + 1> values_{};
};

}  // namespace lk
