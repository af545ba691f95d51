// The pool lock between two programs (the second one is asked, may retry
// or cancel) and numbered triggers written by two programs at the same time.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <set>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/poolfiles.h"
#include "common/texte.h"
#include "common/zeichenketten.h"
#include "platform/paths.h"
#include "tests/support/baum.h"

namespace {

class Mehrprogramm : public ::testing::Test {
 protected:
  void SetUp() override {
    baum_.umgebungUmleiten();
    for (const char* d : {"ziel/Chirurgie", "ziel/Trigger"})
      std::filesystem::create_directories(baum_.pfad(d));
    vk::meldungZuruecksetzen();
    vk::responderEinschalten();
    vk::poolZustandZuruecksetzen();
    vk::SprachVerzeichnisSetzen(plat::systemPath(VK_SOURCE_DIR "/lang/"));
    vk::TextLaden("Deutsch");
    vk::konfiguration().ZielVerzeichnis = baum_.sys("ziel") + "\\";
    vk::poolZustand().Pool = "Chirurgie";
  }
  void TearDown() override { vk::poolZustandZuruecksetzen(); }

  // Starts the probe with the lock command on our pool.
  void sperreStarten(QProcess& p) {
    p.start(VK_PROBE, {"sperre", QString::fromStdString(baum_.pfad("ziel")), "Chirurgie"});
    ASSERT_TRUE(p.waitForStarted(10000));
  }
  static std::string zeile(QProcess& p) {
    while (!p.canReadLine()) {
      if (!p.waitForReadyRead(20000)) return "<keine Antwort>";
    }
    return p.readLine().trimmed().toStdString();
  }
  static void sagen(QProcess& p, const char* text) {
    p.write(text);
    p.write("\n");
    p.waitForBytesWritten(5000);
  }

  vktest::Baum baum_;
};

TEST_F(Mehrprogramm, SecondProgramIsAskedCancelRefusesRetryAfterReleaseSucceeds) {
  ASSERT_TRUE(vk::SperreSetzen());
  const std::string frage =
      "FRAGE " + vk::ersetzen(vk::TextMitWert(2501, "Chirurgie"), "\\n", "\r");

  QProcess abbrecher;
  sperreStarten(abbrecher);
  EXPECT_EQ(zeile(abbrecher), frage);
  sagen(abbrecher, "cancel");
  EXPECT_EQ(zeile(abbrecher), "ABGELEHNT");
  ASSERT_TRUE(abbrecher.waitForFinished(10000));
  EXPECT_EQ(abbrecher.exitCode(), 1);

  QProcess wiederholer;
  sperreStarten(wiederholer);
  EXPECT_EQ(zeile(wiederholer).rfind("FRAGE ", 0), 0U);
  sagen(wiederholer, "retry");  // still held: asked again
  EXPECT_EQ(zeile(wiederholer).rfind("FRAGE ", 0), 0U);
  vk::SperreLoesen();
  sagen(wiederholer, "retry");
  EXPECT_EQ(zeile(wiederholer), "GESPERRT");

  // Now this program is the second one.
  EXPECT_FALSE(vk::SperreSetzen());
  ASSERT_EQ(vk::recordedMessages().size(), 1U);
  EXPECT_EQ(vk::recordedMessages()[0].art, vk::MeldungsArt::nachfrage);

  sagen(wiederholer, "los");
  EXPECT_EQ(zeile(wiederholer), "FREI");
  ASSERT_TRUE(wiederholer.waitForFinished(10000));
  EXPECT_EQ(wiederholer.exitCode(), 0);
  EXPECT_TRUE(vk::SperreSetzen());
  vk::SperreLoesen();
}

TEST_F(Mehrprogramm, TwoProgramsWritingTriggersNeverShareAName) {
  constexpr int kJe = 100;
  const QString ziel = QString::fromStdString(baum_.pfad("ziel"));
  const QString start = QString::fromStdString(baum_.pfad("los"));
  QProcess a;
  QProcess b;
  for (QProcess* p : {&a, &b}) {
    p->start(VK_PROBE, {"trigger", ziel, QString::number(kJe), start});
    ASSERT_TRUE(p->waitForStarted(10000));
  }
  baum_.schreiben("los", "");
  std::set<std::string> geschrieben;
  for (QProcess* p : {&a, &b}) {
    ASSERT_TRUE(p->waitForFinished(60000));
    EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    const QList<QByteArray> zeilen = p->readAllStandardOutput().split('\n');
    int anzahl = 0;
    for (const QByteArray& z : zeilen) {
      if (z.isEmpty()) continue;
      EXPECT_TRUE(geschrieben.insert(z.toStdString()).second) << "written twice: " << z.data();
      ++anzahl;
    }
    EXPECT_EQ(anzahl, kJe);
  }
  int dateien = 0;
  for (const auto& e : std::filesystem::directory_iterator(baum_.pfad("ziel/Trigger"))) {
    EXPECT_EQ(vktest::lesen(e.path()).rfind("Vokarium5-Trigger\r\n", 0), 0U) << e.path();
    ++dateien;
  }
  EXPECT_EQ(dateien, 2 * kJe);
}

}  // namespace
