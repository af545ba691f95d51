// Engine control of the clients over the recognizer's proxy objects. The
// object lives for one operation only; a recognizer that ends or switches
// its speaker between two operations is seen at the next one. Every call
// has a time-out (see dragon_proxy.h), so a hung recognizer ends an
// operation with an error report instead of blocking the program.
#include "common/dragon.h"

#include <string_view>

#include "common/konfiguration.h"
#include "common/meldung.h"
#include "common/mtrace.h"
#include "common/texte.h"
#include "common/texte_namen.h"
#include "common/utilities.h"

namespace vk {

namespace {

DragonZustand gZustand;

bool beginntMit(std::string_view s, std::string_view anfang) {
  return s.substr(0, anfang.size()) == anfang;
}

void fehlerMelden(const dragon::Error& e, int text) {
  Fehlermeldung(e.number, e.description, Text(text));
}

// Text for a failure of SetDragonUser: vkHelfer names the step, the other
// programs report every step with text 2403.
int setzenText(int helferText) {
  return gZustand.helferTexte ? helferText : txt::kDragonNichtErreichbar;
}

const char* const kLeiste = "Dragon-Leiste";
const char* const kLeisteEnglisch = "DragonBar";
const char* const kBenutzerOeffnen =
    "Benutzer \xF6"
    "ffnen";
const char* const kBenutzerOeffnenEnglisch = "Open User";

}  // namespace

DragonZustand& Dragon() {
  return gZustand;
}

void DragonZuruecksetzen() {
  gZustand = DragonZustand();
  DragonProgrammVerzeichnisVergessen();
}

bool DragonControlStart() {
  if (!gZustand.erzeugt) {
    Trace("Start DragonControl");
    dragon::Error e;
    gZustand.control = dragon::EngineControl::create(DragonProgrammVerzeichnis(), e);
    if (!gZustand.control) {
      fehlerMelden(e, txt::kDragonNichtErreichbar);
      return false;
    }
    gZustand.erzeugt = true;
    Trace("DragonControl da");
  }
  return gZustand.control != nullptr;
}

void DragonControlStop() {
  if (!gZustand.erzeugt) return;
  Trace("Stop DragonControl");
  gZustand.erzeugt = false;
  gZustand.control.reset();
  Trace("DragonControl weg");
}

bool DragonLaeuft() {
  if (!DragonControlStart()) return false;
  bool laeuft = gZustand.control->engineRuns();
  Trace(laeuft ? "Dragon l\xE4uft" : "Dragon l\xE4uft nicht");
  DragonControlStop();
  return laeuft;
}

bool CheckDragonUser() {
  gZustand.speaker.clear();
  gZustand.topic.clear();
  Trace("CheckDragonUser");
  if (!DragonControlStart()) return false;
  dragon::EngineControl& c = *gZustand.control;
  dragon::Error e;
  if (c.engineRuns()) {
    std::string speaker;
    if (c.speaker(speaker, e)) {
      if (!speaker.empty()) {
        std::int32_t option = 0;
        std::string topic;
        if (c.speakerOption(option, e) && c.topic(topic, e)) {
          gZustand.speaker = speaker;
          gZustand.option = option;
          gZustand.topic = topic;
          DragonControlStop();
          return true;
        }
      } else {
        Trace("no DragonSpeaker");
      }
    }
    if (e.number != 0) Trace("Dragon-Error", e.number, e.description);
  } else {
    Trace("DragonEngine notrunning");
  }
  DragonControlStop();
  return false;
}

bool SetDragonUser() {
  if (gZustand.speaker.empty()) {
    Trace("Dragon -> ??");
    return false;
  }
  Trace("SetDragonUser");
  if (!DragonControlStart()) return false;
  dragon::EngineControl& c = *gZustand.control;
  dragon::Error e;
  auto scheitern = [&e](int text) {
    fehlerMelden(e, text);
    DragonControlStop();
    return false;
  };
  if (!c.engineRuns()) {
    Meldung(Text(txt::kDragonLaeuftNicht));
    DragonControlStop();
    return false;
  }
  std::string speaker;
  std::string topic;
  if (!c.speaker(speaker, e) || !c.topic(topic, e)) return scheitern(txt::kDragonNichtErreichbar);
  if (speaker == gZustand.speaker && topic == gZustand.topic) {
    DragonControlStop();
    Trace("Dragon = " + speaker);
    return true;
  }
  bool sichern = false;
  if (!c.mustSave(sichern, e)) return scheitern(txt::kDragonNichtErreichbar);
  if (sichern) {
    Trace("Dragon SpeakerSave", speaker);
    if (!c.save(e)) return scheitern(setzenText(txt::kAnwenderNichtGespeichert));
  }
  Trace("Dragon -> " + gZustand.speaker);
  bool offen = gZustand.option < 0
                   ? c.openSpeaker(gZustand.speaker, gZustand.topic, e)
                   : c.openSpeaker(gZustand.speaker, gZustand.topic, gZustand.option, e);
  if (!offen) return scheitern(setzenText(txt::kAnwenderNichtGeoeffnet));
  Trace("Dragon Speaker eingestellt");
  DragonControlStop();
  return true;
}

bool DragonDialog(const std::string& argument) {
  if (!DragonControlStart()) return false;
  dragon::Error e;
  bool ok = gZustand.control->dialog(dragonproto::kWordDialog, argument, e);
  if (!ok) fehlerMelden(e, txt::kDragonNichtErreichbar);
  DragonControlStop();
  return ok;
}

namespace {

// Title of one of the recognizer's windows, "" when it is not there or the
// recognizer does not answer (a window search reports nothing).
std::string fensterTitel(bool leiste) {
  dragon::Error e;
  auto c = dragon::EngineControl::create(DragonProgrammVerzeichnis(), e);
  std::string titel;
  if (!c) return titel;
  if (leiste) {
    c->barTitle(titel, e);
  } else {
    c->userDialogTitle(titel, e);
  }
  return titel;
}

}  // namespace

DragonFenster DragonLeiste() {
  std::string titel = fensterTitel(true);
  if (beginntMit(titel, kLeiste)) return {DragonFenster::Art::leiste, titel};
  if (beginntMit(titel, kLeisteEnglisch)) {
    gZustand.englisch = true;
    return {DragonFenster::Art::leiste, titel};
  }
  return {};
}

DragonFenster BenutzerOeffnenFenster() {
  std::string titel = fensterTitel(false);
  if (beginntMit(titel, gZustand.englisch ? kBenutzerOeffnenEnglisch : kBenutzerOeffnen)) {
    return {DragonFenster::Art::benutzerOeffnen, titel};
  }
  return {};
}

bool FensterSchliessen(const DragonFenster& fenster) {
  if (!fenster) return false;
  dragon::Error e;
  auto c = dragon::EngineControl::create(DragonProgrammVerzeichnis(), e);
  if (!c) return false;
  return fenster.art == DragonFenster::Art::leiste ? c->closeBar(e) : c->closeUserDialog(e);
}

bool DragonStarten(bool melden) {
  if (!Starten(DragonProgrammVerzeichnis() + "natspeak.exe", false, "", false)) {
    if (melden) Meldung(Text(txt::kDragonStartFehlgeschlagen));
    return false;
  }
  return true;
}

std::unique_ptr<dragon::EngineControl> DragonEngineErzeugen() {
  dragon::Error e;
  auto c = dragon::EngineControl::create(DragonProgrammVerzeichnis(), e);
  if (!c) fehlerMelden(e, txt::kDragonNichtErreichbar);
  return c;
}

}  // namespace vk
