// The recognizer stand-in without its socket: speaker files, the set-up,
// the vocabulary rules and the answers and events of requests.
#include <gtest/gtest.h>

#include <set>

#include "dragonsim/engine.h"
#include "dragonsim/world.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/shared_file.h"
#include "sim_baum.h"

namespace proto = dragonproto;
using natspeak::Engine;
using natspeak::Fields;
using natspeak::Word;
using natspeak::Words;

namespace {

const std::string kUser = "Meier\r\nM\xFCller\\Mueller\r\n";
const char* const kAddin = "Software\\Microsoft\\Office\\Word\\Addins\\Dragon.Word2000Support.1";

std::string dateiInhalt(const std::string& pfad) {
  plat::SharedFile f;
  std::string s;
  if (f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting) ==
      plat::Err::ok) {
    EXPECT_EQ(f.readAll(s), plat::Err::ok) << pfad;
  }
  return s;
}

std::string addin() {
  plat::RegValue v;
  EXPECT_EQ(plat::regRead(plat::Hive::localMachine, kAddin, "Filename", v), plat::Err::ok);
  return v.text;
}

Words worte(const Fields& antwort) {
  Words w;
  EXPECT_EQ(antwort.at(0), "ok");
  EXPECT_TRUE(proto::takeWords(antwort, 1, w));
  return w;
}

// Speakers Anna (topics Allgemein with her own words, Chirurgie) and Bernd,
// and an engine whose events are recorded.
struct Welt {
  SimBaum baum;
  std::string master = baum.system("R") + "\\";
  Engine e{{}};
  std::vector<std::pair<int, Fields>> events;
  Welt() {
    EXPECT_EQ(plat::publishNew(baum.system("eigene.txt"), kUser, false), plat::Err::ok);
    std::string meldung;
    EXPECT_TRUE(natspeak::setup(master,
                                {{"Anna", "Allgemein", "", "", baum.system("eigene.txt")},
                                 {"Anna", "Chirurgie", "chir", "", ""},
                                 {"Bernd", "Allgemein", "", "", ""}},
                                "\\opt\\natspeak\\", meldung))
        << meldung;
    e.sendEvent = [this](int conn, const Fields& f) { events.emplace_back(conn, f); };
  }
  std::vector<std::string> namen() const {
    std::vector<std::string> n;
    for (const auto& [c, f] : events)
      n.push_back(f.at(1));
    return n;
  }
  std::string voc(const char* sprecher) const {
    return dateiInhalt(natspeak::topicFolder(master, sprecher, "Allgemein") + "user.voc");
  }
};

}  // namespace

TEST(DragonSimWelt, SetupCreatesTheWorldAndIsIdempotent) {
  Welt w;
  EXPECT_EQ(natspeak::masterDirectory(), w.master);
  EXPECT_EQ(natspeak::iniValue(natspeak::nsuserIniPath(), "Settings", "User Base Directory RU"),
            natspeak::settingsDirectory() + "Users\\");
  EXPECT_EQ(addin(), "\\opt\\natspeak\\dgnword.dll");
  const std::string topics = w.master + "Anna\\current\\topics.ini";
  const std::string themen = "[Topics]\r\nAllgemein=Allgemein\r\nChirurgie=chir\r\n";
  EXPECT_EQ(dateiInhalt(topics), themen);
  EXPECT_EQ(w.voc("Anna"), kUser);

  std::string meldung;
  ASSERT_TRUE(natspeak::setup(w.master,
                              {{"Anna", "Allgemein", "", "", w.baum.system("eigene.txt")}},
                              "\\opt\\natspeak\\", meldung));
  EXPECT_EQ(dateiInhalt(topics), themen);
  EXPECT_EQ(w.voc("Anna"), kUser);
  EXPECT_EQ(natspeak::listSpeakers(w.master), (std::vector<std::string>{"Anna", "Bernd"}));

  // A refused call writes nothing: not the other master directory, not
  // nsuser.ini, not the add-in value, not the valid topic before the bad one.
  const std::string anderer = w.baum.system("R2") + "\\";
  std::vector<std::vector<natspeak::SetupTopic>> abgelehnt{
      {{"Anna", "T", "..", "", ""}},
      {{"a\\b", "T", "", "", ""}},
      {{"Carla", "Gut", "", "", ""}, {"Carla", "a=b", "f", "", ""}},
      {{"Carla", "Gut", "", "", w.baum.system("fehlt.txt")}}};
  for (const char* thema : {"[Neu", "a=b", " Rand", "Zeilen\r\nUmbruch"})
    abgelehnt.push_back({{"Anna", thema, "f", "", ""}});
  for (const auto& themen : abgelehnt) {
    SCOPED_TRACE(themen.back().topic);
    EXPECT_FALSE(natspeak::setup(anderer, themen, "\\x\\", meldung));
    EXPECT_FALSE(plat::directoryExists(anderer));
    EXPECT_EQ(natspeak::masterDirectory(), w.master);
    EXPECT_EQ(addin(), "\\opt\\natspeak\\dgnword.dll");
  }
}

