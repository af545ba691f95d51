// The text window and the base-directory dialog: see fenster.h.
#include "server/app/fenster.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/encoding.h"
#include "platform/paths.h"
#include "server/optionen.h"

namespace zentrale {

namespace {

QString anzeige(std::string_view cp1252) {
  std::string utf8 = plat::cp1252ToUtf8(cp1252);
  std::erase(utf8, '\r');
  return QString::fromStdString(utf8);
}

}  // namespace

TextFenster::TextFenster() {
  setObjectName("TextFenster");
  setWindowTitle("VokariumServer   5.0");
  setReadOnly(true);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  resize(760, 420);
}

void TextFenster::anhaengen(std::string_view text) {
  moveCursor(QTextCursor::End);
  insertPlainText(anzeige(text));
  moveCursor(QTextCursor::End);
}

void TextFenster::closeEvent(QCloseEvent* ereignis) {
  if (beimSchliessen && !beimSchliessen()) {
    ereignis->ignore();
    return;
  }
  ereignis->accept();
}

bool DraFrage(QWidget* eltern, std::string& verzeichnis) {
  QDialog dlg(eltern);
  dlg.setObjectName("DRAFRAGE");
  dlg.setWindowTitle(anzeige(kFrageTitel));
  auto* layout = new QVBoxLayout(&dlg);
  auto* text = new QLabel(anzeige(kFrageText), &dlg);
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* gruppe = new QGroupBox(anzeige(kFrageGruppe), &dlg);
  auto* zeile = new QHBoxLayout(gruppe);
  auto* feld = new QLineEdit(gruppe);
  feld->setObjectName("tBasis");
  auto* suchen = new QPushButton("???", gruppe);
  suchen->setObjectName("cSuchen");
  zeile->addWidget(feld);
  zeile->addWidget(suchen);
  layout->addWidget(gruppe);
  auto* ok = new QPushButton("OK", &dlg);
  ok->setObjectName("cOK");
  ok->setDefault(true);
  layout->addWidget(ok);

  QObject::connect(suchen, &QPushButton::clicked, &dlg, [&dlg, feld] {
    QFileDialog dateiDlg(&dlg, anzeige(kFrageDateiTitel));
    dateiDlg.setObjectName("dlgBasis");
    dateiDlg.setFileMode(QFileDialog::ExistingFile);
    dateiDlg.setNameFilter(anzeige(kFrageFilter) + " (*.dat)");
    dateiDlg.selectFile("Benutzer.dat");
    if (dateiDlg.exec() != QDialog::Accepted || dateiDlg.selectedFiles().isEmpty()) return;
    const std::string gewaehlt =
        BasisAusAngabe(plat::utf8ToCp1252(dateiDlg.selectedFiles().front().toStdString()));
    if (!gewaehlt.empty()) feld->setText(QString::fromStdString(plat::nativePath(gewaehlt)));
  });
  QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);

  if (dlg.exec() != QDialog::Accepted) return false;
  const std::string angabe = plat::utf8ToCp1252(feld->text().trimmed().toStdString());
  verzeichnis = angabe.empty() ? std::string() : BasisAusAngabe(angabe);
  return true;
}

}  // namespace zentrale
