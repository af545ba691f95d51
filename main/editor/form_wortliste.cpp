// The windows of the word list editor (see form_wortliste.h).
#include "main/editor/form_wortliste.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "common/dragon.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/qtext.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"
#include "common/zeichenketten.h"
#include "main/editor/tippsuche.h"
#include "main/editor/wortliste.h"
#include "main/editor/wortliste_modell.h"

namespace vk {

namespace {

// Smallest window (twips) and the room the toolbar and status bar take.
constexpr int kMinHoehe = 2900;
constexpr int kMinBreite = 6600;
constexpr int kSpalte1 = 960;

QString text(int nummer) {
  return qtext(Text(nummer));
}

// Where the buttons the user took off the toolbar are kept.
constexpr std::string_view kToolbarSchluessel = "Software\\QMT\\Vokarium\\TbWortliste";

QStringList verborgeneKnoepfe() {
  return qtext(RegLesenSchluessel(kToolbarSchluessel, "Toolbar")).split(',', Qt::SkipEmptyParts);
}

// Wait cursor for the time of one operation.
class Sanduhr {
 public:
  Sanduhr() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~Sanduhr() { QApplication::restoreOverrideCursor(); }
  Sanduhr(const Sanduhr&) = delete;
  Sanduhr& operator=(const Sanduhr&) = delete;
};

}  // namespace

std::function<bool(std::string&)>& FormWortliste::suchEingabe() {
  static std::function<bool(std::string&)> eingabe = [](std::string& ergebnis) {
    QInputDialog frage(QApplication::activeWindow());
    frage.setWindowTitle(qtext("Vokarium : " + Text(txt::kWortSuchen)));
    frage.setLabelText(text(txt::kWortanfangEingeben));
    // Wide enough that its title is not cut beside the window buttons.
    frage.ensurePolished();
    const QFontMetrics masse(frage.font());
    frage.resize(std::max(frage.sizeHint().width(), masse.horizontalAdvance(frage.windowTitle()) +
                                                        masse.averageCharWidth() * 24),
                 frage.sizeHint().height());
    const bool ok = frage.exec() == QDialog::Accepted;
    ergebnis = cp1252(frage.textValue());
    return ok;
  };
  return eingabe;
}

std::function<void()>& FormWortliste::programmBeenden() {
  static std::function<void()> beenden = [] { QCoreApplication::exit(0); };
  return beenden;
}

FormWortliste::FormWortliste(QWidget* aufrufer, const Listenauftrag& auftrag)
    : QDialog(nullptr), aufrufer_(aufrufer) {
  setObjectName("FormWortliste");
  setWindowModality(Qt::ApplicationModal);
  auto& z = editorZustand();
  z.auftrag = auftrag;
  z.zeilen.clear();
  z.Markierzaehler = 0;
  z.baut = false;
  ListeVorbereiten();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Toolbar1 = new QToolBar(this);
  Toolbar1->setObjectName("Toolbar1");
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  layout->addWidget(Toolbar1);
  Liste = new QTableView(this);
  Liste->setObjectName("Liste");
  modell = new WortlisteModell(this);
  Liste->setModel(modell);
  Liste->setSelectionBehavior(QAbstractItemView::SelectRows);
  Liste->setSelectionMode(QAbstractItemView::ExtendedSelection);
  Liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Liste->verticalHeader()->hide();
  Liste->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  Liste->horizontalHeader()->setSectionsClickable(true);
  Liste->horizontalHeader()->setSortIndicatorShown(true);
  Liste->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
  Liste->setWordWrap(false);
  Liste->installEventFilter(this);
  Liste->viewport()->installEventFilter(this);
  TippSucheEinrichten(*Liste, *modell);
  layout->addWidget(Liste, 1);
  Liste->hide();  // shown once a build has filled it
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  layout->addWidget(StatusBar1);
  for (auto [feld, name] : {std::pair{&stbPool, "stbPool"},
                            {&stbAnwender, "stbAnwender"},
                            {&stbArt, "stbArt"},
                            {&stbWorte, "stbWorte"},
                            {&stbMarkiert, "stbMarkiert"}}) {
    *feld = new QLabel(this);
    (*feld)->setObjectName(name);
    StatusBar1->addWidget(*feld);
  }

  // Toolbar: captions 2601.., tool tips 2701.. in the order of the keys.
  QAction* bearbeiten = knopf("Bearbeiten", 1);
  QAction* markieren = knopf("Markieren", 2);
  QAction* entmarkieren = knopf("Entmarkieren", 3);
  QAction* entfernen = knopf("Entfernen", 4);
  QAction* speichern = knopf("Speichern", 5);
  QAction* uebernehmen = knopf("Uebernehmen", 6);
  QAction* font = knopf("Fontgroesse", 7);
  fontMenue_ = new QMenu(this);
  for (auto [name, nummer, punkte] :
       {std::tuple{"gross", 2611, 12}, {"mittel", 2612, 10}, {"klein", 2613, 8}}) {
    QAction* a = fontMenue_->addAction(text(nummer));
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, p = punkte] { fontSetzen(p); });
  }
  connect(fontMenue_, &QMenu::aboutToShow, this, [this] {
    for (QAction* a : fontMenue_->actions()) {
      const int p = a->objectName() == "gross" ? 12 : a->objectName() == "mittel" ? 10 : 8;
      a->setEnabled(p != fontGroesse_);
    }
  });
  font->setMenu(fontMenue_);
  if (auto* b = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(font)))
    b->setPopupMode(QToolButton::InstantPopup);

  connect(bearbeiten, &QAction::triggered, this,
          [this] { ausfuehren("Bearbeiten", [this] { ZeileBearbeiten(); }); });
  connect(markieren, &QAction::triggered, this,
          [this] { ausfuehren("Markieren", [this] { this->markieren(true); }); });
  connect(entmarkieren, &QAction::triggered, this,
          [this] { ausfuehren("Entmarkieren", [this] { this->markieren(false); }); });
  connect(entfernen, &QAction::triggered, this,
          [this] { ausfuehren("Entfernen", [this] { this->entfernen(); }); });
  connect(speichern, &QAction::triggered, this, [this] {
    // A save that failed (reported) keeps the window with its edits.
    ausfuehren("Speichern", [this] {
      if (ListeSpeichern()) accept();
    });
  });
  connect(uebernehmen, &QAction::triggered, this, [this] {
    ausfuehren("Uebernehmen", [this] {
      ListeUebernehmen();
      accept();
    });
  });
  connect(modell, &WortlisteModell::hakenGeklickt, this, [this] { StatusAktualisieren(); });
  connect(Liste, &QTableView::doubleClicked, this, [this] {
    if (!beschaeftigt_) ZeileBearbeiten();
  });
  connect(Liste->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int s) { kopfGeklickt(s); });

  const Listenart art = z.art;
  const auto& pz = poolZustand();
  speichern->setVisible(art == Listenart::Gesamt || art == Listenart::Import);
  entfernen->setVisible(art == Listenart::Anwender ||
                        (art == Listenart::Neuworte && pz.Automatikbetrieb));
  // The user's own choice hides more buttons, never one the kind needs
  // hidden; the toolbar's context menu changes it.
  for (QAction* k : knoepfe_) {
    if (!k->isVisible()) artVerborgen_.push_back(k->objectName());
  }
  for (const QString& verborgen : verborgeneKnoepfe()) {
    for (QAction* k : knoepfe_) {
      if (k->objectName() == verborgen) k->setVisible(false);
    }
  }
  Toolbar1->setContextMenuPolicy(Qt::CustomContextMenu);
  // Search by keyboard: Ctrl+F asks, F3 goes on to the next match.
  aSuchen_ = new QAction(text(txt::kSuchenMenue), this);
  aSuchen_->setObjectName("aSuchen");
  aSuchen_->setShortcut(QKeySequence::Find);
  aWeitersuchen_ = new QAction(text(txt::kWeitersuchen), this);
  aWeitersuchen_->setObjectName("aWeitersuchen");
  aWeitersuchen_->setShortcut(QKeySequence::FindNext);
  for (QAction* a : {aSuchen_, aWeitersuchen_}) {
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
  }
  connect(aSuchen_, &QAction::triggered, this, [this] { sucheOeffnen(); });
  connect(aWeitersuchen_, &QAction::triggered, this, [this] { weitersuchen(); });
  connect(Toolbar1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& stelle) { toolbarMenue(stelle); });

  // Geometry and font from the registry.
  const Listenmasse masse = ListenmasseLesen();
  resize(pixel(masse.ListenBreite), pixel(masse.ListenHoehe));
  setMinimumSize(pixel(kMinBreite), pixel(kMinHoehe));
  fontSetzen(masse.ListenFontGroesse);

  modell->koepfeSetzen({text(art == Listenart::Gesamt ? txt::kKopfBehalten : txt::kKopfUebernehmen),
                        text(txt::kKopfSchreibform), text(txt::kKopfSprechform)});
  spaltenBreiten();

  // Caption and status panels of the kind.
  std::string teil;
  int artText = txt::kArtNeueWoerter;
  const std::string& benutzer = pz.Benutzer;
  switch (art) {
    case Listenart::Gesamt:
      teil = Text(txt::kTitelGesamtliste);
      artText = txt::kArtGesamtliste;
      break;
    case Listenart::Import:
      teil = TextMitWert(txt::kTitelImport, z.listenPfad);
      artText = txt::kArtImport;
      break;
    case Listenart::Anwender:
      teil = " " + Text(txt::kTitelBenWoerter) + (benutzer.empty() ? "" : " - " + benutzer);
      artText = txt::kArtBenWoerter;
      break;
    case Listenart::Wartung:
      teil = Text(txt::kUeberarbeitung);
      artText = txt::kUeberarbeitung;
      break;
    case Listenart::Neuworte:
      teil = Text(txt::kTitelNeueWoerter) + (benutzer.empty() ? "" : " - " + benutzer);
      break;
  }
  setWindowTitle(qtext(Titel("Vokarium", "") + " " + Text(txt::kTitelWortliste) + " : " + pz.Pool +
                       " - " + teil));
  stbPool->setText(qtext("Pool : " + pz.Pool + " "));
  stbArt->setText(text(artText));
  const bool mitAnwender =
      !benutzer.empty() && (art == Listenart::Anwender || art == Listenart::Neuworte);
  stbAnwender->setText(qtext(art == Listenart::Neuworte ? benutzer + " " : benutzer));
  stbAnwender->setVisible(mitAnwender);
  StatusAktualisieren();
  Toolbar1->setEnabled(false);  // until the first build has filled the list
  geladen_ = true;
}

