// Request handling of the recognizer stand-in. Every word that arrives is
// checked with the recognizer's analysis rules again, whatever the client
// did before; numbers that do not parse are refused.
#include "dragonsim/engine.h"

#include <charconv>
#include <vector>

#include "dragonsim/world.h"
#include "platform/system.h"

namespace natspeak {

namespace proto = dragonproto;

namespace {

Fields ok(Fields values = {}) {
  values.insert(values.begin(), proto::kOk);
  return values;
}

Fields err(int number, const std::string& text) {
  return {proto::kErr, std::to_string(number), text};
}

bool parseInt(const std::string& s, std::int32_t& v) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

const char* const kNoSpeaker =
    "Kein Benutzer ge\xF6"
    "ffnet";

}  // namespace

Engine::Engine(EngineOptions options) : options_(options), startTick_(plat::tickCount()) {}

bool Engine::engineRuns() const {
  if (quitting_) return true;
  return plat::tickCount() - startTick_ >= static_cast<std::uint32_t>(options_.engineDelayMs);
}

std::string Engine::barTitle() const {
  return options_.english ? "DragonBar" : "Dragon-Leiste";
}

std::string Engine::wordDialogText(const std::string& argument) const {
  const bool en = options_.english;
  std::string text = argument.empty() ? (en ? "No word given: the properties of the vocabulary."
                                            : "Kein Wort angegeben: Eigenschaften des Vokabulars.")
                                      : (en ? "Word: " : "Wort: ") + argument;
  text += en ? "\nUser: " : "\nBenutzer: ";
  text += speaker_;
  text += en ? "\nTopic: " : "\nThema: ";
  text += topic_;
  text += en ? "\nWords in the vocabulary: "
             : "\nW\xF6"
               "rter im Vokabular: ";
  text += std::to_string(voc_.size());
  return text;
}

std::string Engine::userDialogTitle() const {
  return options_.english ? "Open User"
                          : "Benutzer \xF6"
                            "ffnen";
}

void Engine::pushEvent(const std::string& name, const Fields& values) {
  Fields frame{proto::kEvent, name};
  frame.insert(frame.end(), values.begin(), values.end());
  if (!sendEvent) return;
  for (int conn : registered_)
    sendEvent(conn, frame);
}

void Engine::connectionClosed(int conn) {
  registered_.erase(conn);
  vocSessions_.erase(conn);
}

bool Engine::save(std::string& error) {
  if (speaker_.empty()) {
    error = kNoSpeaker;
    return false;
  }
  plat::Err e = saveVocabulary(folder_, voc_);
  if (e != plat::Err::ok) {
    error = "Vokabular nicht gespeichert: " + plat::errText(e);
    return false;
  }
  mustSave_ = false;
  ++saves_;
  return true;
}

bool Engine::open(const std::string& speaker, const std::string& topic, std::int32_t option,
                  bool userAction, int& errNo, std::string& error) {
  if (speaker == speaker_ && topic == topic_) {
    option_ = option;
    return true;
  }
  std::string folder = topicFolder(masterDirectory(), speaker, topic);
  if (folder.empty()) {
    errNo = proto::errUnknown;
    error = "Unbekannter Benutzer oder unbekanntes Thema: " + speaker + " / " + topic;
    return false;
  }
  Vocabulary voc;
  plat::Err e = loadVocabulary(folder, voc);
  if (e != plat::Err::ok) {
    errNo = proto::errUnknown;
    error = "Vokabular nicht lesbar: " + plat::errText(e);
    return false;
  }
  if (userAction && mustSave_ && !save(error)) {
    errNo = proto::errSave;
    return false;
  }
  bool speakerChanges = speaker != speaker_;
  if (speakerChanges && !speaker_.empty()) pushEvent(proto::evSpeakerClosing);
  speaker_ = speaker;
  topic_ = topic;
  folder_ = folder;
  option_ = option;
  voc_ = std::move(voc);
  mustSave_ = false;
  rememberSpeaker(speaker, topic);
  if (speakerChanges) pushEvent(proto::evSpeakerChanged);
  pushEvent(proto::evTopicChanged);
  if (changed) changed();
  return true;
}

bool Engine::userAddWord(const Word& w, bool& added, std::string& error) {
  if (speaker_.empty()) {
    error = kNoSpeaker;
    return false;
  }
  auto a = proto::analyse(w.written, w.spoken);
  if (a != proto::Analysis::ok) {
    error = proto::analysisText(a);
    return false;
  }
  added = voc_.add(w, false);
  if (added) mustSave_ = true;
  if (changed) changed();
  return true;
}

bool Engine::userRemoveWord(const Word& w, bool& removed, std::string& error) {
  if (speaker_.empty()) {
    error = kNoSpeaker;
    return false;
  }
  removed = voc_.remove(w);
  if (removed) mustSave_ = true;
  if (changed) changed();
  return true;
}

void Engine::setUserDialog(bool open) {
  if (userDialogOpen_ == open) return;
  userDialogOpen_ = open;
  if (changed) changed();
}

void Engine::wordDialogClosed(int result) {
  pushEvent(proto::evDialogClosed, {std::to_string(proto::kWordDialog), std::to_string(result)});
}

void Engine::beginQuit() {
  if (quitting_) return;
  quitting_ = true;
  userDialogOpen_ = false;
  pushEvent(proto::evBarStatus, {std::to_string(proto::kStatusEnding)});
  if (changed) changed();
}

bool Engine::finish(std::string& error) {
  if (!mustSave_) return true;
  return save(error);
}

Fields Engine::handle(int conn, const Fields& request) {
  if (request.empty()) return err(proto::errRequest, "Leere Anfrage");
  const std::string& c = request[0];
  if (c.rfind("vt-", 0) == 0 || c.rfind("vb-", 0) == 0) {
    return vocRequest(conn, c, request);
  }
  Fields a = engineRequest(conn, c, request);
  if (!a.empty()) return a;
  a = ctlRequest(c, request);
  if (!a.empty()) return a;
  return err(proto::errRequest, "Unbekannte Anfrage: " + c);
}

Fields Engine::engineRequest(int conn, const std::string& c, const Fields& r) {
  namespace cmd = proto::cmd;
  if (c == cmd::engineRuns) return ok({engineRuns() ? "1" : "0"});
  if (c == cmd::bar) return ok({barTitle()});
  if (c == cmd::userDialog) return ok({userDialogOpen_ ? userDialogTitle() : ""});
  if (c == cmd::closeUserDialog) {
    setUserDialog(false);
    return ok();
  }
  if (c == cmd::closeBar) {
    if (quitRequested) quitRequested();
    return ok();
  }
  if (c == cmd::registerEvents) {
    registered_.insert(conn);
    return ok();
  }
  if (c == cmd::unregisterEvents) {
    registered_.erase(conn);
    return ok();
  }
  if (c == cmd::speaker) return ok({speaker_});
  if (c == cmd::topic) return ok({topic_});
  if (c == cmd::mustSave) return ok({mustSave_ ? "1" : "0"});
  if (c == cmd::option) return ok({std::to_string(option_)});
  if (c != cmd::save && c != cmd::open && c != cmd::dialog) return {};
  if (!engineRuns()) return err(proto::errNotRunning, "Die Spracherkennung l\xE4uft nicht");
  if (c == cmd::save) {
    std::string e;
    if (!save(e)) return err(speaker_.empty() ? proto::errNoSpeaker : proto::errSave, e);
    return ok();
  }
  if (c == cmd::open) {
    std::int32_t option = 0;
    if ((r.size() != 3 && r.size() != 4) || (r.size() == 4 && !parseInt(r[3], option))) {
      return err(proto::errRequest, "Falsche Argumente");
    }
    int errNo = 0;
    std::string e;
    if (!open(r[1], r[2], option, false, errNo, e)) return err(errNo, e);
    return ok();
  }
  std::int32_t number = 0;
  if (r.size() != 3 || !parseInt(r[1], number)) return err(proto::errRequest, "Falsche Argumente");
  if (number != proto::kWordDialog) return err(proto::errUnknown, "Unbekannter Dialog");
  if (speaker_.empty()) return err(proto::errNoSpeaker, kNoSpeaker);
  lastDialog_ = r[2];
  if (showWordDialog) {
    showWordDialog(r[2]);
  } else {
    wordDialogClosed(1);
  }
  return ok();
}

Fields Engine::vocRequest(int conn, const std::string& c, const Fields& r) {
  namespace cmd = proto::cmd;
  if (c == cmd::vtInit) {
    if (!engineRuns()) return err(proto::errNotRunning, "Die Spracherkennung l\xE4uft nicht");
    vocSessions_.insert(conn);
    return ok();
  }
  if (vocSessions_.count(conn) == 0) {
    return err(proto::errNotInitialized, "Vokabularwerkzeuge nicht initialisiert");
  }
  if (c == cmd::vtUninit) {
    vocSessions_.erase(conn);
    return ok();
  }
  if (c == cmd::vtSpeaker) return ok({speaker_});
  if (speaker_.empty()) return err(proto::errNoSpeaker, kNoSpeaker);
  if (c == cmd::vbSave) {
    std::string e;
    if (!save(e)) return err(proto::errSave, e);
    return ok();
  }
  if (c == cmd::vbGet) {
    if (r.size() != 2 || (r[1] != "0" && r[1] != "1")) {
      return err(proto::errRequest, "Falsche Argumente");
    }
    Fields a{proto::kOk, std::string()};
    voc_.encode(r[1] == "1", a[1]);
    return a;
  }
  bool adding = c == cmd::vbAdd;
  std::int32_t flags = 0;
  std::vector<proto::WordView> in;
  if ((!adding && c != cmd::vbRemove) || r.size() != (adding ? 3u : 2u) ||
      (adding && !parseInt(r[1], flags)) || !proto::viewWords(r.back(), in)) {
    return err(proto::errRequest, "Falsche Argumente");
  }
  std::vector<bool> done;
  if (adding) {
    std::vector<bool> use(in.size());
    for (std::size_t i = 0; i < in.size(); ++i)
      use[i] = proto::analyse(in[i].written, in[i].spoken) == proto::Analysis::ok;
    voc_.addAll(in, use, done);
  } else {
    voc_.removeAll(in, done);
  }
  Fields a{proto::kOk, std::string(in.size(), proto::kUnchanged)};
  bool any = false;
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (done[i]) {
      a[1][i] = proto::kChanged;
      any = true;
    }
  }
  if (any) {
    mustSave_ = true;
    if (changed) changed();
  }
  return a;
}

