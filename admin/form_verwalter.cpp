// The window of vkVerwalter over the procedures of admin/verwaltung.h.
// Failures are shown by those procedures through the common message module;
// this file only routes them and shows the rows.
// The pool server reads the user list after the "ADMIN" trigger written
// here; nothing else of the server's is touched.
#include "admin/form_verwalter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "admin/twips.h"
#include "admin/user_suchen.h"
#include "admin/verwaltung.h"
#include "common/dns_ini.h"
#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/qtext.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "common/utilities.h"

namespace admin {

namespace {

// Texts relative to the window's text base 3000.
constexpr int kTextBasis = 3000;
constexpr int kTitel = 0;
constexpr int kDragon = 1;  // toolbar captions 1..4, tooltips 101..104
constexpr int kSpeicherort = 10;
constexpr int kAuswaehlen = 11;
constexpr int kAuswaehlenTipp = 111;
constexpr int kPool = 12;
constexpr int kKopfPool = 14;  // column headers 14..16
constexpr int kKopfUnterverzeichnis = 84;
constexpr int kFrageSchliessen = 20;
constexpr int kErstHinweis = 97;
constexpr int kDialogTitel = 2101;
constexpr int kDialogFilter = 2320;

// Window measures in twips.
constexpr double kMinBreite = 8800;
constexpr double kMinHoehe = 4600;
constexpr double kSpalte1 = 2400;
constexpr double kSpaltenRand = 220;

const char* const kToolbarSchluessel[] = {"Dragon", "Zuordnen", "Entfernen", "Uebernehmen"};

// The toolbar's keys, shown in its tool tips. Assigning is Enter in the
// list and the pool field, and Ctrl+Enter anywhere; removing is Delete in
// the list and Ctrl+Delete anywhere but in a text field (where it deletes
// a word). F4 stays the key that opens the pool choice.
QKeySequence toolbarTaste(int i) {
  switch (i) {
    case 0:
      return QKeySequence(Qt::Key_F3);
    case 1:
      return QKeySequence(Qt::CTRL | Qt::Key_Return);
    case 2:
      return QKeySequence(Qt::CTRL | Qt::Key_Delete);
    default:
      return QKeySequence(Qt::CTRL | Qt::Key_S);
  }
}

// The hourglass while a toolbar action runs.
struct Sanduhr {
  Sanduhr() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~Sanduhr() { QGuiApplication::restoreOverrideCursor(); }
  Sanduhr(const Sanduhr&) = delete;
  Sanduhr& operator=(const Sanduhr&) = delete;
};

QString textRel(int relativ) {
  return vk::qtext(vk::TextRelativ(relativ));
}

}  // namespace

int ZeilenModell::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(verwaltung().zeilen.size());
}

int ZeilenModell::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 4;
}

QVariant ZeilenModell::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const auto& zeilen = verwaltung().zeilen;
  if (static_cast<std::size_t>(index.row()) >= zeilen.size()) return {};
  return vk::qtext(spaltenText(zeilen[index.row()], static_cast<Spalte>(index.column())));
}

QVariant ZeilenModell::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == 3) return textRel(kKopfUnterverzeichnis);
  return textRel(kKopfPool + section);
}

void ZeilenModell::aendern(const std::function<void()>& op) {
  beginResetModel();
  op();
  endResetModel();
}