FormWortliste::~FormWortliste() {
  // The rows of a long list are not kept beyond the window.
  modell->aenderungBeginnen();
  auto& z = editorZustand();
  z.zeilen = {};
  z.dateiZeilen = {};
  modell->aenderungBeenden();
}

QAction* FormWortliste::knopf(const char* schluessel, int nummer) {
  QAction* a = Toolbar1->addAction(text(2600 + nummer));
  a->setObjectName(schluessel);
  a->setToolTip(text(2700 + nummer));
  knoepfe_.push_back(a);
  return a;
}

void FormWortliste::toolbarMenue(const QPoint& stelle) {
  QMenu menue(this);
  for (QAction* k : knoepfe_) {
    if (std::find(artVerborgen_.begin(), artVerborgen_.end(), k->objectName()) !=
        artVerborgen_.end())
      continue;
    QAction* a = menue.addAction(k->text());
    a->setCheckable(true);
    a->setChecked(k->isVisible());
    connect(a, &QAction::toggled, this,
            [this, name = k->objectName()](bool an) { knopfZeigen(name, an); });
  }
  menue.exec(Toolbar1->mapToGlobal(stelle));
}

void FormWortliste::knopfZeigen(const QString& schluessel, bool sichtbar) {
  if (std::find(artVerborgen_.begin(), artVerborgen_.end(), schluessel) != artVerborgen_.end())
    return;
  QStringList verborgen = verborgeneKnoepfe();
  verborgen.removeAll(schluessel);
  if (!sichtbar) verborgen << schluessel;
  for (QAction* k : knoepfe_) {
    if (k->objectName() == schluessel) k->setVisible(sichtbar);
  }
  RegSchreibenSchluessel(kToolbarSchluessel, "Toolbar", cp1252(verborgen.join(',')));
}

