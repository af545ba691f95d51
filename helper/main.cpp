// vkHelfer: the helper beside the recognizer for one user of one pool.
// Starts with its main window hidden; ends when the window closes. Without
// a screen (offscreen or minimal platform) no box can be confirmed: the
// messages are answered at once and written to standard error at the end.
#include <QApplication>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "common/meldung.h"
#include "common/oberflaeche.h"
#include "common/sprachdatei.h"
#include "common/utilities.h"
#include "helper/anbindung.h"
#include "helper/befehlszeile.h"
#include "helper/fenster.h"
#include "helper/helfer.h"
#include "platform/encoding.h"

namespace {

int Beenden(int code) {
  for (const vk::AufgezeichneteMeldung& m : vk::recordedMessages()) {
    std::string text = m.text;
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::cerr << "Meldung: " << plat::cp1252ToUtf8(text) << '\n';
  }
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto code = vk::SprachdateiAbfrage(argc, argv)) return *code;
  // Taken before Qt looks at the arguments: Qt removes the ones it knows.
  std::vector<std::string> argumente;
  for (int i = 1; i < argc; ++i)
    argumente.push_back(plat::utf8ToCp1252(argv[i]));
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  vk::OberflaecheEinrichten(app, "vkhelfer");
  const QString plattform = QGuiApplication::platformName();
  if (plattform == QLatin1String("offscreen") || plattform == QLatin1String("minimal")) {
    vk::responderEinschalten();
  }
  // The whole line, as the trace of the start and the configuration see it.
  vk::utilitiesZustand().kommandozeile = helfer::BefehlszeileAusArgumenten(argumente);
  helfer::EchteDiensteSetzen();
  helfer::FormVokariumClient fenster;
  // The user may have given up the recognizer's start already.
  if (!fenster.Laden(vk::Kommandozeile()) || helfer::Helfer().phase == helfer::Phase::abgebrochen)
    return Beenden(0);
  fenster.show();
  return Beenden(app.exec());
}
