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

std::string dateiInhalt(const std::string& pfad) {
  plat::SharedFile f;
  std::string s;
  if (f.open(pfad, plat::Access::read, plat::Share::shared, plat::Disposition::openExisting) ==
      plat::Err::ok) {
    EXPECT_EQ(f.readAll(s), plat::Err::ok) << pfad;
  }
  return s;
}

Fields mitWorten(Fields f, const Words& w) {
  proto::appendWords(f, w);
  return f;
}

Words worte(const Fields& antwort) {
  Words w;
  EXPECT_EQ(antwort.at(0), "ok");
  EXPECT_TRUE(proto::takeWords(antwort, 1, w));
  return w;
}

struct Welt {
  SimBaum baum;
  std::string master = baum.system("R") + "\\";
  Welt() {
    EXPECT_EQ(plat::publishNew(baum.system("eigene.txt"),
                               "Meier\r\nM\xFC"
                               "ller\\Mueller\r\n",
                               false),
              plat::Err::ok);
    std::string meldung;
    bool ok = natspeak::setup(master,
                              {{"Anna", "Allgemein", "", "", baum.system("eigene.txt")},
                               {"Anna", "Chirurgie", "chir", "", ""},
                               {"Bernd", "Allgemein", "", "", ""}},
                              "\\opt\\natspeak\\", meldung);
    EXPECT_TRUE(ok) << meldung;
  }
};

struct Empfang {
  std::vector<std::pair<int, Fields>> events;
  void an(Engine& e) {
    e.sendEvent = [this](int conn, const Fields& f) { events.emplace_back(conn, f); };
  }
  std::vector<std::string> namen() const {
    std::vector<std::string> n;
    for (const auto& [c, f] : events)
      n.push_back(f.at(1));
    return n;
  }
};

}  // namespace

TEST(DragonSimWelt, SetupCreatesTheWorldAndIsIdempotent) {
  Welt w;
  EXPECT_EQ(natspeak::masterDirectory(), w.master);
  EXPECT_EQ(natspeak::iniValue(natspeak::nsuserIniPath(), "Settings", "User Base Directory RU"),
            natspeak::settingsDirectory() + "Users\\");
  plat::RegValue v;
  ASSERT_EQ(plat::regRead(plat::Hive::localMachine,
                          "Software\\Microsoft\\Office\\Word\\Addins\\Dragon.Word2000Support.1",
                          "Filename", v),
            plat::Err::ok);
  EXPECT_EQ(v.text, "\\opt\\natspeak\\dgnword.dll");
  std::string topics = w.master + "Anna\\current\\topics.ini";
  EXPECT_EQ(dateiInhalt(topics), "[Topics]\r\nAllgemein=Allgemein\r\nChirurgie=chir\r\n");
  std::string user = w.master + "Anna\\current\\Allgemein\\user.voc";
  EXPECT_EQ(dateiInhalt(user),
            "Meier\r\nM\xFC"
            "ller\\Mueller\r\n");

  std::string meldung;
  ASSERT_TRUE(natspeak::setup(w.master,
                              {{"Anna", "Allgemein", "", "", w.baum.system("eigene.txt")}},
                              "\\opt\\natspeak\\", meldung));
  EXPECT_EQ(dateiInhalt(topics), "[Topics]\r\nAllgemein=Allgemein\r\nChirurgie=chir\r\n");
  EXPECT_EQ(dateiInhalt(user),
            "Meier\r\nM\xFC"
            "ller\\Mueller\r\n");
  EXPECT_EQ(natspeak::listSpeakers(w.master), (std::vector<std::string>{"Anna", "Bernd"}));

  // A refused call writes nothing: not the other master directory, not
  // nsuser.ini, not the add-in value, not the valid topic before the bad one.
  std::string anderer = w.baum.system("R2") + "\\";
  std::vector<std::vector<natspeak::SetupTopic>> abgelehnt{
      {{"Anna", "T", "..", "", ""}},
      {{"a\\b", "T", "", "", ""}},
      {{"Carla", "Gut", "", "", ""}, {"Carla", "a=b", "f", "", ""}},
      {{"Carla", "Gut", "", "", w.baum.system("fehlt.txt")}}};
  for (const char* thema : {"[Neu", "a=b", " Rand", "Zeilen\r\nUmbruch"})
    abgelehnt.push_back({{"Anna", thema, "f", "", ""}});
  for (const auto& themen : abgelehnt) {
    EXPECT_FALSE(natspeak::setup(anderer, themen, "\\x\\", meldung)) << themen.back().topic;
    EXPECT_FALSE(plat::directoryExists(anderer)) << themen.back().topic;
    EXPECT_EQ(natspeak::masterDirectory(), w.master);
    ASSERT_EQ(plat::regRead(plat::Hive::localMachine,
                            "Software\\Microsoft\\Office\\Word\\Addins\\Dragon.Word2000Support.1",
                            "Filename", v),
              plat::Err::ok);
    EXPECT_EQ(v.text, "\\opt\\natspeak\\dgnword.dll");
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
      if (neu) soll.erase({w.written, w.spoken});
      ASSERT_EQ(v.remove(w), !neu) << i;
      soll.erase({w.written, w.spoken});
    }
  }
  ASSERT_EQ(v.size(), soll.size());
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
  std::string ordner = natspeak::topicFolder(w.master, "Anna", "Allgemein");
  natspeak::Vocabulary v;
  ASSERT_EQ(natspeak::loadVocabulary(ordner, v), plat::Err::ok);
  EXPECT_EQ(v.size(), 5002u);
  Words alle;
  v.words(false, alle);
  Word eingebaut = alle.front();
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
  EXPECT_TRUE(
      neu.contains({"M\xFC"
                    "ller",
                    "Mueller"}));
}

