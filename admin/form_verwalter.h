// The window of vkVerwalter: the Speicherort with `cAuswaehlen`, the pool
// choice `coPool`, the toolbar `Toolbar1` ("Dragon", "Zuordnen",
// "Entfernen", "Uebernehmen") and the four-column list `Liste`. Thin: every
// action calls a procedure of admin/verwaltung.h and shows the rows anew.
// Messages go through the common message module; those that arise while the
// rows change are held back and shown once the rows are on screen again and
// the rows they name are marked. Window sizes are kept in the registry in
// twips. Escape or the close box with assignments not yet saved ask first.
// Other programs: the pool server reads the user list after the "ADMIN"
// trigger this window writes when the list was saved.
#pragma once

#include <QAbstractTableModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QTreeView>
#include <QWidget>
#include <functional>
#include <vector>

namespace admin {

// The rows of the administration as a table for the list view.
class ZeilenModell : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // State: verwaltung() (reads).
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  // State: verwaltung() (reads).
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // Runs `op`, which may change, add, remove or reorder rows, and shows
  // the rows anew.
  void aendern(const std::function<void()>& op);
};

class FormVerwalter : public QWidget {
  Q_OBJECT
 public:
  // State: verwaltung() (reads and writes), DnsIni() (reads).
  explicit FormVerwalter(QWidget* parent = nullptr);
  // State: verwaltung() (writes).
  ~FormVerwalter() override;

  // Toolbar actions and the keys of the list; public so that tests drive
  // the window the way the user does.
  // State: verwaltung() (reads).
  void DragonSuchen();
  void Zuordnen();
  void Entfernen();
  // Saves; on success the window closes.
  // State: konfiguration() (writes).
  bool ZuordnungenUebernehmen();
  // State: verwaltung() (reads).
  void Auswaehlen();
  // True while rows were found, assigned or removed since the list was read
  // or saved.
  bool ungespeichert() const { return ungespeichert_; }

  // Controls, named as in the window's design.
  QLabel* lSpeicherort;
  // What to do first while no Speicherort is known.
  QLabel* lHinweis;
  QLineEdit* tSpeicherort;
  QPushButton* cAuswaehlen;
  QLabel* lPool;
  QComboBox* coPool;
  QToolBar* Toolbar1;
  QTreeView* Liste;

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  // State: verwaltung() (reads).
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void texteSetzen();
  // State: verwaltung() (reads).
  void speicherortAnzeigen();
  // State: verwaltung() (reads).
  void poolListeAnzeigen();
  bool poolUebernehmen();
  // State: verwaltung() (reads).
  bool poolAktuell();
  void zuweisen(const std::vector<std::size_t>& zeilen);
  std::vector<std::size_t> ausgewaehlt() const;
  void markieren(const std::vector<std::size_t>& zeilen);
  // Home and End: the first or last row becomes the current and only
  // selected one (with Shift: the rows from the current one on).
  void zeileAnsteuern(bool ende, bool erweitern);
  // State: verwaltung() (reads).
  void aendern(const std::function<void()>& op);
  void spaltenBreiten();
  void fokusGewechselt(QWidget* alt, QWidget* neu);
  // Runs `anzeigen` now, or after the change of the rows under way.
  void melden(std::function<void()> anzeigen);
  void zurueckgehalteneZeigen();

  ZeilenModell* modell_;
  bool laedt_ = true;
  bool gezeigt_ = false;
  bool uebernimmt_ = false;
  double hoeheTwips_ = 0;  // the size saved at closing
  double breiteTwips_ = 0;
  int fontGroesse_ = 10;
  bool ungespeichert_ = false;
  int zurueckhalten_ = 0;  // > 0 while the rows change
  std::vector<std::function<void()>> zurueckgehalten_;
};

}  // namespace admin
