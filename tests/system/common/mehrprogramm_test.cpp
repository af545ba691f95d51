// Numbered triggers written by two programs at the same time never share
// a name.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "tests/support/baum.h"

namespace {

TEST(Mehrprogramm, TwoProgramsWritingTriggersNeverShareAName) {
  constexpr int kJe = 100;
  vktest::Baum baum;
  baum.umgebungUmleiten();
  std::filesystem::create_directories(baum.pfad("ziel/Trigger"));
  vktest::Prozess a;
  vktest::Prozess b;
  for (vktest::Prozess* p : {&a, &b})
    p->start(baum.wurzel, {VK_PROBE, baum.pfad("ziel"), std::to_string(kJe), baum.pfad("los")});
  baum.schreiben("los", "");
  std::set<std::string> geschrieben;
  for (vktest::Prozess* p : {&a, &b}) {
    ASSERT_EQ(p->ende(60000), 0) << p->fehler();
    std::istringstream aus(p->ausgabe());
    int anzahl = 0;
    for (std::string z; std::getline(aus, z); ++anzahl)
      EXPECT_TRUE(geschrieben.insert(z).second) << "written twice: " << z;
    EXPECT_EQ(anzahl, kJe);
  }
  int dateien = 0;
  for (const auto& e : std::filesystem::directory_iterator(baum.pfad("ziel/Trigger"))) {
    EXPECT_EQ(vktest::lesen(e.path()).rfind("Vokarium5-Trigger\r\n", 0), 0U) << e.path();
    ++dateien;
  }
  EXPECT_EQ(dateien, 2 * kJe);
}

}  // namespace