int FormWortliste::twips(int pixel) const {
  return pixel * 1440 / std::max(logicalDpiY(), 1);
}

int FormWortliste::pixel(int twips) const {
  return twips * std::max(logicalDpiY(), 1) / 1440;
}

void FormWortliste::ausfuehren(const char* schluessel, const std::function<void()>& operation) {
  // Long operations let window events run: a key meanwhile starts nothing.
  if (beschaeftigt_ || editorZustand().baut) return;
  beschaeftigt_ = true;
  Sanduhr sanduhr;
  Toolbar1->setEnabled(false);
  Trace("Button", schluessel);
  operation();
  Toolbar1->setEnabled(true);
  beschaeftigt_ = false;
}

void FormWortliste::showEvent(QShowEvent* ereignis) {
  QDialog::showEvent(ereignis);
  if (ersteAktivierungErledigt_) return;
  ersteAktivierungErledigt_ = true;
  QTimer::singleShot(0, this, [this] { ersteAktivierung(); });
}

void FormWortliste::ersteAktivierung() {
  bool gebaut = false;
  {
    Sanduhr sanduhr;
    gebaut = ListeNeuAufbauen();
    if (gebaut && aufrufer_ != nullptr) aufrufer_->hide();
  }
  if (geschlossen_) return;
  if (editorZustand().zeilen.empty() && poolZustand().Automatikbetrieb) {
    Trace("Liste leer");
    reject();
  }
}

