// The recognizer stand-in without its socket: speaker files, the set-up,
// the vocabulary rules and the answers and events of requests.
#include <gtest/gtest.h>

#include "dragonsim/engine.h"
#include "dragonsim/world.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "tests/support/baum.h"

namespace proto = dragonproto;
using natspeak::Engine;
using natspeak::Fields;
using natspeak::Word;
using natspeak::Words;

namespace {

const std::string kUser = "Meier\r\nM\xFCller\\Mueller\r\n";

// Speakers Anna (topics Allgemein with her own words, Chirurgie) and Bernd,
// and an engine whose events are recorded.
struct Welt {
  vktest::Baum baum;
  std::string master = baum.sys("R") + "\\";
  Engine e{{}};
  std::vector<std::pair<int, Fields>> events;
  Welt() {
    baum.umgebungUmleiten();
    EXPECT_EQ(plat::publishNew(baum.sys("eigene.txt"), kUser, false), plat::Err::ok);
    std::string meldung;
    EXPECT_TRUE(natspeak::setup(master,
                                {{"Anna", "Allgemein", "", "", baum.sys("eigene.txt")},
                                 {"Anna", "Chirurgie", "chir", "", ""},
                                 {"Bernd", "Allgemein", "", "", ""}},
                                "\\opt\\natspeak\\", meldung))
        << meldung;
    e.sendEvent = [this](int conn, const Fields& f) { events.emplace_back(conn, f); };
  }
  std::string voc(const char* sprecher) const {
    return vktest::lesen(plat::nativePath(natspeak::topicFolder(master, sprecher, "Allgemein")) +
                         "user.voc");
  }
};

}  // namespace

// A second set-up changes nothing; topic folders leading outside are left
// out.
TEST(DragonSimWelt, SetupCreatesTheWorldAndIsIdempotent) {
  Welt w;
  EXPECT_EQ(natspeak::iniValue(natspeak::nsuserIniPath(), "Settings", "User Base Directory RU"),
            natspeak::settingsDirectory() + "Users\\");
  const std::string topics = w.master + "Anna\\current\\topics.ini";
  const std::string themen = "[Topics]\r\nAllgemein=Allgemein\r\nChirurgie=chir\r\n";
  std::string meldung;
  ASSERT_TRUE(natspeak::setup(w.master, {{"Anna", "Allgemein", "", "", w.baum.sys("eigene.txt")}},
                              "\\opt\\natspeak\\", meldung));
  EXPECT_EQ(vktest::lesen(plat::nativePath(topics)), themen);
  EXPECT_EQ(w.voc("Anna"), kUser);
  EXPECT_EQ(natspeak::listSpeakers(w.master), (std::vector<std::string>{"Anna", "Bernd"}));

  ASSERT_EQ(
      plat::publishReplace(topics, "[Topics]\r\nBoese=..\r\nAuch=a\\b\r\n  Gut = g \r\n", false),
      plat::Err::ok);
  const auto t = natspeak::readTopics(w.master, "Anna");
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].name + "|" + t[0].folder, "Gut | g");
  EXPECT_EQ(natspeak::topicFolder(w.master, "Anna", "Boese"), "");
}

TEST(DragonVokabular, SavedChangesSurviveReloadIncludingRemovedBuiltins) {
  Welt w;
  const std::string ordner = natspeak::topicFolder(w.master, "Anna", "Allgemein");
  natspeak::Vocabulary v;
  ASSERT_EQ(natspeak::loadVocabulary(ordner, v), plat::Err::ok);
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

// One mark per word that travelled (the one with a control character
// stays behind): present, added, twice, refused, added; nothing reaches
// the disk before a save.
TEST(DragonEngine, AddRemoveGetReturnOnlyWhatReallyChanged) {
  Welt w;
  Engine& e = w.e;
  ASSERT_EQ(e.handle(1, {"open", "Anna", "Allgemein"})[0], "ok");
  e.handle(1, {"vt-init"});
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
  Words eigene;
  ASSERT_TRUE(proto::takeWords(e.handle(1, {"vb-get", "1"}), 1, eigene));
  EXPECT_EQ(eigene, (Words{{"Meier", ""}, {"M\xFCller", "Mueller"}, {"Neu", "N e u"}}));
  EXPECT_EQ(e.handle(1, {"vb-add", "x", ""}).at(1), std::to_string(proto::errRequest));
  EXPECT_EQ(w.voc("Anna").find("Neu"), std::string::npos);
  EXPECT_EQ(e.handle(1, {"vb-save"})[0], "ok");
  EXPECT_NE(w.voc("Anna").find("Neu\\N e u\r\n"), std::string::npos);
  EXPECT_FALSE(e.mustSave());
}

// The engine control call drops unsaved changes and pushes its events to
// receivers only; a topic change alone announces only the topic, opening
// what is open nothing.
TEST(DragonEngine, OpeningPushesEventsInOrderToReceiversOnly) {
  Welt w;
  Engine& e = w.e;
  e.handle(1, {"open", "Bernd", "Allgemein"});
  e.handle(7, {"register"});
  e.handle(1, {"add-word", "Verworfen"});
  e.handle(1, {"open", "Anna", "Chirurgie", "3"});
  e.handle(1, {"open", "Anna", "Allgemein"});
  std::vector<std::string> namen;
  for (const auto& [conn, f] : w.events) {
    EXPECT_EQ(conn, 7);
    namen.push_back(f.at(1));
  }
  EXPECT_EQ(namen, (std::vector<std::string>{"SpeakerClosing", "SpeakerChanged", "TopicChanged",
                                             "TopicChanged"}));
  EXPECT_EQ(w.voc("Bernd"), "");
  w.events.clear();
  e.handle(1, {"open", "Anna", "Allgemein", "4"});
  EXPECT_TRUE(w.events.empty());
  EXPECT_EQ(e.handle(1, {"option"}), (Fields{"ok", "4"}));
  e.handle(7, {"unregister", "0"});
  e.handle(1, {"event", "MimicDone", "3"});
  EXPECT_TRUE(w.events.empty());
}