Fields Engine::stateAnswer() const {
  return ok({"running=" + std::string(engineRuns() ? "1" : "0"), "speaker=" + speaker_,
             "topic=" + topic_, "option=" + std::to_string(option_),
             "words=" + std::to_string(voc_.size()),
             "user-words=" + std::to_string(voc_.userCount()),
             "must-save=" + std::string(mustSave_ ? "1" : "0"), "bar=" + barTitle(),
             "user-dialog=" + (userDialogOpen_ ? userDialogTitle() : std::string()),
             "receivers=" + std::to_string(registered_.size()), "saves=" + std::to_string(saves_),
             "dialog=" + lastDialog_, "ending=" + std::string(quitting_ ? "1" : "0")});
}

Fields Engine::ctlRequest(const std::string& c, const Fields& r) {
  namespace cmd = proto::cmd;
  if (c == cmd::ctlState) return stateAnswer();
  if (c == cmd::ctlAddWord || c == cmd::ctlRemoveWord) {
    if (r.size() != 2 && r.size() != 3) return err(proto::errRequest, "Falsche Argumente");
    Word w{r[1], r.size() == 3 ? r[2] : ""};
    bool done = false;
    std::string e;
    bool good = c == cmd::ctlAddWord ? userAddWord(w, done, e) : userRemoveWord(w, done, e);
    if (!good) return err(speaker_.empty() ? proto::errNoSpeaker : proto::errAnalysis, e);
    return ok({done ? "1" : "0"});
  }
  if (c == cmd::ctlWords) {
    Fields a{proto::kOk, std::string()};
    voc_.encode(r.size() == 2 && r[1] == "user", a[1]);
    return a;
  }
  if (c == cmd::ctlOpenUserDialog) {
    setUserDialog(true);
    return ok();
  }
  if (c == cmd::ctlSwitchSpeaker) {
    if (r.size() != 3) return err(proto::errRequest, "Falsche Argumente");
    int errNo = 0;
    std::string e;
    if (!open(r[1], r[2], 0, true, errNo, e)) return err(errNo, e);
    setUserDialog(false);
    return ok();
  }
  if (c == cmd::ctlQuit) {
    if (quitRequested) quitRequested();
    return ok();
  }
  if (c == cmd::ctlEvent) {
    if (r.size() < 2) return err(proto::errRequest, "Falsche Argumente");
    pushEvent(r[1], Fields(r.begin() + 2, r.end()));
    return ok();
  }
  return {};
}

}  // namespace natspeak