bool FormWortliste::ListeNeuAufbauen() {
  auto& z = editorZustand();
  if (z.baut) return false;
  z.baut = true;
  Trace("ListeNeuAufbauen");
  // A click meanwhile could not run: the toolbar says so until the list
  // is there.
  Toolbar1->setEnabled(false);
  Liste->hide();
  modell->aenderungBeginnen();
  const bool gut = ListeErstellen();
  Toolbar1->setEnabled(true);
  if (!gut) {
    modell->aenderungBeenden();
    z.baut = false;
    reject();
    return false;
  }
  const bool ausDatei = z.art != Listenart::Anwender && z.art != Listenart::Wartung;
  if (ausDatei && poolZustand().Automatikbetrieb && z.zeilen.empty()) {
    modell->aenderungBeenden();
    z.baut = false;
    return true;
  }
  Trace("Liste aufgebaut");
  sortSpalte_ = 1;
  sortOrdnung_ = Qt::AscendingOrder;
  WortlisteModell::sortieren(editorZustand().zeilen, sortSpalte_, sortOrdnung_);
  modell->aenderungBeenden();
  Liste->horizontalHeader()->setSortIndicator(sortSpalte_, sortOrdnung_);
  StatusAktualisieren();
  Liste->show();
  Trace("Liste sichtbar");
  z.baut = false;
  // An empty revision list is no fault: nothing changed since the mark.
  if (z.art == Listenart::Wartung && z.zeilen.empty()) Meldung(Text(txt::kTeillisteLeer));
  return true;
}

void FormWortliste::StatusAktualisieren() {
  const auto& z = editorZustand();
  stbWorte->setText(qtext(Text(txt::kAnzahl) + " : " + std::to_string(z.zeilen.size()) + " "));
  stbMarkiert->setText(
      qtext(Text(txt::kMarkierte) + " : " + std::to_string(z.Markierzaehler) + " "));
}

