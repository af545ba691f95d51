// Trace lines of the clients to the external trace viewer. The viewer is
// looked up once per run (at the first trace); without one every trace is
// dropped and costs nothing more. A hung viewer costs at most five seconds
// per line (the transport's limit). The line format is read by the viewer
// and its log: do not change it.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/clock.h"

namespace vk {

// Everything that forms the head of one line.
struct TraceKopf {
  std::string programm;  // executable name without extension
  std::int64_t instanz = 0;
  std::int64_t thread = 0;
  plat::LocalTime zeit;
  std::uint32_t ticks = 0;
};

// programm ": " instanz ": " thread ": " yymmdd ": " hhnnss ": " ms(000)
// ": " TAB, then each value followed by TAB.
std::string TraceZeile(const TraceKopf& kopf, const std::vector<std::string>& werte);

// Sends one line with these values.
void TraceWerte(const std::vector<std::string>& werte);

namespace detail {
inline void traceAnfuegen(std::vector<std::string>& v, std::string_view s) {
  v.emplace_back(s);
}
inline void traceAnfuegen(std::vector<std::string>& v, const char* s) {
  v.emplace_back(s);
}
inline void traceAnfuegen(std::vector<std::string>& v, const std::string& s) {
  v.push_back(s);
}
inline void traceAnfuegen(std::vector<std::string>& v, bool b) {
  v.emplace_back(b ? "Wahr" : "Falsch");
}
template <std::integral T>
void traceAnfuegen(std::vector<std::string>& v, T n) {
  v.push_back(std::to_string(n));
}
inline void traceAnfuegen(std::vector<std::string>& v, const std::vector<std::string>& feld) {
  v.insert(v.end(), feld.begin(), feld.end());
}
}  // namespace detail

// Trace("SperreSetzen", pfad): a label and values (texts, numbers, lists of
// texts contribute each element).
template <typename... A>
void Trace(const A&... werte) {
  std::vector<std::string> v;
  (detail::traceAnfuegen(v, werte), ...);
  TraceWerte(v);
}

// Once per run: "Start " + program name + " " + command line.
// State: the module's start mark (reads and writes).
void TraceStart();

// At the start of each program's main window: sends "ProtName" with
// program folder + "Vokarium.LOG" (the viewer writes that log).
void TraceInit();

// Name of this program (executable name without extension).
std::string ProgrammName();

// Forgets the viewer lookup and TraceStart (tests).
void traceZuruecksetzen();

}  // namespace vk
