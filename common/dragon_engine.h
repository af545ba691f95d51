// The recognizer's engine control object for the Qt clients: its calls go
// through the proxy's connection (dragon_kanal.h), its events become Qt
// signals. A socket notifier on the connection reads events that arrive
// between calls; events read during a call are delivered from the event
// loop after it. A connection the recognizer closed is dropped and made
// again at the next call.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

#include "common/dragon_proxy.h"

class QSocketNotifier;

namespace dragon {

// The engine control object. Events pushed by the recognizer after
// registerEvents() arrive as signals on the thread that owns the object,
// from its event loop, in the order the recognizer sent them; events that
// arrive during a call are delivered after it returns.
class EngineControl : public QObject {
  Q_OBJECT
 public:
  // Fails with errNotInstalled (and nullptr) when the recognizer is not
  // installed. Does not connect yet.
  static std::unique_ptr<EngineControl> create(const std::string& programFolder, Error& e);
  ~EngineControl() override;

  bool speaker(std::string& name, Error& e);  // current speaker, "" when none
  bool save(Error& e);                        // save the open speaker
  bool topic(std::string& name, Error& e);    // current topic (vocabulary)
  bool mustSave(bool& result, Error& e);      // the open speaker has changes
  bool openSpeaker(const std::string& speaker, const std::string& topic, Error& e);
  bool dialog(int number, const std::string& argument, Error& e);
  bool engineRuns();  // false also when the recognizer does not answer
  bool openSpeaker(const std::string& speaker, const std::string& topic, std::int32_t option,
                   Error& e);
  bool speakerOption(std::int32_t& option, Error& e);
  bool registerEvents(Error& e);
  bool unregisterEvents(Error& e);

  // Windows of the recognizer: the title of its bar / open-user dialog, ""
  // when it is not shown; closing them as a close message would.
  bool barTitle(std::string& title, Error& e);
  bool userDialogTitle(std::string& title, Error& e);
  bool closeBar(Error& e);
  bool closeUserDialog(Error& e);

 signals:
  void DialogClosed(int first, int second);
  void DragonBarCommandTriggered(int command);
  void DragonBarStatusChanged(int status);
  void MimicDone(int value);
  void SpeakerChanged();
  void SpeakerClosing();
  void TopicChanged();

 private:
  EngineControl();
  bool simple(const dragonproto::Fields& request, dragonproto::Fields& answer, Error& e);
  void deliverEvents();
  std::unique_ptr<Channel> ch_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool deliveryQueued_ = false;
};

}  // namespace dragon