TEST(DragonSimWelt, TopicFoldersThatLeadOutsideAreIgnored) {
  Welt w;
  EXPECT_EQ(
      plat::publishReplace(
          w.master + "Anna\\current\\topics.ini",
          "[Topics]\r\nBoese=..\r\nAuch=a\\b\r\n  Gut = g \r\n=x\r\n[Other]\r\nX=y\r\n", false),
      plat::Err::ok);
  auto t = natspeak::readTopics(w.master, "Anna");
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].name, "Gut ");
  EXPECT_EQ(t[0].folder, " g");
  EXPECT_EQ(natspeak::topicFolder(w.master, "Anna", "Boese"), "");
}

TEST(DragonVokabular, WordsAreIdentifiedByBothForms) {
  natspeak::Vocabulary v;
  EXPECT_TRUE(v.add({"EKG", ""}, true));
  EXPECT_TRUE(v.add({"EKG", "E K G"}, false));
  EXPECT_FALSE(v.add({"EKG", "E K G"}, false));
  EXPECT_FALSE(v.remove({"ekg", ""}));
  EXPECT_TRUE(v.add({"Zyste", ""}, false));
  EXPECT_TRUE(v.remove({"EKG", ""}));
  EXPECT_TRUE(v.remove({"EKG", "E K G"}));
  EXPECT_EQ(v.size(), 1u);
  EXPECT_EQ(v.userCount(), 1u);
  EXPECT_EQ(v.removedBuiltins(), (Words{{"EKG", ""}}));
  Words u;
  v.words(true, u);
  EXPECT_EQ(u, (Words{{"Zyste", ""}}));
}

TEST(DragonVokabular, ManyAddsAndRemovesAgreeWithASimpleSet) {
  // Enough words to grow the index several times and to compact the store;
  // the removal pattern leaves long probe runs to close up.
  natspeak::Vocabulary v;
  std::set<std::pair<std::string, std::string>> soll;
  unsigned x = 12345;
  for (int i = 0; i < 60000; ++i) {
    x = x * 1103515245u + 12345u;
    Word w{"w" + std::to_string(x % 9000), (x >> 8) % 3 == 0 ? "s" : ""};
    bool neu = soll.insert({w.written, w.spoken}).second;
    if ((x >> 4) % 5 < 3) {
      ASSERT_EQ(v.add(w, (x >> 12) % 2 == 0), neu) << i;
    } else {
      ASSERT_EQ(v.remove(w), !neu) << i;
      soll.erase({w.written, w.spoken});
    }
  }
  Words alle;
  v.words(false, alle);
  std::set<std::pair<std::string, std::string>> ist;
  for (const auto& w : alle)
    ist.insert({w.written, w.spoken});
  EXPECT_EQ(ist, soll);
  for (const auto& [a, b] : soll)
    EXPECT_TRUE(v.contains({a, b}));
}

