// Windows-1252 ("ANSI") text, the encoding of every shared file, and its
// conversions. Inside the programs words, names and paths stay cp1252 bytes;
// these conversions are used only at the edges (screen, file system).
// The five bytes cp1252 leaves undefined (0x81 0x8D 0x8F 0x90 0x9D) map to
// the C1 controls U+0081.. so that every byte round-trips.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Unicode code point of one cp1252 byte.
char32_t cp1252ToUnicode(unsigned char b);

// cp1252 byte of a code point, or -1 when cp1252 has none.
int unicodeToCp1252(char32_t c);

std::string cp1252ToUtf8(std::string_view s);

// Invalid UTF-8 and characters without a cp1252 byte become "?".
std::string utf8ToCp1252(std::string_view s);

}  // namespace plat
