// Window measures stored in the registry are twips (1440 per inch); the
// screen works in pixels. This is the one place that converts: 1 pixel =
// 1440 / logical DPI twips (15 at 96 DPI). No failure modes.
#pragma once

class QWidget;

namespace admin {

// Twips across (x) or down (y) on the screen of `w`, as pixels.
int twipsZuPixelX(const QWidget* w, double twips);
int twipsZuPixelY(const QWidget* w, double twips);

// Pixels across or down as twips.
double pixelZuTwipsX(const QWidget* w, int pixel);
double pixelZuTwipsY(const QWidget* w, int pixel);

}  // namespace admin