std::vector<std::size_t> FormWortliste::selektierteZeilen() const {
  std::vector<std::size_t> zeilen;
  for (const QItemSelectionRange& r : Liste->selectionModel()->selection()) {
    for (int i = r.top(); i <= r.bottom(); ++i)
      zeilen.push_back(static_cast<std::size_t>(i));
  }
  std::sort(zeilen.begin(), zeilen.end());
  zeilen.erase(std::unique(zeilen.begin(), zeilen.end()), zeilen.end());
  return zeilen;
}

void FormWortliste::markieren(bool an) {
  const std::vector<std::size_t> zeilen = selektierteZeilen();
  if (zeilen.empty()) return;
  Markieren(zeilen, an);
  Liste->selectionModel()->clearSelection();
  modell->hakenGeaendert(static_cast<int>(zeilen.front()), static_cast<int>(zeilen.back()));
  StatusAktualisieren();
}

void FormWortliste::entfernen() {
  const std::vector<std::size_t> zeilen = selektierteZeilen();
  if (zeilen.empty()) return;
  modell->aenderungBeginnen();
  Entfernen(zeilen);
  modell->aenderungBeenden();
  StatusAktualisieren();
}

void FormWortliste::ZeileBearbeiten() {
  const QModelIndex aktuell = Liste->currentIndex();
  int zeile = -1;
  if (aktuell.isValid() && Liste->selectionModel()->isRowSelected(aktuell.row(), QModelIndex())) {
    zeile = aktuell.row();
  } else {
    const auto zeilen = selektierteZeilen();
    if (!zeilen.empty()) zeile = static_cast<int>(zeilen.front());
  }
  if (zeile < 0) return;
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  const Eintrag& e = editorZustand().zeilen[static_cast<std::size_t>(zeile)];
  std::string geschrieben = e.geschrieben;
  std::string gesprochen = e.gesprochen;
  {
    FormWortBearbeiten dialog(this, geschrieben, gesprochen);
    dialog.exec();
  }
  QApplication::restoreOverrideCursor();
  if (ZeileAendern(static_cast<std::size_t>(zeile), geschrieben, gesprochen))
    emit modell->dataChanged(modell->index(zeile, 1), modell->index(zeile, 2));
}

bool FormWortliste::suchen(const std::string& anfang) {
  const std::ptrdiff_t i = Suchen(anfang);
  suchtext_ = anfang;
  fundstelle_ = i;
  if (i < 0) return false;
  Liste->scrollTo(modell->index(static_cast<int>(i), 1), QAbstractItemView::PositionAtTop);
  return true;
}

void FormWortliste::sucheOeffnen() {
  std::string anfang;
  if (beschaeftigt_ || editorZustand().baut || !suchEingabe()(anfang)) return;
  beschaeftigt_ = true;
  const bool gefunden = suchen(anfang);
  beschaeftigt_ = false;
  if (!gefunden && !trimmen(anfang).empty())
    Meldung(TextMitWert(txt::kWortNichtGefunden, trimmen(anfang)));
}

void FormWortliste::weitersuchen() {
  if (trimmen(suchtext_).empty()) {
    sucheOeffnen();
    return;
  }
  if (beschaeftigt_ || editorZustand().baut) return;
  beschaeftigt_ = true;
  const std::ptrdiff_t i = Suchen(suchtext_, static_cast<std::size_t>(fundstelle_ + 1));
  beschaeftigt_ = false;
  if (i < 0) {
    Meldung(TextMitWert(txt::kWortNichtGefunden, trimmen(suchtext_)));
    return;
  }
  fundstelle_ = i;
  Liste->scrollTo(modell->index(static_cast<int>(i), 1), QAbstractItemView::PositionAtTop);
}

void FormWortliste::fontSetzen(int punkte) {
  fontGroesse_ = punkte;
  QFont f = Liste->font();
  f.setPointSize(punkte);
  Liste->setFont(f);
  Liste->verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 4);
}

