// The entry of both main programs (see programm.h).
#include "main/programm.h"

#include <QApplication>
#include <algorithm>
#include <iostream>
#include <string>

#include "common/meldung.h"
#include "common/oberflaeche.h"
#include "common/sprachdatei.h"
#include "common/utilities.h"
#include "common/zeichenketten.h"
#include "main/editor/auftrag.h"
#include "main/hauptfenster.h"
#include "main/testskript.h"
#include "platform/encoding.h"

namespace vk {

void EditorAnbinden() {
  hauptfensterZustand().listeZeigen = WortlisteZeigen;
}

int HauptprogrammAusfuehren(int argc, char** argv, const Programmart& art) {
  if (const auto code = SprachdateiAbfrage(argc, argv)) return *code;
  // The argument line, taken before Qt removes the arguments it knows; a
  // value with a blank is put back in double quotes, as it was given.
  std::string zeile;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = plat::utf8ToCp1252(argv[i]);
    if (!zeile.empty()) zeile += ' ';
    zeile += arg.find(' ') == std::string::npos ? arg : "\"" + arg + "\"";
  }
  QApplication app(argc, argv);
  utilitiesZustand().kommandozeile = zeile;
  const QString plattform = QGuiApplication::platformName();
  if (plattform == QLatin1String("offscreen") || plattform == QLatin1String("minimal"))
    responderEinschalten();
  // The icon files are named after the program in lower case.
  OberflaecheEinrichten(app, klein(art.programm));
  EditorAnbinden();
  int code = 0;
  {
    Hauptfenster fenster(art);
    fenster.Laden();
    fenster.show();
    Testskript::starten();
    code = QApplication::exec();
  }
  for (const AufgezeichneteMeldung& m : recordedMessages()) {
    std::string text = m.text;
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::cerr << "Meldung: " << plat::cp1252ToUtf8(text) << '\n';
  }
  return code;
}

}  // namespace vk
