// The server's log and trace: see protokoll.h.
#include "server/protokoll.h"

#include <cstdio>
#include <functional>
#include <thread>

#include "platform/system.h"
#include "platform/trace.h"

namespace zentrale {

namespace {

Protokoll& zustand() {
  static Protokoll p;
  return p;
}

constexpr std::size_t kAbbruchMax = 511;

void ausgeben(std::string_view text) {
  Protokoll& p = zustand();
  if (p.kanal == LogKanal::datei && p.datei.isOpen()) {
    const plat::Err e = p.datei.write(text);
    if (e == plat::Err::ok) return;
    // The log is the administrator's only channel: what the file refuses
    // goes to stderr and the window instead, the first time with the reason.
    if (!p.dateiFehlerGemeldet) {
      p.dateiFehlerGemeldet = true;
      const std::string hinweis = "\r\n+++++ Protokolldatei nicht beschreibbar (Fehler " +
                                  std::to_string(plat::code(e)) + " " + plat::errText(e) +
                                  "), weiter hier\r\n";
      std::fwrite(hinweis.data(), 1, hinweis.size(), stderr);
      if (p.fenster) p.fenster(hinweis);
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
  }
  if (p.fenster) p.fenster(text);
}

void abbruchSetzen(std::string text) {
  if (text.size() > kAbbruchMax) text.resize(kAbbruchMax);
  zustand().abbruchmeldung = std::move(text);
}

std::string zweiStellen(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n % 100);
  return buf;
}

}  // namespace

Protokoll& protokoll() {
  return zustand();
}

void protokollZuruecksetzen() {
  Protokoll& p = zustand();
  p.datei.close();
  p.kanal = LogKanal::fenster;
  p.fenster = nullptr;
  p.beimStartBanner = nullptr;
  p.abbruchmeldung.clear();
  p.dateiFehlerGemeldet = false;
  p.verbose = false;
  p.traceAn = false;
}

void logDateiOeffnen(const std::string& pfad) {
  Protokoll& p = zustand();
  plat::Err e = plat::Err::ok;
  for (int versuch = 0; versuch < 1000; ++versuch) {
    e = p.datei.open(pfad, plat::Access::readWrite, plat::Share::exclusive,
                     plat::Disposition::openAlways);
    if (e != plat::Err::sharingViolation && e != plat::Err::lockViolation && !plat::denied(e))
      break;
    plat::sleepMs(100);
  }
  if (e == plat::Err::ok) {
    std::int64_t ende = p.datei.size();
    if (ende >= 0 && p.datei.seek(ende) == plat::Err::ok) {
      p.kanal = LogKanal::datei;
      return;
    }
    p.datei.close();
  }
  p.kanal = LogKanal::fenster;
  fatalName("Protokolldatei nicht beschreibbar", pfad);
}

void logDateiSchliessen() {
  Protokoll& p = zustand();
  p.datei.close();
  p.kanal = LogKanal::fenster;
}

void logText(std::string_view text) {
  ausgeben(text);
}

void logNeueZeile() {
  ausgeben("\r\n");
}

void logZahl(long long zahl) {
  ausgeben(std::to_string(zahl));
}

void logZeitstempel() {
  ausgeben(zeitstempel(plat::now()));
}

void logStartBanner() {
  logNeueZeile();
  logText("qmt   VokariumServer   5.0");
  logNeueZeile();
  const Protokoll& p = zustand();
  if (p.kanal == LogKanal::fenster && p.beimStartBanner) p.beimStartBanner();
}

void logMeldung(std::string_view text) {
  logNeueZeile();
  logZeitstempel();
  logText(text);
}

void logFehler(std::string_view meldung) {
  Protokoll& p = zustand();
  logNeueZeile();
  if (p.kanal == LogKanal::datei) logNeueZeile();
  logText("+++++ ");
  if (p.kanal == LogKanal::datei) logZeitstempel();
  logText(meldung);
  abbruchSetzen("+++++ " + std::string(meldung));
}

std::string sichtbar(std::string_view text) {
  std::string aus;
  aus.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b != 0x7F) {
      aus += c;
      continue;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", b);
    aus += buf;
  }
  return aus;
}

void logFehlerName(std::string_view meldung, std::string_view name) {
  const std::string n = sichtbar(name);
  logFehler(meldung);
  logText(" : ");
  logText(n);
  logNeueZeile();
  abbruchSetzen(zustand().abbruchmeldung + " : " + n);
}

void fatal(std::string_view meldung) {
  logNeueZeile();
  logFehler(meldung);
  logNeueZeile();
  stopMitCode(8);
}

void fatalName(std::string_view meldung, std::string_view name) {
  logNeueZeile();
  logFehlerName(meldung, name);
  logNeueZeile();
  stopMitCode(8);
}

void stopMitCode(int code) {
  logNeueZeile();
  throw Abbruch{code};
}

std::string zeitstempel(const plat::LocalTime& t) {
  return zweiStellen(t.day) + "." + zweiStellen(t.month) + "." + zweiStellen(t.year) + ", " +
         zweiStellen(t.hour) + ":" + zweiStellen(t.minute) + "  ";
}

void traceEin() {
  zustand().traceAn = true;
  plat::traceInit();
  trace("Init Trace");
}

std::string traceZeile(std::string_view text, const plat::LocalTime& t, std::uint32_t tick) {
  // The instance and thread numbers only tell processes and threads apart
  // in the viewer; five digits as the viewer's columns expect.
  static const int kInstanz =
      static_cast<int>(reinterpret_cast<std::uintptr_t>(&kAbbruchMax) % 100000);
  const int faden =
      static_cast<int>(std::hash<std::thread::id>{}(std::this_thread::get_id()) % 100000);
  char kopf[96];
  std::snprintf(kopf, sizeof kopf, "vkZentrale: %05d: %05d: %02d%02d%02d: %02d%02d%02d: %03u: \t",
                kInstanz, faden, t.year % 100, t.month, t.day, t.hour, t.minute, t.second,
                static_cast<unsigned>(tick % 1000));
  return kopf + std::string(text);
}

void trace(std::string_view text) {
  if (!zustand().traceAn || !plat::traceActive()) return;
  plat::traceSend(traceZeile(text, plat::now(), plat::tickCount()));
}

void trace(std::string_view label, std::string_view wert) {
  if (!zustand().traceAn || !plat::traceActive()) return;
  trace(std::string(label) + "\t" + std::string(wert));
}

void trace(std::string_view label, long long zahl) {
  if (!zustand().traceAn || !plat::traceActive()) return;
  trace(label, std::to_string(zahl));
}

}  // namespace zentrale
