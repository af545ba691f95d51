// Engine control of the clients against the real recognizer stand-in.
#include <QLocalServer>
#include <QProcess>

#include "common/dragon.h"
#include "common/dragon_voctools.h"
#include "common/meldung.h"
#include "dragon_welt.h"

using namespace vk;

namespace {

struct Ereignisse {
  std::vector<std::string> namen;
  void verbinden(dragon::EngineControl& c) {
    using E = dragon::EngineControl;
    const auto merke = [this](const char* n, std::string zahlen = "") {
      namen.push_back(n + zahlen);
    };
    const auto zahl = [](int v) { return " " + std::to_string(v); };
    QObject::connect(&c, &E::DialogClosed,
                     [=](int a, int b) { merke("DialogClosed", zahl(a) + zahl(b)); });
    QObject::connect(&c, &E::DragonBarStatusChanged,
                     [=](int s) { merke("StatusChanged", zahl(s)); });
    QObject::connect(&c, &E::MimicDone, [=](int v) { merke("MimicDone", zahl(v)); });
    QObject::connect(&c, &E::DragonBarCommandTriggered, [=](int v) { merke("Command", zahl(v)); });
    QObject::connect(&c, &E::SpeakerChanged, [=]() { merke("SpeakerChanged"); });
    QObject::connect(&c, &E::SpeakerClosing, [=]() { merke("SpeakerClosing"); });
    QObject::connect(&c, &E::TopicChanged, [=]() { merke("TopicChanged"); });
  }
};

void benutzer(const char* sprecher, const char* thema, int option = 0) {
  Dragon().speaker = sprecher;
  Dragon().topic = thema;
  Dragon().option = option;
}

}  // namespace

// Not installed (each failed step names its reason from the language file
// below its text), installed but not started, or started with its engine
// not yet up: nothing answers, the bar only in the last case.
TEST_F(DragonWelt, NotInstalledOrNotRunning) {
  EXPECT_FALSE(DragonControlStart());
  EXPECT_TRUE(gemeldet(2403));
  EXPECT_TRUE(gemeldetText("\rDie Spracherkennung ist nicht installiert."));
  EXPECT_FALSE(DragonStarten());
  EXPECT_TRUE(gemeldet(2408));
  einrichten();
  for (const bool startet : {false, true}) {
    SCOPED_TRACE(startet ? "engine still starting" : "not started");
    if (startet) starten({"--speaker", "Anna", "--topic", "Allgemein", "--engine-delay", "60000"});
    clearRecordedMessages();
    EXPECT_EQ(static_cast<bool>(DragonLeiste()), startet);
    EXPECT_FALSE(DragonLaeuft());
    EXPECT_FALSE(CheckDragonUser());
    EXPECT_TRUE(startet || recordedMessages().empty());
    benutzer("Bernd", "Allgemein");
    EXPECT_FALSE(SetDragonUser());
    EXPECT_TRUE(gemeldet(2405));
    EXPECT_FALSE(Dragon().erzeugt);
    EXPECT_FALSE(VoctoolsStart());
    EXPECT_TRUE(gemeldet(2551));
    EXPECT_FALSE(BenutzerOeffnenFenster());
  }
}

// The speaker already open: found, nothing changed or saved. Another one:
// the open one saved first, the option passed on. An unknown speaker is
// named in the reason, in the helper's words when it asks.
TEST_F(DragonWelt, SetDragonUserSavesFirstAndPassesTheOption) {
  einrichten();
  starten({"--speaker", "Anna", "--topic", "Allgemein"});
  EXPECT_TRUE(DragonLaeuft());
  ctl({"add-word", "Vorher"});
  ASSERT_TRUE(CheckDragonUser());
  EXPECT_EQ(Dragon().speaker + "|" + Dragon().topic, "Anna|Allgemein");
  EXPECT_EQ(Dragon().option, 0);
  EXPECT_TRUE(SetDragonUser());
  EXPECT_EQ(zustand("saves"), "0");
  EXPECT_EQ(zustand("must-save"), "1");
  EXPECT_FALSE(Dragon().erzeugt);
  benutzer("Bernd", "Allgemein", -1);
  ASSERT_TRUE(SetDragonUser());
  EXPECT_EQ(zustand("speaker"), "Bernd");
  EXPECT_EQ(zustand("option"), "0");
  EXPECT_EQ(zustand("saves"), "1");
  EXPECT_NE(dateiLesen(master() + "Anna\\current\\Allgemein\\user.voc").find("Vorher\r\n"),
            std::string::npos);
  benutzer("Anna", "Chirurgie", 7);
  ASSERT_TRUE(SetDragonUser());
  EXPECT_EQ(zustand("topic") + "|" + zustand("option") + "|" + zustand("saves"), "Chirurgie|7|1");

  benutzer("Carl", "Chirurgie");
  EXPECT_FALSE(SetDragonUser());
  EXPECT_TRUE(gemeldet(2403));
  Dragon().helferTexte = true;
  EXPECT_FALSE(SetDragonUser());
  EXPECT_TRUE(gemeldet(2407));
  benutzer("", "Chirurgie");
  EXPECT_FALSE(SetDragonUser());
}

