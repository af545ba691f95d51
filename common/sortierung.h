// The sort order of every list the user reads: German, as a German reader
// sorts (Ä with A, Ö with O, ß with ss, case only as a tie-breaker), not
// the order of the bytes. No state, no failure modes.
#pragma once

#include <QCollator>
#include <QString>

namespace vk {

// A collator for German; make one per sort, not one per comparison.
QCollator deutscherCollator();

// The German order of two texts: < 0, 0, > 0.
int deutschVergleichen(const QString& a, const QString& b);

}  // namespace vk
