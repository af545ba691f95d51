// Small string helpers of the client library for cp1252 byte strings:
// trimming blanks, replacing, case folding. No state, no failure modes.
#pragma once

#include <string>
#include <string_view>

namespace vk {

// Without leading and trailing blanks (only " ", as the files are written).
std::string_view trimmen(std::string_view s);

// Every occurrence of `alt` replaced by `neu` (with case).
std::string ersetzen(std::string_view s, std::string_view alt, std::string_view neu);

// Lower-case copy (ASCII and the cp1252 letters).
std::string klein(std::string_view s);

// Numeric value of the leading number of `s` (blanks skipped, sign, digits,
// decimal point); 0 when there is none. `gefunden` tells whether digits
// were read.
double zahlwert(std::string_view s, bool* gefunden = nullptr);

}  // namespace vk
