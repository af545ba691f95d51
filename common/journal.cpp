// The journal of a take-over (see journal.h).
#include "common/journal.h"

#include <random>

#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/poolfiles.h"
#include "common/server_trigger.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "platform/paths.h"

namespace vk {

namespace {

constexpr std::string_view kKopf = "VOKARIUM-JOURNAL 2";
// Journals of the first form (no hash of the word file) are still finished.
constexpr std::string_view kKopfOhnePruefsumme = "VOKARIUM-JOURNAL 1";

std::uint64_t fnv1a(std::string_view daten) {
  std::uint64_t h = 0xCBF29CE484222325ULL;
  for (const char c : daten) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001B3ULL;
  }
  return h;
}

std::string hex(std::uint64_t wert) {
  static const char* const ziffern = "0123456789abcdef";
  std::string s(16, '0');
  for (int i = 15; i >= 0; --i, wert >>= 4)
    s[static_cast<std::size_t>(i)] = ziffern[wert & 15];
  return s;
}

std::string ordnerVon(const std::string& pfad) {
  return pfad.substr(0, pfad.rfind('\\'));
}

std::string markeName(const Journal& j, std::size_t n) {
  return plat::ownTempName("Erledigt-" + j.kennung + "-" + std::to_string(n));
}

bool erledigt(const Journal& j, std::size_t n) {
  return plat::fileExists(ordnerVon(j.pfad) + "\\" + markeName(j, n));
}

std::string feld(std::string_view f) {
  return std::string(f);
}

// Splits a record line at TAB.
std::vector<std::string_view> felder(std::string_view zeile) {
  std::vector<std::string_view> r;
  std::size_t pos = 0;
  while (true) {
    const std::size_t tab = zeile.find('\t', pos);
    r.push_back(zeile.substr(pos, tab == std::string_view::npos ? tab : tab - pos));
    if (tab == std::string_view::npos) return r;
    pos = tab + 1;
  }
}

bool hexZahl(std::string_view text, std::uint64_t& wert) {
  if (text.empty() || text.size() > 16) return false;
  wert = 0;
  for (const char c : text) {
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return false;
    wert = wert << 4 | static_cast<std::uint64_t>(d);
  }
  return true;
}

bool zahl(std::string_view text, std::int64_t& wert) {
  if (text.empty()) return false;
  bool minus = text[0] == '-';
  if (minus) text.remove_prefix(1);
  if (text.empty()) return false;
  std::int64_t w = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    w = w * 10 + (c - '0');
  }
  wert = minus ? -w : w;
  return true;
}

std::string aufschreiben(const Journal& j) {
  std::string s(kKopf);
  s += "\r\n";
  if (!j.vorbedingungPfad.empty())
    s += "Vorbedingung\t" + j.vorbedingungPfad + "\t" + std::to_string(j.vorbedingungLaenge) +
         "\t" + hex(j.vorbedingungPruefsumme) + "\r\n";
  for (std::size_t i = 0; i < j.anhaenge.size(); ++i) {
    const JournalAnhang& a = j.anhaenge[i];
    if (a.ausListe) {
      s += "Anhang\t" + a.pfad + "\tListe\t" + std::to_string(a.daten.size()) + "\r\n";
      continue;
    }
    std::size_t gleich = i;
    for (std::size_t k = 0; k < i && gleich == i; ++k)
      if (j.anhaenge[k].daten == a.daten) gleich = k;
    if (gleich != i) {
      s += "Anhang\t" + a.pfad + "\twie\t" + std::to_string(gleich) + "\r\n";
      continue;
    }
    s += "Anhang\t" + a.pfad + "\t" + std::to_string(a.daten.size()) + "\r\n";
    s += a.daten;
  }
  if (!j.wortdatei.empty())
    s += "Wortdatei\t" + j.wortdatei + "\t" + std::to_string(j.wortdateiGeraet) + "\t" +
         std::to_string(j.wortdateiKnoten) + "\t" + std::to_string(j.wortdateiLaenge) + "\t" +
         hex(j.wortdateiPruefsumme.value_or(0)) + "\r\n";
  s += "Ende\r\n";
  return s;
}

