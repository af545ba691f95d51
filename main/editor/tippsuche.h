// Keys of the word list that move through it as a reader expects: letters
// typed one after the other jump to the first word that starts with them
// (German comparison), Home and End to the first and last row. The row
// jumped to becomes the current and only selected row, so the keys that
// act on the selection act on what the user sees. No files; no failures.
#pragma once

class QTableView;

namespace vk {

class WortlisteModell;

// Installs the keys on `liste` (showing `modell`); they live as long as it.
void TippSucheEinrichten(QTableView& liste, WortlisteModell& modell);

}  // namespace vk
