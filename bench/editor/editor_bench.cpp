// The word list editor on a pool total list of 200,000 lines (a tenth with
// spoken forms, a tenth in capitals, umlauts, duplicates), offscreen: opening
// to the sorted list shown against reading the same file and std::sort of
// its lines; checking all rows, removing half of the rows selected, searching
// the last word and "Uebernehmen" of all rows against the budget of one
// second. Prints the best of several rounds and the peak memory per row.
// Works in a folder of its own below the system temp folder.
#include <stdlib.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QTableView>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/poolfiles.h"
#include "main/editor/form_wortliste.h"
#include "main/editor/wortliste.h"
#include "platform/paths.h"

namespace {

constexpr int kZeilen = 200000;

double besteZeitMs(int runden, const std::function<void()>& vorher,
                   const std::function<void()>& lauf) {
  double beste = 1e30;
  for (int i = 0; i < runden; ++i) {
    vorher();
    const auto a = std::chrono::steady_clock::now();
    lauf();
    const auto b = std::chrono::steady_clock::now();
    beste = std::min(beste, std::chrono::duration<double, std::milli>(b - a).count());
  }
  return beste;
}

// Kilobytes of a line of /proc/self/status ("VmHWM", "VmRSS").
long statusKb(const char* feld) {
  std::ifstream f("/proc/self/status");
  std::string zeile;
  while (std::getline(f, zeile)) {
    if (zeile.rfind(feld, 0) == 0) return std::atol(zeile.c_str() + std::strlen(feld) + 1);
  }
  return 0;
}

void zeigen(const char* was, double ms, double refMs, const char* ref, double ziel) {
  std::printf("%-38s %9.1f ms   %s %9.1f ms   ratio %.2f (goal <= %.1f)\n", was, ms, ref, refMs,
              ms / refMs, ziel);
}

// Word lines of a medical dictation pool: words made of German syllables
// (umlauts and ß among them), a tenth with a spoken form, a tenth in
// capitals (abbreviations), every hundredth line a duplicate of an earlier
// one. The same seed gives the same file.
std::string liste(int anzahl = kZeilen) {
  static const char* const silben[] = {"an",
                                       "be",
                                       "chi",
                                       "der",
                                       "en",
                                       "fe",
                                       "ge",
                                       "hal",
                                       "in",
                                       "ko",
                                       "lu",
                                       "ma",
                                       "ne",
                                       "ob",
                                       "pa",
                                       "ra",
                                       "sch",
                                       "st",
                                       "te",
                                       "um",
                                       "ver",
                                       "wi",
                                       "zu",
                                       "\xE4"
                                       "r",
                                       "\xF6"
                                       "l",
                                       "\xFC"
                                       "b",
                                       "\xDF",
                                       "ie",
                                       "ei",
                                       "au",
                                       "ng",
                                       "ck"};
  std::mt19937 zufall(4711);
  const auto silbe = [&] { return std::string(silben[zufall() % std::size(silben)]); };
  std::vector<std::string> zeilen;
  zeilen.reserve(static_cast<std::size_t>(anzahl));
  std::string s;
  for (int i = 0; i < anzahl; ++i) {
    if (i % 100 == 99) {
      zeilen.push_back(zeilen[zufall() % zeilen.size()]);
      continue;
    }
    std::string wort;
    const int silbenZahl = 2 + static_cast<int>(zufall() % 4);
    for (int j = 0; j < silbenZahl; ++j)
      wort += silbe();
    if (i % 10 == 3) {
      for (char& c : wort)
        c = c == '\xE4'   ? '\xC4'
            : c == '\xF6' ? '\xD6'
            : c == '\xFC' ? '\xDC'
                          : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      wort = wort.substr(0, 3 + zufall() % 3) + std::to_string(zufall() % 100);
    } else {
      if (zufall() % 2 == 0)
        wort[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(wort[0])));
      if (i % 10 == 7) wort += "\\" + silbe() + " " + silbe() + silbe();
    }
    zeilen.push_back(wort);
  }
  for (const std::string& z : zeilen)
    s += z + "\r\n";
  return s;
}

// The reference: the file read line by line and std::sort of its lines,
// best of five rounds.
double referenzMs(const std::filesystem::path& pfad, std::size_t& anzahl) {
  return besteZeitMs(
      5, [] {},
      [&] {
        std::vector<std::string> zeilen;
        std::ifstream f(pfad, std::ios::binary);
        std::string zeile;
        while (std::getline(f, zeile)) {
          if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
          zeilen.push_back(zeile);
        }
        std::sort(zeilen.begin(), zeilen.end());
        anzahl = zeilen.size();
      });
}

}  // namespace

