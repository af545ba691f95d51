// Table model of the word list editor (see wortliste_modell.h).
#include "main/editor/wortliste_modell.h"

#include <QCollatorSortKey>
#include <algorithm>
#include <numeric>
#include <vector>

#include "common/qtext.h"
#include "common/sortierung.h"
#include "main/editor/wortliste.h"

namespace vk {

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
  sortieren(spalte, ordnung);
  endResetModel();
}

void WortlisteModell::sortieren(int spalte, Qt::SortOrder ordnung) {
  auto& zeilen = editorZustand().zeilen;
  if (spalte < 1 || spalte > 2 || zeilen.size() < 2) return;
  // One key per row, made once; the comparisons then only compare keys.
  const QCollator collator = deutscherCollator();
  std::vector<QCollatorSortKey> schluessel;
  schluessel.reserve(zeilen.size());
  for (const Eintrag& e : zeilen)
    schluessel.push_back(collator.sortKey(qtext(spalte == 1 ? e.geschrieben : e.gesprochen)));
  std::vector<std::uint32_t> folge(zeilen.size());
  std::iota(folge.begin(), folge.end(), 0U);
  const bool aufsteigend = ordnung == Qt::AscendingOrder;
  std::stable_sort(folge.begin(), folge.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int r = schluessel[a].compare(schluessel[b]);
    return aufsteigend ? r < 0 : r > 0;
  });
  std::vector<Eintrag> sortiert;
  sortiert.reserve(zeilen.size());
  for (const std::uint32_t i : folge)
    sortiert.push_back(std::move(zeilen[i]));
  zeilen.swap(sortiert);
}

void WortlisteModell::hakenGeaendert(int von, int bis) {
  if (von > bis) return;
  emit dataChanged(index(von, 0), index(bis, 0), {Qt::CheckStateRole});
}

}  // namespace vk