// Reads a journal back; `ende` tells whether it is complete, `fertig`
// whether every append was done. false: not a journal of this form.
bool einlesen(std::string_view s, Journal& j, bool& ende, bool& fertig) {
  ende = fertig = false;
  bool erste = true;
  bool mitPruefsumme = true;
  while (!s.empty()) {
    const std::size_t lf = s.find("\r\n");
    if (lf == std::string_view::npos) return !erste;
    const std::string_view zeile = s.substr(0, lf);
    s.remove_prefix(lf + 2);
    if (erste) {
      if (zeile == kKopfOhnePruefsumme)
        mitPruefsumme = false;
      else if (zeile != kKopf)
        return false;
      erste = false;
      continue;
    }
    const auto f = felder(zeile);
    std::int64_t n = 0;
    if (f[0] == "Vorbedingung" && f.size() == 4 && zahl(f[2], n) &&
        hexZahl(f[3], j.vorbedingungPruefsumme)) {
      j.vorbedingungPfad = feld(f[1]);
      j.vorbedingungLaenge = n;
    } else if (f[0] == "Anhang" && f.size() == 4 && f[2] == "wie" && zahl(f[3], n) && n >= 0 &&
               static_cast<std::size_t>(n) < j.anhaenge.size()) {
      j.anhaenge.push_back({feld(f[1]), j.anhaenge[static_cast<std::size_t>(n)].daten});
    } else if (f[0] == "Anhang" && f.size() == 4 && f[2] == "Liste" && zahl(f[3], n) && n >= 0) {
      JournalAnhang a{feld(f[1]), std::string(static_cast<std::size_t>(n), '\0')};
      a.ausListe = true;
      j.anhaenge.push_back(std::move(a));
    } else if (f[0] == "Anhang" && f.size() == 3 && zahl(f[2], n) && n >= 0) {
      if (static_cast<std::size_t>(n) > s.size()) return true;  // torn while written
      j.anhaenge.push_back({feld(f[1]), std::string(s.substr(0, static_cast<std::size_t>(n)))});
      s.remove_prefix(static_cast<std::size_t>(n));
    } else if (f[0] == "Wortdatei" && f.size() == (mitPruefsumme ? 6U : 5U)) {
      std::int64_t geraet = 0;
      std::int64_t knoten = 0;
      std::uint64_t pruefsumme = 0;
      if (!zahl(f[2], geraet) || !zahl(f[3], knoten) || !zahl(f[4], n) ||
          (mitPruefsumme && !hexZahl(f[5], pruefsumme)))
        return false;
      if (mitPruefsumme) j.wortdateiPruefsumme = pruefsumme;
      j.wortdatei = feld(f[1]);
      j.wortdateiGeraet = static_cast<std::uint64_t>(geraet);
      j.wortdateiKnoten = static_cast<std::uint64_t>(knoten);
      j.wortdateiLaenge = n;
    } else if (zeile == "Ende") {
      ende = true;
    } else if (zeile == "Abgeschlossen") {
      fertig = ende;
    } else {
      return false;
    }
  }
  return !erste;
}

// Whether the total list still starts with the content it was to get.
// false also when it cannot be read now (the journal then waits).
bool vorbedingungGilt(const Journal& j, bool& lesbar) {
  lesbar = true;
  plat::SharedFile f;
  const plat::Err e = f.openRetrying(j.vorbedingungPfad, plat::Access::read, plat::Share::shared,
                                     plat::Disposition::openExisting, 10, 200);
  if (e == plat::Err::notFound) return false;
  if (e != plat::Err::ok) {
    lesbar = false;
    return false;
  }
  std::string anfang(static_cast<std::size_t>(std::max<std::int64_t>(j.vorbedingungLaenge, 0)),
                     '\0');
  std::size_t gelesen = 0;
  if (f.readAt(0, anfang.data(), anfang.size(), gelesen) != plat::Err::ok) {
    lesbar = false;
    return false;
  }
  return gelesen == anfang.size() && fnv1a(anfang) == j.vorbedingungPruefsumme;
}

