#pragma once

#include <cstddef>
#include <iterator>

namespace qbv {

// A table looked up by the value of an enum holds one row for each value, in the enum's order, and each
// row names the value it stands for. Asserted at compile time, rowsInEnumOrder makes a row left out, put
// in another's place or beyond the enum's count fail to build, where a look-up would find the wrong row,
// or one left zero:
//   static_assert(rowsInEnumOrder(kRows, &Row::state, kStateCount));
template <typename Rows, typename Row, typename Enum>
constexpr bool rowsInEnumOrder(const Rows& rows, Enum Row::*value, int count) {
    if (std::size(rows) != static_cast<size_t>(count))
        return false;
    size_t index = 0;
    for (const Row& row : rows)
        if (static_cast<size_t>(row.*value) != index++)
            return false;
    return true;
}

// The commonest such table: each value's name.
template <typename Enum> struct EnumName {
    Enum value;
    const char* name;
};
template <typename Enum, size_t N>
constexpr bool namesInEnumOrder(const EnumName<Enum> (&rows)[N], int count) {
    return rowsInEnumOrder(rows, &EnumName<Enum>::value, count);
}

// The row of a value, in a table whose rows are in the enum's order.
template <typename Rows, typename Enum> constexpr const auto& rowOf(const Rows& rows, Enum value) {
    return rows[static_cast<size_t>(value)];
}

} // namespace qbv
