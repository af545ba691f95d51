// German sort keys of cp1252 texts (see deutsche_ordnung.h).
#include "common/deutsche_ordnung.h"

#include <array>

namespace vk {

namespace {

// Punctuation in the order a German collator gives it.
constexpr std::string_view kSatzzeichen = "_-,;:!?.'\"()[]{}@*/\\&#%`^+<=>|~$";

// The base letters of a cp1252 letter from 0xC0 on ("" for none), lower case.
constexpr std::array<const char*, 64> kLatein = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};

// Base letters of the cp1252 letters below 0xC0 outside ASCII.
const char* basisUnterC0(unsigned char b) {
  switch (b) {
    case 0x8A:
    case 0x9A:
      return "s";
    case 0x8C:
    case 0x9C:
      return "oe";
    case 0x8E:
    case 0x9E:
      return "z";
    case 0x9F:
      return "y";
    default:
      return "";
  }
}

unsigned char klein(unsigned char b) {
  if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 32);
  if (b == 0x8A || b == 0x8C || b == 0x8E) return static_cast<unsigned char>(b + 16);
  if (b == 0x9F) return 0xFF;
  return b;
}

}  // namespace

std::string deutscherSchluessel(std::string_view text) {
  // Primary weights first (what decides), then after a 0 byte the letters
  // themselves in lower case, so a plain letter comes before its umlaut and
  // "ss" before "ß" when nothing else differs.
  std::string erst;
  std::string dann;
  for (const char c : text) {
    const unsigned char b = klein(static_cast<unsigned char>(c));
    const char* basis = b >= 0xC0 ? kLatein[b - 0xC0] : basisUnterC0(b);
    if (b >= 'a' && b <= 'z') {
      erst += static_cast<char>(0x60 + (b - 'a'));
    } else if (basis[0] != '\0') {
      for (const char* p = basis; *p != '\0'; ++p)
        erst += static_cast<char>(0x60 + (*p - 'a'));
    } else if (b >= '0' && b <= '9') {
      erst += static_cast<char>(0x40 + (b - '0'));
    } else if (b <= ' ' || b == 0x7F || b == 0xA0) {
      erst += static_cast<char>(0x01);
    } else if (const std::size_t i = kSatzzeichen.find(static_cast<char>(b));
               i != std::string_view::npos) {
      erst += static_cast<char>(0x02 + i);
    } else {
      erst += static_cast<char>(0x30);
    }
    dann += static_cast<char>(b);
    if (b == 0xDF) dann += static_cast<char>(b);
  }
  return erst + '\0' + dann;
}

}  // namespace vk