TEST(DragonVokabular, SavedChangesSurviveReloadIncludingRemovedBuiltins) {
  Welt w;
  const std::string ordner = natspeak::topicFolder(w.master, "Anna", "Allgemein");
  natspeak::Vocabulary v;
  ASSERT_EQ(natspeak::loadVocabulary(ordner, v), plat::Err::ok);
  EXPECT_EQ(v.size(), 5002u);
  Words alle;
  v.words(false, alle);
  const Word eingebaut = alle.front();
  ASSERT_TRUE(v.remove(eingebaut));
  ASSERT_TRUE(v.remove({"Meier", ""}));
  ASSERT_TRUE(v.add({"\\Backslash", ""}, false));
  ASSERT_EQ(natspeak::saveVocabulary(ordner, v), plat::Err::ok);
  natspeak::Vocabulary neu;
  ASSERT_EQ(natspeak::loadVocabulary(ordner, neu), plat::Err::ok);
  EXPECT_EQ(neu.size(), 5001u);
  EXPECT_FALSE(neu.contains(eingebaut));
  EXPECT_FALSE(neu.contains({"Meier", ""}));
  EXPECT_TRUE(neu.contains({"\\Backslash", ""}));
  EXPECT_TRUE(neu.contains({"M\xFCller", "Mueller"}));
}

TEST(DragonEngine, CallsNeedAnOpenSpeakerAndAnInitializedSession) {
  Welt w;
  Engine& e = w.e;
  const auto fehler = [&e](const Fields& f) { return e.handle(1, f).at(1); };
  EXPECT_EQ(e.handle(1, {"vb-get", "0"})[0], "err");
  EXPECT_EQ(e.handle(1, {"vt-init"})[0], "ok");
  EXPECT_EQ(fehler({"vb-get", "0"}), std::to_string(proto::errNoSpeaker));
  EXPECT_EQ(fehler({"open", "Anna", "Unbekannt"}), std::to_string(proto::errUnknown));
  EXPECT_EQ(fehler({"open", "Anna", "Allgemein", "x"}), std::to_string(proto::errRequest));
  EXPECT_EQ(fehler({"dialog", "55", "Wort"}), std::to_string(proto::errNoSpeaker));
  EXPECT_EQ(e.handle(1, {"no-such"}).at(0), "err");
  // Another connection has its own session.
  EXPECT_EQ(e.handle(2, {"vt-speaker"}).at(1), std::to_string(proto::errNotInitialized));
}

TEST(DragonEngine, AddRemoveGetReturnOnlyWhatReallyChanged) {
  Welt w;
  Engine& e = w.e;
  ASSERT_EQ(e.handle(1, {"open", "Anna", "Allgemein"})[0], "ok");
  e.handle(1, {"vt-init"});
  EXPECT_EQ(e.handle(1, {"must-save"}), (Fields{"ok", "0"}));
  // One mark per word that travelled (the one with a control character
  // stays behind): present, added, twice, refused, added.
  Fields add{"vb-add", "1"};
  proto::appendWords(add, Words{{"Meier", ""},
                                {"Neu", ""},
                                {"Neu", ""},
                                {"", "leer"},
                                {"Zu viel\x01", ""},
                                {"Neu", "N e u"}});
  EXPECT_EQ(e.handle(1, add), (Fields{"ok", "01001"}));
  EXPECT_EQ(e.handle(1, {"must-save"}), (Fields{"ok", "1"}));
  Fields weg{"vb-remove"};
  proto::appendWords(weg, Words{{"Fehlt", ""}, {"Neu", ""}});
  EXPECT_EQ(e.handle(1, weg), (Fields{"ok", "01"}));
  EXPECT_EQ(worte(e.handle(1, {"vb-get", "1"})),
            (Words{{"Meier", ""}, {"M\xFCller", "Mueller"}, {"Neu", "N e u"}}));
  EXPECT_EQ(worte(e.handle(1, {"vb-get", "0"})).size(), 5003u);
  EXPECT_EQ(e.handle(1, {"vb-add", "x", ""}).at(1), std::to_string(proto::errRequest));
  // Nothing reaches the disk before a save.
  EXPECT_EQ(w.voc("Anna").find("Neu"), std::string::npos);
  EXPECT_EQ(e.handle(1, {"vb-save"})[0], "ok");
  EXPECT_NE(w.voc("Anna").find("Neu\\N e u\r\n"), std::string::npos);
  EXPECT_FALSE(e.mustSave());
}

