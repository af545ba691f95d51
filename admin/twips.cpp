// Twips <-> pixels by the logical DPI of the widget's screen.
// No failure modes; a widget without a screen uses the primary screen's DPI.
#include "admin/twips.h"

#include <QWidget>
#include <cmath>

namespace admin {

int twipsZuPixelX(const QWidget* w, double twips) {
  return static_cast<int>(std::lround(twips * w->logicalDpiX() / 1440.0));
}

int twipsZuPixelY(const QWidget* w, double twips) {
  return static_cast<int>(std::lround(twips * w->logicalDpiY() / 1440.0));
}

double pixelZuTwipsX(const QWidget* w, int pixel) {
  return pixel * 1440.0 / w->logicalDpiX();
}

double pixelZuTwipsY(const QWidget* w, int pixel) {
  return pixel * 1440.0 / w->logicalDpiY();
}

}  // namespace admin