// Fills the appends recorded as the start of the new total list from it.
// When the list no longer starts with that content (it was replaced again
// since), those appends cannot be made and are given up (traced).
bool listenDatenLaden(Journal& j) {
  bool lesbar = true;
  const bool gilt = vorbedingungGilt(j, lesbar);
  if (!lesbar) return false;
  std::string inhalt;
  if (gilt) {
    plat::SharedFile f;
    if (f.openRetrying(j.vorbedingungPfad, plat::Access::read, plat::Share::shared,
                       plat::Disposition::openExisting, 10, 200) != plat::Err::ok ||
        f.readAll(inhalt, static_cast<std::size_t>(j.vorbedingungLaenge)) != plat::Err::ok)
      return false;
  }
  for (auto it = j.anhaenge.begin(); it != j.anhaenge.end(); ++it) {
    if (!it->ausListe) continue;
    if (gilt && it->daten.size() <= inhalt.size()) {
      it->daten.assign(inhalt, 0, it->daten.size());
    } else {
      Trace("Journal: Liste ersetzt, Anhang entfaellt", it->pfad);
      it->daten.clear();
    }
  }
  return true;
}

// Whether the held word file still starts with the bytes the take-over
// read (their length and hash). A file deleted and made again since may
// have the old one's device and inode; its start then differs.
bool wortdateiBeginntMitGelesenem(plat::SharedFile& f, const Journal& j) {
  if (j.wortdateiLaenge < 0 || !j.wortdateiPruefsumme) return true;
  std::string anfang(static_cast<std::size_t>(j.wortdateiLaenge), '\0');
  std::size_t gelesen = 0;
  return f.readAt(0, anfang.data(), anfang.size(), gelesen) == plat::Err::ok &&
         gelesen == anfang.size() && fnv1a(anfang) == *j.wortdateiPruefsumme;
}

// Deletes the word file, keeping what was appended to it after it was
// read; a file that is not the one recorded (another device or inode, or
// no longer starting with what was read) is left alone.
plat::Err wortdateiLoeschen(const Journal& j) {
  if (j.wortdatei.empty()) return plat::Err::ok;
  plat::SharedFile f;
  plat::Err e = WortdateiOeffnen(f, j.wortdatei, plat::Disposition::openExisting);
  if (e == plat::Err::notFound) return plat::Err::ok;
  if (e != plat::Err::ok) return e;
  std::uint64_t geraet = 0;
  std::uint64_t knoten = 0;
  if (!f.identity(geraet, knoten) || geraet != j.wortdateiGeraet || knoten != j.wortdateiKnoten)
    return plat::Err::ok;
  if (!wortdateiBeginntMitGelesenem(f, j)) {
    Trace("Wortdatei neu angelegt, bleibt", j.wortdatei);
    return plat::Err::ok;
  }
  const std::int64_t groesse = f.size();
  Trace("Delete", j.wortdatei);
  if (j.wortdateiLaenge < 0 || groesse <= j.wortdateiLaenge) return f.removeAndClose();
  std::string rest(static_cast<std::size_t>(groesse - j.wortdateiLaenge), '\0');
  std::size_t gelesen = 0;
  e = f.readAt(j.wortdateiLaenge, rest.data(), rest.size(), gelesen);
  if (e != plat::Err::ok) return e;
  rest.resize(gelesen);
  return f.replaceHeld(rest, true);
}

