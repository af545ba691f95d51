// The German order of names without Qt, for the Qt-free cores (the
// administration's table): Ä with A, Ö with O, Ü with U, ß as ss, letter
// case left aside; blanks, then punctuation, then digits, then letters, as
// the window part's collator (common/sortierung.h) orders such names. Texts
// are cp1252. No state, no failure modes.
#pragma once

#include <string>
#include <string_view>

namespace vk {

// A key whose byte order (std::string's <) is the German order of `text`;
// texts that differ only in letter case have the same key. Make one per
// text and sort by the keys.
std::string deutscherSchluessel(std::string_view text);

}  // namespace vk
