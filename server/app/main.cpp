// Entry of the pool server vkZentrale: picks the mode from the command line
// ("/SERVICE", "/REGISTER", "/UNREGISTER", else windowed) and the text
// window (a Qt window when a display is there, else the terminal), turns
// SIGTERM/SIGINT (and SIGPWR for a service) into the loop's stop request,
// and shows the `Abbruchmeldung` of a fatal stop. The work is the server
// core's; this file only connects it to the process and the screen.
#include <unistd.h>

#include <QApplication>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "oberflaeche/grundlage.h"
#include "platform/encoding.h"
#include "server/app/fenster.h"
#include "server/dienst.h"
#include "server/optionen.h"
#include "server/protokoll.h"
#include "server/schleife.h"

namespace {

using namespace zentrale;

std::atomic<int>* gStop = nullptr;

extern "C" void stopSignal(int signal) {
#ifdef SIGPWR
  if (signal == SIGPWR) {
    gStop->store(static_cast<int>(StopArt::shutdown));
    return;
  }
#endif
  gStop->store(static_cast<int>(StopArt::stop));
}

void stopSignaleEinrichten(bool dienst) {
  gStop = &stopAnforderung();
  std::signal(SIGTERM, stopSignal);
  std::signal(SIGINT, stopSignal);
#ifdef SIGPWR
  if (dienst) std::signal(SIGPWR, stopSignal);
#else
  (void)dienst;
#endif
}

bool anzeigeDa() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* wert = std::getenv(name);
    if (wert != nullptr && *wert != '\0') return true;
  }
  return false;
}

std::string fuerTerminal(std::string_view cp1252) {
  std::string t = plat::cp1252ToUtf8(cp1252);
  std::erase(t, '\r');
  return t;
}

void terminalAusgabe(std::string_view text) {
  std::cout << fuerTerminal(text) << std::flush;
}

// In place of a message box: the last error goes to standard error, and in
// a service also into its log file.
int abbruchMelden(const Abbruch& a) {
  Protokoll& p = protokoll();
  if (p.kanal == LogKanal::datei) {
    logText("qmt Abbruch-Message: " + p.abbruchmeldung);
    logNeueZeile();
    logDateiSchliessen();
  }
  std::cerr << "qmt Abbruch-Message: " << fuerTerminal(p.abbruchmeldung) << std::endl;
  return a.code;
}

int terminalStart() {
  BasisKlaeren([](std::string& verzeichnis) {
    if (isatty(STDIN_FILENO) == 0) return FrageErgebnis::unmoeglich;
    return BasisFrageTerminal(std::cin, std::cout, verzeichnis);
  });
  stopSignaleEinrichten(false);
  ServerArbeit();
  return 0;
}

int fensterStart(int argc, char** argv) {
  QApplication app(argc, argv);
  // The server's texts are German, and so are Qt's buttons and dialogs.
  vk::OberflaecheMitSprache(app, "vkzentrale", "de");
  TextFenster fenster;
  return FensterLauf(fenster, [] { stopSignaleEinrichten(false); });
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> argumente;
  for (int i = 1; i < argc; ++i)
    argumente.push_back(plat::utf8ToCp1252(argv[i]));
  auto hat = [&](const char* schalter) {
    for (const std::string& a : argumente)
      if (a == schalter) return true;
    return false;
  };
  optionen().argumente = argumente;
  protokoll().fenster = terminalAusgabe;

  try {
    OptionenLesen();
    if (hat("/SERVICE")) {
      stopSignaleEinrichten(true);
      DienstLauf();
      return 0;
    }
    if (hat("/REGISTER")) {
      DienstRegistrieren();
      return 0;
    }
    if (hat("/UNREGISTER")) {
      DienstEntfernen();
      return 0;
    }
    if (anzeigeDa()) return fensterStart(argc, argv);
    return terminalStart();
  } catch (const Abbruch& a) {
    return abbruchMelden(a);
  }
}