// Opens an append's file, `versuche` times while another program holds it,
// then asks `nochmal`.
plat::Err zielOeffnen(plat::SharedFile& f, const JournalAnhang& a, int pauseMs,
                      const std::function<bool(const std::string&)>& nochmal) {
  while (true) {
    plat::Err e = plat::Err::ok;
    for (int v = 0; v < std::max(a.versuche, 1); ++v) {
      if (v > 0) Warten(static_cast<float>(pauseMs) / 1000.0f);
      e = f.open(a.pfad, plat::Access::readWrite, plat::Share::exclusive,
                 plat::Disposition::openAlways);
      if (!plat::heldByOther(e)) return e;
    }
    Trace("Versuche erschoepft", a.pfad, plat::code(e));
    if (!nochmal || !nochmal(a.pfad)) return e;
  }
}

bool abschliessen(Journal& j, bool melden) {
  const bool gut = j.datei.seek(j.datei.size()) == plat::Err::ok &&
                   j.datei.write("Abgeschlossen\r\n") == plat::Err::ok;
  if (!gut) return false;
  TriggerSetzen(TriggerArt::pool);
  const plat::Err e = wortdateiLoeschen(j);
  if (e != plat::Err::ok) {
    // The journal stays: the next program deletes the word file, so its
    // words are never taken over twice.
    if (melden) Fehlermeldung(e, TextMitWert(txt::kNichtGeloescht, j.wortdatei));
    Trace("Journal bleibt", j.pfad);
    return false;
  }
  const std::string ordner = ordnerVon(j.pfad);
  // Everything is done; a mark or a finished journal that cannot be removed
  // is hidden as an own temporary name and only traced.
  for (std::size_t n = 0; n < j.anhaenge.size(); ++n) {
    const std::string marke = ordner + "\\" + markeName(j, n);
    if (plat::removeFile(marke) != plat::Err::ok) Trace("Marke bleibt", marke);
  }
  if (j.datei.removeAndClose() != plat::Err::ok) Trace("Journal bleibt", j.pfad);
  return true;
}

}  // namespace

void JournalAnhaengen(Journal& j, const std::string& pfad, std::string daten, int versuche) {
  if (daten.empty()) return;
  j.anhaenge.push_back({pfad, std::move(daten), versuche});
}

void JournalVorbedingung(Journal& j, const std::string& pfad, std::string_view inhalt) {
  for (JournalAnhang& a : j.anhaenge)
    a.ausListe = inhalt.substr(0, a.daten.size()) == a.daten;
  j.vorbedingungPfad = pfad;
  j.vorbedingungLaenge = static_cast<std::int64_t>(inhalt.size());
  j.vorbedingungPruefsumme = fnv1a(inhalt);
}

void JournalWortdatei(Journal& j, const std::string& pfad, std::int64_t gelesen,
                      std::uint64_t pruefsumme) {
  j.wortdatei.clear();
  if (!plat::fileIdentity(pfad, j.wortdateiGeraet, j.wortdateiKnoten)) return;
  j.wortdatei = pfad;
  j.wortdateiLaenge = gelesen;
  j.wortdateiPruefsumme = pruefsumme;
}

bool JournalAnlegen(Journal& j, const std::string& ordner) {
  std::random_device zufall;
  j.kennung = hex((static_cast<std::uint64_t>(zufall()) << 32) ^ zufall());
  j.pfad = ordner + "\\" + plat::ownTempName("Journal-" + j.kennung);
  Trace("Journal", j.pfad, j.anhaenge.size());
  plat::Err e = j.datei.open(j.pfad, plat::Access::readWrite, plat::Share::exclusive,
                             plat::Disposition::createNew);
  if (e == plat::Err::ok) e = j.datei.write(aufschreiben(j));
  if (e == plat::Err::ok) e = j.datei.sync();
  if (e == plat::Err::ok) return true;
  if (j.datei.isOpen())
    plat::ignoreErr(j.datei.removeAndClose(), "without its end the next program drops it");
  Fehlermeldung(e, TextMitWert(txt::kNichtGeschrieben, j.pfad));
  return false;
}