void FormWortliste::spaltenBreiten() {
  // The check column keeps its design width unless its header needs more.
  const int breite = std::max(pixel(kSpalte1), Liste->horizontalHeader()->sectionSizeHint(0));
  // The room of the design, at least the list's frame and its vertical
  // scroll bar: the columns never need a horizontal one.
  const int rand = std::max(
      pixel(220), 2 * Liste->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  const int rest = (width() - breite - rand) / 2;
  Liste->setColumnWidth(0, breite);
  Liste->setColumnWidth(1, std::max(rest, 10));
  Liste->setColumnWidth(2, std::max(rest, 10));
}

void FormWortliste::resizeEvent(QResizeEvent* ereignis) {
  QDialog::resizeEvent(ereignis);
  if (!geladen_ || isMinimized()) return;
  spaltenBreiten();
}

void FormWortliste::kopfGeklickt(int spalte) {
  if (beschaeftigt_ || editorZustand().baut) return;
  if (spalte == sortSpalte_) {
    sortOrdnung_ = sortOrdnung_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  } else {
    sortSpalte_ = spalte;
    sortOrdnung_ = Qt::AscendingOrder;
  }
  Sanduhr sanduhr;
  modell->sort(sortSpalte_, sortOrdnung_);
  Liste->horizontalHeader()->setSortIndicator(sortSpalte_, sortOrdnung_);
}

bool FormWortliste::eventFilter(QObject* objekt, QEvent* ereignis) {
  if (objekt == Liste && ereignis->type() == QEvent::KeyPress) {
    auto* taste = static_cast<QKeyEvent*>(ereignis);
    const auto mods = taste->modifiers();
    switch (taste->key()) {
      case Qt::Key_F5:
        ListenmasseSchreiben(twips(height()), twips(width()), fontGroesse_);
        return true;
      case Qt::Key_A:
        if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) {
          Liste->selectAll();
          return true;
        }
        break;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        ausfuehren("Bearbeiten", [this] { ZeileBearbeiten(); });
        return true;
      case Qt::Key_Delete:
        if (poolZustand().Automatikbetrieb || editorZustand().art == Listenart::Anwender)
          ausfuehren("Entfernen", [this] { this->entfernen(); });
        return true;
      default:
        break;
    }
  }
  if ((objekt == Liste || objekt == Liste->viewport()) && ereignis->type() == QEvent::ContextMenu) {
    // The right button searches at once; the menu key offers the search.
    auto* menue = static_cast<QContextMenuEvent*>(ereignis);
    if (menue->reason() != QContextMenuEvent::Mouse) {
      QMenu auswahl(this);
      auswahl.setObjectName("SuchMenue");
      auswahl.addAction(aSuchen_);
      auswahl.addAction(aWeitersuchen_);
      auswahl.exec(menue->globalPos());
    }
    return true;
  }
  if (objekt == Liste->viewport()) {
    if (ereignis->type() == QEvent::MouseButtonPress) {
      auto* maus = static_cast<QMouseEvent*>(ereignis);
      if (maus->button() == Qt::RightButton) {
        sucheOeffnen();
        return true;
      }
      if (maus->button() == Qt::LeftButton && !maus_) {
        maus_ = true;
        Toolbar1->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
      }
    } else if (ereignis->type() == QEvent::MouseButtonRelease && maus_) {
      maus_ = false;
      Toolbar1->setEnabled(true);
      QApplication::restoreOverrideCursor();
    }
  }
  return QDialog::eventFilter(objekt, ereignis);
}

