// Trace lines to the external viewer (see mtrace.h).
#include "common/mtrace.h"

#include <cstdio>
#include <functional>
#include <thread>

#include "common/utilities.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/trace.h"

namespace vk {

namespace {

struct TraceZustand {
  bool gestartet = false;  // TraceStart ran in this run
};

TraceZustand& zustand() {
  static TraceZustand z;
  return z;
}

std::string zweistellig(int n) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", n % 100);
  return b;
}

}  // namespace

std::string ProgrammName() {
  std::string pfad = plat::programPath();
  const auto schnitt = pfad.find_last_of('\\');
  if (schnitt != std::string::npos) pfad.erase(0, schnitt + 1);
  const auto punkt = pfad.find_last_of('.');
  if (punkt != std::string::npos && punkt > 0) pfad.erase(punkt);
  return pfad;
}

std::string TraceZeile(const TraceKopf& kopf, const std::vector<std::string>& werte) {
  const auto& t = kopf.zeit;
  char ms[8];
  std::snprintf(ms, sizeof ms, "%03u", kopf.ticks % 1000U);
  std::string z = kopf.programm + ": " + std::to_string(kopf.instanz) + ": " +
                  std::to_string(kopf.thread) + ": " + zweistellig(t.year) + zweistellig(t.month) +
                  zweistellig(t.day) + ": " + zweistellig(t.hour) + zweistellig(t.minute) +
                  zweistellig(t.second) + ": " + ms + ": \t";
  for (const auto& w : werte) {
    z += w;
    z += '\t';
  }
  return z;
}

void TraceWerte(const std::vector<std::string>& werte) {
  plat::traceInit();
  if (!plat::traceActive()) return;
  TraceKopf kopf;
  kopf.programm = ProgrammName();
  kopf.instanz = plat::processId();
  kopf.thread =
      static_cast<std::int64_t>(std::hash<std::thread::id>{}(std::this_thread::get_id()) % 100000U);
  kopf.zeit = plat::now();
  kopf.ticks = plat::tickCount();
  plat::traceSend(TraceZeile(kopf, werte));
}

void TraceStart() {
  auto& z = zustand();
  if (z.gestartet) return;
  z.gestartet = true;
  Trace("Start " + ProgrammName() + " " + Kommandozeile());
}

void TraceInit() {
  Trace("ProtName", Programmverzeichnis() + "Vokarium" + ".LOG");
}

void traceZuruecksetzen() {
  zustand() = TraceZustand{};
  plat::traceReset();
}

}  // namespace vk
