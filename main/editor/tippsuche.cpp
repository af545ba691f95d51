// Type-ahead, Home and End of the word list (see tippsuche.h).
#include "main/editor/tippsuche.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

#include "common/qtext.h"
#include "main/editor/wortliste.h"
#include "main/editor/wortliste_modell.h"

namespace vk {

namespace {

class TippSuche : public QObject {
 public:
  TippSuche(QTableView& liste, WortlisteModell& modell)
      : QObject(&liste), liste_(liste), modell_(modell) {}

  bool eventFilter(QObject* objekt, QEvent* ereignis) override {
    if (objekt != &liste_ || ereignis->type() != QEvent::KeyPress || editorZustand().baut)
      return false;
    auto* taste = static_cast<QKeyEvent*>(ereignis);
    const Qt::KeyboardModifiers mods = taste->modifiers() & ~Qt::KeypadModifier;
    if ((taste->key() == Qt::Key_Home || taste->key() == Qt::Key_End) &&
        !(mods & Qt::ControlModifier)) {
      // To the first or last row, not across the columns of one row; with
      // Shift the rows from the current one on are selected.
      if (modell_.rowCount() == 0) return true;
      const int zeile = taste->key() == Qt::Key_Home ? 0 : modell_.rowCount() - 1;
      const QModelIndex ziel = modell_.index(zeile, 1);
      QItemSelectionModel& auswahl = *liste_.selectionModel();
      if (mods & Qt::ShiftModifier) {
        const QModelIndex von =
            liste_.currentIndex().isValid() ? liste_.currentIndex() : modell_.index(0, 1);
        auswahl.select(QItemSelection(von, ziel),
                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        auswahl.setCurrentIndex(ziel, QItemSelectionModel::NoUpdate);
      } else {
        springen(zeile);
      }
      liste_.scrollTo(ziel);
      return true;
    }
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = taste->text();
    if (text.isEmpty() || !text.at(0).isPrint()) return false;
    const bool weiter = !getippt_.isEmpty() && seit_.isValid() &&
                        seit_.elapsed() < QApplication::keyboardInputInterval();
    // A blank starts nothing: alone it is the view's key for the check box.
    if (text == QStringLiteral(" ") && !weiter) return false;
    getippt_ = weiter ? getippt_ + text : text;
    seit_.start();
    const std::ptrdiff_t zeile =
        WortlisteModell::zeileMitAnfang(editorZustand().zeilen, cp1252(getippt_));
    if (zeile >= 0) springen(static_cast<int>(zeile), QAbstractItemView::PositionAtCenter);
    return true;
  }

 private:
  // The row becomes the current and only selected one, in view (a word
  // typed for: in the middle, with the words that follow it).
  void springen(int zeile, QAbstractItemView::ScrollHint wie = QAbstractItemView::EnsureVisible) {
    const QModelIndex ziel = modell_.index(zeile, 1);
    liste_.selectionModel()->setCurrentIndex(
        ziel, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    liste_.scrollTo(ziel, wie);
  }

  QTableView& liste_;
  WortlisteModell& modell_;
  QString getippt_;
  QElapsedTimer seit_;
};

}  // namespace

void TippSucheEinrichten(QTableView& liste, WortlisteModell& modell) {
  liste.installEventFilter(new TippSuche(liste, modell));
}

}  // namespace vk
