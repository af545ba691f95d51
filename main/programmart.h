// What makes the main window of Vokarium (FormVokarium) and the one of
// vkPflege (FormvkPflege) differ, as data: the toolbar, the selection rule,
// the start-up rule and the few actions that work otherwise. Both windows
// are the one Hauptfenster over one of the two records below; a reader
// compares the two tables in programmart.cpp to see every difference.
// Pure data, no state, no failure modes.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vk {

// When a toolbar button is enabled.
enum class Freigabe {
  immer,
  mitBenutzer,   // while a user is selected
  ohneFixDatei,  // while a user is selected and his topic has no fix file
};

struct Knopf {
  std::string_view schluessel;  // QAction objectName, the key of the action
  std::int32_t beschriftung;    // caption text, 0: the design text stays
  std::int32_t hinweis;         // tool tip text, 0: the design text stays
  std::string_view designText;  // cp1252
  std::string_view designHinweis;
  Freigabe freigabe;
  bool serverAnfrage;  // trigger 1 and TriggerAbwarten before the action
};

struct Programmart {
  std::string_view programm;  // "Vokarium" / "vkPflege"
  std::string_view formName;  // objectName of the main window
  std::vector<Knopf> knoepfe;

  // Selection rule: selecting a user stores "LastPool"/"LastUser" and the
  // current user and topic, and decides "VokabularFixieren" (Vokarium);
  // otherwise it only enables the user buttons (vkPflege).
  bool auswahlMerken;
  // The pool combo reacts while the window loads and in the unattended
  // mode too (vkPflege).
  bool poolImmer;

  // Start-up rule: the short search for the configuration directory, the
  // configuration listed in lbDebug always (else traced only with "/V"),
  // the unattended start with identity and size checks and its traces, the
  // option "-A", and the trace "Ende" when the window closes.
  bool kurzeVerzeichnisSuche;
  bool konfigImmerListen;
  bool automatikPruefen;
  bool optionA;
  bool endeTrace;

  // Actions: "Wortliste" collects every member's ".ben" (else opens the
  // selected user's); "BenWoerter" starts vkHelfer when the recognizer does
  // not run; "VokariumLink" advances its icon index 2..9.
  bool wortlisteDesPools;
  bool helferStarten;
  bool symbolWeiterzaehlen;
};

const Programmart& VokariumArt();
const Programmart& PflegeArt();

}  // namespace vk