void FormWortliste::done(int ergebnis) {
  if (geschlossen_) return;
  geschlossen_ = true;
  if (maus_) {
    maus_ = false;
    QApplication::restoreOverrideCursor();
  }
  if (!isMinimized() && !isMaximized() && !isFullScreen())
    ListenmasseSchreiben(twips(height()), twips(width()), fontGroesse_);
  auto& pz = poolZustand();
  // What was changed or removed here acts only through this editor's
  // take-over: the next editor starts without it.
  LoeschListeVerwerfen();
  if (pz.Automatikbetrieb) {
    SperreLoesen();
    Trace("Ende Vokarium Auto");
    QDialog::done(ergebnis);
    programmBeenden()();
    return;
  }
  if (aufrufer_ != nullptr) {
    aufrufer_->show();
    aufrufer_->unsetCursor();
  }
  editorZustand().auftrag.wartung = false;
  pz.Vergleichsworte.leeren();
  SperreLoesen();
  Trace("Ende Wortliste");
  QDialog::done(ergebnis);
}

void WortlisteZeigen(QWidget* aufrufer, const Listenauftrag& auftrag) {
  if (aufrufer != nullptr) aufrufer->setCursor(Qt::WaitCursor);
  FormWortliste form(aufrufer, auftrag);
  // The editor shows its own hourglass while it builds; the caller's wait
  // window would stay, without its caller, beside it all the while.
  WartenBitte(aufrufer, false);
  form.exec();
}

FormWortBearbeiten::FormWortBearbeiten(QWidget* eltern, std::string& geschrieben,
                                       std::string& gesprochen)
    : QDialog(eltern), geschrieben_(geschrieben), gesprochen_(gesprochen) {
  setObjectName("FormWortBearbeiten");
  setWindowTitle(qtext(Titel("Vokarium", Text(txt::kWortBearbeiten))));
  auto* layout = new QVBoxLayout(this);
  lSchreibform = new QLabel(text(txt::kSchreibform), this);
  lSchreibform->setObjectName("lSchreibform");
  tSchreibform = new QLineEdit(qtext(geschrieben), this);
  tSchreibform->setObjectName("tSchreibform");
  lSprachForm = new QLabel(text(txt::kSprechform), this);
  lSprachForm->setObjectName("lSprachForm");
  tSprachform = new QLineEdit(qtext(gesprochen), this);
  tSprachform->setObjectName("tSprachform");
  auto* knoepfe = new QHBoxLayout;
  cEigenschaften = new QPushButton(text(txt::kEigenschaften), this);
  cEigenschaften->setObjectName("cEigenschaften");
  cEigenschaften->setAutoDefault(false);
  cOK = new QPushButton(text(txt::kOK), this);
  cOK->setObjectName("cOK");
  cOK->setDefault(true);
  cAbbrechen = new QPushButton(text(txt::kAbbrechen), this);
  cAbbrechen->setObjectName("cAbbrechen");
  cAbbrechen->setAutoDefault(false);
  knoepfe->addWidget(cEigenschaften);
  knoepfe->addStretch(1);
  knoepfe->addWidget(cOK);
  knoepfe->addWidget(cAbbrechen);
  for (QWidget* w : {static_cast<QWidget*>(lSchreibform), static_cast<QWidget*>(tSchreibform),
                     static_cast<QWidget*>(lSprachForm), static_cast<QWidget*>(tSprachform)})
    layout->addWidget(w);
  layout->addLayout(knoepfe);
  // Wide enough for its title beside the window buttons and for a long word,
  // in the font the dialog is shown with.
  ensurePolished();
  const QFontMetrics masse(font());
  tSchreibform->setMinimumWidth(masse.averageCharWidth() * 40);
  setMinimumWidth(std::max(layout->sizeHint().width(),
                           masse.horizontalAdvance(windowTitle()) + masse.averageCharWidth() * 24));
  adjustSize();

  connect(cAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
  connect(cOK, &QPushButton::clicked, this, [this] {
    geschrieben_ = cp1252(tSchreibform->text());
    gesprochen_ = cp1252(tSprachform->text());
    accept();
  });
  // The recognizer's word dialog; a refusal (no speaker loaded, say) is
  // reported by DragonDialog and this dialog stays open.
  connect(cEigenschaften, &QPushButton::clicked, this, [] { DragonDialog(""); });
}

void FormWortBearbeiten::done(int ergebnis) {
  DragonControlStop();
  QDialog::done(ergebnis);
}

}  // namespace vk
