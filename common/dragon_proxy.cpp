// Client side of the recognizer's socket: one connection per object, calls
// that wait for their answer with a time-out, events queued and delivered
// from the event loop. A call that times out drops its connection, so a late
// answer can never be taken for the answer of the next call. Assumes one
// recognizer per socket path; several clients may be connected at once.
#include "common/dragon_proxy.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QPointer>
#include <algorithm>
#include <deque>
#include <functional>
#include <iterator>
#include <span>

#include "common/texte.h"
#include "common/texte_namen.h"
#include "platform/paths.h"

namespace dragon {

namespace proto = dragonproto;

namespace {

int gCallMs = 5000;
int gConnectMs = 1000;

void setError(Error& e, int number, std::string description) {
  e.number = number;
  e.description = std::move(description);
}

int toInt(const std::string& s) {
  try {
    return std::stoi(s);
  } catch (...) {
    return 0;
  }
}

}  // namespace

void setTimeouts(int callMs, int connectMs) {
  gCallMs = callMs;
  gConnectMs = connectMs;
}

bool installed(const std::string& programFolder) {
  return !programFolder.empty() && plat::directoryExists(programFolder);
}

// One socket connection with its frame reader. Answers and events are
// separated as frames arrive.
class Channel {
 public:
  using Build = std::function<void(std::size_t index, proto::Fields& request)>;
  bool connect(Error& e);
  bool call(const proto::Fields& request, proto::Fields& answer, Error& e);
  // Sends `count` requests, each built by `build` just before it goes out,
  // and takes their answers in order: the recognizer works on the first
  // while later ones are still built and sent. Fails with the first error
  // answer, after all answers have come, so the connection stays in step.
  bool callMany(std::size_t count, const Build& build, std::vector<proto::Fields>& answers,
                Error& e);
  // Reads what has arrived; false when the stream is broken.
  bool pump();
  void drop();