TEST_F(DragonWelt, EventsReachTheReceiverInOrderAndTheEndWaitsForIt) {
  einrichten();
  QProcess* p = starten({"--speaker", "Anna", "--topic", "Allgemein"});
  auto empfaenger = DragonEngineErzeugen();
  ASSERT_TRUE(empfaenger);
  Ereignisse ev;
  ev.verbinden(*empfaenger);
  dragon::Error e;
  ASSERT_TRUE(empfaenger->registerEvents(e));
  ctl({"switch-speaker", "Bernd", "Allgemein"});
  ctl({"event", "MimicDone", "5"});
  ctl({"event", "DragonBarCommandTriggered", "12"});
  ASSERT_TRUE(DragonDialog("Zyste"));
  ASSERT_TRUE(warten([&ev]() { return ev.namen.size() >= 6; }));
  EXPECT_EQ(ev.namen, (std::vector<std::string>{"SpeakerClosing", "SpeakerChanged", "TopicChanged",
                                                "MimicDone 5", "Command 12", "DialogClosed 55 1"}));
  std::string sprecher;
  ASSERT_TRUE(empfaenger->speaker(sprecher, e));
  EXPECT_EQ(sprecher, "Bernd");

  ev.namen.clear();
  ctl({"add-word", "AmEnde"});
  ctl({"quit"});
  ASSERT_TRUE(warten([&ev]() { return !ev.namen.empty(); }));
  EXPECT_EQ(ev.namen, (std::vector<std::string>{"StatusChanged 2"}));
  // The recognizer still answers while its receiver reads the words.
  EXPECT_EQ(p->state(), QProcess::Running);
  ASSERT_TRUE(VoctoolsStart());
  ASSERT_TRUE(WorteHolen(true));
  EXPECT_EQ(Voctools().liste, (dragon::WordList{{"AmEnde", ""}}));
  VoctoolsEnde();
  EXPECT_EQ(p->state(), QProcess::Running);
  ASSERT_TRUE(empfaenger->unregisterEvents(e));
  ASSERT_TRUE(p->waitForFinished(5000));
  EXPECT_EQ(p->exitCode(), 0);
  EXPECT_EQ(dateiLesen(master() + "Bernd\\current\\Allgemein\\user.voc"), "AmEnde\r\n");
  EXPECT_FALSE(DragonLeiste());
  EXPECT_FALSE(empfaenger->engineRuns());
  EXPECT_EQ(empfaenger->speaker(sprecher, e), false);
  EXPECT_EQ(e.number, dragonproto::errNotRunning);
}

// Headless in English (no speaker open) and with its windows in German:
// the bar and its dialogs are found by their titles and closed; closing
// the bar ends it.
TEST_F(DragonWelt, WindowsAreFoundByTitleAndClosed) {
  einrichten();
  for (const bool englisch : {true, false}) {
    SCOPED_TRACE(englisch ? "headless, English" : "windows, German");
    DragonZuruecksetzen();
    QProcess* p = englisch ? starten({"--english"})
                           : starten({"--speaker", "Anna", "--topic", "Allgemein"}, false);
    DragonFenster leiste = DragonLeiste();
    ASSERT_TRUE(leiste);
    EXPECT_EQ(leiste.titel, englisch ? "DragonBar" : "Dragon-Leiste");
    EXPECT_EQ(Dragon().englisch, englisch);
    EXPECT_FALSE(BenutzerOeffnenFenster());
    ctl({"open-user-dialog"});
    DragonFenster dialog = BenutzerOeffnenFenster();
    ASSERT_TRUE(dialog);
    if (englisch) {
      EXPECT_EQ(dialog.titel, "Open User");
    }
    ASSERT_TRUE(FensterSchliessen(dialog));
    EXPECT_FALSE(BenutzerOeffnenFenster());
    if (!englisch) {
      ASSERT_TRUE(DragonDialog("Zyste"));
      EXPECT_EQ(zustand("dialog"), "Zyste");
      ctl({"add-word", "Fenster"});
    }
    ASSERT_TRUE(FensterSchliessen(leiste));
    ASSERT_TRUE(p->waitForFinished(5000));
    EXPECT_EQ(p->exitCode(), 0);
  }
  EXPECT_NE(dateiLesen(master() + "Anna\\current\\Allgemein\\user.voc").find("Fenster\r\n"),
            std::string::npos);
}

TEST_F(DragonWelt, ARecognizerThatDoesNotAnswerEndsTheCallWithATimeout) {
  einrichten();
  dragon::setTimeouts(300, 300);
  QLocalServer stumm;
  ASSERT_TRUE(stumm.listen(QString::fromStdString(nativ("run/natspeak.sock"))));
  dragon::Error e;
  auto c = dragon::EngineControl::create(DragonProgrammVerzeichnis(), e);
  ASSERT_TRUE(c);
  std::string s;
  EXPECT_FALSE(c->speaker(s, e));
  EXPECT_EQ(e.number, dragonproto::errTimeout);
  EXPECT_FALSE(c->engineRuns());
  EXPECT_FALSE(VoctoolsStart());
  EXPECT_TRUE(gemeldet(2551));
}