FormVerwalter::FormVerwalter(QWidget* parent) : QWidget(parent) {
  setObjectName("FormVerwalter");
  vk::TraceInit();
  vk::TextBasis(kTextBasis);

  Toolbar1 = new QToolBar(this);
  Toolbar1->setObjectName("Toolbar1");
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  const std::function<void()> handler[] = {[this] { DragonSuchen(); }, [this] { Zuordnen(); },
                                           [this] { Entfernen(); },
                                           [this] { ZuordnungenUebernehmen(); }};
  for (int i = 0; i < 4; ++i) {
    QAction* a = Toolbar1->addAction(QString());
    a->setObjectName(kToolbarSchluessel[i]);
    a->setShortcut(toolbarTaste(i));
    connect(a, &QAction::triggered, this, handler[i]);
  }
  lSpeicherort = new QLabel(this);
  lSpeicherort->setObjectName("lSpeicherort");
  tSpeicherort = new QLineEdit(this);
  tSpeicherort->setObjectName("tSpeicherort");
  tSpeicherort->setReadOnly(true);
  cAuswaehlen = new QPushButton(this);
  cAuswaehlen->setObjectName("cAuswaehlen");
  connect(cAuswaehlen, &QPushButton::clicked, this, [this] { Auswaehlen(); });
  lPool = new QLabel(this);
  lPool->setObjectName("lPool");
  coPool = new QComboBox(this);
  coPool->setObjectName("coPool");
  coPool->setEditable(true);
  coPool->setInsertPolicy(QComboBox::NoInsert);
  connect(coPool, &QComboBox::activated, this, [this](int) { poolUebernehmen(); });
  connect(coPool->lineEdit(), &QLineEdit::returnPressed, this, [this] { Zuordnen(); });

  modell_ = new ZeilenModell(this);
  Liste = new QTreeView(this);
  Liste->setObjectName("Liste");
  Liste->setModel(modell_);
  Liste->setRootIsDecorated(false);
  Liste->setUniformRowHeights(true);
  Liste->setAllColumnsShowFocus(true);
  Liste->setSelectionMode(QAbstractItemView::ExtendedSelection);
  Liste->setSelectionBehavior(QAbstractItemView::SelectRows);
  Liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Liste->header()->setSectionsClickable(true);
  Liste->header()->setSortIndicatorShown(true);
  Liste->header()->setSortIndicator(0, Qt::AscendingOrder);
  Liste->header()->setStretchLastSection(true);
  Liste->installEventFilter(this);
  // Where the keys act: the list shows when it has the focus.
  Liste->setStyleSheet(
      QStringLiteral("QTreeView#Liste:focus { border: 2px solid palette(highlight); }"));
  connect(Liste->header(), &QHeaderView::sectionClicked, this, [this](int spalte) {
    aendern([spalte] { SpalteGeklickt(static_cast<Spalte>(spalte)); });
    const Verwaltung& v = verwaltung();
    Liste->header()->setSortIndicator(static_cast<int>(v.sortSpalte),
                                      v.absteigend ? Qt::DescendingOrder : Qt::AscendingOrder);
  });
  connect(Liste, &QTreeView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid() && poolAktuell()) zuweisen({static_cast<std::size_t>(i.row())});
  });
  connect(qApp, &QApplication::focusChanged, this, &FormVerwalter::fokusGewechselt);

  auto* oben = new QGridLayout;
  oben->addWidget(lSpeicherort, 0, 0);
  oben->addWidget(tSpeicherort, 0, 1);
  oben->addWidget(cAuswaehlen, 0, 2);
  oben->addWidget(lPool, 1, 0);
  oben->addWidget(coPool, 1, 1);
  oben->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 0, 4, 4);
  layout->addWidget(Toolbar1);
  layout->addLayout(oben);
  lHinweis = new QLabel(this);
  lHinweis->setObjectName("lHinweis");
  lHinweis->setWordWrap(true);
  lHinweis->hide();
  layout->addWidget(lHinweis);
  layout->addWidget(Liste, 1);
  texteSetzen();

  Rueckmeldung& r = verwaltung().rueckmeldung;
  r.meldung = [this](int nr, const std::string& wert) {
    melden([nr, wert] {
      std::string text = vk::TextMitWert(nr, wert);
      if (nr == txt::kOhneZuordnung) text += "\\n" + vk::Text(txt::kOhneZuordnungTun);
      vk::Meldung(text);
    });
  };
  r.fehler = [this](plat::Err e, int nr, const std::string& wert) {
    melden([e, nr, wert] { vk::Fehlermeldung(e, vk::TextMitWert(nr, wert)); });
  };
  r.trace = [](const std::string& label, const std::string& wert) { vk::Trace(label, wert); };

  // The recognizer's folders and the base directory, then the Speicherort
  // and what it holds.
  vk::DnsIniLesen(false);
  vk::KonfigVerzeichnisFinden([] { return vk::DnsIni().roamingUserMasterDirectory; });
  std::string speicherort = vk::RegLesen("LastBasisDirectory");
  if (speicherort.empty()) speicherort = vk::RegLesenMaschine("LastBasisDirectory");
  verwaltung().dateiName = "Benutzer.dat";
  aendern([&] { SpeicherortSetzen(speicherort); });
  speicherortAnzeigen();
  vk::RegSchreiben("LocalCacheRU", vk::DnsIni().userBaseDirectoryRU);

  const vk::Listenmasse m = vk::ListenmasseLesen();
  fontGroesse_ = m.ListenFontGroesse;
  QFont f = Liste->font();
  f.setPointSize(fontGroesse_);
  Liste->setFont(f);
  setMinimumSize(twipsZuPixelX(this, kMinBreite), twipsZuPixelY(this, kMinHoehe));
  resize(twipsZuPixelX(this, m.ListenBreite), twipsZuPixelY(this, m.ListenHoehe));
  breiteTwips_ = m.ListenBreite;
  hoeheTwips_ = m.ListenHoehe;
  spaltenBreiten();
  // The user works in the list: its keys assign, remove and select all.
  Liste->setFocus();
  laedt_ = false;
}

