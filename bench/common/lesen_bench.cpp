// Reading a 300,000-line own-words file (BenDateiEinlesen) and a 5,000-line
// user list (BenutzerLesen), each against reading the same lines into a
// plain std::unordered_set<std::string>. Prints the best of several rounds
// in milliseconds and the ratio. Works in a folder of its own below the
// system temp folder and removes it.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unordered_set>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/poolfiles.h"
#include "platform/paths.h"

namespace {

// Best of several rounds: the machine is shared, the best round is the one
// least disturbed.
double besteZeitMs(int runden, const std::function<void()>& lauf) {
  double beste = 1e30;
  for (int i = 0; i < runden; ++i) {
    const auto a = std::chrono::steady_clock::now();
    lauf();
    const auto b = std::chrono::steady_clock::now();
    beste = std::min(beste, std::chrono::duration<double, std::milli>(b - a).count());
  }
  return beste;
}

std::size_t referenz(const std::string& pfad) {
  std::unordered_set<std::string> menge;
  std::ifstream f(pfad, std::ios::binary);
  std::string zeile;
  while (std::getline(f, zeile)) {
    if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
    if (!zeile.empty()) menge.insert(zeile);
  }
  return menge.size();
}

void zeigen(const char* was, double ms, double refMs) {
  std::printf("%-40s %9.2f ms   reference %9.2f ms   ratio %.2f (goal <= 1.5)\n", was, ms, refMs,
              ms / refMs);
}

}  // namespace

int main() {
  const auto ordner =
      std::filesystem::temp_directory_path() / ("vk-common-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(ordner / "ziel/Chirurgie");
  const std::string benDatei = (ordner / "ziel/Chirurgie/_Meier.ben").string();
  {
    std::ofstream f(benDatei, std::ios::binary);
    for (int i = 0; i < 300000; ++i) {
      f << "Wort" << static_cast<long long>(i) * 7919 % 1000003
        << (i % 5 == 0 ? "\\gesprochen " : "") << i % 97 << "\r\n";
    }
  }
  const std::string liste = (ordner / "ziel/BenIntern.dat").string();
  {
    std::ofstream f(liste, std::ios::binary);
    for (int i = 0; i < 5000; ++i) {
      f << "Pool" << i % 40 << "\tAnwender" << i << "\tcurrent\\Thema" << i % 3 << "\tThema"
        << i % 3 << "\r\n";
    }
  }
  vk::responderEinschalten();
  auto& k = vk::konfiguration();
  k.ZielVerzeichnis = plat::withBackslash(plat::systemPath((ordner / "ziel").string()));
  k.BenutzerlistenDatei = "BenIntern.dat";

  const std::string benSys = plat::systemPath(benDatei);
  std::size_t n = 0;
  const double ben = besteZeitMs(9, [&] {
    vk::poolZustand().BenWorte.leeren();
    vk::BenDateiEinlesen(benSys);
    n = vk::poolZustand().BenWorte.anzahl();
  });
  std::size_t nRef = 0;
  const double benRef = besteZeitMs(9, [&] { nRef = referenz(benDatei); });
  zeigen("BenDateiEinlesen, 300,000 lines", ben, benRef);

  std::size_t m = 0;
  const double benutzer = besteZeitMs(101, [&] {
    vk::BenutzerLesen();
    m = vk::poolZustand().Benutzerliste.size();
  });
  std::size_t mRef = 0;
  const double benutzerRef = besteZeitMs(101, [&] { mRef = referenz(liste); });
  zeigen("BenutzerLesen, 5,000 lines", benutzer, benutzerRef);

  std::filesystem::remove_all(ordner);
  if (n != nRef || m != mRef || !vk::recordedMessages().empty()) {
    std::printf("counts differ: %zu/%zu words, %zu/%zu users\n", n, nRef, m, mRef);
    return 1;
  }
  return 0;
}
