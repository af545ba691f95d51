// The running recognizer of one workstation, without windows or sockets:
// the open speaker and topic with its vocabulary, the must-save flag, the
// bar and open-user dialog as states, the event receivers, and the answer
// to every request of the socket (engine control, window queries,
// vocabulary tools, control commands). A request that cannot be served is
// answered with an error frame; nothing here ends the process. The
// vocabulary files belong to the speaker; another workstation may open the
// same speaker, and the last one to save wins. Free of Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "common/dragon_protocol.h"
#include "dragonsim/vocabulary.h"

namespace natspeak {

using dragonproto::Fields;

struct EngineOptions {
  bool english = false;
  int engineDelayMs = 0;  // the engine reports "not running" this long after start
};

class Engine {
 public:
  explicit Engine(EngineOptions options);

  // Sends an event frame to one connection.
  std::function<void(int conn, const Fields& frame)> sendEvent;
  // The user (or a close message) asked the recognizer to end.
  std::function<void()> quitRequested;
  // Speaker, topic, vocabulary or window state changed (windows refresh).
  std::function<void()> changed;
  // Shows the word dialog for an argument; unset (headless): the dialog
  // closes at once.
  std::function<void(const std::string& argument)> showWordDialog;

  Fields handle(int conn, const Fields& request);
  void connectionClosed(int conn);

  const std::string& speaker() const { return speaker_; }
  const std::string& topic() const { return topic_; }
  std::int32_t option() const { return option_; }
  bool mustSave() const { return mustSave_; }
  const Vocabulary& vocabulary() const { return voc_; }
  bool engineRuns() const;
  std::string barTitle() const;
  // What the word dialog shows (cp1252, lines with "\n"): the word asked
  // about, or that none was given, and the open speaker, topic and size of
  // the vocabulary, in the recognizer's language.
  std::string wordDialogText(const std::string& argument) const;
  std::string userDialogTitle() const;
  bool userDialogOpen() const { return userDialogOpen_; }
  std::size_t receivers() const { return registered_.size(); }
  bool quitting() const { return quitting_; }
  int saves() const { return saves_; }

  // Opens a speaker with a topic. userAction: the user picked it (changes
  // of the open speaker are saved first); else the open speaker's unsaved
  // changes are dropped, as the engine control call does.
  bool open(const std::string& speaker, const std::string& topic, std::int32_t option,
            bool userAction, int& errNo, std::string& error);
  // The user adds / removes a word in the recognizer.
  bool userAddWord(const Word& w, bool& added, std::string& error);
  bool userRemoveWord(const Word& w, bool& removed, std::string& error);
  void setUserDialog(bool open);
  void wordDialogClosed(int result);
  // Announces the end to the receivers (status 2).
  void beginQuit();
  // Saves when needed; false with `error` when saving failed.
  bool finish(std::string& error);
  bool save(std::string& error);
  void pushEvent(const std::string& name, const Fields& values = {});

 private:
  Fields engineRequest(int conn, const std::string& c, const Fields& r);
  Fields vocRequest(int conn, const std::string& c, const Fields& r);
  Fields ctlRequest(const std::string& c, const Fields& r);
  Fields stateAnswer() const;

  EngineOptions options_;
  std::uint32_t startTick_ = 0;
  std::string speaker_;
  std::string topic_;
  std::string folder_;
  std::int32_t option_ = 0;
  Vocabulary voc_;
  bool mustSave_ = false;
  bool userDialogOpen_ = false;
  bool quitting_ = false;
  int saves_ = 0;
  std::string lastDialog_;
  std::set<int> registered_;
  std::set<int> vocSessions_;
};

}  // namespace natspeak