TEST(DragonEngine, CallsNeedAnOpenSpeakerAndAnInitializedSession) {
  Welt w;
  Engine e({});
  EXPECT_EQ(e.handle(1, {"vb-get", "0"})[0], "err");
  EXPECT_EQ(e.handle(1, {"vt-init"})[0], "ok");
  Fields a = e.handle(1, {"vb-get", "0"});
  EXPECT_EQ(a.at(1), std::to_string(proto::errNoSpeaker));
  EXPECT_EQ(e.handle(1, {"open", "Anna", "Unbekannt"}).at(1), std::to_string(proto::errUnknown));
  EXPECT_EQ(e.handle(1, {"open", "Anna", "Allgemein", "x"}).at(1),
            std::to_string(proto::errRequest));
  EXPECT_EQ(e.handle(1, {"dialog", "55", "Wort"}).at(1), std::to_string(proto::errNoSpeaker));
  EXPECT_EQ(e.handle(1, {"no-such"}).at(0), "err");
  // Another connection has its own session.
  EXPECT_EQ(e.handle(2, {"vt-speaker"}).at(1), std::to_string(proto::errNotInitialized));
}

TEST(DragonEngine, AddRemoveGetReturnOnlyWhatReallyChanged) {
  Welt w;
  Engine e({});
  ASSERT_EQ(e.handle(1, {"open", "Anna", "Allgemein"})[0], "ok");
  e.handle(1, {"vt-init"});
  EXPECT_EQ(e.handle(1, {"must-save"}), (Fields{"ok", "0"}));
  Words add{{"Meier", ""}, {"Neu", ""},         {"Neu", ""},
            {"", "leer"},  {"Zu viel\x01", ""}, {"Neu", "N e u"}};
  // One mark per word that travelled (the one with a control character
  // stays behind): present, added, twice, refused, added.
  EXPECT_EQ(e.handle(1, mitWorten({"vb-add", "1"}, add)), (Fields{"ok", "01001"}));
  EXPECT_EQ(e.handle(1, {"must-save"}), (Fields{"ok", "1"}));
  EXPECT_EQ(e.handle(1, mitWorten({"vb-remove"}, {{"Fehlt", ""}, {"Neu", ""}})),
            (Fields{"ok", "01"}));
  EXPECT_EQ(worte(e.handle(1, {"vb-get", "1"})), (Words{{"Meier", ""},
                                                        {"M\xFC"
                                                         "ller",
                                                         "Mueller"},
                                                        {"Neu", "N e u"}}));
  EXPECT_EQ(worte(e.handle(1, {"vb-get", "0"})).size(), 5003u);
  EXPECT_EQ(e.handle(1, {"vb-add", "x", ""}).at(1), std::to_string(proto::errRequest));
  // Nothing reaches the disk before a save.
  std::string ordner = natspeak::topicFolder(w.master, "Anna", "Allgemein");
  EXPECT_EQ(dateiInhalt(ordner + "user.voc").find("Neu"), std::string::npos);
  EXPECT_EQ(e.handle(1, {"vb-save"})[0], "ok");
  EXPECT_NE(dateiInhalt(ordner + "user.voc").find("Neu\\N e u\r\n"), std::string::npos);
  EXPECT_FALSE(e.mustSave());
}

