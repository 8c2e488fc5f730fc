// The program keeps its state as decimal text in the windows' fields. These are the
// conversions the handlers use between that text and numbers; they raise the program's
// run-time errors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/runtime_error.h"

namespace brisel {

// Text to double; text that is not a decimal number raises "Type mismatch".
double Number(std::string_view text);

// A number as its shortest decimal text: 10, 2.25, -1.
std::string Text(double value);

// Rounding to a whole number, a half going to the even neighbour, checked against the
// target's range ("Overflow" outside it).
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);
inline std::int16_t ToInt16(std::string_view text) { return ToInt16(Number(text)); }
inline std::int32_t ToInt32(std::string_view text) { return ToInt32(Number(text)); }

// A 16-bit value as an unsigned byte: 0 to 255 unchanged, anything else "Overflow".
std::uint8_t ToByte(std::int16_t value);

}  // namespace brisel