FormVerwalter::~FormVerwalter() {
  // The focus leaves the window's controls while its QWidget part is torn
  // down: that change must not reach this half-destroyed window.
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
  verwaltung().rueckmeldung = Rueckmeldung{};
}

void FormVerwalter::texteSetzen() {
  setWindowTitle(vk::qtext(vk::Titel("Vokarium", vk::TextRelativ(kTitel))));
  const auto aktionen = Toolbar1->actions();
  for (int i = 0; i < aktionen.size(); ++i) {
    aktionen[i]->setText(textRel(kDragon + i));
    aktionen[i]->setToolTip(textRel(kDragon + 100 + i) + QStringLiteral(" (") +
                            aktionen[i]->shortcut().toString(QKeySequence::NativeText) +
                            QLatin1Char(')'));
  }
  lSpeicherort->setText(textRel(kSpeicherort));
  cAuswaehlen->setText(textRel(kAuswaehlen));
  cAuswaehlen->setToolTip(textRel(kAuswaehlenTipp));
  lPool->setText(textRel(kPool));
  lHinweis->setText(textRel(kErstHinweis));
}

void FormVerwalter::speicherortAnzeigen() {
  tSpeicherort->setText(vk::qtext(verwaltung().speicherort));
  lHinweis->setVisible(verwaltung().speicherort.empty());
  poolListeAnzeigen();
}

void FormVerwalter::poolListeAnzeigen() {
  const Verwaltung& v = verwaltung();
  const QString text = vk::qtext(v.aktuellerPool);
  for (std::size_t i = coPool->count(); i < v.poolListe.size(); ++i) {
    coPool->addItem(vk::qtext(v.poolListe[i]));
  }
  coPool->setEditText(text);
}

// Takes over the text of the pool choice; false (focus back in the choice)
// when the name was refused.
bool FormVerwalter::poolUebernehmen() {
  uebernimmt_ = true;
  const bool ok = PoolUebernehmen(vk::cp1252(coPool->currentText()));
  poolListeAnzeigen();
  if (!ok) coPool->setFocus();
  uebernimmt_ = false;
  return ok;
}

// The current pool for the list's own keys: the choice's text was taken
// over when the focus left it; a text changed without a focus change (by a
// program, not the user) is taken over here, so no refusal is shown twice.
bool FormVerwalter::poolAktuell() {
  if (vk::cp1252(coPool->currentText()) == verwaltung().aktuellerPool) return true;
  return poolUebernehmen();
}

void FormVerwalter::fokusGewechselt(QWidget* alt, QWidget* neu) {
  const auto inPool = [this](QWidget* w) { return w == coPool || coPool->isAncestorOf(w); };
  if (uebernimmt_ || alt == nullptr || neu == nullptr || !inPool(alt) || inPool(neu)) return;
  if (neu->window() != this) return;
  poolUebernehmen();
}

std::vector<std::size_t> FormVerwalter::ausgewaehlt() const {
  std::vector<std::size_t> r;
  for (const QModelIndex& i : Liste->selectionModel()->selectedRows())
    r.push_back(i.row());
  std::sort(r.begin(), r.end());
  return r;
}

