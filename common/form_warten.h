// The wait form: a small window with text 114 shown over a busy window,
// with an animated wait cursor drawn by the program itself. Thin: shown
// and removed by WartenBitte (utilities.h).
#pragma once

#include <QCursor>
#include <QLabel>
#include <QTimer>
#include <QVector>
#include <QWidget>

namespace vk {

class FormWarten : public QWidget {
  Q_OBJECT
 public:
  explicit FormWarten(QWidget* ueber);

  // The cursor currently shown by the animation.
  const QCursor& aktuellerCursor() const { return bilder_[bild_]; }

 private:
  void weiter();

  QLabel* lWarten_;
  QTimer timer_;
  QVector<QCursor> bilder_;
  int bild_ = 0;
};

}  // namespace vk
