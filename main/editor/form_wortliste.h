// The windows of the word list editor: FormWortliste (the list of one pool
// file with its toolbar and status bar) and FormWortBearbeiten (one word's
// written and spoken form, with the recognizer's word dialog). Thin: every
// decision lives in wortliste.h; these windows show the rows and call it.
//
// Driving them from a test (the names are the objectNames):
//   FormWortliste         the dialog; Toolbar1 the toolbar; Liste the table
//                         (check states: Qt::CheckStateRole on column 0);
//                         QActions "Bearbeiten", "Markieren", "Entmarkieren",
//                         "Entfernen", "Speichern", "Uebernehmen",
//                         "Fontgroesse" (menu "gross", "mittel", "klein");
//                         triggering "Uebernehmen" runs the whole take-over
//                         and closes the window; status panels stbPool,
//                         stbAnwender, stbArt, stbWorte, stbMarkiert.
//   FormWortBearbeiten    tSchreibform, tSprachform, cEigenschaften, cOK.
// Message boxes come through common/meldung.h (its responder in tests); the
// search prompt through FormWortliste::suchEingabe().
// Failures: a list file that cannot be read is reported and closes the
// window. Registry values "ListenHoehe", "ListenBreite", "ListenFontGroesse"
// are read at load and written at close (the last window closed wins); the
// buttons the user took off the toolbar are the value "Toolbar" of the key
// "Software\QMT\Vokarium\TbWortliste" (keys separated by ",").
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "main/editor/auftrag.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTableView;
class QToolBar;

namespace vk {

class WortlisteModell;

class FormWortliste : public QDialog {
  Q_OBJECT
 public:
  // Loads the window for `auftrag`; the list is built at the first showing.
  // State: poolZustand() (reads), editorZustand() (writes).
  FormWortliste(QWidget* aufrufer, const Listenauftrag& auftrag);
  // State: editorZustand() (writes).
  ~FormWortliste() override;

  // Builds the list anew; false when a build runs already or it failed.
  // State: poolZustand() (reads), editorZustand() (reads and writes).
  bool ListeNeuAufbauen();
  // State: editorZustand() (reads).
  void StatusAktualisieren();
  // Scrolls the first row whose written form starts with `anfang` into
  // view (not selected); true when one was found.
  bool suchen(const std::string& anfang);
  // The search as the user runs it (right click, context menu, Ctrl+F): asks
  // for the beginning and says when no word starts with it.
  // State: editorZustand(), suchEingabe() (reads).
  void sucheOeffnen();
  // F3: the next row with the same beginning, or the prompt when nothing
  // was searched yet.
  // State: editorZustand() (reads).
  void weitersuchen();
  // State: editorZustand() (reads).
  void ZeileBearbeiten();
  // Font size of the list in points.
  int fontGroesse() const { return fontGroesse_; }
  // Shows or hides a toolbar button for the user (the toolbar's context
  // menu lists the buttons the kind of list shows) and keeps the hidden
  // keys in the registry for every list that opens later.
  void knopfZeigen(const QString& schluessel, bool sichtbar);

  // The search prompt: fills the text and returns true, or false when
  // cancelled. Default: an input box. Tests replace it.
  static std::function<bool(std::string&)>& suchEingabe();
  // How the close in Automatikbetrieb ends the program. Default:
  // QCoreApplication::exit(0). Tests replace it.
  static std::function<void()>& programmBeenden();

  QToolBar* Toolbar1 = nullptr;
  QTableView* Liste = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* stbPool = nullptr;
  QLabel* stbAnwender = nullptr;
  QLabel* stbArt = nullptr;
  QLabel* stbWorte = nullptr;
  QLabel* stbMarkiert = nullptr;
  WortlisteModell* modell = nullptr;

  // State: poolZustand() (reads and writes), editorZustand() (writes), programmBeenden() (reads).
  void done(int ergebnis) override;

 protected:
  void showEvent(QShowEvent* ereignis) override;
  void resizeEvent(QResizeEvent* ereignis) override;
  // State: poolZustand(), editorZustand() (reads).
  bool eventFilter(QObject* objekt, QEvent* ereignis) override;

 private:
  QAction* knopf(const char* schluessel, int nummer);
  // Runs a toolbar operation with the toolbar disabled and the wait cursor.
  // State: editorZustand() (reads).
  void ausfuehren(const char* schluessel, const std::function<void()>& operation);
  // State: poolZustand(), editorZustand() (reads).
  void ersteAktivierung();
  void toolbarMenue(const QPoint& stelle);
  void markieren(bool an);
  void entfernen();
  void fontSetzen(int punkte);
  void spaltenBreiten();
  // State: editorZustand() (reads).
  void kopfGeklickt(int spalte);
  std::vector<std::size_t> selektierteZeilen() const;
  int twips(int pixel) const;
  int pixel(int twips) const;

  QWidget* aufrufer_;
  QMenu* fontMenue_ = nullptr;
  std::vector<QAction*> knoepfe_;
  std::vector<QString> artVerborgen_;  // keys the kind of list hides
  int fontGroesse_ = 10;
  int sortSpalte_ = 1;
  Qt::SortOrder sortOrdnung_ = Qt::AscendingOrder;
  bool ersteAktivierungErledigt_ = false;
  bool geladen_ = false;
  bool geschlossen_ = false;
  bool maus_ = false;
  bool beschaeftigt_ = false;         // a toolbar operation or a search runs
  QAction* aSuchen_ = nullptr;        // Ctrl+F
  QAction* aWeitersuchen_ = nullptr;  // F3
  std::string suchtext_;              // the beginning searched last
  std::ptrdiff_t fundstelle_ = -1;
};

class FormWortBearbeiten : public QDialog {
  Q_OBJECT
 public:
  // The edit buffer is changed only when the user confirms with cOK.
  FormWortBearbeiten(QWidget* eltern, std::string& geschrieben, std::string& gesprochen);

  QLineEdit* tSchreibform = nullptr;
  QLineEdit* tSprachform = nullptr;
  QLabel* lSchreibform = nullptr;
  QLabel* lSprachForm = nullptr;
  QPushButton* cEigenschaften = nullptr;
  QPushButton* cOK = nullptr;
  QPushButton* cAbbrechen = nullptr;

  void done(int ergebnis) override;

 private:
  std::string& geschrieben_;
  std::string& gesprochen_;
};

}  // namespace vk
