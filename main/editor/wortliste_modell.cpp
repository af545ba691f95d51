// Table model of the word list editor (see wortliste_modell.h).
#include "main/editor/wortliste_modell.h"

#include <QCollatorSortKey>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <numeric>
#include <optional>
#include <vector>

#include "common/qtext.h"
#include "common/sortierung.h"
#include "main/editor/wortliste.h"

namespace vk {

namespace {

// The German order of two texts is decided by the first place where their
// letters differ when accents and case are left aside (the collator's first
// level); only texts equal there need the collator's full comparison. For
// letters and digits that first level is one rank per character, which is
// asked of the collator once: two characters x and y share a rank when
// x+"b" sorts after y+"a" and x+"a" before y+"b".
struct Raenge {
  unsigned char rang[256] = {};  // 0: no rank known (any other character)
};

const Raenge& raenge() {
  static const Raenge tabelle = [] {
    std::vector<unsigned char> zeichen;
    for (int c = 0; c < 256; ++c) {
      if (std::isalnum(c) != 0 || c == 0xC4 || c == 0xD6 || c == 0xDC || c == 0xE4 || c == 0xF6 ||
          c == 0xFC)
        zeichen.push_back(static_cast<unsigned char>(c));
    }
    const QCollator collator = deutscherCollator();
    const auto vorher = [&collator](unsigned char x, unsigned char y) {
      return collator.compare(qtext(std::string{static_cast<char>(x), 'b'}),
                              qtext(std::string{static_cast<char>(y), 'a'})) < 0;
    };
    std::stable_sort(zeichen.begin(), zeichen.end(), vorher);
    Raenge t;
    int rang = 0;
    for (std::size_t i = 0; i < zeichen.size(); ++i) {
      if (i == 0 || vorher(zeichen[i - 1], zeichen[i])) ++rang;
      t.rang[zeichen[i]] = static_cast<unsigned char>(rang);
    }
    return t;
  }();
  return tabelle;
}

// The ranks of a text's first letters and digits, up to its first other
// character, as three numbers of eight ranks each (the first rank in the
// highest byte); ß counts as "ss", as the collator's first level has it; a
// text that ends within them gets the rank 0 for its end (a shorter text
// sorts first). Sorted with the row's position, so the comparisons read one
// small record each.
// When the whole text is in the ranks (and has no ß), texts equal in them
// differ only in umlauts and case, which the collator decides in this order,
// each by its first place from the left: `feinheit` holds one bit per
// character for the umlaut (upper 24 bits) and one for upper case (lower 24
// bits), the first character highest, so comparing it decides as the
// collator does.
struct Praefix {
  static constexpr std::size_t kLaenge = 24;
  std::uint64_t wort[kLaenge / 8];
  std::uint64_t feinheit;
  std::uint32_t zeile;
  unsigned char sicher;  // how many ranks are certain
  bool ganz;             // the whole text is in the ranks; `feinheit` holds
};

bool istUmlaut(unsigned char c) {
  return c == 0xC4 || c == 0xD6 || c == 0xDC || c == 0xE4 || c == 0xF6 || c == 0xFC;
}

bool istGross(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || c == 0xC4 || c == 0xD6 || c == 0xDC;
}

Praefix praefixBilden(const std::string& text, std::uint32_t zeile) {
  const Raenge& t = raenge();
  const unsigned char rangS = t.rang[static_cast<unsigned char>('s')];
  unsigned char rang[Praefix::kLaenge] = {};
  std::size_t n = 0;  // ranks written
  std::size_t i = 0;  // characters read
  bool mitSz = false;
  std::uint64_t umlaute = 0;
  std::uint64_t gross = 0;
  for (; i < text.size() && n < Praefix::kLaenge; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 0xDF) {
      if (n + 2 > Praefix::kLaenge) break;
      rang[n++] = rangS;
      rang[n++] = rangS;
      mitSz = true;
      continue;
    }
    const unsigned char r = t.rang[c];
    if (r == 0) break;
    rang[n++] = r;
    umlaute = (umlaute << 1) | (istUmlaut(c) ? 1U : 0U);
    gross = (gross << 1) | (istGross(c) ? 1U : 0U);
  }
  const bool ganz = i == text.size() && n < Praefix::kLaenge;
  if (ganz) rang[n++] = 0;
  Praefix p{};
  for (std::size_t w = 0; w < Praefix::kLaenge / 8; ++w) {
    for (std::size_t j = 0; j < 8; ++j)
      p.wort[w] = (p.wort[w] << 8) | rang[w * 8 + j];
  }
  p.zeile = zeile;
  p.sicher = static_cast<unsigned char>(n);
  p.ganz = ganz && !mitSz;
  p.feinheit = (umlaute << Praefix::kLaenge) | gross;
  return p;
}

// < 0, > 0 when the certain ranks decide; 0 when they do not.
int praefixVergleich(const Praefix& a, const Praefix& b) {
  const std::size_t n = std::min(a.sicher, b.sicher);
  for (std::size_t w = 0; w * 8 < n; ++w) {
    std::uint64_t x = a.wort[w];
    std::uint64_t y = b.wort[w];
    const std::size_t rest = n - w * 8;
    if (rest < 8) {
      const auto weg = static_cast<unsigned>(8 * (8 - rest));
      x >>= weg;
      y >>= weg;
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

// The letters of a text as a search by its start compares them: the rank
// of a letter or digit, "ss" for ß, any other character as itself (above
// every rank). Calls `weiter` with each unit until it returns false.
template <typename F>
void suchEinheiten(std::string_view text, F&& weiter) {
  const Raenge& t = raenge();
  for (const char zeichen : text) {
    const auto c = static_cast<unsigned char>(zeichen);
    if (c == 0xDF) {
      const unsigned s = t.rang[static_cast<unsigned char>('s')];
      if (!weiter(s) || !weiter(s)) return;
      continue;
    }
    const unsigned r = t.rang[c];
    if (!weiter(r != 0 ? r : 256U + c)) return;
  }
}

}  // namespace

WortlisteModell::WortlisteModell(QObject* eltern) : QAbstractTableModel(eltern) {}

int WortlisteModell::rowCount(const QModelIndex& eltern) const {
  return eltern.isValid() ? 0 : static_cast<int>(editorZustand().zeilen.size());
}

int WortlisteModell::columnCount(const QModelIndex& eltern) const {
  return eltern.isValid() ? 0 : 3;
}

QVariant WortlisteModell::data(const QModelIndex& index, int rolle) const {
  const auto& zeilen = editorZustand().zeilen;
  if (!index.isValid() || static_cast<std::size_t>(index.row()) >= zeilen.size()) return {};
  const Eintrag& e = zeilen[static_cast<std::size_t>(index.row())];
  if (rolle == Qt::DisplayRole) {
    switch (index.column()) {
      case 0:
        return QStringLiteral(" ");
      case 1:
        return qtext(e.geschrieben);
      case 2:
        return qtext(e.gesprochen);
      default:
        return {};
    }
  }
  if (rolle == Qt::CheckStateRole && index.column() == 0)
    return e.angehakt ? Qt::Checked : Qt::Unchecked;
  return {};
}

bool WortlisteModell::setData(const QModelIndex& index, const QVariant& wert, int rolle) {
  if (!index.isValid() || index.column() != 0 || rolle != Qt::CheckStateRole) return false;
  const auto zeile = static_cast<std::size_t>(index.row());
  if (zeile >= editorZustand().zeilen.size()) return false;
  HakenSetzen(zeile, wert.toInt() == Qt::Checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  emit hakenGeklickt();
  return true;
}

Qt::ItemFlags WortlisteModell::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant WortlisteModell::headerData(int spalte, Qt::Orientation richtung, int rolle) const {
  if (richtung != Qt::Horizontal || rolle != Qt::DisplayRole || spalte < 0 ||
      spalte >= koepfe_.size())
    return {};
  return koepfe_[spalte];
}

void WortlisteModell::koepfeSetzen(const QStringList& koepfe) {
  koepfe_ = koepfe;
  emit headerDataChanged(Qt::Horizontal, 0, 2);
}

void WortlisteModell::sort(int spalte, Qt::SortOrder ordnung) {
  beginResetModel();
  sortieren(editorZustand().zeilen, spalte, ordnung);
  endResetModel();
}

void WortlisteModell::sortieren(std::vector<Eintrag>& zeilen, int spalte, Qt::SortOrder ordnung) {
  if (spalte < 1 || spalte > 2 || zeilen.size() < 2) return;
  const auto text = [&zeilen, spalte](std::uint32_t i) -> const std::string& {
    return spalte == 1 ? zeilen[i].geschrieben : zeilen[i].gesprochen;
  };
  std::vector<Praefix> folge;
  folge.reserve(zeilen.size());
  for (std::uint32_t i = 0; i < zeilen.size(); ++i)
    folge.push_back(praefixBilden(text(i), i));
  // The collator's keys only for rows whose prefixes do not decide.
  const QCollator collator = deutscherCollator();
  std::vector<std::optional<QCollatorSortKey>> schluessel(zeilen.size());
  const auto schluesselVon = [&](std::uint32_t i) -> const QCollatorSortKey& {
    if (!schluessel[i]) schluessel[i].emplace(collator.sortKey(qtext(text(i))));
    return *schluessel[i];
  };
  const bool aufsteigend = ordnung == Qt::AscendingOrder;
  // Equal texts keep the order they had (the position decides last).
  std::sort(folge.begin(), folge.end(), [&](const Praefix& a, const Praefix& b) {
    int r = praefixVergleich(a, b);
    if (r == 0 && a.ganz && b.ganz) {
      // Equal in the ranks to their end, so of the same length.
      r = a.feinheit == b.feinheit ? 0 : a.feinheit < b.feinheit ? -1 : 1;
    } else if (r == 0) {
      r = schluesselVon(a.zeile).compare(schluesselVon(b.zeile));
    }
    if (r == 0) return a.zeile < b.zeile;
    return aufsteigend ? r < 0 : r > 0;
  });
  // Rows into their new places, cycle by cycle, without a second vector.
  for (std::size_t start = 0; start < folge.size(); ++start) {
    if (folge[start].zeile == start) continue;
    Eintrag halter = std::move(zeilen[start]);
    std::size_t ziel = start;
    while (folge[ziel].zeile != start) {
      const std::size_t quelle = folge[ziel].zeile;
      zeilen[ziel] = std::move(zeilen[quelle]);
      folge[ziel].zeile = static_cast<std::uint32_t>(ziel);
      ziel = quelle;
    }
    zeilen[ziel] = std::move(halter);
    folge[ziel].zeile = static_cast<std::uint32_t>(ziel);
  }
}

std::ptrdiff_t WortlisteModell::zeileMitAnfang(const std::vector<Eintrag>& zeilen,
                                               std::string_view anfang) {
  std::vector<unsigned> gesucht;
  suchEinheiten(anfang, [&gesucht](unsigned e) {
    gesucht.push_back(e);
    return true;
  });
  if (gesucht.empty()) return -1;
  for (std::size_t i = 0; i < zeilen.size(); ++i) {
    std::size_t gleich = 0;
    suchEinheiten(zeilen[i].geschrieben, [&](unsigned e) {
      if (e != gesucht[gleich]) return false;
      return ++gleich < gesucht.size();
    });
    if (gleich == gesucht.size()) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

void WortlisteModell::hakenGeaendert(int von, int bis) {
  if (von > bis) return;
  emit dataChanged(index(von, 0), index(bis, 0), {Qt::CheckStateRole});
}

}  // namespace vk
