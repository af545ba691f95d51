// Thin Qt windows over the engine; every action calls an engine procedure.
#include "dragonsim/bar.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "dragonsim/engine.h"
#include "dragonsim/server.h"
#include "dragonsim/world.h"
#include "platform/encoding.h"

namespace natspeak {

namespace {

QString q(const std::string& cp1252) {
  return QString::fromStdString(plat::cp1252ToUtf8(cp1252));
}

std::string c(const QString& s) {
  return plat::utf8ToCp1252(s.toStdString());
}

// The bar: closing it asks the recognizer to end instead of closing.
class BarWidget : public QWidget {
 public:
  std::function<void()> closeRequested;
  bool allowClose = false;

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (allowClose) {
      e->accept();
      return;
    }
    e->ignore();
    if (closeRequested) closeRequested();
  }
};

}  // namespace

struct Windows::Impl {
  Engine& engine;
  Server& server;
  bool english;
  BarWidget bar;
  QLabel* speaker = nullptr;
  QLabel* topic = nullptr;
  QPushButton* add = nullptr;
  QDialog* userDialog = nullptr;

  Impl(Engine& e, Server& s, bool en) : engine(e), server(s), english(en) {}
  QString t(const char* german, const char* englishText) const {
    return english ? QString::fromUtf8(englishText) : QString::fromUtf8(german);
  }
  void build();
  void refresh();
  void addWord();
  void showUserDialog();
};

void Windows::Impl::build() {
  bar.setWindowTitle(q(engine.barTitle()));
  bar.setObjectName("DragonLeiste");
  auto* layout = new QHBoxLayout(&bar);
  speaker = new QLabel(&bar);
  speaker->setObjectName("lSpeaker");
  topic = new QLabel(&bar);
  topic->setObjectName("lTopic");
  add = new QPushButton(t("Wort hinzufügen …", "Add Word …"), &bar);
  add->setObjectName("cWort");
  auto* openUser = new QPushButton(t("Benutzer öffnen...", "Open User..."), &bar);
  openUser->setObjectName("cBenutzer");
  auto* exit = new QPushButton(t("Beenden", "Exit"), &bar);
  exit->setObjectName("cBeenden");
  layout->addWidget(speaker);
  layout->addWidget(topic);
  layout->addWidget(add);
  layout->addWidget(openUser);
  layout->addWidget(exit);
  QObject::connect(add, &QPushButton::clicked, [this]() { addWord(); });
  QObject::connect(openUser, &QPushButton::clicked, [this]() { engine.setUserDialog(true); });
  QObject::connect(exit, &QPushButton::clicked, [this]() { server.startQuit(); });
  bar.closeRequested = [this]() { server.startQuit(); };
  engine.changed = [this]() { refresh(); };
  engine.showWordDialog = [this](const std::string& argument) {
    auto* box = new QMessageBox(QMessageBox::Information, t("Eigenschaften", "Properties"),
                                q(engine.wordDialogText(argument)),
                                QMessageBox::Ok | QMessageBox::Cancel, &bar);
    box->setObjectName("WortEigenschaften");
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, [this, box]() {
      engine.wordDialogClosed(box->result() == QMessageBox::Ok ? 1 : 0);
    });
    box->show();
  };
  refresh();
}

void Windows::Impl::refresh() {
  speaker->setText(t("Benutzer: ", "User: ") + q(engine.speaker()));
  topic->setText(t("Thema: ", "Topic: ") + q(engine.topic()));
  add->setEnabled(!engine.speaker().empty());
  if (engine.userDialogOpen() && userDialog == nullptr) showUserDialog();
  if (!engine.userDialogOpen() && userDialog != nullptr) {
    QDialog* d = userDialog;
    userDialog = nullptr;
    d->close();
  }
}

void Windows::Impl::addWord() {
  QDialog dlg(&bar);
  dlg.setWindowTitle(t("Wort hinzufügen", "Add Word"));
  auto* form = new QFormLayout(&dlg);
  auto* written = new QLineEdit(&dlg);
  auto* spoken = new QLineEdit(&dlg);
  form->addRow(t("Schreibform:", "Written form:"), written);
  form->addRow(t("Sprechform:", "Spoken form:"), spoken);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  if (dlg.exec() != QDialog::Accepted) return;
  bool added = false;
  std::string error;
  if (!engine.userAddWord(Word{c(written->text()), c(spoken->text())}, added, error)) {
    QMessageBox::warning(&bar, bar.windowTitle(), q(error));
  }
}

void Windows::Impl::showUserDialog() {
  userDialog = new QDialog(&bar);
  QDialog* dlg = userDialog;
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  dlg->setWindowTitle(q(engine.userDialogTitle()));
  auto* layout = new QVBoxLayout(dlg);
  auto* list = new QListWidget(dlg);
  list->setObjectName("lbBenutzer");
  std::string master = masterDirectory();
  for (const auto& s : listSpeakers(master)) {
    for (const auto& tp : readTopics(master, s)) {
      auto* item = new QListWidgetItem(q(s) + " - " + q(tp.name), list);
      item->setData(Qt::UserRole, q(s));
      item->setData(Qt::UserRole + 1, q(tp.name));
    }
  }
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
  QObject::connect(dlg, &QDialog::accepted, [this, list]() {
    QListWidgetItem* item = list->currentItem();
    if (item == nullptr) return;
    int errNo = 0;
    std::string error;
    if (!engine.open(c(item->data(Qt::UserRole).toString()),
                     c(item->data(Qt::UserRole + 1).toString()), 0, true, errNo, error)) {
      QMessageBox::warning(&bar, bar.windowTitle(), q(error));
    }
  });
  QObject::connect(dlg, &QDialog::finished, [this, dlg]() {
    if (userDialog == dlg) userDialog = nullptr;
    engine.setUserDialog(false);
  });
  dlg->show();
}

Windows::Windows(Engine& engine, Server& server, bool english)
    : d_(std::make_unique<Impl>(engine, server, english)) {
  d_->build();
}

Windows::~Windows() {
  d_->engine.changed = nullptr;
  d_->engine.showWordDialog = nullptr;
}

void Windows::show() {
  d_->bar.show();
}

void Windows::closeAll() {
  d_->engine.changed = nullptr;
  if (d_->userDialog != nullptr) d_->userDialog->close();
  d_->bar.allowClose = true;
  d_->bar.close();
}

}  // namespace natspeak
