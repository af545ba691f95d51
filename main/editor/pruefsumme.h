// A 64-bit hash (FNV-1a) of file content, to tell whether the start of a
// file is still what the editor read. No state, no failure modes.
#pragma once

#include <cstdint>
#include <string_view>

namespace vk {

inline std::uint64_t Pruefsumme(std::string_view daten) {
  std::uint64_t h = 0xCBF29CE484222325ULL;
  for (const char c : daten) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001B3ULL;
  }
  return h;
}

}  // namespace vk
