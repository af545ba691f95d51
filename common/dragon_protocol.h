// Wire format between the recognizer stand-in (natspeak) and the client
// proxy that the programs link. One local stream socket per workstation;
// every message is a frame: a 32-bit big-endian length, then fields, each a
// 32-bit big-endian length and its bytes. Fields carry cp1252 bytes as they
// are (umlauts, backslashes, blanks), so words cross the socket unchanged.
// A request is [command, arguments...]; its answer is ["ok", results...] or
// ["err", number, description]. A connection that registered for events may
// also receive ["event", name, values...] at any time, between answers.
// A frame that is too long or malformed ends the connection: the reader
// reports it and the caller drops the socket. Free of Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dragonproto {

using Fields = std::vector<std::string>;

// Error numbers of the recognizer access, shown in error reports.
inline constexpr int errNotInstalled = 429;  // the component cannot be created
inline constexpr int errNotRunning = 462;    // the recognizer does not answer
inline constexpr int errTimeout = 1460;      // no answer within the time-out
inline constexpr int errNoSpeaker = 1001;    // no speaker open
inline constexpr int errAnalysis = 1002;     // a word the recognizer refuses
inline constexpr int errUnknown = 1003;      // unknown speaker, topic or dialog
inline constexpr int errSave = 1004;         // writing the vocabulary failed
inline constexpr int errRequest = 1005;      // malformed or unknown request
inline constexpr int errNotInitialized = 1006;

// The largest frame either side accepts (a vocabulary of a few hundred
// thousand words is some megabytes).
inline constexpr std::size_t kMaxFrame = std::size_t{1} << 28;

// Longest written form the recognizer analyses.
inline constexpr std::size_t kMaxWritten = 128;

// Native path of the socket: $VOKARIUM_DRAGON_SOCKET when set, else
// "natspeak.sock" in the per-user runtime folder.
std::string socketPath();

// Appends one encoded frame to `out`.
void appendFrame(std::string& out, const Fields& fields);

// Splits a byte stream into frames.
class FrameReader {
 public:
  enum class Status { frame, more, bad };
  void feed(const char* data, std::size_t n);
  // Room for `n` bytes at the end of the buffer, for a socket to read into
  // without a copy in between; commit() then takes the `got` bytes read.
  char* room(std::size_t n);
  void commit(std::size_t got);
  // frame: `fields` holds the next frame; more: wait for bytes; bad: the
  // stream is broken and must be dropped.
  Status next(Fields& fields);
  // Bytes received but not yet taken as a frame.
  std::size_t pending() const { return buf_.size() - pos_; }

 private:
  std::string buf_;
  std::size_t pos_ = 0;
  std::size_t filled_ = 0;  // end of the bytes before the last room()
};

// One recognizer word: written form and spoken form (may be empty). Two
// words are the same word only when both forms are equal byte for byte.
struct Word {
  std::string written;
  std::string spoken;
  bool operator==(const Word&) const = default;
};
using Words = std::vector<Word>;

// A word list travels as one field: for every word its written form, a
// TAB, its spoken form and a LF. A word holding a control character cannot
// travel and is left out (the recognizer refuses such words anyway).
bool canTravel(const Word& w);
// Appends the field; the number of words left out.
std::size_t appendWords(Fields& fields, std::span<const Word> words);
// Appends one word to a field being built.
void appendWord(std::string& field, const Word& w);
// Takes the words of fields[from], which must be the last field; false when
// it is missing or malformed.
bool takeWords(const Fields& fields, std::size_t from, Words& words);

// A word of a received field, pointing into the field's bytes.
struct WordView {
  std::string_view written;
  std::string_view spoken;
};
// The words of a word-list field without copying them; false when the
// field is malformed.
bool viewWords(std::string_view field, std::vector<WordView>& words);

// The answer to adding or removing words is one field of marks, one per
// word received, in order: kChanged when the word was added (removed),
// kUnchanged when it was present (missing) or refused. The sender knows
// the words, so they do not travel back.
inline constexpr char kChanged = '1';
inline constexpr char kUnchanged = '0';
// The words of `sent` marked as changed. `left` = the number of words of
// `sent` that could not travel (appendWords); they have no mark. False when
// the marks do not fit the words sent.
bool takeMarked(const Words& sent, std::size_t left, std::string_view marks, Words& changed);

// The recognizer's word analysis: refuses an empty written form, one
// longer than kMaxWritten bytes, and control characters in either form.
enum class Analysis { ok, empty, tooLong, controlChar };
Analysis analyse(std::string_view written, std::string_view spoken);
// Description of a refusal in the recognizer's own (German) words, for
// its answers; the clients show dragon::analysisReason instead.
std::string analysisText(Analysis a);

// Event names pushed to registered receivers.
inline constexpr const char* evDialogClosed = "DialogClosed";
inline constexpr const char* evBarCommand = "DragonBarCommandTriggered";
inline constexpr const char* evBarStatus = "DragonBarStatusChanged";
inline constexpr const char* evMimicDone = "MimicDone";
inline constexpr const char* evSpeakerChanged = "SpeakerChanged";
inline constexpr const char* evSpeakerClosing = "SpeakerClosing";
inline constexpr const char* evTopicChanged = "TopicChanged";

// Status value of DragonBarStatusChanged announcing the recognizer's end.
inline constexpr int kStatusEnding = 2;

// Dialog number the clients show (word properties).
inline constexpr int kWordDialog = 55;

// Request names. Engine control, window queries, vocabulary tools, and the
// control commands of tests and demos.
namespace cmd {
inline constexpr const char* speaker = "speaker";
inline constexpr const char* save = "save";
inline constexpr const char* topic = "topic";
inline constexpr const char* mustSave = "must-save";
inline constexpr const char* open = "open";      // speaker, topic [, option]
inline constexpr const char* dialog = "dialog";  // number, argument
inline constexpr const char* engineRuns = "engine-runs";
inline constexpr const char* option = "option";
inline constexpr const char* registerEvents = "register";
inline constexpr const char* unregisterEvents = "unregister";
inline constexpr const char* bar = "bar";                 // -> title or ""
inline constexpr const char* userDialog = "user-dialog";  // -> title or ""
inline constexpr const char* closeBar = "close-bar";
inline constexpr const char* closeUserDialog = "close-user-dialog";
inline constexpr const char* vtInit = "vt-init";
inline constexpr const char* vtUninit = "vt-uninit";
inline constexpr const char* vtSpeaker = "vt-speaker";
inline constexpr const char* vbSave = "vb-save";
inline constexpr const char* vbGet = "vb-get";        // "1" user words, "0" all
inline constexpr const char* vbAdd = "vb-add";        // number, words -> marks
inline constexpr const char* vbRemove = "vb-remove";  // words -> marks
inline constexpr const char* ctlState = "state";
inline constexpr const char* ctlAddWord = "add-word";
inline constexpr const char* ctlRemoveWord = "remove-word";
inline constexpr const char* ctlWords = "words";
inline constexpr const char* ctlOpenUserDialog = "open-user-dialog";
inline constexpr const char* ctlSwitchSpeaker = "switch-speaker";
inline constexpr const char* ctlQuit = "quit";
inline constexpr const char* ctlEvent = "event";  // name, values: push to receivers
}  // namespace cmd

inline constexpr const char* kOk = "ok";
inline constexpr const char* kErr = "err";
inline constexpr const char* kEvent = "event";

}  // namespace dragonproto