bool JournalAusfuehren(Journal& j, int pauseMs,
                       const std::function<bool(const std::string&)>& nochmal, bool melden) {
  bool alle = true;
  for (std::size_t n = 0; n < j.anhaenge.size(); ++n) {
    const JournalAnhang& a = j.anhaenge[n];
    if (a.daten.empty() || erledigt(j, n)) continue;
    Trace("Append", a.pfad, a.daten.size());
    plat::SharedFile f;
    plat::Err e = zielOeffnen(f, a, pauseMs, nochmal);
    if (e == plat::Err::ok) e = f.append(a.daten, markeName(j, n));
    // The mark is set only once the bytes are on the disk.
    if (e == plat::Err::ok) {
      f.close();
      continue;
    }
    alle = false;
    if (melden && !plat::heldByOther(e))
      Fehlermeldung(
          e,
          TextMitWert(f.isOpen() ? txt::kNichtGeschrieben : txt::kWortdateiNichtAngelegt, a.pfad));
  }
  return alle;
}

void JournalAbschliessen(Journal& j) {
  if (!abschliessen(j, true)) JournalLassen(j);
}

void JournalLassen(Journal& j) {
  j.datei.close();
}

void JournalVerwerfen(Journal& j) {
  // Its condition fails (or its end is missing) for the next program too,
  // which drops a journal left behind in the same way.
  if (j.datei.isOpen())
    plat::ignoreErr(j.datei.removeAndClose(), "dropped again by the next program");
}

bool OffeneJournaleErledigen() {
  const std::string ordner = PoolVerzeichnis();
  if (poolZustand().Pool.empty() || !plat::isSafeName(poolZustand().Pool)) return true;
  std::vector<std::string> namen;
  if (plat::listOwnTempNames(ordner, "Journal-", namen) != plat::Err::ok) return true;
  bool keinerOffen = true;
  for (const std::string& name : namen) {
    Journal j;
    j.pfad = ordner + "\\" + name;
    j.kennung = name.substr(std::string_view(".~vkJournal-").size());
    j.kennung.resize(j.kennung.size() - std::string_view(".tmp").size());
    // Held: its program still works on it.
    if (j.datei.open(j.pfad, plat::Access::readWrite, plat::Share::exclusive,
                     plat::Disposition::openExisting) != plat::Err::ok) {
      keinerOffen = false;
      continue;
    }
    std::string inhalt;
    bool ende = false;
    bool fertig = false;
    if (j.datei.readAll(inhalt) != plat::Err::ok || !einlesen(inhalt, j, ende, fertig)) {
      Trace("Journal unlesbar", j.pfad);
      keinerOffen = false;
      continue;
    }
    Trace("Journal nachholen", j.pfad, ende ? 1 : 0, fertig ? 1 : 0);
    bool begonnen = false;
    for (std::size_t n = 0; n < j.anhaenge.size() && !begonnen; ++n)
      begonnen = erledigt(j, n);
    bool lesbar = true;
    if (!ende || (!begonnen && !j.vorbedingungPfad.empty() && !vorbedingungGilt(j, lesbar))) {
      if (!lesbar) {
        keinerOffen = false;
        continue;
      }
      // Nothing of it was written: the take-over never happened.
      JournalVerwerfen(j);
      continue;
    }
    bool mitListe = false;
    for (const JournalAnhang& a : j.anhaenge)
      mitListe = mitListe || a.ausListe;
    if (!fertig && mitListe && !listenDatenLaden(j)) {
      keinerOffen = false;
      JournalLassen(j);
      continue;
    }
    if (!fertig && !JournalAusfuehren(j, 200, {}, false)) {
      keinerOffen = false;
      JournalLassen(j);
      continue;
    }
    if (!abschliessen(j, false)) {
      keinerOffen = false;
      JournalLassen(j);
    }
  }
  return keinerOffen;
}

}  // namespace vk