TEST(DragonEngine, SwitchingSpeakerPushesEventsInOrderToReceiversOnly) {
  Welt w;
  Engine e({});
  Empfang empfang;
  empfang.an(e);
  e.handle(1, {"open", "Anna", "Allgemein"});
  e.handle(7, {"register"});
  e.handle(1, {"add-word", "Ungesichert"});
  // A user's switch saves the open speaker first.
  EXPECT_EQ(e.handle(1, {"switch-speaker", "Bernd", "Allgemein"})[0], "ok");
  EXPECT_EQ(empfang.namen(),
            (std::vector<std::string>{"SpeakerClosing", "SpeakerChanged", "TopicChanged"}));
  for (const auto& [conn, f] : empfang.events)
    EXPECT_EQ(conn, 7);
  std::string anna = natspeak::topicFolder(w.master, "Anna", "Allgemein");
  EXPECT_NE(dateiInhalt(anna + "user.voc").find("Ungesichert"), std::string::npos);

  // The engine control call drops unsaved changes; a topic change alone
  // announces only the topic.
  empfang.events.clear();
  e.handle(1, {"add-word", "Verworfen"});
  e.handle(1, {"open", "Anna", "Chirurgie", "3"});
  e.handle(1, {"open", "Anna", "Allgemein"});
  EXPECT_EQ(empfang.namen(), (std::vector<std::string>{"SpeakerClosing", "SpeakerChanged",
                                                       "TopicChanged", "TopicChanged"}));
  std::string bernd = natspeak::topicFolder(w.master, "Bernd", "Allgemein");
  EXPECT_EQ(dateiInhalt(bernd + "user.voc"), "");
  EXPECT_EQ(e.handle(1, {"option"}), (Fields{"ok", "0"}));

  // Opening what is open changes nothing and announces nothing.
  empfang.events.clear();
  e.handle(1, {"open", "Anna", "Allgemein", "4"});
  EXPECT_TRUE(empfang.events.empty());
  EXPECT_EQ(e.handle(1, {"option"}), (Fields{"ok", "4"}));

  e.handle(7, {"unregister", "0"});
  e.handle(1, {"event", "MimicDone", "3"});
  EXPECT_TRUE(empfang.events.empty());
}

TEST(DragonEngine, EndAnnouncesStatusTwoAndSavesOnlyWhenNeeded) {
  Welt w;
  Engine e({});
  Empfang empfang;
  empfang.an(e);
  e.handle(1, {"open", "Anna", "Allgemein"});
  e.handle(2, {"register"});
  bool verlangt = false;
  e.quitRequested = [&verlangt]() { verlangt = true; };
  e.handle(1, {"close-bar"});
  EXPECT_TRUE(verlangt);
  e.beginQuit();
  ASSERT_EQ(empfang.events.size(), 1u);
  EXPECT_EQ(empfang.events[0].second, (Fields{"event", "DragonBarStatusChanged", "2"}));
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

TEST(DragonEngine, WindowQueriesFollowTheLanguage) {
  Welt w;
  Engine de({});
  natspeak::EngineOptions o;
  o.english = true;
  Engine en(o);
  EXPECT_EQ(de.handle(1, {"bar"}), (Fields{"ok", "Dragon-Leiste"}));
  EXPECT_EQ(en.handle(1, {"bar"}), (Fields{"ok", "DragonBar"}));
  EXPECT_EQ(de.handle(1, {"user-dialog"}), (Fields{"ok", ""}));
  de.handle(1, {"open-user-dialog"});
  en.handle(1, {"open-user-dialog"});
  EXPECT_EQ(de.handle(1, {"user-dialog"}), (Fields{"ok",
                                                   "Benutzer \xF6"
                                                   "ffnen"}));
  EXPECT_EQ(en.handle(1, {"user-dialog"}), (Fields{"ok", "Open User"}));
  de.handle(1, {"close-user-dialog"});
  EXPECT_EQ(de.handle(1, {"user-dialog"}), (Fields{"ok", ""}));
}

TEST(DragonEngine, WordDialogNamesTheWordAndTheSpeaker) {
  Welt w;
  Engine de({});
  int nummer = 0;
  std::string fehler;
  ASSERT_TRUE(de.open("Anna", "Allgemein", 0, true, nummer, fehler)) << fehler;
  EXPECT_EQ(de.wordDialogText("Femur"),
            "Wort: Femur\nBenutzer: Anna\nThema: Allgemein\nW\xF6"
            "rter im Vokabular: " +
                std::to_string(de.vocabulary().size()));
  natspeak::EngineOptions o;
  o.english = true;
  Engine en(o);
  EXPECT_EQ(en.wordDialogText("").rfind("No word given", 0), 0u);
}