  QLocalSocket sock;
  proto::FrameReader reader;
  std::deque<proto::Fields> answers;
  std::deque<proto::Fields> events;
  bool inCall = false;
};

bool Channel::connect(Error& e) {
  if (sock.state() == QLocalSocket::ConnectedState) return true;
  drop();
  sock.connectToServer(QString::fromStdString(proto::socketPath()));
  if (!sock.waitForConnected(gConnectMs)) {
    sock.abort();
    setError(e, proto::errNotRunning, vk::Text(vk::txt::kGrundAntwortetNicht));
    return false;
  }
  return true;
}

void Channel::drop() {
  sock.abort();
  reader = proto::FrameReader();
  answers.clear();
}

bool Channel::pump() {
  qint64 n = sock.bytesAvailable();
  if (n > 0) {
    qint64 got = sock.read(reader.room(static_cast<std::size_t>(n)), n);
    reader.commit(got > 0 ? static_cast<std::size_t>(got) : 0);
  }
  proto::Fields f;
  for (;;) {
    auto st = reader.next(f);
    if (st == proto::FrameReader::Status::more) return true;
    if (st == proto::FrameReader::Status::bad) return false;
    if (!f.empty() && f[0] == proto::kEvent) {
      events.push_back(std::move(f));
    } else {
      answers.push_back(std::move(f));
    }
    f = proto::Fields();
  }
}

bool Channel::call(const proto::Fields& request, proto::Fields& answer, Error& e) {
  std::vector<proto::Fields> a;
  if (!callMany(
          1, [&request](std::size_t, proto::Fields& r) { r = request; }, a, e))
    return false;
  answer = std::move(a.front());
  return true;
}

bool Channel::callMany(std::size_t count, const Build& build, std::vector<proto::Fields>& result,
                       Error& e) {
  result.clear();
  if (!connect(e)) return false;
  inCall = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{inCall};
  QDeadlineTimer deadline(gCallMs);
  proto::Fields request;
  std::string frame;
  for (std::size_t i = 0; i < count; ++i) {
    request.clear();
    build(i, request);
    frame.clear();
    proto::appendFrame(frame, request);
    sock.write(frame.data(), static_cast<qint64>(frame.size()));
    sock.flush();
  }
  while (sock.bytesToWrite() > 0) {
    if (!sock.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) break;
  }
  bool good = true;
  while (result.size() < count) {
    if (!pump()) {
      drop();
      setError(e, proto::errRequest, vk::Text(vk::txt::kGrundGestoerteAntwort));
      return false;
    }
    if (!answers.empty()) {
      proto::Fields a = std::move(answers.front());
      answers.pop_front();
      if (!a.empty() && a[0] == proto::kOk) {
        a.erase(a.begin());
      } else if (good) {
        good = false;
        if (a.size() >= 3 && a[0] == proto::kErr) {
          setError(e, toInt(a[1]), a[2]);
        } else {
          setError(e, proto::errRequest, vk::Text(vk::txt::kGrundGestoerteAntwort));
        }
      }
      result.push_back(std::move(a));
      continue;
    }
    if (sock.state() != QLocalSocket::ConnectedState) {
      drop();
      setError(e, proto::errNotRunning, vk::Text(vk::txt::kGrundAntwortetNicht));
      return false;
    }
    if (deadline.hasExpired() ||
        !sock.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      if (sock.bytesAvailable() > 0) continue;
      bool gone = sock.state() != QLocalSocket::ConnectedState;
      drop();
      if (gone) {
        setError(e, proto::errNotRunning, vk::Text(vk::txt::kGrundAntwortetNicht));
      } else {
        setError(e, proto::errTimeout, vk::Text(vk::txt::kGrundZeitueberschreitung));
      }
      return false;
    }
  }
  return good;
}

// ---- engine control ----

EngineControl::EngineControl() : ch_(std::make_unique<Channel>()) {
  QObject::connect(&ch_->sock, &QLocalSocket::readyRead, this, [this]() {
    if (ch_->inCall) return;
    if (!ch_->pump()) ch_->drop();
    deliverEvents();
  });
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

// ---- vocabulary tools ----

VocTools::VocTools() : ch_(std::make_unique<Channel>()), builder_(*this), analyzer_(*this) {}

VocTools::~VocTools() = default;

std::unique_ptr<VocTools> VocTools::create(const std::string& programFolder, Error& e) {
  if (!installed(programFolder)) {
    setError(e, proto::errNotInstalled, vk::Text(vk::txt::kGrundNichtInstalliert));
    return nullptr;
  }
  return std::unique_ptr<VocTools>(new VocTools());
}

bool VocTools::call(const proto::Fields& request, proto::Fields& answer, Error& e) {
  if (!initialized_) {
    setError(e, proto::errNotInitialized, vk::Text(vk::txt::kGrundNichtInitialisiert));
    return false;
  }
  return ch_->call(request, answer, e);
}

bool VocTools::callMany(std::size_t count,
                        const std::function<void(std::size_t, proto::Fields&)>& build,
                        std::vector<proto::Fields>& answers, Error& e) {
  if (!initialized_) {
    setError(e, proto::errNotInitialized, vk::Text(vk::txt::kGrundNichtInitialisiert));
    return false;
  }
  return ch_->callMany(count, build, answers, e);
}

bool VocTools::initialize(Error& e) {
  proto::Fields a;
  if (!ch_->call({proto::cmd::vtInit}, a, e)) return false;
  initialized_ = true;
  return true;
}

bool VocTools::uninitialize(Error& e) {
  proto::Fields a;
  bool ok = call({proto::cmd::vtUninit}, a, e);
  initialized_ = false;
  ch_->drop();
  return ok;
}

bool VocTools::speaker(std::string& name, Error& e) {
  proto::Fields a;
  if (!call({proto::cmd::vtSpeaker}, a, e)) return false;
  name = a.empty() ? std::string() : a[0];
  return true;
}

bool VocabularyBuilder::save(Error& e) {
  proto::Fields a;
  return tools_.call({proto::cmd::vbSave}, a, e);
}

namespace {

bool wordsFromAnswer(const proto::Fields& a, WordList& words, Error& e) {
  if (!proto::takeWords(a, 0, words)) {
    setError(e, proto::errRequest, vk::Text(vk::txt::kGrundGestoerteWortliste));
    return false;
  }
  return true;
}

bool markedFromAnswer(const proto::Fields& a, const WordList& sent, std::size_t left,
                      WordList& changed, Error& e) {
  if (a.size() != 1 || !proto::takeMarked(sent, left, a[0], changed)) {
    setError(e, proto::errRequest, vk::Text(vk::txt::kGrundGestoerteWortliste));
    return false;
  }
  return true;
}

}  // namespace

bool VocabularyBuilder::getWords(bool userWordsOnly, WordList& words, Error& e) {
  proto::Fields a;
  if (!tools_.call({proto::cmd::vbGet, userWordsOnly ? "1" : "0"}, a, e)) return false;
  return wordsFromAnswer(a, words, e);
}

namespace {

// Words travel in parts of this many, so that the recognizer applies the
// first part while the client still encodes and sends the others.
constexpr std::size_t kPart = 2048;

}  // namespace

bool VocabularyBuilder::change(const char* command, const char* flags, const WordList& words,
                               WordList& changed, Error& e) {
  std::size_t parts = std::max<std::size_t>(1, (words.size() + kPart - 1) / kPart);
  std::size_t left = 0;
  auto build = [&](std::size_t i, proto::Fields& r) {
    r.push_back(command);
    if (flags != nullptr) r.push_back(flags);
    std::size_t from = std::min(words.size(), i * kPart);
    std::size_t to = std::min(words.size(), from + kPart);
    left += proto::appendWords(r, std::span<const Word>(words).subspan(from, to - from));
  };
  std::vector<proto::Fields> a;
  if (!tools_.callMany(parts, build, a, e)) return false;
  std::string marks;
  marks.reserve(words.size());
  for (const auto& part : a) {
    if (part.size() != 1) return markedFromAnswer(part, words, left, changed, e);
    marks += part[0];
  }
  return markedFromAnswer({marks}, words, left, changed, e);
}

bool VocabularyBuilder::addWords(const WordList& words, std::int32_t flags, WordList& added,
                                 Error& e) {
  std::string f = std::to_string(flags);
  return change(proto::cmd::vbAdd, f.c_str(), words, added, e);
}

bool VocabularyBuilder::removeWords(const WordList& words, WordList& removed, Error& e) {
  return change(proto::cmd::vbRemove, nullptr, words, removed, e);
}

bool WordAnalyzer::analyzeWord(std::string_view written, Word& word, Error& e) {
  return analyzeWord(written, std::string_view(), word, e);
}

bool WordAnalyzer::analyzeWord(std::string_view written, std::string_view spoken, Word& word,
                               Error& e) {
  if (!tools_.initialized_) {
    setError(e, proto::errNotInitialized, vk::Text(vk::txt::kGrundNichtInitialisiert));
    return false;
  }
  auto r = proto::analyse(written, spoken);
  if (r != proto::Analysis::ok) {
    setError(e, proto::errAnalysis, proto::analysisText(r));
    return false;
  }
  // Built afresh and moved: cheaper than assigning over the old text.
  word.written = std::string(written);
  word.spoken = std::string(spoken);
  return true;
}

void WordAnalyzer::queueWords(WordList& words) {
  queue_.insert(queue_.end(), words.begin(), words.end());
}

void WordAnalyzer::queueWords(WordList&& words) {
  if (queue_.empty()) {
    queue_ = std::move(words);
  } else {
    queue_.insert(queue_.end(), std::make_move_iterator(words.begin()),
                  std::make_move_iterator(words.end()));
  }
  words.clear();
}

bool WordAnalyzer::analyzeQueue(WordList& result, Error& e) {
  if (!tools_.initialized_) {
    setError(e, proto::errNotInitialized, vk::Text(vk::txt::kGrundNichtInitialisiert));
    return false;
  }
  // The accepted words close up in place, so nothing is copied.
  auto refused = [](const Word& w) {
    return proto::analyse(w.written, w.spoken) != proto::Analysis::ok;
  };
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), refused), queue_.end());
  result = std::move(queue_);
  queue_.clear();
  return true;
}

}  // namespace dragon