void FormVerwalter::markieren(const std::vector<std::size_t>& zeilen) {
  QItemSelection auswahl;
  for (const std::size_t z : zeilen) {
    const QModelIndex i = modell_->index(static_cast<int>(z), 0);
    auswahl.select(i, i);
  }
  Liste->selectionModel()->select(auswahl,
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (zeilen.empty()) return;
  // The current row is one of the marked ones: the keys that move from it
  // start where the user sees the marks.
  const QModelIndex erste = modell_->index(static_cast<int>(zeilen.front()), 0);
  Liste->selectionModel()->setCurrentIndex(erste, QItemSelectionModel::NoUpdate);
  Liste->scrollTo(erste);
}

void FormVerwalter::zeileAnsteuern(bool ende, bool erweitern) {
  const int anzahl = modell_->rowCount();
  if (anzahl == 0) return;
  const QModelIndex ziel = modell_->index(ende ? anzahl - 1 : 0, 0);
  QItemSelectionModel& auswahl = *Liste->selectionModel();
  if (erweitern && Liste->currentIndex().isValid()) {
    auswahl.select(QItemSelection(Liste->currentIndex(), ziel),
                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    auswahl.setCurrentIndex(ziel, QItemSelectionModel::NoUpdate);
  } else {
    auswahl.setCurrentIndex(ziel, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  Liste->scrollTo(ziel);
}

void FormVerwalter::melden(std::function<void()> anzeigen) {
  if (zurueckhalten_ > 0) {
    zurueckgehalten_.push_back(std::move(anzeigen));
    return;
  }
  anzeigen();
}

// Shows the messages held back while the rows changed, with the normal
// pointer: the rows are on screen again and those they name are marked.
void FormVerwalter::zurueckgehalteneZeigen() {
  if (zurueckhalten_ > 0 || zurueckgehalten_.empty()) return;
  std::vector<std::function<void()>> anzeigen;
  anzeigen.swap(zurueckgehalten_);
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  for (const auto& a : anzeigen)
    a();
  QGuiApplication::restoreOverrideCursor();
}

// Runs `op` on the rows and shows them anew; the rows selected before stay
// selected wherever the sort puts them. Messages of `op` come afterwards:
// none may open while the list is being reset (it would stand empty behind
// the box).
void FormVerwalter::aendern(const std::function<void()>& op) {
  ++zurueckhalten_;
  SchluesselMenge schluessel;
  for (const std::size_t i : ausgewaehlt()) {
    const Zeile& z = verwaltung().zeilen[i];
    schluessel.insert(z.user + "|" + z.topic);
  }
  modell_->aendern(op);
  std::vector<std::size_t> zeilen;
  const auto& alle = verwaltung().zeilen;
  for (std::size_t i = 0; i < alle.size(); ++i) {
    if (schluessel.count(alle[i].user + "|" + alle[i].topic)) zeilen.push_back(i);
  }
  markieren(zeilen);
  --zurueckhalten_;
  zurueckgehalteneZeigen();
}

void FormVerwalter::zuweisen(const std::vector<std::size_t>& zeilen) {
  if (zeilen.empty()) return;
  aendern([&] {
    if (PoolZuweisen(zeilen)) {
      Sortieren();
      ungespeichert_ = true;
    }
  });
}

void FormVerwalter::DragonSuchen() {
  Sanduhr s;
  aendern([this] {
    const std::size_t vorher = verwaltung().zeilen.size();
    BenutzerSuchen(SuchModus::liste);
    Sortieren();
    if (verwaltung().zeilen.size() != vorher) ungespeichert_ = true;
  });
}

void FormVerwalter::Zuordnen() {
  Sanduhr s;
  // Nothing selected but a current row the user sees: that row.
  const QModelIndex aktuell = Liste->currentIndex();
  if (Liste->selectionModel()->selectedRows().isEmpty() && aktuell.isValid())
    Liste->selectionModel()->select(aktuell,
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
  if (poolUebernehmen()) zuweisen(ausgewaehlt());
}

void FormVerwalter::Entfernen() {
  Sanduhr s;
  const auto zeilen = ausgewaehlt();
  if (zeilen.empty()) return;
  aendern([&] { admin::Entfernen(zeilen); });
  ungespeichert_ = true;
}

bool FormVerwalter::ZuordnungenUebernehmen() {
  Sanduhr s;
  Liste->clearSelection();
  // The offending rows are marked before their message is shown.
  std::vector<std::size_t> falsch;
  ++zurueckhalten_;
  const bool gespeichert = BenutzerlisteSpeichern(falsch);
  if (!gespeichert) markieren(falsch);
  --zurueckhalten_;
  zurueckgehalteneZeigen();
  if (!gespeichert) return false;
  ungespeichert_ = false;
  // This program always wakes the server, in the Speicherort's own
  // configuration folder, whatever a configuration file said.
  vk::Konfiguration& k = vk::konfiguration();
  k.mitTrigger = true;
  k.ZielVerzeichnis = konfigVerzeichnis();
  k.TriggerName = "Trigger\\*.trg";
  if (!vk::TriggerSetzen(vk::TriggerArt::verwaltung)) return false;
  close();
  return true;
}

void FormVerwalter::Auswaehlen() {
  std::string pfad;
  std::string ordner;
  if (verwaltung().speicherort.empty()) {
    // At the first start there is no user list to pick yet: the folder
    // that is to hold it, with the list's usual name.
    ordner = vk::OrdnerWaehlen(this, vk::Text(kDialogTitel), {});
    pfad = "Benutzer.dat";
  } else {
    pfad = vk::DateiOeffnen(this, vk::Text(kDialogTitel), verwaltung().speicherort,
                            vk::Text(kDialogFilter));
    vk::PfadTeilen(pfad, ordner);
  }
  if (ordner.empty()) return;
  aendern([&] { DateiGewaehlt(ordner, pfad); });
  ungespeichert_ = false;
  speicherortAnzeigen();
}

// The widths of the first layout: the pool column at its design width, the
// other three share the rest of the window's width (each at least as wide
// as its header); then the user sizes the columns, and the last one takes
// the rest of the list's width.
void FormVerwalter::spaltenBreiten() {
  const int erste = std::max(twipsZuPixelX(this, kSpalte1), Liste->header()->sectionSizeHint(0));
  Liste->setColumnWidth(0, erste);
  const int rest = (width() - erste - twipsZuPixelX(this, kSpaltenRand)) / 3;
  for (int spalte = 1; spalte <= 2; ++spalte)
    Liste->setColumnWidth(spalte, std::max(rest, Liste->header()->sectionSizeHint(spalte)));
}

void FormVerwalter::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  // The window may have been fitted onto a smaller screen than its stored
  // size was made on: the first layout is made for the size it has.
  if (gezeigt_) return;
  gezeigt_ = true;
  spaltenBreiten();
}

void FormVerwalter::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (laedt_ || isMinimized()) return;
  hoeheTwips_ = pixelZuTwipsY(this, height());
  breiteTwips_ = pixelZuTwipsX(this, width());
}

void FormVerwalter::closeEvent(QCloseEvent* e) {
  if (ungespeichert_ && !vk::Frage(vk::TextRelativ(kFrageSchliessen))) {
    e->ignore();
    return;
  }
  if (!isMinimized() && !isMaximized() && !isFullScreen()) {
    vk::ListenmasseSchreiben(hoeheTwips_, breiteTwips_, fontGroesse_);
  }
  e->accept();
}

void FormVerwalter::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

bool FormVerwalter::eventFilter(QObject* o, QEvent* e) {
  if (o != Liste || e->type() != QEvent::KeyPress) return QWidget::eventFilter(o, e);
  const auto* k = static_cast<QKeyEvent*>(e);
  const auto mod = k->modifiers();
  switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Zuordnen();
      return true;
    case Qt::Key_Delete:
      Entfernen();
      return true;
    case Qt::Key_Home:
    case Qt::Key_End:
      if (mod & Qt::ControlModifier) break;
      zeileAnsteuern(k->key() == Qt::Key_End, (mod & Qt::ShiftModifier) != 0);
      return true;
    case Qt::Key_F5:
      hoeheTwips_ = pixelZuTwipsY(this, height());
      breiteTwips_ = pixelZuTwipsX(this, width());
      return true;
    case Qt::Key_A:
      if ((mod & Qt::ControlModifier) && !(mod & Qt::AltModifier)) {
        if (poolAktuell()) {
          std::vector<std::size_t> alle(verwaltung().zeilen.size());
          for (std::size_t i = 0; i < alle.size(); ++i)
            alle[i] = i;
          zuweisen(alle);
        }
        return true;
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(o, e);
}

}  // namespace admin