TEST(DragonEngine, SwitchingSpeakerPushesEventsInOrderToReceiversOnly) {
  Welt w;
  Engine& e = w.e;
  e.handle(1, {"open", "Anna", "Allgemein"});
  e.handle(7, {"register"});
  e.handle(1, {"add-word", "Ungesichert"});
  // A user's switch saves the open speaker first.
  EXPECT_EQ(e.handle(1, {"switch-speaker", "Bernd", "Allgemein"})[0], "ok");
  EXPECT_EQ(w.namen(),
            (std::vector<std::string>{"SpeakerClosing", "SpeakerChanged", "TopicChanged"}));
  for (const auto& [conn, f] : w.events)
    EXPECT_EQ(conn, 7);
  EXPECT_NE(w.voc("Anna").find("Ungesichert"), std::string::npos);

  // The engine control call drops unsaved changes; a topic change alone
  // announces only the topic.
  w.events.clear();
  e.handle(1, {"add-word", "Verworfen"});
  e.handle(1, {"open", "Anna", "Chirurgie", "3"});
  e.handle(1, {"open", "Anna", "Allgemein"});
  EXPECT_EQ(w.namen(), (std::vector<std::string>{"SpeakerClosing", "SpeakerChanged", "TopicChanged",
                                                 "TopicChanged"}));
  EXPECT_EQ(w.voc("Bernd"), "");
  EXPECT_EQ(e.handle(1, {"option"}), (Fields{"ok", "0"}));

  // Opening what is open changes nothing and announces nothing.
  w.events.clear();
  e.handle(1, {"open", "Anna", "Allgemein", "4"});
  EXPECT_TRUE(w.events.empty());
  EXPECT_EQ(e.handle(1, {"option"}), (Fields{"ok", "4"}));
  e.handle(7, {"unregister", "0"});
  e.handle(1, {"event", "MimicDone", "3"});
  EXPECT_TRUE(w.events.empty());
}

TEST(DragonEngine, EndAnnouncesStatusTwoAndSavesOnlyWhenNeeded) {
  Welt w;
  Engine& e = w.e;
  e.handle(1, {"open", "Anna", "Allgemein"});
  e.handle(2, {"register"});
  bool verlangt = false;
  e.quitRequested = [&verlangt]() { verlangt = true; };
  e.handle(1, {"close-bar"});
  EXPECT_TRUE(verlangt);
  e.beginQuit();
  ASSERT_EQ(w.events.size(), 1u);
  EXPECT_EQ(w.events[0].second, (Fields{"event", "DragonBarStatusChanged", "2"}));
  // Calls are still answered while the receivers finish.
  EXPECT_EQ(e.handle(1, {"engine-runs"}), (Fields{"ok", "1"}));
  e.connectionClosed(2);
  EXPECT_EQ(e.receivers(), 0u);
  std::string fehler;
  EXPECT_TRUE(e.finish(fehler));
  EXPECT_EQ(e.saves(), 0);
  e.userAddWord({"Neu", ""}, verlangt, fehler);
  EXPECT_TRUE(e.finish(fehler));
  EXPECT_EQ(e.saves(), 1);
}
