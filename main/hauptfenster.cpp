// The main window of Vokarium and vkPflege (see hauptfenster.h).
#include "main/hauptfenster.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include "common/dns_ini.h"
#include "common/dragon.h"
#include "common/dragon_voctools.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/qtext.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "common/wortpruefung.h"
#include "main/hauptkern.h"
#include "platform/paths.h"
#include "platform/text_lines.h"

namespace vk {

namespace {

HauptfensterZustand gZustand;

QString q(std::string_view s) {
  return qtext(s);
}

// The revision snapshot of vkPflege in the pool folder.
std::string BearbeitetPfad() {
  return PoolVerzeichnis() + "\\Bearbeitet.dat";
}

}  // namespace

HauptfensterZustand& hauptfensterZustand() {
  return gZustand;
}

void hauptfensterZustandZuruecksetzen() {
  auto zeigen = std::move(gZustand.listeZeigen);
  gZustand = HauptfensterZustand{};
  gZustand.listeZeigen = std::move(zeigen);
}

Hauptfenster::Hauptfenster(const Programmart& art, QWidget* parent)
    : QWidget(parent),
      lSpeicherort(new QLabel(this)),
      tSpeicherort(new QLineEdit(this)),
      cAuswaehlen(new QPushButton(this)),
      lPool(new QLabel(this)),
      coPool(new QComboBox(this)),
      lUser(new QLabel(this)),
      lbUser(new QListWidget(this)),
      lbDebug(new QListWidget(this)),
      Toolbar1(new QToolBar(this)),
      StatusBar1(new QStatusBar(this)),
      stbPool(new QLabel(this)),
      art_(art) {
  setObjectName(q(art.formName));
  setWindowTitle(QStringLiteral("Vokarium"));
  lSpeicherort->setObjectName("lSpeicherort");
  tSpeicherort->setObjectName("tSpeicherort");
  tSpeicherort->setReadOnly(true);
  cAuswaehlen->setObjectName("cAuswaehlen");
  lPool->setObjectName("lPool");
  coPool->setObjectName("coPool");
  lUser->setObjectName("lUser");
  lbUser->setObjectName("lbUser");
  lbDebug->setObjectName("lbDebug");
  lbDebug->setEnabled(art.konfigImmerListen);
  Toolbar1->setObjectName("Toolbar1");
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  StatusBar1->setObjectName("StatusBar1");
  stbPool->setObjectName("stbPool");
  StatusBar1->addWidget(stbPool, 1);
  StatusBar1->setSizeGripEnabled(false);

  for (const Knopf& k : art.knoepfe) {
    QAction* a = Toolbar1->addAction(q(k.designText));
    a->setObjectName(q(k.schluessel));
    a->setToolTip(q(k.designHinweis));
    a->setEnabled(k.freigabe == Freigabe::immer);
    const std::string schluessel(k.schluessel);
    connect(a, &QAction::triggered, this, [this, schluessel] { KnopfKlicken(schluessel); });
  }

  auto* zeileOrt = new QHBoxLayout;
  zeileOrt->addWidget(lSpeicherort);
  zeileOrt->addWidget(tSpeicherort, 1);
  zeileOrt->addWidget(cAuswaehlen);
  auto* zeilePool = new QHBoxLayout;
  zeilePool->addWidget(lPool);
  zeilePool->addWidget(coPool, 1);
  auto* spalteUser = new QVBoxLayout;
  spalteUser->addWidget(lUser);
  spalteUser->addWidget(lbUser, 1);
  auto* mitte = new QHBoxLayout;
  mitte->addLayout(spalteUser, 2);
  mitte->addWidget(lbDebug, 1);
  auto* alles = new QVBoxLayout(this);
  alles->addWidget(Toolbar1);
  alles->addLayout(zeileOrt);
  alles->addLayout(zeilePool);
  alles->addLayout(mitte, 1);
  alles->addWidget(StatusBar1);
  resize(1060, 460);

  connect(cAuswaehlen, &QPushButton::clicked, this, &Hauptfenster::Auswaehlen);
  connect(coPool, &QComboBox::activated, this, [this] { PoolGeklickt(); });
  connect(lbUser, &QListWidget::currentRowChanged, this, [this] { BenutzerGeklickt(); });
  coPool->installEventFilter(this);
  // Escape closes the window whichever of its controls has the focus.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void Hauptfenster::Laden() {
  auto& p = poolZustand();
  laden_ = true;
  TraceInit();
  TraceStart();
  TextLaden("");
  TextBasis(4000);
  for (const Knopf& k : art_.knoepfe) {
    QAction* a = knopf(k.schluessel);
    if (k.beschriftung != 0) a->setText(q(Text(k.beschriftung)));
    if (k.hinweis != 0) a->setToolTip(q(Text(k.hinweis)));
  }
  lSpeicherort->setText(q(TextRelativ(11)));
  lPool->setText(q(TextRelativ(12)));
  cAuswaehlen->setText(q(TextRelativ(13)));
  cAuswaehlen->setToolTip(q(TextRelativ(13)));
  lUser->setText(q(TextRelativ(14)));

  StartWerteLesen();
  DnsIniLesen(false);
  LetzteAuswahlLesen(lastPool_, lastUser_);
  lastDirectory_ = LastDirectoryFinden(art_.kurzeVerzeichnisSuche,
                                       [] { return DnsIni().roamingUserMasterDirectory; });
  KonfigurationLaden();
  setWindowTitle(q(Titel(art_.programm, "")));
  DragonProgrammVerzeichnis();

  const Befehlszeile b = BefehlszeileAuswerten(Kommandozeile());
  if (b.mitPool) {
    p.Pool = b.pool;
    p.Automatikbetrieb = true;
  }
  if (b.mitBenutzer) {
    p.Benutzer = b.benutzer;
    benutzerBefehlszeile_ = b.benutzer;
    mitBenutzer_ = true;
    p.Automatikbetrieb = true;
  }
  gZustand.OptionD = b.optionD;
  gZustand.OptionA = art_.optionA && b.optionA;
  laden_ = false;

  if (p.Automatikbetrieb) {
    QTimer::singleShot(0, this, &Hauptfenster::AutomatikStarten);
    return;
  }
  // The pool the combo shows: the last one when the list still has it.
  if (coPool->count() > 0) p.Pool = cp1252(coPool->currentText());
  p.Benutzer = lastUser_;
  BenutzerListeFuellen();
}

void Hauptfenster::AutomatikStarten() {
  auto& p = poolZustand();
  lastUser_ = p.Benutzer;
  lastPool_ = p.Pool;
  BenutzerListeFuellen();
  if (mitBenutzer_ && art_.automatikPruefen) {
    // The user the window holds is the one its list found for the name.
    std::string fensterBenutzer;
    std::string thema;
    if (lbUser->currentItem() != nullptr && lbUser->currentItem()->isSelected()) {
      EintragTeilen(cp1252(lbUser->currentItem()->text()), fensterBenutzer, thema);
      gZustand.Thema = thema;
    }
    if (fensterBenutzer != benutzerBefehlszeile_)
      Meldung("falsche User-Identifikation : " + benutzerBefehlszeile_ + " statt " +
              fensterBenutzer);
  }
  switch (AutomatikEntscheiden(mitBenutzer_, benutzerBefehlszeile_, art_.automatikPruefen)) {
    case AutoStart::nichts:
      return;
    case AutoStart::beenden:
      close();
      return;
    case AutoStart::offeneWorte:
      OffeneWorteHolen();
      return;
    case AutoStart::wortliste:
      if (art_.automatikPruefen) {
        LetzteAuswahlSchreiben(p.Pool, benutzerBefehlszeile_);
      } else if (!SperreSetzen()) {
        return;
      }
      eigeneWorte_ = false;
      ListeOeffnen(konfiguration().WortlistenDatei, false, false);
      return;
  }
}

void Hauptfenster::KonfigurationLaden() {
  tSpeicherort->setText(q(lastDirectory_));
  lbDebug->clear();
  bool gueltig = false;
  if (!lastDirectory_.empty()) {
    gueltig = KonfigurationUndBenutzerLesen(lastDirectory_);
    const bool listen = art_.konfigImmerListen || konfiguration().ZusatzInfo;
    if (listen) lbDebug->setEnabled(true);
    for (const auto& [schluessel, wert] : KonfigWerte(konfiguration())) {
      if (art_.konfigImmerListen) {
        lbDebug->addItem(q(schluessel + "=" + wert));
        Trace(schluessel + "=" + wert);
      } else if (listen) {
        Trace("Konf", schluessel, wert);
      }
    }
  }
  if (!gueltig) {
    KonfigVerzeichnisVergessen(lastDirectory_);
    lastDirectory_.clear();
    tSpeicherort->clear();
    fuellen_ = true;
    coPool->clear();
    lbUser->clear();
    fuellen_ = false;
    KnoepfeFreigeben(false);
    return;
  }
  BenutzerLesen();
  PoolComboFuellen();
  BenutzerListeFuellen();
}

void Hauptfenster::PoolComboFuellen() {
  auto& p = poolZustand();
  fuellen_ = true;
  coPool->clear();
  const int index = PoolIndex(p.Pools, lastPool_);
  if (index >= 0) {
    for (const std::string& pool : p.Pools)
      coPool->addItem(q(pool));
    coPool->setCurrentIndex(index);
    p.Pool = cp1252(coPool->currentText());
    stbPool->setText(q(p.Pool));
  }
  coPool->setEnabled(p.Pools.size() >= 2);
  fuellen_ = false;
}

void Hauptfenster::BenutzerListeFuellen() {
  fuellen_ = true;
  lbUser->clear();
  stbPool->setText(q(poolZustand().Pool));
  if (laden_) {
    fuellen_ = false;
    return;
  }
  const std::vector<std::string> eintraege =
      BenutzerEintraege(poolZustand().Benutzerliste, poolZustand().Pool);
  for (const std::string& e : eintraege)
    lbUser->addItem(q(e));
  const int index = BenutzerIndex(eintraege, lastUser_);
  if (index >= 0) lbUser->setCurrentRow(index);
  fuellen_ = false;
  AuswahlAktualisieren();
}

bool Hauptfenster::EintragLesen(std::string& benutzer, std::string& thema) {
  const QListWidgetItem* item = lbUser->currentItem();
  if (item == nullptr || !item->isSelected()) return false;
  EintragTeilen(cp1252(item->text()), benutzer, thema);
  return true;
}

void Hauptfenster::AuswahlAktualisieren() {
  auto& p = poolZustand();
  std::string benutzer;
  std::string thema = gZustand.Thema;
  const bool gewaehlt = EintragLesen(benutzer, thema);
  if (!art_.auswahlMerken) {
    KnoepfeFreigeben(gewaehlt);
    return;
  }
  if (QAction* fix = knopf("VokabularFixieren")) fix->setEnabled(false);
  if (p.Automatikbetrieb) {
    LetzteAuswahlSchreiben(p.Pool, p.Benutzer);
    return;
  }
  if (gewaehlt) {
    p.Benutzer = benutzer;
    gZustand.Thema = thema;
    lastPool_ = p.Pool;
    lastUser_ = benutzer;
    LetzteAuswahlSchreiben(p.Pool, benutzer);
  }
  KnoepfeFreigeben(gewaehlt);
}

void Hauptfenster::KnoepfeFreigeben(bool benutzerGewaehlt) {
  for (const Knopf& k : art_.knoepfe) {
    if (k.freigabe == Freigabe::mitBenutzer) knopf(k.schluessel)->setEnabled(benutzerGewaehlt);
    if (k.freigabe == Freigabe::ohneFixDatei)
      knopf(k.schluessel)->setEnabled(benutzerGewaehlt && !VokFixDateiVorhanden(gZustand.Thema));
  }
}

QAction* Hauptfenster::knopf(std::string_view schluessel) const {
  for (QAction* a : Toolbar1->actions())
    if (a->objectName() == q(schluessel)) return a;
  return nullptr;
}

void Hauptfenster::PoolGeklickt() {
  if (fuellen_ || (laden_ && !art_.poolImmer)) return;
  poolZustand().Pool = cp1252(coPool->currentText());
  BenutzerListeFuellen();
}

void Hauptfenster::BenutzerGeklickt() {
  if (fuellen_ || laden_) return;
  AuswahlAktualisieren();
}

bool Hauptfenster::eventFilter(QObject* o, QEvent* e) {
  if (o == coPool && e->type() == QEvent::FocusOut &&
      (art_.poolImmer || !poolZustand().Automatikbetrieb) && coPool->count() > 0)
    poolZustand().Pool = cp1252(coPool->currentText());
  return QWidget::eventFilter(o, e);
}

void Hauptfenster::Auswaehlen() {
  const std::string datei = DateiOeffnen(this, Text(txt::kDateiAuswaehlen), lastDirectory_,
                                         Text(txt::kFilterKonfiguration));
  if (datei.empty()) return;
  std::string name = datei;
  std::string ordner;
  PfadTeilen(name, ordner);
  lastDirectory_ = ordner;
  RegSchreiben("LastDirectory", lastDirectory_);
  KonfigurationLaden();
}

void Hauptfenster::KnopfKlicken(std::string_view schluessel) {
  const Knopf* k = nullptr;
  for (const Knopf& kandidat : art_.knoepfe)
    if (kandidat.schluessel == schluessel) k = &kandidat;
  if (k == nullptr) return;
  WartenBitte(this, true);
  Toolbar1->setEnabled(false);
  coPool->setEnabled(false);
  Trace("Button", std::string(schluessel));
  if (k->serverAnfrage) {
    TriggerSetzen(TriggerArt::nummer);
    TriggerAbwarten();
  }
  Aktion(schluessel);
  // An action may have cleared the current user (the pool's lists are no
  // member's): the member still selected is the current user again.
  if (!poolZustand().Automatikbetrieb) AuswahlAktualisieren();
  coPool->setEnabled(poolZustand().Pools.size() >= 2);
  Toolbar1->setEnabled(true);
  WartenBitte(this, false);
}

void Hauptfenster::Aktion(std::string_view s) {
  if (s == "Wortliste") {
    if (art_.wortlisteDesPools) {
      OffeneWorteHolen();
    } else {
      Wortliste();
    }
  } else if (s == "Gesamtwortliste") {
    Gesamtwortliste();
  } else if (s == "Teilwortliste") {
    Teilwortliste();
  } else if (s == "Abschluss") {
    Abschluss();
  } else if (s == "BenWoerter") {
    BenWoerter();
  } else if (s == "Neubenutzer") {
    Neubenutzer();
  } else if (s == "Importieren") {
    Importieren();
  } else if (s == "DragonLink" || s == "VokariumLink") {
    Verknuepfung(s == "VokariumLink");
  } else if (s == "VokabularFixieren") {
    VokabularFixieren();
  }
}

void Hauptfenster::ListeOeffnen(const std::string& datei, bool gesamt, bool vollerPfad) {
  const std::string pfad = vollerPfad ? datei : PoolVerzeichnis() + "\\" + datei;
  if (!plat::fileExists(pfad)) {
    if (poolZustand().Automatikbetrieb) {
      close();
      return;
    }
    if (!eigeneWorte_) {
      SperreLoesen();
      return;
    }
  }
  Listenauftrag auftrag;
  auftrag.dateiname = datei;
  auftrag.Gesamt = gesamt;
  auftrag.vollerPfad = vollerPfad;
  auftrag.eigeneWorte = eigeneWorte_;
  auftrag.wartung = wartung_;
  auftrag.Thema = gZustand.Thema;
  auftrag.OptionA = gZustand.OptionA;
  setCursor(Qt::WaitCursor);
  if (gZustand.listeZeigen) gZustand.listeZeigen(this, auftrag);
  // The editor has closed: it cleared the maintenance flag and released
  // the lock.
  wartung_ = false;
  unsetCursor();
}

void Hauptfenster::Wortliste() {
  eigeneWorte_ = false;
  ListeOeffnen("_" + poolZustand().Benutzer + ".ben", false, false);
}

void Hauptfenster::OffeneWorteHolen() {
  if (!SperreSetzen()) return;
  poolZustand().Benutzer.clear();
  if (!BenDateienSammeln(art_.wortlisteDesPools)) {
    SperreLoesen();
    return;
  }
  eigeneWorte_ = false;
  ListeOeffnen(konfiguration().WortlistenDatei, false, false);
}

void Hauptfenster::Gesamtwortliste() {
  if (!SperreSetzen()) return;
  poolZustand().Benutzer.clear();
  eigeneWorte_ = false;
  ListeOeffnen(konfiguration().GesamtWortlistenDatei, true, false);
}

void Hauptfenster::Teilwortliste() {
  auto& p = poolZustand();
  if (!SperreSetzen()) return;
  p.Benutzer.clear();
  p.Vergleichsworte.leeren();
  std::vector<std::string> zeilen;
  const std::string pfad = BearbeitetPfad();
  if (!plat::fileExists(pfad)) {
    // Says which button starts the revision cycle.
    Meldung(TextMitWert(txt::kNieUeberarbeitet, Text(txt::kKnopfUeberarbeitet)));
    SperreLoesen();
    return;
  }
  if (const plat::Err e = plat::readLines(pfad, zeilen); e != plat::Err::ok) {
    WortdateiFehlerMelden(e, pfad);
    SperreLoesen();
    return;
  }
  p.Vergleichsworte.reservieren(zeilen.size());
  for (const std::string& zeile : zeilen)
    p.Vergleichsworte.hinzufuegen(zeile);
  wartung_ = true;
  eigeneWorte_ = false;
  ListeOeffnen(konfiguration().GesamtWortlistenDatei, false, false);
}

void Hauptfenster::Abschluss() {
  if (CopyPool(BearbeitetPfad()))
    Meldung(TextMitWerten(txt::kAlsUeberarbeitetMarkiert, poolZustand().Pool,
                          Text(txt::kKnopfTeilwortliste)));
}

bool Hauptfenster::HelferStarten(const std::string& benutzer) {
  return StartenUndWarten(Programmverzeichnis() + "vkHelfer.exe",
                          HelferArgumente(poolZustand().Pool, benutzer));
}

void Hauptfenster::BenWoerter() {
  std::string benutzer;
  std::string thema = gZustand.Thema;
  const bool gewaehlt = EintragLesen(benutzer, thema);
  if (!SperreSetzen()) return;
  setCursor(Qt::WaitCursor);
  if (!gewaehlt) {
    unsetCursor();
    Meldung(Text(txt::kErstAnwenderWaehlen));
    SperreLoesen();
    return;
  }
  poolZustand().Benutzer = benutzer;
  gZustand.Thema = thema;
  Dragon().speaker = benutzer;
  Dragon().topic = thema;
  if (art_.helferStarten && !DragonLaeuft()) HelferStarten(benutzer);
  if (SetDragonUser()) {
    eigeneWorte_ = true;
    ListeOeffnen(konfiguration().GesamtWortlistenDatei, false, false);
  } else {
    SperreLoesen();
  }
  unsetCursor();
}

void Hauptfenster::Neubenutzer() {
  std::string benutzer;
  std::string thema = gZustand.Thema;
  const bool gewaehlt = EintragLesen(benutzer, thema);
  if (!SperreSetzen()) return;
  setCursor(Qt::WaitCursor);
  if (!gewaehlt) {
    Meldung(Text(txt::kErstAnwenderWaehlen));
  } else {
    NeubenutzerKopie(benutzer);
  }
  SperreLoesen();
  unsetCursor();
}

void Hauptfenster::Importieren() {
  if (!SperreSetzen()) return;
  poolZustand().Benutzer.clear();
  setCursor(Qt::WaitCursor);
  WartenBitte(this, false);
  const std::string datei =
      DateiOeffnen(this, Text(txt::kDateiAuswaehlen), "", Text(txt::kFilterText));
  if (datei.empty()) {
    SperreLoesen();
    unsetCursor();
    return;
  }
  if (!plat::fileExists(datei)) {
    Meldung(TextMitWert(txt::kDateiNichtLesbar, datei));
    SperreLoesen();
    unsetCursor();
    return;
  }
  WartenBitte(this, true);
  eigeneWorte_ = false;
  ListeOeffnen(datei, false, true);
  unsetCursor();
}

bool Hauptfenster::BenutzerPruefen(std::string& benutzer, std::string& thema,
                                   std::int32_t& option) {
  thema = gZustand.Thema;
  const bool gewaehlt = EintragLesen(benutzer, thema);
  setCursor(Qt::WaitCursor);
  if (!gewaehlt) {
    Meldung(Text(txt::kErstAnwenderWaehlen));
    unsetCursor();
    return false;
  }
  option = -1;
  if (CheckDragonUser() && Dragon().speaker == benutzer && Dragon().topic == thema)
    option = Dragon().option;
  unsetCursor();
  return true;
}

void Hauptfenster::Verknuepfung(bool vokarium) {
  std::string benutzer;
  std::string thema;
  std::int32_t option = -1;
  if (!BenutzerPruefen(benutzer, thema, option)) return;
  if (!vokarium) {
    VerknuepfungAnlegen(benutzer, thema, "", 1, option);
    return;
  }
  VerknuepfungAnlegen(benutzer, "", poolZustand().Pool, symbolIndex_, option);
  if (art_.symbolWeiterzaehlen) symbolIndex_ = NaechsterSymbolIndex(symbolIndex_);
}

void Hauptfenster::VokabularFixieren() {
  std::string benutzer;
  std::string thema = gZustand.Thema;
  if (!EintragLesen(benutzer, thema)) return;
  Dragon().speaker = benutzer;
  Dragon().topic = thema;
  setCursor(Qt::WaitCursor);
  if (!DragonLaeuft()) HelferStarten(benutzer);
  if (SetDragonUser() && AusgabeAnlegen(true)) {
    if (VoctoolsStart()) {
      if (WorteHolen(!gZustand.OptionA)) VocWorteSchreiben();
      VoctoolsEnde();
    }
    AusgabeUmbenennen(VokFixDatei(thema));
    knopf("VokabularFixieren")->setEnabled(false);
  }
  unsetCursor();
}

void Hauptfenster::closeEvent(QCloseEvent* e) {
  if (art_.endeTrace) Trace("Ende", std::string(art_.programm));
  QWidget::closeEvent(e);
}

}  // namespace vk