int main(int argc, char** argv) {
  // For the run of the whole program (run.sh): the word file, and the
  // reference on it.
  if (argc == 4 && std::string(argv[1]) == "--datei") {
    std::ofstream(argv[2], std::ios::binary) << liste(std::atoi(argv[3]));
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "--referenz") {
    std::size_t anzahl = 0;
    const double ms = referenzMs(argv[2], anzahl);
    std::printf("%.1f %zu\n", ms, anzahl);
    return 0;
  }
  const auto ordner =
      std::filesystem::temp_directory_path() / ("vk-editor-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(ordner / "ziel/Chirurgie");
  std::filesystem::create_directories(ordner / "reg");
  ::setenv("VOKARIUM_REGISTRY_DIR", (ordner / "reg").c_str(), 1);
  ::setenv("VOKARIUM_TRACE_SOCKET", (ordner / "trace").c_str(), 1);
  QApplication app(argc, argv);
  const std::string inhalt = liste();
  const auto gesamtPfad = ordner / "ziel/Chirurgie/AlleWorte.txt";
  const auto schreiben = [&] {
    std::ofstream(gesamtPfad, std::ios::binary) << inhalt;
    std::filesystem::remove(ordner / "ziel/Chirurgie/neuWorte.txt");
    std::filesystem::remove(ordner / "ziel/Chirurgie/loeWorte.txt");
  };
  schreiben();
  vk::responderEinschalten();
  auto& k = vk::konfiguration();
  k.ZielVerzeichnis = plat::withBackslash(plat::systemPath((ordner / "ziel").string()));
  k.GesamtWortlistenDatei = "AlleWorte.txt";
  k.WortlistenDatei = "Worte.dat";
  k.neuWorteTextdatei = "\\neuWorte.txt";
  k.loeWorteTextdatei = "\\loeWorte.txt";
  vk::poolZustand().Pool = "Chirurgie";
  vk::Listenauftrag auftrag;
  auftrag.dateiname = "AlleWorte.txt";
  auftrag.Gesamt = true;

  // Reference: the same file read line by line and sorted.
  std::size_t refZeilen = 0;
  const double ref = referenzMs(gesamtPfad, refZeilen);

  std::unique_ptr<vk::FormWortliste> form;
  const auto oeffnen = [&] {
    form = std::make_unique<vk::FormWortliste>(nullptr, auftrag);
    form->show();
    while (!form->Liste->isVisible())
      QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  };
  const auto schliessen = [&] {
    if (form) form->close();
    form.reset();
  };
  const long rssVorher = statusKb("VmRSS:");
  oeffnen();
  const long spitze = statusKb("VmHWM:");
  const std::size_t zeilen = vk::editorZustand().zeilen.size();
  schliessen();
  const double offen = besteZeitMs(3, schliessen, oeffnen);
  zeigen("open to sorted list shown", offen, ref, "read+sort", 2.0);

  const double markieren = besteZeitMs(
      3,
      [&] {
        form->Liste->selectAll();
        form->findChild<QAction*>("Entmarkieren")->trigger();
        form->Liste->selectAll();
      },
      [&] { form->findChild<QAction*>("Markieren")->trigger(); });
  zeigen("check all 200,000 rows", markieren, 1000, "budget", 1.0);

  const double suchen = besteZeitMs(
      5, [] {}, [&] { form->suchen(vk::editorZustand().zeilen.back().geschrieben); });
  zeigen("search the last word", suchen, 1000, "budget", 1.0);

  const double entfernen = besteZeitMs(
      3,
      [&] {
        schliessen();
        oeffnen();
        auto* m = form->Liste->model();
        form->Liste->selectionModel()->select(
            QItemSelection(m->index(m->rowCount() / 4, 0), m->index(m->rowCount() * 3 / 4 - 1, 2)),
            QItemSelectionModel::Select);
      },
      [&] { form->findChild<QAction*>("Entfernen")->trigger(); });
  zeigen("remove half of the rows, selected", entfernen, 1000, "budget", 1.0);

  const double uebernehmen = besteZeitMs(
      3,
      [&] {
        schliessen();
        schreiben();
        oeffnen();
        vk::editorZustand().zeilen[7].angehakt = false;
      },
      [&] { form->findChild<QAction*>("Uebernehmen")->trigger(); });
  zeigen("Uebernehmen of 200,000 rows (total list)", uebernehmen, 1000, "budget", 1.0);
  schliessen();

  std::printf("peak memory per row: %.0f bytes (%zu rows, reference read %zu lines)\n",
              static_cast<double>(spitze - rssVorher) * 1024.0 / static_cast<double>(zeilen),
              zeilen, refZeilen);
  std::filesystem::remove_all(ordner);
  if (!vk::recordedMessages().empty()) {
    std::printf("messages: %s\n", vk::recordedMessages().front().text.c_str());
    return 1;
  }
  return 0;
}
