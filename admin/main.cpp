// vkVerwalter: the administrator's program that assigns the recognizer's
// users and topics to pools and writes the user list. Ends when the window
// closes; a failure to start the window system ends it with Qt's message.
// The pool server reads the user list after this program's "ADMIN" trigger.
#include <QApplication>

#include "admin/form_verwalter.h"
#include "common/mtrace.h"
#include "common/oberflaeche.h"
#include "common/sprachdatei.h"
#include "common/utilities.h"

int main(int argc, char** argv) {
  if (const auto code = vk::SprachdateiAbfrage(argc, argv)) return *code;
  vk::ProgrammAnmelden(argc, argv);
  QApplication app(argc, argv);
  vk::OberflaecheEinrichten(app, "vkverwalter");
  vk::TraceStart();
  admin::FormVerwalter form;
  form.show();
  return QApplication::exec();
}
