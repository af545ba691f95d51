// The main window of Vokarium (FormVokarium) and of vkPflege
// (FormvkPflege): one window over the record of its program (programmart.h)
// with the configuration location, the pool combo, the user list, the
// toolbar and the actions that end in the word list editor. Thin: the
// decisions without a window are in hauptkern.h, the pool files in
// common/poolfiles.h; messages go through common/meldung.h.
// Failures are reported by the procedures it calls; an action that fails
// leaves no pool lock behind (the editor releases the lock of a list it
// showed).
// Other programs: the pool server answers the trigger of the list actions;
// vkHelfer starts Vokarium with "-p"/"-u" and is started by it with "-e".
#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

#include "main/editor/auftrag.h"
#include "main/programmart.h"

namespace vk {

// Process state of the main window module.
struct HauptfensterZustand {
  // Opens the editor modally over the window and returns when it closed.
  // The programs hand it to the editor library (EditorAnbinden); window
  // tests record the orders instead.
  std::function<void(QWidget*, const Listenauftrag&)> listeZeigen;
  std::string Thema;     // topic of the current user
  bool OptionA = false;  // "-A"
  bool OptionD = false;  // "-D": only stored
};
HauptfensterZustand& hauptfensterZustand();
void hauptfensterZustandZuruecksetzen();

class Hauptfenster : public QWidget {
  Q_OBJECT
 public:
  explicit Hauptfenster(const Programmart& art, QWidget* parent = nullptr);

  // Loading up to the command line; the unattended start follows as soon
  // as the event loop runs (it may open the editor or close the window).
  // State: poolZustand() (reads and writes), hauptfensterZustand() (writes), DnsIni() (reads).
  void Laden();

  // The toolbar click of a key, inside the common frame (wait cursor,
  // toolbar and combo disabled, "Button" trace, the server request).
  // State: poolZustand() (reads).
  void KnopfKlicken(std::string_view schluessel);
  QAction* knopf(std::string_view schluessel) const;

  void Auswaehlen();  // cAuswaehlen
  // State: poolZustand() (writes).
  void PoolGeklickt();      // coPool click
  void BenutzerGeklickt();  // lbUser click

  const Programmart& art() const { return art_; }
  const std::string& LastDirectory() const { return lastDirectory_; }
  int symbolIndex() const { return symbolIndex_; }

  QLabel* lSpeicherort;
  QLineEdit* tSpeicherort;
  QPushButton* cAuswaehlen;
  QLabel* lPool;
  QComboBox* coPool;
  QLabel* lUser;
  QListWidget* lbUser;
  QListWidget* lbDebug;
  QToolBar* Toolbar1;
  QStatusBar* StatusBar1;
  QLabel* stbPool;

 protected:
  void closeEvent(QCloseEvent* e) override;
  // State: poolZustand() (reads and writes).
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  // State: poolZustand(), konfiguration() (reads), hauptfensterZustand() (writes).
  void AutomatikStarten();
  // State: konfiguration() (reads).
  void KonfigurationLaden();
  // State: poolZustand() (reads and writes).
  void PoolComboFuellen();
  // State: poolZustand() (reads).
  void BenutzerListeFuellen();
  // State: poolZustand(), hauptfensterZustand() (reads and writes).
  void AuswahlAktualisieren();
  // State: hauptfensterZustand() (reads).
  void KnoepfeFreigeben(bool benutzerGewaehlt);
  bool EintragLesen(std::string& benutzer, std::string& thema);

  // State: poolZustand(), hauptfensterZustand() (reads).
  void ListeOeffnen(const std::string& datei, bool gesamt, bool vollerPfad);
  void Aktion(std::string_view schluessel);
  // State: poolZustand() (reads).
  void Wortliste();
  // State: poolZustand() (writes), konfiguration() (reads).
  void OffeneWorteHolen();
  // State: poolZustand() (writes), konfiguration() (reads).
  void Gesamtwortliste();
  // State: poolZustand() (writes), konfiguration() (reads).
  void Teilwortliste();
  // State: poolZustand() (reads).
  void Abschluss();
  // State: hauptfensterZustand() (reads and writes), poolZustand(), Dragon() (writes),
  // konfiguration() (reads).
  void BenWoerter();
  // State: hauptfensterZustand() (reads).
  void Neubenutzer();
  // State: poolZustand() (writes).
  void Importieren();
  // State: poolZustand() (reads).
  void Verknuepfung(bool vokarium);
  // State: hauptfensterZustand(), Dragon() (reads).
  bool BenutzerPruefen(std::string& benutzer, std::string& thema, std::int32_t& option);
  // State: hauptfensterZustand() (reads), Dragon() (writes).
  void VokabularFixieren();
  // State: poolZustand() (reads).
  bool HelferStarten(const std::string& benutzer);

  const Programmart& art_;
  bool laden_ = false;
  bool fuellen_ = false;  // the lists are being filled: no click handlers
  bool eigeneWorte_ = false;
  bool wartung_ = false;
  int symbolIndex_ = 2;
  std::string lastDirectory_;
  std::string lastPool_;
  std::string lastUser_;
  std::string benutzerBefehlszeile_;  // the user of "-u"
  bool mitBenutzer_ = false;
};

}  // namespace vk
