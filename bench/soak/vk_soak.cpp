// The parts of the soak run that are not the server: a writer that appends
// numbered lines to a pool's new-words text through the client library and
// wakes the server (now and then one large text, so kills land in the
// middle of an append); an applier that works on one member's ".neu" as the
// helper does (claim, apply, keep until saved) with a word file standing in
// for the recognizer's vocabulary; and the final check of every member.
// Killed with -9 at any moment by soak.sh; nothing here may lose a line
// that a writer has reported as written.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/poolfiles.h"
#include "common/server_trigger.h"
#include "common/utilities.h"
#include "helper/wortdateien.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "platform/system.h"
#include "platform/text_lines.h"

namespace {

void clientEinrichten(const std::string& ziel, const std::string& pool) {
  vk::responderEinschalten();
  auto& k = vk::konfiguration();
  k.ZielVerzeichnis = plat::withBackslash(plat::systemPath(ziel));
  k.neuWorteTextdatei = "\\neuWorte.txt";
  k.loeWorteTextdatei = "\\loeWorte.txt";
  k.TriggerName = "Trigger\\*.trg";
  k.mitTrigger = true;
  vk::poolZustand().Pool = pool;
  plat::confineBelow(k.ZielVerzeichnis);
}

// Appends up to `zeilen` lines in batches; a batch counts as written (and
// goes to the log of written lines) only when the client library reported
// it closed. Ends early when the file $VK_SOAK_STOP exists.
int schreiber(const std::string& ziel, const std::string& pool, const std::string& id, int zeilen,
              const std::string& protokoll) {
  clientEinrichten(ziel, pool);
  std::FILE* log = std::fopen(protokoll.c_str(), "a");
  if (log == nullptr) return 2;
  // The script ends the writers between two batches: no batch is cut.
  const char* stop = std::getenv("VK_SOAK_STOP");
  int n = 0;
  for (int stapel = 0; n < zeilen; ++stapel) {
    if (stop != nullptr && ::access(stop, F_OK) == 0) break;
    const int anzahl = stapel % 50 == 7 ? 20000 : 1 + stapel % 5;
    std::vector<std::string> neu;
    for (int i = 0; i < anzahl && n < zeilen; ++i, ++n)
      neu.push_back("S" + id + "-" + std::to_string(n) + "\\soak " + std::to_string(n % 97));
    for (int versuch = 0; !vk::AusgabeAnhaengen(false); ++versuch) {
      if (versuch == 600) {
        std::fprintf(stderr, "schreiber %s: Pool-Text nicht zu oeffnen\n", id.c_str());
        return 1;
      }
      plat::sleepMs(50);
    }
    for (const std::string& z : neu)
      vk::ZeileSchreiben(z);
    if (!vk::AusgabeSchliessen()) {
      std::fprintf(stderr, "schreiber %s: Stapel %d nicht geschrieben\n", id.c_str(), stapel);
      return 1;
    }
    for (const std::string& z : neu)
      std::fprintf(log, "%s\n", z.c_str());
    std::fflush(log);
    vk::TriggerSetzen(vk::TriggerArt::pool);
    plat::sleepMs(5 + stapel % 20);
  }
  std::fclose(log);
  return 0;
}

// Applies a word file to the stand-in vocabulary: its lines are appended,
// a line it has already is not, as the recognizer adds a known word no
// second time (an applier killed after applying a file and before marking
// it applies it again). Duplicates of the delivery still show: at u1 in the
// member's files, at the members without an applier everywhere.
bool anwenden(const std::string& datei, const std::string& vokabular) {
  static std::set<std::string> bekannt;
  static bool geladen = false;
  if (!geladen) {
    std::vector<std::string> alt;
    if (plat::fileExists(vokabular) && plat::readLines(vokabular, alt) != plat::Err::ok)
      return false;
    bekannt.insert(alt.begin(), alt.end());
    geladen = true;
  }
  std::vector<std::string> zeilen;
  if (plat::readLines(datei, zeilen) != plat::Err::ok) return false;
  std::vector<std::string> neu;
  for (const std::string& z : zeilen)
    if (!bekannt.contains(z)) neu.push_back(z);
  plat::SharedFile v;
  if (v.open(vokabular, plat::Access::readWrite, plat::Share::exclusive,
             plat::Disposition::openAlways) != plat::Err::ok ||
      plat::appendLines(v, neu) != plat::Err::ok)
    return false;
  bekannt.insert(neu.begin(), neu.end());
  return true;
}

// One round of the helper's work on `neu`, then the save.
void anwendenRunde(const std::string& neu, const std::string& vokabular) {
  const std::string claim = helfer::ClaimPfad(neu);
  const std::string angewandt = helfer::AngewandtPfad(neu);
  if (plat::fileExists(angewandt) && plat::fileExists(claim) &&
      helfer::UmbenennungVollenden(claim, angewandt) != plat::Err::ok)
    return;
  if (plat::fileExists(angewandt) && !anwenden(angewandt, vokabular)) return;
  if (plat::fileExists(claim)) {
    if (!anwenden(claim, vokabular) ||
        helfer::AngewandtVormerken(claim, angewandt) != plat::Err::ok)
      return;
  }
  plat::Err e = plat::Err::ok;
  if (helfer::DateiBeanspruchen(neu, e) == helfer::Beanspruchung::beansprucht &&
      (!anwenden(claim, vokabular) ||
       helfer::AngewandtVormerken(claim, angewandt) != plat::Err::ok))
    return;
  plat::SharedFile v;
  if (v.open(vokabular, plat::Access::readWrite, plat::Share::exclusive,
             plat::Disposition::openAlways) != plat::Err::ok ||
      v.sync() != plat::Err::ok)
    return;
  v.close();
  if (plat::fileExists(angewandt))
    plat::ignoreErr(plat::removeFile(angewandt), "applied again next time, as by the helper");
}

int anwender(const std::string& ziel, const std::string& pool, const std::string& benutzer,
             bool einmal) {
  clientEinrichten(ziel, pool);
  const std::string ordner = vk::konfiguration().ZielVerzeichnis + pool + "\\";
  const std::string neu = ordner + "_" + benutzer + ".neu";
  const std::string vokabular = ordner + "Vokabular-" + benutzer + ".txt";
  do {
    anwendenRunde(neu, vokabular);
    if (!einmal) plat::sleepMs(100);
  } while (!einmal);
  return 0;
}

// Where a line was seen: which of the member's files, which line of it.
struct Fundort {
  std::size_t datei;
  std::size_t zeile;
};

void zaehlen(const std::string& pfad, std::size_t nr,
             std::map<std::string, std::vector<Fundort>>& gesehen) {
  std::vector<std::string> zeilen;
  if (!plat::fileExists(pfad) || plat::readLines(pfad, zeilen) != plat::Err::ok) return;
  for (std::size_t i = 0; i < zeilen.size(); ++i)
    gesehen[zeilen[i]].push_back({nr, i});
}

// Every written line must be with every member exactly once, nothing else
// may be there. A few duplicated and corrupted lines are shown with where
// they lie, so a block delivered twice can be told from a line applied
// twice.
int pruefen(const std::string& ziel, const std::string& pool, const std::string& logs,
            const std::vector<std::string>& benutzer) {
  std::set<std::string> erwartet;
  std::vector<std::string> dateien;
  // Without every writer's log a loss could not be seen: that fails the check.
  if (plat::listDirectory(plat::systemPath(logs), "geschrieben-*", plat::ListKind::files,
                          dateien) != plat::Err::ok) {
    std::printf("logs unreadable\n");
    return 1;
  }
  for (const std::string& d : dateien) {
    std::vector<std::string> zeilen;
    if (plat::readLines(plat::withBackslash(plat::systemPath(logs)) + d, zeilen) != plat::Err::ok) {
      std::printf("log %s unreadable\n", d.c_str());
      return 1;
    }
    erwartet.insert(zeilen.begin(), zeilen.end());
  }
  const std::string ordner = plat::withBackslash(plat::systemPath(ziel)) + pool + "\\";
  bool schlecht = false;
  std::printf("written %zu lines\n", erwartet.size());
  for (const std::string& b : benutzer) {
    std::map<std::string, std::vector<Fundort>> gesehen;
    const std::string neu = ordner + "_" + b + ".neu";
    const std::vector<std::string> pfade = {neu, helfer::ClaimPfad(neu), helfer::AngewandtPfad(neu),
                                            neu + ".zustellung",
                                            ordner + "Vokabular-" + b + ".txt"};
    for (std::size_t i = 0; i < pfade.size(); ++i)
      zaehlen(pfade[i], i, gesehen);
    std::size_t verloren = 0, doppelt = 0, kaputt = 0, gezeigt = 0;
    for (const std::string& z : erwartet)
      if (!gesehen.contains(z)) ++verloren;
    for (const auto& [z, orte] : gesehen) {
      if (!erwartet.contains(z)) {
        ++kaputt;
        if (gezeigt++ < 3) {
          std::string wo;
          for (const Fundort& o : orte)
            wo += " " + pfade[o.datei].substr(ordner.size()) + ":" + std::to_string(o.zeile + 1);
          std::printf("  %s corrupted: \"%s\" at%s\n", b.c_str(), z.c_str(), wo.c_str());
        }
      } else if (orte.size() > 1) {
        doppelt += orte.size() - 1;
        if (gezeigt++ >= 3) continue;
        std::string wo;
        for (const Fundort& o : orte)
          wo += " " + pfade[o.datei].substr(ordner.size()) + ":" + std::to_string(o.zeile + 1);
        std::printf("  %s duplicated: %s at%s\n", b.c_str(), z.c_str(), wo.c_str());
      }
    }
    std::printf("member %s lost %zu duplicated %zu corrupted %zu\n", b.c_str(), verloren, doppelt,
                kaputt);
    if (verloren > 0 || doppelt > 0 || kaputt > 0) schlecht = true;
  }
  return schlecht ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() == 6 && a[0] == "schreiber")
    return schreiber(a[1], a[2], a[3], std::atoi(a[4].c_str()), a[5]);
  if (a.size() == 5 && a[0] == "anwender") return anwender(a[1], a[2], a[3], a[4] == "einmal");
  if (a.size() >= 5 && a[0] == "pruefen")
    return pruefen(a[1], a[2], a[3], std::vector<std::string>(a.begin() + 4, a.end()));
  std::fprintf(stderr,
               "usage: vk_soak schreiber ZIEL POOL ID ZEILEN LOG\n"
               "       vk_soak anwender ZIEL POOL BENUTZER laufend|einmal\n"
               "       vk_soak pruefen ZIEL POOL LOGORDNER BENUTZER...\n");
  return 3;
}
