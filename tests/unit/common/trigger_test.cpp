// Trigger files: names and counter, pending requests, the switch and the wait.
#include <sys/stat.h>

#include <algorithm>

#include "common/zeichenketten.h"
#include "testbaum.h"

namespace {

class Trigger : public Testbaum {
 protected:
  void SetUp() override {
    Testbaum::SetUp();
    std::filesystem::create_directories(wurzel_ / "ziel/Trigger");
    vk::konfiguration().mitTrigger = true;
    vk::utilitiesZustand().rechnername = "PLATZ7";
    vk::triggerZustand().rundeSekunden = 0.01f;
  }
  std::vector<std::string> dateien() const {
    std::vector<std::string> namen;
    for (const auto& e : std::filesystem::directory_iterator(wurzel_ / "ziel/Trigger"))
      namen.push_back(e.path().filename().string());
    std::sort(namen.begin(), namen.end());
    return namen;
  }
};

TEST_F(Trigger, NumberedFromT1001SkippingTakenNames) {
  EXPECT_EQ(vk::TriggerId(vk::TriggerArt::pool, 5, "Innere"), "POOL-Innere");
  EXPECT_EQ(vk::TriggerId(vk::TriggerArt::verwaltung, 5, ""), "ADMIN");
  ASSERT_TRUE(vk::TriggerSetzen(1));
  EXPECT_EQ(lesen("ziel/Trigger/T1001.trg"), "Vokarium5-Trigger\r\nPLATZ7\r\n");
  EXPECT_EQ(vk::triggerZustand().letzterTrigger, sys("ziel/Trigger/T1001.trg"));

  schreiben("ziel/Trigger/T1002.trg", "fremd");
  schreiben("ziel/Trigger/T1003.trg", "fremd");
  ASSERT_TRUE(vk::TriggerSetzen(vk::TriggerArt::nummer));
  EXPECT_EQ(vk::triggerZustand().zaehler, 1004U);
  EXPECT_EQ(lesen("ziel/Trigger/T1002.trg"), "fremd");
  // The counter goes on from the last number written, even when the server
  // removed the earlier files.
  std::filesystem::remove(wurzel_ / "ziel/Trigger/T1001.trg");
  ASSERT_TRUE(vk::TriggerSetzen(1));
  EXPECT_EQ(dateien(),
            (std::vector<std::string>{"T1002.trg", "T1003.trg", "T1004.trg", "T1005.trg"}));
}

TEST_F(Trigger, PendingPoolAndAdminRequestsAreNotRepeated) {
  ASSERT_TRUE(vk::TriggerSetzen(2));
  ASSERT_TRUE(vk::TriggerSetzen(2));
  ASSERT_TRUE(vk::TriggerSetzen(3));
  ASSERT_TRUE(vk::TriggerSetzen(3));
  EXPECT_EQ(dateien(), (std::vector<std::string>{"ADMIN.trg", "POOL-Chirurgie.trg"}));
  vk::poolZustand().Pool = "..";
  EXPECT_FALSE(vk::TriggerSetzen(2));
  EXPECT_EQ(dateien().size(), 2U);
}

// A trigger whose folder is gone or whose name a folder or a FIFO takes is
// reported and counts as not set.
TEST_F(Trigger, WhatCannotBeWrittenIsReportedNotSet) {
  std::filesystem::create_directory(wurzel_ / "ziel/Trigger/POOL-Chirurgie.trg");
  ASSERT_EQ(::mkfifo((wurzel_ / "ziel/Trigger/ADMIN.trg").c_str(), 0666), 0);
  EXPECT_FALSE(vk::TriggerSetzen(2));
  EXPECT_FALSE(vk::TriggerSetzen(3));
  std::filesystem::remove_all(wurzel_ / "ziel/Trigger");
  EXPECT_FALSE(vk::TriggerSetzen(1));
  ASSERT_EQ(vk::recordedMessages().size(), 3U);
  EXPECT_NE(meldungen().find(sys("ziel/Trigger/POOL-Chirurgie.trg")), std::string::npos)
      << meldungen();
  EXPECT_NE(meldungen().find(sys("ziel/Trigger/T1001.trg")), std::string::npos) << meldungen();
  EXPECT_TRUE(vk::triggerZustand().letzterTrigger.empty());
}

// The user may stop waiting for a server that is down (first question: keep
// waiting; second: Cancel); else the wait ends when the server removes the
// trigger; switched off, nothing is written or waited for.
TEST_F(Trigger, WaitForTheServerTheUsersWayOutAndSwitchedOff) {
  ASSERT_TRUE(vk::TriggerSetzen(1));
  vk::setNextAnswer(true);
  vk::TriggerAbwarten();
  EXPECT_EQ(vk::recordedMessages().size(), 2U);
  EXPECT_TRUE(gibtEs("ziel/Trigger/T1001.trg"));
  EXPECT_TRUE(vk::triggerZustand().letzterTrigger.empty());

  ASSERT_TRUE(vk::TriggerSetzen(1));
  int fragen = 0;
  // The server "answers" while the user is asked the second time.
  vk::setAnswerFunction([&](const vk::AufgezeichneteMeldung& m) {
    EXPECT_EQ(m.text, vk::ersetzen(vk::Text(2202), "\\n", "\r"));
    if (++fragen == 2) std::filesystem::remove(wurzel_ / "ziel/Trigger/T1002.trg");
    return true;
  });
  vk::TriggerAbwarten();
  EXPECT_EQ(fragen, 2);
  EXPECT_TRUE(vk::triggerZustand().letzterTrigger.empty());

  vk::konfiguration().mitTrigger = false;
  vk::setAnswerFunction(nullptr);
  vk::clearRecordedMessages();
  EXPECT_TRUE(vk::TriggerSetzen(1));
  EXPECT_EQ(dateien(), std::vector<std::string>{"T1001.trg"});
  vk::triggerZustand().letzterTrigger = sys("ziel/Trigger/T1001.trg");
  vk::TriggerAbwarten();
  EXPECT_TRUE(vk::recordedMessages().empty());
}

}  // namespace
