// Engine control over the proxy's connection: calls wait for their answer
// (with the proxy's time-outs), events are delivered as signals from the
// event loop. Fails as the proxy does (errNotInstalled, errNotRunning,
// errTimeout); a broken stream between calls drops the connection.
#include "common/dragon_engine.h"

#include <QPointer>
#include <QSocketNotifier>

#include "common/dragon_kanal.h"
#include "common/texte.h"
#include "common/texte_namen.h"

namespace dragon {

EngineControl::EngineControl() : ch_(std::make_unique<Channel>()) {
  ch_->watch = [this](int descriptor) {
    if (notifier_) {
      // The notifier may be the sender of the signal being handled.
      notifier_->setEnabled(false);
      notifier_.release()->deleteLater();
    }
    if (descriptor < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this]() {
      if (ch_->inCall) return;
      if (ch_->pump() != Channel::Pump::ok) ch_->drop();
      deliverEvents();
    });
  };
}

EngineControl::~EngineControl() = default;

std::unique_ptr<EngineControl> EngineControl::create(const std::string& programFolder, Error& e) {
  if (!installed(programFolder)) {
    setError(e, proto::errNotInstalled, vk::Text(vk::txt::kGrundNichtInstalliert));
    return nullptr;
  }
  return std::unique_ptr<EngineControl>(new EngineControl());
}

bool EngineControl::simple(const proto::Fields& request, proto::Fields& answer, Error& e) {
  bool ok = ch_->call(request, answer, e);
  if (!ch_->events.empty() && !deliveryQueued_) {
    deliveryQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this]() {
          deliveryQueued_ = false;
          deliverEvents();
        },
        Qt::QueuedConnection);
  }
  return ok;
}

void EngineControl::deliverEvents() {
  QPointer<EngineControl> self(this);
  while (self && !ch_->events.empty()) {
    proto::Fields ev = std::move(ch_->events.front());
    ch_->events.pop_front();
    if (ev.size() < 2) continue;
    const std::string& name = ev[1];
    int a = ev.size() > 2 ? toInt(ev[2]) : 0;
    int b = ev.size() > 3 ? toInt(ev[3]) : 0;
    if (name == proto::evDialogClosed) {
      emit DialogClosed(a, b);
    } else if (name == proto::evBarCommand) {
      emit DragonBarCommandTriggered(a);
    } else if (name == proto::evBarStatus) {
      emit DragonBarStatusChanged(a);
    } else if (name == proto::evMimicDone) {
      emit MimicDone(a);
    } else if (name == proto::evSpeakerChanged) {
      emit SpeakerChanged();
    } else if (name == proto::evSpeakerClosing) {
      emit SpeakerClosing();
    } else if (name == proto::evTopicChanged) {
      emit TopicChanged();
    }
  }
}

bool EngineControl::speaker(std::string& name, Error& e) {
  proto::Fields a;
  if (!simple({proto::cmd::speaker}, a, e)) return false;
  name = a.empty() ? std::string() : a[0];
  return true;
}

bool EngineControl::save(Error& e) {
  proto::Fields a;
  return simple({proto::cmd::save}, a, e);
}

bool EngineControl::topic(std::string& name, Error& e) {
  proto::Fields a;
  if (!simple({proto::cmd::topic}, a, e)) return false;
  name = a.empty() ? std::string() : a[0];
  return true;
}

bool EngineControl::mustSave(bool& result, Error& e) {
  proto::Fields a;
  if (!simple({proto::cmd::mustSave}, a, e)) return false;
  result = !a.empty() && a[0] == "1";
  return true;
}

bool EngineControl::openSpeaker(const std::string& speaker, const std::string& topic, Error& e) {
  proto::Fields a;
  return simple({proto::cmd::open, speaker, topic}, a, e);
}

bool EngineControl::openSpeaker(const std::string& speaker, const std::string& topic,
                                std::int32_t option, Error& e) {
  proto::Fields a;
  return simple({proto::cmd::open, speaker, topic, std::to_string(option)}, a, e);
}

bool EngineControl::dialog(int number, const std::string& argument, Error& e) {
  proto::Fields a;
  return simple({proto::cmd::dialog, std::to_string(number), argument}, a, e);
}

bool EngineControl::engineRuns() {
  proto::Fields a;
  Error e;
  if (!simple({proto::cmd::engineRuns}, a, e)) return false;
  return !a.empty() && a[0] == "1";
}

bool EngineControl::speakerOption(std::int32_t& option, Error& e) {
  proto::Fields a;
  if (!simple({proto::cmd::option}, a, e)) return false;
  option = a.empty() ? 0 : toInt(a[0]);
  return true;
}

bool EngineControl::registerEvents(Error& e) {
  proto::Fields a;
  return simple({proto::cmd::registerEvents}, a, e);
}

bool EngineControl::unregisterEvents(Error& e) {
  proto::Fields a;
  return simple({proto::cmd::unregisterEvents, "0"}, a, e);
}

bool EngineControl::barTitle(std::string& title, Error& e) {
  proto::Fields a;
  if (!simple({proto::cmd::bar}, a, e)) return false;
  title = a.empty() ? std::string() : a[0];
  return true;
}

bool EngineControl::userDialogTitle(std::string& title, Error& e) {
  proto::Fields a;
  if (!simple({proto::cmd::userDialog}, a, e)) return false;
  title = a.empty() ? std::string() : a[0];
  return true;
}

bool EngineControl::closeBar(Error& e) {
  proto::Fields a;
  return simple({proto::cmd::closeBar}, a, e);
}

bool EngineControl::closeUserDialog(Error& e) {
  proto::Fields a;
  return simple({proto::cmd::closeUserDialog}, a, e);
}

}  // namespace dragon
