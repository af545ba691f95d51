// The wait indication over a window and the event pump of long loops (see
// utilities.h, form_warten.h). Without a widget application both do
// nothing, so the file logic that calls them runs in tests and tools.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QVBoxLayout>

#include "common/form_warten.h"
#include "common/qtext.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"

namespace vk {

namespace {

struct WartenZustand {
  QPointer<QWidget> form;
  QPointer<FormWarten> fenster;
  bool cursorGesetzt = false;
};

WartenZustand& zustand() {
  static WartenZustand z;
  return z;
}

// Eight frames of a turning ring of dots.
QVector<QCursor> cursorBilder() {
  QVector<QCursor> bilder;
  constexpr int kBilder = 8;
  for (int b = 0; b < kBilder; ++b) {
    QPixmap bild(32, 32);
    bild.fill(Qt::transparent);
    QPainter maler(&bild);
    maler.setRenderHint(QPainter::Antialiasing);
    maler.translate(16, 16);
    for (int p = 0; p < kBilder; ++p) {
      const int hell = 40 + 215 * ((p + kBilder - b) % kBilder) / kBilder;
      maler.setBrush(QColor(0, 0, 0, hell));
      maler.setPen(Qt::NoPen);
      maler.drawEllipse(QPointF(10, 0), 3, 3);
      maler.rotate(360.0 / kBilder);
    }
    maler.end();
    bilder.push_back(QCursor(bild, 16, 16));
  }
  return bilder;
}

}  // namespace

FormWarten::FormWarten(QWidget* ueber)
    : QWidget(ueber, Qt::Tool | Qt::FramelessWindowHint), bilder_(cursorBilder()) {
  setObjectName(QStringLiteral("FormWarten"));
  lWarten_ = new QLabel(qtext(Text(txt::kBitteWarten)), this);
  lWarten_->setObjectName(QStringLiteral("lWarten"));
  lWarten_->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lWarten_);
  setAttribute(Qt::WA_ShowWithoutActivating);
  timer_.setInterval(100);
  connect(&timer_, &QTimer::timeout, this, &FormWarten::weiter);
  timer_.start();
  if (ueber != nullptr) {
    adjustSize();
    move(ueber->mapToGlobal(ueber->rect().center()) - rect().center());
  }
}

// Next frame; sets the cursor again when something replaced it.
void FormWarten::weiter() {
  bild_ = (bild_ + 1) % static_cast<int>(bilder_.size());
  QApplication::changeOverrideCursor(bilder_[bild_]);
}

void WartenBitte(QWidget* form, bool start) {
  auto& z = zustand();
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  if (start) {
    if (z.fenster.isNull()) {
      z.form = form;
      auto* fenster = new FormWarten(form);
      fenster->setAttribute(Qt::WA_DeleteOnClose);
      z.fenster = fenster;
      QApplication::setOverrideCursor(fenster->aktuellerCursor());
      z.cursorGesetzt = true;
      fenster->show();
    }
    if (form != nullptr) form->setCursor(Qt::WaitCursor);
    return;
  }
  if (!z.fenster.isNull()) z.fenster->close();
  if (z.cursorGesetzt) QApplication::restoreOverrideCursor();
  z.cursorGesetzt = false;
  if (!z.form.isNull()) z.form->unsetCursor();
  z = WartenZustand{};
}

}  // namespace vk
