// The recognizer stand-in without its socket: speaker files, the set-up and
// the vocabulary rules; its requests are tested through its clients.
#include <gtest/gtest.h>

#include "dragonsim/engine.h"
#include "dragonsim/world.h"
#include "platform/paths.h"
#include "platform/shared_file.h"
#include "tests/support/baum.h"

using natspeak::Word;
using natspeak::Words;

namespace {

const std::string kUser = "Meier\r\nM\xFCller\\Mueller\r\n";

// Speakers Anna (topics Allgemein with her own words, Chirurgie) and Bernd.
struct Welt {
  vktest::Baum baum;
  std::string master = baum.sys("R") + "\\";
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
