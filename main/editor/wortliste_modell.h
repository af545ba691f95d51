// The table model of the word list editor: three columns (check box with
// the marker " ", written form, spoken form) over the rows of
// editorZustand(), converted to screen text only when a row is shown.
// Sorting is German (common/sortierung.h), on keys made once per sort.
// No files; no failure modes.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstddef>
#include <string_view>
#include <vector>

#include "main/editor/wortliste.h"

namespace vk {

class WortlisteModell : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit WortlisteModell(QObject* eltern = nullptr);

  // State: editorZustand() (reads).
  int rowCount(const QModelIndex& eltern = QModelIndex()) const override;
  int columnCount(const QModelIndex& eltern = QModelIndex()) const override;
  // State: editorZustand() (reads).
  QVariant data(const QModelIndex& index, int rolle = Qt::DisplayRole) const override;
  // State: editorZustand() (reads).
  bool setData(const QModelIndex& index, const QVariant& wert, int rolle) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int spalte, Qt::Orientation richtung, int rolle) const override;
  // State: editorZustand() (reads and writes).
  void sort(int spalte, Qt::SortOrder ordnung = Qt::AscendingOrder) override;

  void koepfeSetzen(const QStringList& koepfe);

  // Around a change of the whole row vector (build, removal): one reset.
  void aenderungBeginnen() { beginResetModel(); }
  void aenderungBeenden() { endResetModel(); }
  // Sorts the rows (the window passes editorZustand().zeilen) without
  // telling the views (inside a change).
  static void sortieren(std::vector<Eintrag>& zeilen, int spalte, Qt::SortOrder ordnung);
  // The first row, in the order shown, whose written form starts with
  // `anfang` as a German reader compares letters (case aside, Ä as A, ß as
  // ss); -1 when none does or `anfang` is empty. cp1252.
  static std::ptrdiff_t zeileMitAnfang(const std::vector<Eintrag>& zeilen, std::string_view anfang);
  // Check boxes of rows von..bis changed by an operation.
  void hakenGeaendert(int von, int bis);

 signals:
  // The user changed a check box.
  void hakenGeklickt();

 private:
  QStringList koepfe_;
};

}  // namespace vk
