// The real services of HelferDienste over the recognizer access of the
// common library: its windows, its engine, its vocabulary tools and the
// event receiver the helper keeps for its whole residence. Every call may
// fail because the recognizer ended in between; the common modules report
// such failures and the procedures go on as the failure result says.
#include <QObject>
#include <memory>

#include "common/dns_ini.h"
#include "common/dragon.h"
#include "common/dragon_voctools.h"
#include "helper/anbindung.h"
#include "helper/helfer.h"

namespace helfer {

namespace {

// DragonEngine: created at connect, released after the recognizer's end.
std::unique_ptr<dragon::EngineControl> gEngine;

void EmpfaengerVerbinden() {
  gEngine = vk::DragonEngineErzeugen();
  if (!gEngine) return;
  dragon::EngineControl* e = gEngine.get();
  QObject::connect(e, &dragon::EngineControl::DialogClosed,
                   [](int a, int b) { DragonEreignis(Ereignis::dialogClosed, a, b); });
  QObject::connect(e, &dragon::EngineControl::DragonBarCommandTriggered,
                   [](int a) { DragonEreignis(Ereignis::commandTriggered, a, 0); });
  QObject::connect(e, &dragon::EngineControl::DragonBarStatusChanged,
                   [](int a) { DragonEreignis(Ereignis::statusChanged, a, 0); });
  QObject::connect(e, &dragon::EngineControl::MimicDone,
                   [](int a) { DragonEreignis(Ereignis::mimicDone, a, 0); });
  QObject::connect(e, &dragon::EngineControl::SpeakerChanged,
                   [] { DragonEreignis(Ereignis::speakerChanged, 0, 0); });
  QObject::connect(e, &dragon::EngineControl::SpeakerClosing,
                   [] { DragonEreignis(Ereignis::speakerClosing, 0, 0); });
  QObject::connect(e, &dragon::EngineControl::TopicChanged,
                   [] { DragonEreignis(Ereignis::topicChanged, 0, 0); });
  if (e->engineRuns()) {
    Tr({"Dragon - Register"});
    dragon::Error fehler;
    if (!e->registerEvents(fehler)) Tr({"Dragon - Register", fehler.description});
  }
}

void EmpfaengerTrennen() {
  if (!gEngine) return;
  dragon::Error fehler;
  gEngine->unregisterEvents(fehler);
  // The receiver may be releasing while one of its signals is still queued.
  gEngine.release()->deleteLater();
}

std::string Sprecher() {
  std::string name;
  dragon::Error fehler;
  if (gEngine) gEngine->speaker(name, fehler);
  return name;
}

std::string Thema() {
  std::string name;
  dragon::Error fehler;
  if (gEngine) gEngine->topic(name, fehler);
  return name;
}

}  // namespace

void EchteDiensteSetzen() {
  HelferDienste& d = Dienste();
  d.leisteDa = [] { return static_cast<bool>(vk::DragonLeiste()); };
  d.leisteSchliessen = [] {
    if (const vk::DragonFenster f = vk::DragonLeiste()) vk::FensterSchliessen(f);
  };
  d.benutzerDialogDa = [] { return static_cast<bool>(vk::BenutzerOeffnenFenster()); };
  d.benutzerDialogSchliessen = [] {
    if (const vk::DragonFenster f = vk::BenutzerOeffnenFenster()) vk::FensterSchliessen(f);
  };
  d.dragonStammverzeichnis = [] {
    vk::DnsIniLesen(true);
    return vk::DnsIni().roamingUserMasterDirectory;
  };
  d.dragonLaeuft = [] { return vk::DragonLaeuft(); };
  // The helper asks itself what follows a failed start (text 2408 in it).
  d.dragonStarten = [] { return vk::DragonStarten(false); };
  d.dragonUserSetzen = [](const std::string& sprecher, const std::string& thema, int option) {
    vk::Dragon().speaker = sprecher;
    vk::Dragon().topic = thema;
    vk::Dragon().option = option;
    vk::Dragon().helferTexte = true;
    return vk::SetDragonUser();
  };
  d.voctoolsStart = [] { return vk::VoctoolsStart(); };
  d.voctoolsEnde = [] {
    // The save is done here, where its result is seen: the word files the
    // helper applied may go only once the vocabulary is on disk.
    vk::VoctoolsZustand& v = vk::Voctools();
    bool gesichert = true;
    if (v.initialisiert && v.geaendert && v.tools) {
      dragon::Error e;
      gesichert = v.tools->vocabularyBuilder().save(e);
      // A failed save is tried once more and reported by VoctoolsEnde.
      if (gesichert) v.geaendert = false;
    }
    vk::VoctoolsEnde();
    return gesichert;
  };
  d.worteHolen = [](bool option) { return vk::WorteHolen(option); };
  d.wortAnzahl = [] { return static_cast<long>(vk::Voctools().liste.size()); };
  d.wortZeile = [](long i) {
    return vk::WortZeile(vk::Voctools().liste[static_cast<std::size_t>(i)]);
  };
  d.worteFreigeben = [] {
    vk::Voctools().liste.clear();
    vk::Voctools().liste.shrink_to_fit();
    vk::Voctools().wort = dragon::Word{};
  };
  d.woerterHinzufuegen = [](const std::string& pfad) { return vk::WoerterHinzufuegen(pfad); };
  d.woerterEntfernen = [](const std::string& pfad) { return vk::DateiWoerterEntfernen(pfad); };
  d.empfaengerVerbinden = EmpfaengerVerbinden;
  d.empfaengerTrennen = EmpfaengerTrennen;
  d.sprecherName = Sprecher;
  d.themaName = Thema;
  d.programmStarten = [](const std::string& programm, const std::string& argumente) {
    return ProgrammStarten(programm, argumente);
  };
}

}  // namespace helfer
