// vkHelfer: the helper beside the recognizer for one user of one pool.
// Starts with its main window hidden; ends when the window closes.
#include <QApplication>
#include <string>
#include <vector>

#include "common/utilities.h"
#include "helper/anbindung.h"
#include "helper/befehlszeile.h"
#include "helper/fenster.h"
#include "platform/encoding.h"

int main(int argc, char** argv) {
  // Taken before Qt looks at the arguments: Qt removes the ones it knows.
  std::vector<std::string> argumente;
  for (int i = 1; i < argc; ++i)
    argumente.push_back(plat::utf8ToCp1252(argv[i]));
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  // The whole line, as the trace of the start and the configuration see it.
  vk::utilitiesZustand().kommandozeile = helfer::BefehlszeileAusArgumenten(argumente);
  helfer::EchteDiensteSetzen();
  helfer::FormVokariumClient fenster;
  if (!fenster.Laden(vk::Kommandozeile())) return 0;
  fenster.show();
  return app.exec();
}
