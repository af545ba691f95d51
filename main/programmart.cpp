// The two main windows side by side (see programmart.h). Design texts are
// cp1252; the language texts replace them at load where a number is given.
#include "main/programmart.h"

namespace vk {

namespace {

constexpr Knopf kWortliste{"Wortliste",
                           4001,
                           4101,
                           "neue Wortliste",
                           "neue Wortliste bearbeiten und in Pool \xFC"
                           "bernehmen",
                           Freigabe::mitBenutzer,
                           true};
constexpr Knopf kGesamt{"Gesamtwortliste",
                        4002,
                        4102,
                        "Pool-Gesamtwortliste",
                        "Gesamtwortliste des Pools \xFC"
                        "berarbeiten",
                        Freigabe::immer,
                        true};
constexpr Knopf kBenWoerter{"BenWoerter",
                            4003,
                            4103,
                            "Anwender-W\xF6rter",
                            "Anwender-W\xF6rter bearbeiten, die nicht im Pool sind",
                            Freigabe::mitBenutzer,
                            true};
constexpr Knopf kNeubenutzer{"Neubenutzer",
                             4004,
                             4104,
                             "neuer Anwender",
                             "Anwender neu in Pool einf\xFCgen mit allen W\xF6rtern",
                             Freigabe::mitBenutzer,
                             false};
constexpr Knopf kImportieren{"Importieren",
                             4005,
                             4105,
                             "W\xF6rter importieren",
                             "Datei mit Wortliste bearbeiten und importieren",
                             Freigabe::immer,
                             true};
constexpr Knopf kDragonLink{"DragonLink",
                            4006,
                            4106,
                            "Dragon-Link",
                            "Desktop-Link f\xFCr reinen Dragon-Start erzeugen",
                            Freigabe::mitBenutzer,
                            false};
constexpr Knopf kVokariumLink{"VokariumLink",
                              4007,
                              4107,
                              "Vokarium-Link",
                              "Desktop-Link f\xFCr Dragon-, anschl. Vokarium-Start",
                              Freigabe::mitBenutzer,
                              false};

}  // namespace

const Programmart& VokariumArt() {
  static const Programmart art{
      .programm = "Vokarium",
      .formName = "FormVokarium",
      .knoepfe = {kWortliste, kGesamt, kBenWoerter, kNeubenutzer, kImportieren, kDragonLink,
                  kVokariumLink,
                  Knopf{"VokabularFixieren", 4084, 4184, "Vokabular fixieren",
                        "Vokabular im aktuellen Zustand fixieren", Freigabe::ohneFixDatei, false}},
      .auswahlMerken = true,
      .poolImmer = false,
      .kurzeVerzeichnisSuche = false,
      .konfigImmerListen = false,
      .automatikPruefen = true,
      .optionA = true,
      .endeTrace = true,
      .wortlisteDesPools = false,
      .helferStarten = true,
      .symbolWeiterzaehlen = false,
  };
  return art;
}

const Programmart& PflegeArt() {
  Knopf wortliste = kWortliste;
  wortliste.hinweis = 4121;
  wortliste.freigabe = Freigabe::immer;
  static const Programmart art{
      .programm = "vkPflege",
      .formName = "FormvkPflege",
      .knoepfe = {wortliste, kGesamt,
                  Knopf{"Teilwortliste", 4008, 4108, "Pool-Teilwortliste",
                        "ver\xE4nderte Teilwortliste des Pools bearbeiten", Freigabe::immer, true},
                  Knopf{"Abschluss", 4009, 4109,
                        "Pool \xFC"
                        "berarbeitet",
                        "Pool-Zustand als fertig \xFC"
                        "berarbeitet markieren",
                        Freigabe::immer, true},
                  kBenWoerter, kNeubenutzer, kImportieren, kVokariumLink, kDragonLink},
      .auswahlMerken = false,
      .poolImmer = true,
      .kurzeVerzeichnisSuche = true,
      .konfigImmerListen = true,
      .automatikPruefen = false,
      .optionA = false,
      .endeTrace = false,
      .wortlisteDesPools = true,
      .helferStarten = false,
      .symbolWeiterzaehlen = true,
  };
  return art;
}

}  // namespace vk
