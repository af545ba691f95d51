// Client side of the recognizer's socket: one connection per object, calls
// that wait for their answer with a time-out over the OS layer's stream
// socket, events kept for the engine control object (dragon_engine.cpp). A
// call that times out drops its connection, so a late answer can never be
// taken for the answer of the next call. Assumes one recognizer per socket
// path; several clients may be connected at once.
#include "common/dragon_proxy.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <span>

#include "common/dragon_kanal.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "platform/paths.h"

namespace dragon {

namespace proto = dragonproto;

namespace {

int gCallMs = 5000;
int gConnectMs = 1000;

}  // namespace

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

void setTimeouts(int callMs, int connectMs) {
  gCallMs = callMs;
  gConnectMs = connectMs;
}

std::string analysisReason(proto::Analysis a) {
  switch (a) {
    case proto::Analysis::ok:
      return "";
    case proto::Analysis::empty:
      return vk::Text(vk::txt::kGrundLeeresWort);
    case proto::Analysis::tooLong:
      return vk::TextMitWert(vk::txt::kGrundWortZuLang, std::to_string(proto::kMaxWritten));
    case proto::Analysis::controlChar:
      return vk::Text(vk::txt::kGrundSteuerzeichen);
  }
  return "";
}

bool installed(const std::string& programFolder) {
  return !programFolder.empty() && plat::directoryExists(programFolder);
}

bool Channel::connect(Error& e) {
  if (sock.connected()) return true;
  drop();
  if (!sock.connect(proto::socketPath(), gConnectMs)) {
    setError(e, proto::errNotRunning, vk::Text(vk::txt::kGrundAntwortetNicht));
    return false;
  }
  if (watch) watch(sock.descriptor());
  return true;
}

void Channel::drop() {
  if (watch && sock.connected()) watch(-1);
  sock.close();
  reader = proto::FrameReader();
  answers.clear();
}

Channel::Pump Channel::pump() {
  constexpr std::size_t kChunk = 64 * 1024;
  bool gone = false;
  for (;;) {
    std::size_t got = 0;
    gone = sock.readSome(reader.room(kChunk), kChunk, got) == plat::StreamSocket::Io::gone;
    reader.commit(got);
    if (gone || got < kChunk) break;
  }
  proto::Fields f;
  for (;;) {
    auto st = reader.next(f);
    if (st == proto::FrameReader::Status::more) return gone ? Pump::gone : Pump::ok;
    if (st == proto::FrameReader::Status::bad) return Pump::bad;
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

namespace {

int msLeft(std::chrono::steady_clock::time_point until) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      until - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

bool Channel::callMany(std::size_t count, const Build& build, std::vector<proto::Fields>& result,
                       Error& e) {
  using Io = plat::StreamSocket::Io;
  result.clear();
  if (!connect(e)) return false;
  inCall = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{inCall};
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(gCallMs);
  proto::Fields request;
  std::string out;
  std::size_t sent = 0;
  bool gone = false;
  auto send = [&]() {
    std::size_t n = 0;
    if (sock.writeSome(std::string_view(out).substr(sent), n) == Io::gone) gone = true;
    sent += n;
    if (sent == out.size()) {
      out.clear();
      sent = 0;
    }
  };
  for (std::size_t i = 0; i < count && !gone; ++i) {
    request.clear();
    build(i, request);
    proto::appendFrame(out, request);
    send();
  }
  bool good = true;
  while (result.size() < count) {
    Pump p = pump();
    if (p == Pump::bad) {
      drop();
      setError(e, proto::errRequest, vk::Text(vk::txt::kGrundGestoerteAntwort));
      return false;
    }
    while (!answers.empty() && result.size() < count) {
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
    }
    if (result.size() == count) break;
    if (gone || p == Pump::gone) {
      drop();
      setError(e, proto::errNotRunning, vk::Text(vk::txt::kGrundAntwortetNicht));
      return false;
    }
    Io w = sock.wait(msLeft(until), !out.empty());
    if (w == Io::timeout) {
      drop();
      setError(e, proto::errTimeout, vk::Text(vk::txt::kGrundZeitueberschreitung));
      return false;
    }
    if (w == Io::gone) gone = true;
    if (!out.empty() && !gone) send();
  }
  return good;
}

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
    setError(e, proto::errAnalysis, analysisReason(r));
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
